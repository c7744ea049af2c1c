#include "SourceSetup.h"

#include "io/FileIo.h"
#include "scan/ScanSingleArchive.h"

namespace vrz::cli {

bool PrepareSource(const std::string& path, JobState& state, JobReporter& reporter) {
    state.ResetTable();
    state.jobRunning = true;
    state.bytesScanned = 0;
    state.sourcePath = path;
    if (IsDirectory(path)) {
        // Split archives come with the split scan.
        reporter.ReportScanFailure("IDS_MTEXT3");
        return false;
    }
    state.splitMode = false;
    return true;
}

bool RunSourceScan(JobState& state, JobReporter& reporter) {
    state.scannedSplit = false;
    return ScanSingleArchive(state, reporter);
}

}  // namespace vrz::cli
