#include "SaveWorker.h"

#include <chrono>
#include <new>
#include <thread>

#include "SavePage.h"
#include "WizardJob.h"
#include "io/FileIo.h"
#include "report/JobReport.h"
#include "verify/SalvagePlan.h"
#include "writer/RebuildArchive.h"

namespace {

CSavePage& SavePageOf(WorkerStepPage& page) { return static_cast<CSavePage&>(page); }

// The writer's failures are posted to the page, which shows them.
class SaveReporter : public vrz::JobReporter {
public:
    explicit SaveReporter(std::shared_ptr<WorkerLink> link) : m_link(std::move(link)) {}

    void ReportScanFailure(const std::string&) override {}

    void ReportSaveFailure(const std::string& textKey, const std::string& detail) override {
        m_link->Post([textKey, detail](WorkerStepPage& page) { SavePageOf(page).ShowWriterFailure(textKey, detail); });
    }

private:
    std::shared_ptr<WorkerLink> m_link;
};

// How long the finished animation stays still before the completion box.
constexpr std::chrono::milliseconds kPauseBeforeCompletion(500);

// The save step's two choices, applied the way the command line applies
// --salvage and --skip-damaged: the beginnings of cut entries are planned
// from the verified table, and the writer leaves damaged rows out
// (job.skipDamaged). False when nothing would be left to write.
bool ApplySaveChoices(vrz::JobState& job, vrz::JobReporter& reporter) {
    job.partials.clear();
    // A salvage stopped by an abort saves no beginning; the writer then stops too.
    if (job.salvage && !vrz::PlanSalvage(job)) job.partials.clear();
    if (!vrz::NothingRecoverable(job)) return true;
    reporter.ReportSaveFailure("IDS_NOTHING_RECOVERED", "");
    return false;
}

}  // namespace

void SaveWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<WorkerLink> link) {
    SaveReporter reporter(link);
    bool written = false;
    try {
        written = ApplySaveChoices(*job, reporter) &&
                  (job->scannedSplit ? vrz::RebuildSplitArchive(*job, reporter)
                                     : vrz::RebuildSingleArchive(*job, reporter));
    } catch (const std::bad_alloc&) {
        // The staged output removes itself as the writer unwinds; nothing is named.
        reporter.ReportSaveFailure("IDS_NOMEMORY", job->sourcePath);
    }
    // While the page asks whether to abort, its answer decides what comes next.
    job->pauseGate.WaitWhilePaused();

    if (written && !job->saveAborted.load()) {
        job->savePercent = 100;
        link->Post([](WorkerStepPage& page) { page.StopAnimation(); });
        std::this_thread::sleep_for(kPauseBeforeCompletion);
    }
    job->jobRunning = false;

    const bool handedOver =
        link->PostEnd(written, [written](WorkerStepPage& page) { SavePageOf(page).FinishSave(written); });
    // The page gave the save up: that counts as an abort, and an archive
    // finished just before it is not kept.
    if (!handedOver && written) vrz::RemoveFile(job->outputPath);
    g_saveThread.ClearIf(link.get());
}
