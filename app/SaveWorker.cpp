#include "SaveWorker.h"

#include <chrono>
#include <thread>

#include "SavePage.h"
#include "WizardJob.h"
#include "io/FileIo.h"
#include "writer/RebuildArchive.h"

namespace {

// The writer's failures are shown by the page, on the user-interface thread,
// while the writer waits for the box to be closed.
class SaveReporter : public vrz::JobReporter {
public:
    explicit SaveReporter(std::shared_ptr<SaveWorkerLink> link) : m_link(std::move(link)) {}

    void ReportScanFailure(const std::string&) override {}

    void ReportSaveFailure(const std::string& textKey, const std::string& detail) override {
        m_link->channel->CallAndWait(
            [link = m_link, textKey, detail](std::shared_ptr<GuiCallChannel::Completion> done) {
                if (CSavePage* page = link->page) page->ShowWriterFailure(textKey, detail, std::move(done));
            });
    }

private:
    std::shared_ptr<SaveWorkerLink> m_link;
};

// How long the finished animation stays still before the completion box.
constexpr std::chrono::milliseconds kPauseBeforeCompletion(500);

}  // namespace

void SaveWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<SaveWorkerLink> link) {
    const void* const token = link.get();
    SaveReporter reporter(link);
    const bool written = job->scannedSplit ? vrz::RebuildSplitArchive(*job, reporter)
                                           : vrz::RebuildSingleArchive(*job, reporter);
    // While the page asks whether to abort, its answer decides what comes next.
    job->pauseGate.WaitWhilePaused();

    if (written && !job->saveAborted.load()) {
        link->channel->CallAndWait([link](std::shared_ptr<GuiCallChannel::Completion>) {
            if (CSavePage* page = link->page) page->StopAnimation();
        });
        std::this_thread::sleep_for(kPauseBeforeCompletion);
    }
    job->savePercent = 100;
    job->jobRunning = false;

    const bool delivered =
        link->channel->CallAndWait([link, written](std::shared_ptr<GuiCallChannel::Completion> done) {
            if (CSavePage* page = link->page) page->FinishSave(written, std::move(done));
        });
    // The page went away mid-save: that counts as an abort, and an archive
    // finished just before it is not kept.
    if (!delivered && written && job->saveAborted.load()) vrz::RemoveFile(job->outputPath);
    g_saveThread.ClearIf(token);
}
