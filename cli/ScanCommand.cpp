#include "ScanCommand.h"

#include <cstdio>

#include "CliReporter.h"
#include "JobRunner.h"
#include "ReportJson.h"
#include "ReportListing.h"
#include "SourceSetup.h"
#include "report/JobReport.h"
#include "verify/EntryVerifier.h"
#include "verify/SalvagePlan.h"

namespace vrz::cli {

int RunScan(const std::string& path, JobState& state, std::size_t threads, const std::string& cancelText) {
    CliReporter reporter(path);
    if (!PrepareSource(path, state, reporter)) return 1;
    bool interrupted = false;
    const bool ok = RunWithProgress([&] { return RunSourceScan(state, reporter, threads); }, state.progressPercent,
                                    state.jobRunning, "Scanning", &interrupted);
    if (interrupted) {
        PrintFailure(path, cancelText);
        return 130;
    }
    if (!ok && !reporter.Reported()) PrintFailure(path, "the scan stopped before the end");
    return ok ? 0 : 1;
}

int RunVerification(JobState& state, bool decode, bool salvage, std::size_t threads, const std::string& cancelText) {
    state.jobRunning = true;
    state.progressPercent = 0;
    VerifyOptions options;
    options.decode = decode;
    options.threads = threads;
    bool interrupted = false;
    const bool ok = RunWithProgress(
        [&] { return VerifyEntries(state, options) && (!salvage || PlanSalvage(state)); }, state.progressPercent,
        state.jobRunning, "Verifying", &interrupted);
    if (interrupted || !ok) {
        PrintFailure(state.scanSourcePath, cancelText);
        return 130;
    }
    return 0;
}

int ScanCommand(const ScanRequest& request) {
    JobState state;
    const std::string cancelled = "the scan was cancelled";
    int status = RunScan(request.path, state, request.threads, cancelled);
    if (status != 0) return status;
    // Without --verify only the headers are read, for the names the repair writes.
    status = RunVerification(state, request.verify, false, request.threads, cancelled);
    if (status != 0) return status;
    ReportOptions options;
    options.verified = request.verify;
    const JobReport report(state, options);
    if (request.json)
        WriteReportJson(report, false, stdout);
    else
        PrintListing(report);
    return 0;
}

}  // namespace vrz::cli
