#include "RepairCommand.h"

#include <cinttypes>
#include <cstdio>

#include "CliReporter.h"
#include "JobRunner.h"
#include "ScanCommand.h"
#include "io/FileIo.h"
#include "writer/OutputNaming.h"
#include "writer/RebuildArchive.h"

namespace vrz::cli {

namespace {

// The bytes the output needs: the entries as they are copied. The central
// directory is small beside them and a full disk is reported anyway.
float RecoveredSizeKB(const JobState& state) {
    std::uint64_t bytes = 0;
    for (const RecoveredEntry& row : state.entries) bytes += row.entryLength;
    return static_cast<float>(bytes) / 1024.0f;
}

std::string DefaultOutputFolder(const JobState& state) {
    return state.scannedSplit ? state.scanSourcePath : FolderOf(state.scanSourcePath);
}

bool CheckFolder(const std::string& folder) {
    if (IsDirectory(folder)) return true;
    std::fprintf(stderr, "ziprepair: %s: no such folder\n", folder.c_str());
    return false;
}

}  // namespace

int RepairCommand(const RepairRequest& request) {
    // A wrong -o is told before the scan, not after it.
    if (!request.outputFolder.empty() && !CheckFolder(request.outputFolder)) return 1;
    JobState state;
    const int scanStatus = RunScan(request.path, state);
    if (scanStatus != 0) return scanStatus;

    const std::string folder = request.outputFolder.empty() ? DefaultOutputFolder(state) : request.outputFolder;
    if (!CheckFolder(folder)) return 1;
    if (CheckFreeSpace(folder, RecoveredSizeKB(state)) == SpaceCheck::kTooLittle) {
        std::fprintf(stderr, "ziprepair: %s\n", TextOrKey("IDS_LOWDIKSPACE").c_str());
        return 1;
    }
    state.destinationFolder = folder;
    state.archiveFileName = ArchiveFileNameFor(state);
    state.outputPath = ChooseOutputPath(folder, state.archiveFileName);
    state.savePercent = 0;
    state.saveAborted = false;
    state.jobRunning = true;

    CliReporter reporter;
    RebuildState run;
    bool interrupted = false;
    const bool ok = RunWithProgress(
        [&] {
            return state.scannedSplit ? RebuildSplitArchive(state, reporter, &run)
                                      : RebuildSingleArchive(state, reporter, &run);
        },
        state.savePercent, state.jobRunning, "Saving", &interrupted);
    // Once the archive has its name the save is done, whenever the interrupt came.
    if (interrupted && !ok) {
        std::fprintf(stderr, "ziprepair: %s\n", TextOrKey("IDS_SAVE_ABORTED").c_str());
        return 130;
    }
    if (!ok) return 1;
    std::printf("%s\n", state.outputPath.c_str());
    std::printf("%" PRIu64 " %s, %" PRIu64 " bytes written to %s\n", run.entriesWritten,
                run.entriesWritten == 1 ? "entry" : "entries", run.bytesWritten, state.outputPath.c_str());
    return 0;
}

}  // namespace vrz::cli
