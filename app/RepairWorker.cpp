#include "RepairWorker.h"

#include <chrono>
#include <new>
#include <thread>

#include "CRepairPage.h"
#include "WizardJob.h"
#include "scan/ScanSingleArchive.h"
#include "scan/ScanSplitArchive.h"
#include "scan/SplitFolderCheck.h"
#include "verify/EntryVerifier.h"

namespace {

CRepairPage& RepairPageOf(WorkerStepPage& page) { return static_cast<CRepairPage&>(page); }

// Scan failures are posted to the page, which shows them; the scan goes on
// to its end meanwhile.
class RepairReporter : public vrz::JobReporter {
public:
    explicit RepairReporter(std::shared_ptr<WorkerLink> link) : m_link(std::move(link)) {}

    void ReportScanFailure(const std::string& textKey) override {
        m_link->Post([textKey](WorkerStepPage& page) { RepairPageOf(page).ShowScanFailure(textKey); });
    }

    void ReportSaveFailure(const std::string&, const std::string&) override {}

    // A split scan rests briefly after each larger step so the bar shows it.
    void PaceProgressStep() override { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

private:
    std::shared_ptr<WorkerLink> m_link;
};

// The scan of the chosen source; false when it failed. A later phase (a
// check of what was found, say) can follow it with the same progress bar.
bool RunScan(vrz::JobState& job, RepairReporter& reporter, bool* partsUnreadable) {
    if (!job.splitMode) {
        job.scannedSplit = false;
        return vrz::ScanSingleArchive(job, reporter);
    }
    job.scannedSplit = true;
    bool allReadable = true;
    job.totalPartsSize = vrz::SumPartSizes(job.sourcePath, &allReadable);
    if (!allReadable) {
        *partsUnreadable = true;
        reporter.ReportScanFailure("IDS_FAILEDFILE");
        return false;
    }
    return vrz::ScanSplitArchive(job, reporter);
}

}  // namespace

void RepairWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<WorkerLink> link) {
    RepairReporter reporter(link);
    bool partsUnreadable = false;
    bool scanned = false;
    try {
        scanned = RunScan(*job, reporter, &partsUnreadable);
        // Every found entry is decoded before the preview shows it, so the
        // preview can tell which ones are damaged.
        if (scanned && !link->IsAbandoned()) {
            vrz::VerifyOptions verify;
            verify.percent = &job->verifyPercent;
            if (!vrz::VerifyEntries(*job, verify)) scanned = false;
        }
    } catch (const std::bad_alloc&) {
        // What the archive holds may need more memory than there is: the
        // scan ends as failed, and the table it built is emptied.
        job->ResetTable();
        scanned = false;
        reporter.ReportScanFailure("IDS_NOMEMORY");
    }
    job->scanFailed = !scanned;
    const ScanOutcome outcome = partsUnreadable ? ScanOutcome::kPartsUnreadable
                                : scanned      ? ScanOutcome::kScanned
                                               : ScanOutcome::kFailed;
    link->PostEnd(scanned, [outcome](WorkerStepPage& page) { RepairPageOf(page).OnScanEnded(outcome); });
    g_workerThread.ClearIf(link.get());
}
