#include "RepairWorker.h"

#include <chrono>
#include <thread>

#include "CMainFrame.h"
#include "CRepairPage.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "scan/ScanSingleArchive.h"
#include "scan/ScanSplitArchive.h"
#include "scan/SplitFolderCheck.h"
#include "verify/EntryVerifier.h"

namespace {

// Scan failures are shown by the page, on the user-interface thread, while
// the worker waits for the box to be closed.
class RepairReporter : public vrz::JobReporter {
public:
    explicit RepairReporter(std::shared_ptr<RepairWorkerLink> link) : m_link(std::move(link)) {}

    void ReportScanFailure(const std::string& textKey) override {
        m_link->channel->CallAndWait([link = m_link, textKey](std::shared_ptr<GuiCallChannel::Completion> done) {
            if (CRepairPage* page = link->page) page->ShowScanFailure(textKey, std::move(done));
        });
    }

    void ReportSaveFailure(const std::string&, const std::string&) override {}

    // A split scan rests briefly after each larger step so the bar shows it.
    void PaceProgressStep() override { std::this_thread::sleep_for(std::chrono::milliseconds(100)); }

private:
    std::shared_ptr<RepairWorkerLink> m_link;
};

// Sends the end command and waits until the frame has replaced the page.
void SendEndCommand(const std::shared_ptr<RepairWorkerLink>& link, int command) {
    link->channel->CallAndWait([link, command](std::shared_ptr<GuiCallChannel::Completion> done) {
        CRepairPage* page = link->page;
        if (page == nullptr) return;
        CMainFrame* frame = page->Frame();
        page->RunWhenNoModal([link, frame, command, done] {
            // A cancel confirmed while this waited wins over the result.
            if (link->channel->IsAbandoned() || link->page == nullptr) return;
            link->delivered = true;
            frame->Navigate(command);
        });
    });
}

}  // namespace

void RepairWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<RepairWorkerLink> link) {
    RepairReporter reporter(link);
    const void* const token = link.get();
    if (job->splitMode) {
        job->scannedSplit = true;
        bool allReadable = true;
        job->totalPartsSize = vrz::SumPartSizes(job->sourcePath, &allReadable);
        if (!allReadable) {
            job->progressPercent = 100;
            reporter.ReportScanFailure("IDS_FAILEDFILE");
            // No end command: the page stays until the user cancels.
            g_workerThread.ClearIf(token);
            return;
        }
        if (!vrz::ScanSplitArchive(*job, reporter)) job->scanFailed = true;
    } else {
        job->scannedSplit = false;
        job->scanFailed = false;
        if (!vrz::ScanSingleArchive(*job, reporter)) job->scanFailed = true;
    }
    // Every found entry is decoded before the preview shows it, so the
    // preview can tell which ones are damaged.
    if (!job->scanFailed && !link->channel->IsAbandoned()) {
        vrz::VerifyOptions verify;
        verify.percent = &job->verifyPercent;
        if (!vrz::VerifyEntries(*job, verify)) job->scanFailed = true;
    }
    if (!link->channel->IsAbandoned()) {
        SendEndCommand(link, job->scanFailed ? wizard::kShowSource : wizard::kShowPreview);
    }
    g_workerThread.ClearIf(token);
}
