// The repair page and its worker: the end commands, failures shown on the
// user-interface thread, the cancel question with the worker held, and the
// abandoned worker that must never act again.
#include <chrono>
#include <cstdio>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <wx/animate.h>
#include <wx/gauge.h>
#include <wx/textctrl.h>

#include "CBaseWndStep.h"
#include "CRepairPage.h"
#include "CXCmdBtn.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "WizardJob.h"

namespace {

using wizard::kShowPreview;
using wizard::kShowRepair;
using wizard::kShowSource;

class RepairPage : public WizardFixture {
protected:
    CRepairPage* Repair() { return dynamic_cast<CRepairPage*>(Page()); }

    // From the source step to the repair page for path. The worker is held
    // at its first poll until Release(), so the page cannot move on by itself.
    void StartRepair(const std::string& path, bool splitMode) {
        MakeFrame();
        ASSERT_EQ(PageId(), wizard::kPageSource);
        vrz::JobState& job = TheJob();
        job.splitMode = splitMode;
        job.jobRunning = true;
        job.pauseGate.Pause();
        m_job = TheJobShared();
        dynamic_cast<CBaseWndStep*>(Page())->PathBox()->SetValue(FromUtf8(path));
        ClickButton(wizard::kRepairButton);
        // A scan that fails at once may be back on the source step already.
        WaitFor([&] { return History().size() >= 2; }, "the repair page");
        EXPECT_EQ(History()[1], kShowRepair);
    }

    void Release() { m_job->pauseGate.Resume(); }

    // Lets the worker go and blocks (without running events) until it has
    // posted its end; the end then waits in the event queue.
    void ReleaseUntilWorkerEnded() {
        Release();
        const auto link = Repair()->Link();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!link->HasEnded() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(link->HasEnded()) << "the worker never posted its end";
    }

    std::shared_ptr<vrz::JobState> m_job;
};

TEST_F(RepairPage, ScanOfAnArchiveEndsWithThePreviewCommand) {
    const std::string archive = MakeArchive("src/backup.zip", 40, 30000);
    StartRepair(archive, false);
    CRepairPage* page = Repair();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(g_workerThread.IsSet());
    EXPECT_NE(page->FindWindow(wizard::kHomeButton), nullptr);
    EXPECT_FALSE(page->FindWindow(wizard::kHomeButton)->IsEnabled()) << "home is disabled while scanning";
    EXPECT_EQ(dynamic_cast<CXCmdBtn*>(page->FindWindow(wizard::kHomeButton))->CurrentImageId(),
              vrz::IDB_HOME_DISABLED)
        << "and looks it";
    EXPECT_EQ(page->ProgressBar()->GetRange(), 100);
    EXPECT_EQ(page->ProgressBar()->GetRect(), wxRect(110, 310, 538, 30));
    EXPECT_EQ(page->Animation()->GetRect(), wxRect(70, 150, 730, 140));
    EXPECT_EQ(page->FindWindow(wizard::kCancelButton)->GetRect(), wxRect(660, 312, 104, 26));

    const auto job = page->Job();
    EXPECT_EQ(job, m_job);
    Release();
    int lastShown = 0;
    bool movedBack = false;
    WaitFor(
        [&] {
            if (PageId() == wizard::kPageRepair) {
                const int shown = Repair()->ProgressBar()->GetValue();
                movedBack = movedBack || shown < lastShown;
                lastShown = shown;
            }
            return History().back() == kShowPreview;
        },
        "the end of the scan");
    EXPECT_FALSE(movedBack);
    EXPECT_EQ(History(), (std::vector<int>{kShowSource, kShowRepair, kShowPreview}));
    EXPECT_EQ(job->entryCount(), 40u);
    EXPECT_FALSE(job->scanFailed);
    EXPECT_EQ(&TheJob(), job.get()) << "the preview reads the job the scan filled";
    WaitForWorkers();
    EXPECT_FALSE(g_workerThread.IsSet());
}

TEST_F(RepairPage, BarFollowsTheScanThenTheVerificationButNeverMovesBack) {
    const std::string archive = MakeArchive("src/small.zip", 2, 500);
    StartRepair(archive, false);
    // Once the worker has posted its end it no longer writes the percentage.
    ReleaseUntilWorkerEnded();
    CRepairPage* page = Repair();
    const auto job = page->Job();
    EXPECT_EQ(job->verifyPercent, 100);  // every entry was verified before the end
    job->verifyPercent = -1;
    job->shownPercent = 0;
    // The scan fills the first half of the bar.
    job->progressPercent = 40;
    page->OnProgressTick();
    EXPECT_EQ(page->ProgressBar()->GetValue(), 20);
    job->progressPercent = 25;
    page->OnProgressTick();
    EXPECT_EQ(page->ProgressBar()->GetValue(), 20);
    job->progressPercent = 100;
    page->OnProgressTick();
    EXPECT_EQ(page->ProgressBar()->GetValue(), 50);
    // The verification the second.
    job->verifyPercent = 60;
    page->OnProgressTick();
    EXPECT_EQ(page->ProgressBar()->GetValue(), 80);
    WaitFor([&] { return History().back() == kShowPreview; }, "the end of the scan");
}

TEST_F(RepairPage, TooSmallFileShowsItsBoxAndReturnsToTheSource) {
    const std::string tiny = WriteFile("src/tiny.zip", std::string(30, 'P'));
    wxTEST_DIALOG(StartRepair(tiny, false);
                  WaitFor([&] { return History().back() == kShowSource && PageId() == wizard::kPageSource; },
                          "the way back to the source step"),
                  ExpectBox("IDS_WORD9", 1000));
    EXPECT_EQ(History(), (std::vector<int>{kShowSource, kShowRepair, kShowSource}));
    WaitForWorkers();
}

// A path that is there but cannot be read as a file (here a pipe).
TEST_F(RepairPage, UnreadableFileShowsFailedFile) {
    const std::string pipe = m_dir + "/pipe.zip";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    wxTEST_DIALOG(StartRepair(pipe, false);
                  WaitFor([&] { return History().back() == kShowSource; }, "the way back"),
                  ExpectBox("IDS_FAILEDFILE", 1000));
}

TEST_F(RepairPage, CancelAnsweredNoLetsTheScanFinish) {
    const std::string archive = MakeArchive("src/keep.zip", 5, 1000);
    StartRepair(archive, false);
    ReleaseUntilWorkerEnded();
    CRepairPage* page = Repair();
    const auto job = page->Job();
    // The end command is already queued; while the question is open it must
    // neither switch the page nor get lost.
    wxTEST_DIALOG(ClickButton(wizard::kCancelButton),
                  ExpectBox("IDS_WORD16", 1000, wxID_NO, "IDS_CONFIRM", 1000, wxICON_QUESTION).WhileOpen([&] {
                      EXPECT_TRUE(job->pauseGate.IsPaused());
                      WaitFor([&] { return page->HasDeferredWork(); }, "the end command to arrive");
                      EXPECT_EQ(PageId(), wizard::kPageRepair);
                  }));
    EXPECT_FALSE(job->pauseGate.IsPaused());
    EXPECT_TRUE(job->jobRunning);
    WaitFor([&] { return History().back() == kShowPreview; }, "the preview command");
    EXPECT_EQ(History(), (std::vector<int>{kShowSource, kShowRepair, kShowPreview}));
    EXPECT_EQ(job->entryCount(), 5u);
}

// Escape works like Cancel: it asks first, also when the keyboard is with
// the window rather than one of the page's controls; Cancel has it at first.
TEST_F(RepairPage, EscapeAsksToCancelTheScan) {
    const std::string archive = MakeArchive("src/escape.zip", 5, 1000);
    StartRepair(archive, false);
    vrz::guitest::Pump(std::chrono::milliseconds(50));
    // Without a window manager the window may never be active.
    if (wxWindow* focus = wxWindow::FindFocus()) {
        EXPECT_EQ(focus, Repair()->CancelButton());
    }
    for (wxWindow* target : {static_cast<wxWindow*>(m_frame), static_cast<wxWindow*>(Repair()->CancelButton())}) {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        escape.SetEventObject(target);
        wxTEST_DIALOG(target->GetEventHandler()->ProcessEvent(escape),
                      ExpectBox("IDS_WORD16", 1000, wxID_NO, "IDS_CONFIRM", 1000, wxICON_QUESTION));
    }
    EXPECT_EQ(PageId(), wizard::kPageRepair);
    Release();
    WaitFor([&] { return History().back() == kShowPreview; }, "the scan to end");
}

TEST_F(RepairPage, CancelAnsweredYesReturnsAndNoLaterCommandArrives) {
    const std::string archive = MakeArchive("src/drop.zip", 5, 1000);
    StartRepair(archive, false);
    ReleaseUntilWorkerEnded();
    const auto job = Repair()->Job();
    wxTEST_DIALOG(ClickButton(wizard::kCancelButton),
                  ExpectBox("IDS_WORD16", 1000, wxID_YES, "IDS_CONFIRM", 1000, wxICON_QUESTION),
                  ExpectBox("IDS_WORD8", 200));
    EXPECT_FALSE(job->jobRunning);
    EXPECT_EQ(job->progressPercent, 100);
    EXPECT_FALSE(g_workerThread.IsSet());
    EXPECT_NE(&TheJob(), job.get()) << "the next job must not share the abandoned worker's table";
    WaitFor([&] { return PageId() == wizard::kPageSource; }, "the source step");
    WaitForWorkers();
    vrz::guitest::Pump(std::chrono::milliseconds(100));
    EXPECT_EQ(History(), (std::vector<int>{kShowSource, kShowRepair, kShowSource}));
    EXPECT_EQ(TheJob().entryCount(), 0u);
}

// A cancel in the middle of a scan: the held worker stops at its next poll,
// and a new repair started at once gets a table of its own.
TEST_F(RepairPage, AbandonedWorkerStopsAndLeavesTheNextJobAlone) {
    const std::string big = MakeArchive("src/big.zip", 50, 20000);
    StartRepair(big, false);
    const auto first = Repair()->Job();
    wxTEST_DIALOG(ClickButton(wizard::kCancelButton),
                  ExpectBox("IDS_WORD16", 1000, wxID_YES, "IDS_CONFIRM", 1000, wxICON_QUESTION),
                  ExpectBox("IDS_WORD8", 200));
    WaitFor([&] { return PageId() == wizard::kPageSource; }, "the source step");

    const std::string small = MakeArchive("src/next.zip", 3, 100);
    vrz::JobState& next = TheJob();
    next.splitMode = false;
    dynamic_cast<CBaseWndStep*>(Page())->PathBox()->SetValue(FromUtf8(small));
    ClickButton(wizard::kRepairButton);
    WaitFor([&] { return History().back() == kShowPreview; }, "the second scan");
    EXPECT_EQ(TheJob().entryCount(), 3u);
    WaitForWorkers();
    EXPECT_LT(first->entryCount(), 50u) << "the abandoned scan was meant to stop early";
    EXPECT_EQ(History(), (std::vector<int>{kShowSource, kShowRepair, kShowSource, kShowRepair, kShowPreview}));
}

TEST_F(RepairPage, ClosingDuringTheScanIsRefused) {
    const std::string archive = MakeArchive("src/busy.zip", 5, 1000);
    StartRepair(archive, false);
    wxTEST_DIALOG(EXPECT_FALSE(m_frame->Close()), ExpectBox("IDS_WORD17", 200));
    EXPECT_TRUE(m_frame->IsShown());
    EXPECT_EQ(PageId(), wizard::kPageRepair);
    Release();
    WaitFor([&] { return History().back() == kShowPreview; }, "the scan to end");
}

TEST_F(RepairPage, SplitArchiveMadeByZipIsScannedAcrossItsParts) {
    MakeArchive("split-src/whole.zip", 30, 20000);
    const std::string parts = Folder("split");
    const std::string command = "cd '" + parts + "' && zip -q -s 128k -O data.zip '" + m_dir + "/split-src/whole.zip'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    StartRepair(parts, true);
    const auto job = Repair()->Job();
    Release();
    WaitFor([&] { return History().back() == kShowPreview; }, "the split scan");
    EXPECT_TRUE(job->scannedSplit);
    EXPECT_GT(job->totalPartsSize, 128u * 1024);
    EXPECT_EQ(job->entryCount(), 30u);
}

TEST_F(RepairPage, UnreadablePartStopsTheWorkerWithoutACommand) {
    const std::string parts = Folder("locked");
    WriteFile("locked/data.z01", "x");
    const std::string locked = parts + "/data.zip";
    if (::geteuid() != 0) {
        WriteFile("locked/data.zip", "x");
        ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    } else {
        // Root reads any file it owns; a write-only kernel setting is a
        // regular file that even root cannot open for reading.
        ASSERT_EQ(::symlink("/proc/sys/vm/drop_caches", locked.c_str()), 0);
    }
    if (std::FILE* probe = std::fopen(locked.c_str(), "rb")) {
        std::fclose(probe);
        GTEST_SKIP() << "no unreadable file can be made here";
    }
    // The failure is posted before the end, so once the end is taken the box has been shown.
    wxTEST_DIALOG(StartRepair(parts, true); Release();
                  WaitFor([&] { return Repair()->Link()->delivered; }, "the end of the worker"),
                  ExpectBox("IDS_FAILEDFILE", 1000));
    WaitForWorkers();
    EXPECT_EQ(PageId(), wizard::kPageRepair) << "the page stays until the user cancels";
    EXPECT_FALSE(g_workerThread.IsSet());
    wxTEST_DIALOG(ClickButton(wizard::kCancelButton),
                  ExpectBox("IDS_WORD16", 1000, wxID_YES, "IDS_CONFIRM", 1000, wxICON_QUESTION),
                  ExpectBox("IDS_WORD8", 200));
    WaitFor([&] { return PageId() == wizard::kPageSource; }, "the source step");
}

}  // namespace
