#include "RepairCommand.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>

#include "CliReporter.h"
#include "CliTexts.h"
#include "JobRunner.h"
#include "ReportJson.h"
#include "ReportListing.h"
#include "ScanCommand.h"
#include "io/FileIo.h"
#include "report/JobReport.h"
#include "writer/OutputNaming.h"
#include "verify/VerificationPass.h"
#include "writer/LayoutRebuilder.h"

namespace vrz::cli {

namespace {

std::string DefaultOutputFolder(const JobState& state) {
    return state.scannedSplit ? state.scanSourcePath : FolderOf(state.scanSourcePath);
}

bool CheckFolder(const std::string& folder) {
    if (IsDirectory(folder)) return true;
    PrintFailure(folder, FileExists(folder) ? "is not a folder" : "no such folder");
    return false;
}

int ExitStatusFor(const JobReport& report) {
    // Entries left out on request (--skip-damaged) are not in the archive, so they do not count.
    const bool holdsDamage = report.Count(EntryStatus::kDamaged) > 0 || report.Count(EntryStatus::kPartial) > 0;
    return holdsDamage ? kExitWrittenWithDamage : kExitWritten;
}

}  // namespace

int RepairCommand(const RepairRequest& request) {
    // A wrong -o is told before the scan, not after it.
    if (!request.outputFolder.empty() && !CheckFolder(request.outputFolder)) return kExitFailure;
    JobState state;
    const std::string cancelled = Text("IDS_WORD8");
    int status = RunScan(request.path, state, request.threads, cancelled);
    if (status != 0) return status;
    state.skipDamaged = request.skipDamaged;
    // The copy follows the verification row by row. A salvage is planned
    // from the verified table and sized before writing, so it verifies first.
    const bool overlap = !request.salvage;
    if (!overlap) {
        status = RunVerification(state, true, true, request.threads, cancelled);
        if (status != 0) return status;
    }
    ReportOptions reportOptions;
    reportOptions.verified = true;
    const auto nothingRecoverable = [&] {
        if (request.json) WriteReportJson(JobReport(state, reportOptions), true, stdout);
        PrintFailure(request.path, "nothing recoverable was found; no archive was written");
        return kExitNothingRecoverable;
    };
    if (NothingRecoverable(state)) return nothingRecoverable();

    const std::string folder = request.outputFolder.empty() ? DefaultOutputFolder(state) : request.outputFolder;
    if (!CheckFolder(folder)) return kExitFailure;
    if (CheckFreeSpaceForOutput(folder, ExpectedOutputBytes(state)) == SpaceCheck::kTooLittle) {
        PrintFailure(folder, Text("IDS_LOWDIKSPACE"));
        return kExitFailure;
    }
    state.destinationFolder = folder;
    state.archiveFileName = ArchiveFileNameFor(state);
    state.outputPath = ChooseOutputPath(folder, state.archiveFileName);
    state.savePercent = 0;
    state.saveAborted = false;
    state.jobRunning = true;

    CliReporter reporter(request.path);
    RebuildState run;
    RebuildOptions rebuild;
    rebuild.splitArchive = state.scannedSplit;
    std::atomic<int> verifyPercent{overlap ? 0 : 100};
    VerifyOptions verify;
    verify.threads = request.threads;
    verify.percent = &verifyPercent;
    VerificationPass pass(state, verify);
    if (overlap) {
        rebuild.waitForRow = [&pass](std::size_t index) { return pass.WaitThrough(index); };
        rebuild.waitForAll = [&pass] { return pass.Finish(); };
        pass.Start();
    }
    bool interrupted = false;
    const bool ok = RunWithProgress([&] { return RebuildLayout(state, reporter, rebuild, &run); },
                                    [&] { return (verifyPercent.load() + state.savePercent.load()) / 2; },
                                    state.jobRunning, "Saving", &interrupted);
    // The writer stopped as if cancelled when a verifying thread failed; the
    // failure itself (out of memory) is what the run ends with.
    if (overlap) pass.RethrowFailure();
    // Once the archive has its name the save is done, whenever the interrupt came.
    if (interrupted && !ok) {
        PrintFailure(request.path, Text("IDS_SAVE_ABORTED"));
        return kExitInterrupted;
    }
    if (!ok && !reporter.Reported() && NothingRecoverable(state)) return nothingRecoverable();
    if (!ok) {
        if (!reporter.Reported()) PrintFailure(state.outputPath, Text("IDS_SAVE_ABORTED"));
        return kExitFailure;
    }
    JobReport report(state, reportOptions);
    report.output = state.outputPath;
    if (request.json) {
        WriteReportJson(report, true, stdout);
    } else {
        const std::string written = PrintableName(state.outputPath);
        std::printf("%s\n", written.c_str());
        std::printf("%" PRIu64 " %s, %" PRIu64 " bytes written to %s\n", run.entriesWritten,
                    run.entriesWritten == 1 ? "entry" : "entries", run.bytesWritten, written.c_str());
        PrintFindingsLine(report);
        // The summary ends the output.
        const std::size_t count = report.WrittenCount();
        const std::string summary = std::to_string(count) + (count == 1 ? " entry" : " entries") + " written";
        std::printf("%s\n", SummaryLine(report, summary).c_str());
    }
    return ExitStatusFor(report);
}

}  // namespace vrz::cli
