#include "SourceSetup.h"

#include <cstring>

#include "io/FileIo.h"
#include "scan/ScanSingleArchive.h"
#include "scan/ScanSplitArchive.h"
#include "scan/SplitFolderCheck.h"
#include "scan/SplitSetOfFile.h"

namespace vrz::cli {

bool PrepareSource(const std::string& path, JobState& state, JobReporter& reporter) {
    state.ResetTable();
    state.jobRunning = true;
    state.bytesScanned = 0;
    state.sourcePath = path;
    state.totalPartsSize = 0;
    state.splitMode = IsDirectory(path);
    // One part of a split set beside its other parts stands for the whole set.
    std::string setFolder;
    if (!state.splitMode && SplitSetBesideFile(path, &setFolder)) {
        state.sourcePath = setFolder;
        state.splitMode = true;
    }
    if (!state.splitMode) return true;
    int listError = 0;
    const SplitFolderVerdict verdict =
        CheckSplitFolder(state.sourcePath, &state.splitIsZipx, &state.lastPartName, &listError);
    if (verdict == SplitFolderVerdict::kUnlistable) {
        reporter.ReportScanFailureOn(TextKeyFor(verdict), state.sourcePath, std::strerror(listError));
        return false;
    }
    if (verdict != SplitFolderVerdict::kOk) {
        reporter.ReportScanFailure(TextKeyFor(verdict));
        return false;
    }
    return true;
}

bool RunSourceScan(JobState& state, JobReporter& reporter, std::size_t threads) {
    state.scannedSplit = state.splitMode;
    ScanOptions options;
    options.threads = threads;
    if (!state.splitMode) return ScanSingleArchive(state, reporter, options);
    bool allReadable = true;
    std::string unreadable;
    std::string reason;
    state.totalPartsSize = SumPartSizes(state.sourcePath, &allReadable, &unreadable, &reason);
    if (!allReadable) {
        reporter.ReportScanFailureOn("IDS_FAILEDFILE", unreadable, reason);
        return false;
    }
    return ScanSplitArchive(state, reporter, options);
}

}  // namespace vrz::cli
