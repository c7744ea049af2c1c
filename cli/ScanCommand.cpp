#include "ScanCommand.h"

#include <cinttypes>
#include <cstdio>

#include "CliReporter.h"
#include "EntryLines.h"
#include "JobRunner.h"
#include "JsonText.h"
#include "SourceSetup.h"
#include "text/NameDisplay.h"

namespace vrz::cli {

int RunScan(const std::string& path, JobState& state) {
    CliReporter reporter;
    if (!PrepareSource(path, state, reporter)) return 1;
    bool interrupted = false;
    const bool ok = RunWithProgress([&] { return RunSourceScan(state, reporter); }, state.progressPercent,
                                    state.jobRunning, "Scanning", &interrupted);
    if (interrupted) {
        std::fprintf(stderr, "ziprepair: %s\n", TextOrKey("IDS_WORD8").c_str());
        return 130;
    }
    return ok ? 0 : 1;
}

namespace {

void PrintText(const JobState& state) {
    std::printf("%-8s  %14s  %14s  %s\n", "CRC-32", "Compressed", "Size", "Name");
    {
        LineBuffer lines(stdout);
        for (const RecoveredEntry& e : state.entries) {
            AppendEntryLine(lines.Text(), e);
            lines.MaybeFlush();
        }
    }
    std::printf("%zu %s\n", state.entryCount(), state.entryCount() == 1 ? "entry" : "entries");
}

void PrintJson(const JobState& state) {
    std::printf("{\"source\": %s, \"count\": %zu, \"entries\": [", JsonQuote(state.scanSourcePath).c_str(),
                state.entryCount());
    bool first = true;
    for (const RecoveredEntry& e : state.entries) {
        std::printf("%s\n  {\"name\": %s, \"compressedSize\": %" PRIu64 ", \"uncompressedSize\": %" PRIu64
                    ", \"crc32\": \"%08" PRIx32 "\"}",
                    first ? "" : ",", JsonQuote(NameForDisplay(e.name)).c_str(), e.compressedSize,
                    e.uncompressedSize, e.crc32);
        first = false;
    }
    std::printf("%s]}\n", first ? "" : "\n");
}

}  // namespace

int ScanCommand(const ScanRequest& request) {
    JobState state;
    const int status = RunScan(request.path, state);
    if (status != 0) return status;
    if (request.json)
        PrintJson(state);
    else
        PrintText(state);
    return 0;
}

}  // namespace vrz::cli
