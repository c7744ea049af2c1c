// Whole runs of the wizard: a damaged archive (or a folder of split parts)
// goes through the source, repair, preview and save steps, driven by the
// same events a person's clicks send, with every dialog answered by script.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "ArchiveFixtures.h"
#include "GuiTestSupport.h"
#include "ScreenshotSupport.h"
#include "app/CBaseWndStep.h"
#include "app/CMainFrame.h"
#include "app/SavePage.h"
#include "app/ShellLaunch.h"
#include "app/UiText.h"
#include "app/WizardIds.h"
#include "app/WizardJob.h"
#include "app/ChromeDialogs.h"
#include "controls/CAboutDlg.h"
#include "controls/CXListCtrl.h"
#include "io/FileIo.h"
#include "preview/CPreviewPage.h"
#include "text/LanguageTexts.h"

namespace {

using namespace std::chrono_literals;
using vrz::guitest::DialogScript;
using vrz::guitest::ShownDialog;

// Opens nothing; remembers what the wizard asked to open.
class RecordingShell : public ShellPlatform {
public:
    RecordingShell() { SetShellPlatformForTesting(this); }
    ~RecordingShell() override { SetShellPlatformForTesting(nullptr); }
    bool OpenUrl(const std::string& url) override {
        urls.push_back(url);
        return opens;
    }
    bool StartProcess(const std::vector<std::string>&) override { return opens; }
    std::vector<std::string> urls;
    bool opens = true;  // false: no browser and no file manager installed
};

// The size column's text for a file: whole kilobytes, at least 1.
std::string ShownKB(const std::string& path) {
    std::uint64_t size = 0;
    vrz::FileSize(path, &size);
    return std::to_string(std::max<std::uint64_t>(size >> 10, 1));
}

std::string Text(const char* key, std::size_t capacity) {
    return ToUtf8(LoadUiText(key, capacity));
}

class WizardRun : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/vrz-wizard-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        root_ = name;
        destination_ = root_ + "/saved";
        vrz::guitest::RunCommand("mkdir -p " + vrz::guitest::Quote(destination_));
        expected_ = vrz::guitest::WriteSampleTree(root_);
        CSavePage::SetFolderChooserForTesting([this](wxWindow*, const wxString& title, wxString* path) {
            ++folderDialogs_;
            folderDialogTitle_ = ToUtf8(title);
            folderDialogStart_ = ToUtf8(*path);
            if (chooseNoFolder_) return false;
            *path = FromUtf8(destination_);
            return true;
        });
        frame_ = new CMainFrame(wxString());
        ASSERT_TRUE(frame_->CreateFrame());
        frame_->Show();
    }

    void TearDown() override {
        if (frame_ == nullptr) return;  // skipped before the frame was made
        CSavePage::SetFolderChooserForTesting(nullptr);
        vrz::SetWriteLimitForTesting(UINT64_MAX);
        EXPECT_TRUE(vrz::guitest::PumpUntil([] { return !g_saveThread.IsSet() && !g_workerThread.IsSet(); }, 30s));
        frame_->Destroy();
        vrz::guitest::Pump(50ms);
        JoinAllWorkerThreads();
        vrz::guitest::RunCommand("rm -rf " + vrz::guitest::Quote(root_));
    }

    bool WaitForPage(int pageId, std::chrono::milliseconds timeout = 60s) {
        return vrz::guitest::PumpUntil([&] { return frame_->CurrentPageId() == pageId; }, timeout);
    }

    // What a click on the page's control id sends.
    void Click(int id) {
        StepPage* page = frame_->CurrentPage();
        ASSERT_NE(page, nullptr);
        wxWindow* control = page->FindWindow(id);
        ASSERT_NE(control, nullptr) << id;
        ASSERT_TRUE(control->IsShown() && control->IsEnabled()) << id;
        wxCommandEvent click(wxEVT_BUTTON, id);
        click.SetEventObject(control);
        control->GetEventHandler()->ProcessEvent(click);
    }

    // The source step with path typed in as the browse menu leaves it, then Repair.
    void RepairFrom(const std::string& path, bool split) {
        ASSERT_TRUE(WaitForPage(wizard::kPageSource));
        auto* source = dynamic_cast<CBaseWndStep*>(frame_->CurrentPage());
        ASSERT_NE(source, nullptr);
        vrz::JobState& job = TheJob();
        job.splitMode = split;
        job.bytesScanned = 0;
        job.jobRunning = true;
        source->PathBox()->SetValue(FromUtf8(path));
        Click(wizard::kRepairButton);
        ASSERT_TRUE(WaitForPage(wizard::kPagePreview)) << "the scan did not reach the preview";
    }

    CSavePage* SavePage() const { return dynamic_cast<CSavePage*>(frame_->CurrentPage()); }

    // From the preview: Next, choose the folder, Save.
    void StartSaving() {
        Click(CPreviewPage::IDC_NEXT);
        ASSERT_TRUE(WaitForPage(wizard::kPageSave));
        Click(CSavePage::IDC_BROWSE);
        ASSERT_EQ(SavePage()->PathBox()->GetValue(), FromUtf8(destination_));
        Click(CSavePage::IDC_SAVE);
    }

    std::string MakeDamagedArchive(const std::string& name) {
        const std::string archive = root_ + "/" + name;
        EXPECT_TRUE(vrz::guitest::ZipTree(root_, archive));
        EXPECT_TRUE(vrz::guitest::CutAtCentralDirectory(archive));
        return archive;
    }

    std::string root_;
    std::string destination_;
    std::vector<std::string> expected_;
    CMainFrame* frame_ = nullptr;
    RecordingShell shell_;
    int folderDialogs_ = 0;
    std::string folderDialogTitle_;
    std::string folderDialogStart_;
    bool chooseNoFolder_ = false;
};

int AnswerOk(wxDialog*, const ShownDialog&) {
    return wxID_OK;
}

TEST_F(WizardRun, DamagedArchiveIsSavedWithEveryEntryAndTheFolderOpens) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);

    // Root view of the preview: the top-level names, the folder with the
    // kilobytes below it; nothing is lost, so no "#Lost Files".
    auto* preview = dynamic_cast<CPreviewPage*>(frame_->CurrentPage());
    ASSERT_NE(preview, nullptr);
    std::vector<std::string> rows;
    for (long i = 0; i < preview->List()->GetItemCount(); ++i) {
        rows.push_back(ToUtf8(preview->List()->GetItemText(i, 0)) + "|" +
                       ToUtf8(preview->List()->GetItemText(i, 1)));
    }
    const std::string tree = root_ + "/tree/";
    std::uint64_t guide = 0;
    std::uint64_t logo = 0;
    vrz::FileSize(tree + "docs/guide.txt", &guide);
    vrz::FileSize(tree + "docs/img/logo.bin", &logo);
    EXPECT_EQ(rows, (std::vector<std::string>{"big.bin|" + ShownKB(tree + "big.bin"),
                                              "docs|" + std::to_string((guide >> 10) + (logo >> 10)), "empty.dat|1",
                                              "notes|1", "readme.txt|" + ShownKB(tree + "readme.txt")}));
    EXPECT_EQ(ToUtf8(preview->TotalsText()), Text("IDS_TOTALFILES", vrz::kTextCapacity) + ": 8");
    // Whole kilobytes of every entry, without the minimum of 1.
    float recovered = 0;
    for (const char* file : {"big.bin", "readme.txt", "notes", "empty.dat", "docs/guide.txt", "docs/img/logo.bin"}) {
        std::uint64_t size = 0;
        ASSERT_TRUE(vrz::FileSize(tree + file, &size));
        recovered += static_cast<float>(size >> 10);
    }
    EXPECT_EQ(TheJob().recoveredSizeKB, recovered);

    StartSaving();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));

    const std::string output = destination_ + "/mail_fixed.zip";
    EXPECT_EQ(vrz::guitest::FilesIn(destination_), std::vector<std::string>{"mail_fixed.zip"});
    EXPECT_EQ(vrz::guitest::CheckRepairedArchive(output, root_, expected_), "");
    EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n"), 1);
    // The completion box names the file written; every entry was intact, so it lists none.
    std::string named = Text("IDS_SAVED_TO", vrz::kTextCapacity);
    named.replace(named.find("%s"), 2, output);
    int naming = 0;
    for (const vrz::guitest::ShownDialog& shown : dialogs.Shown()) {
        if (shown.message.find(named) != std::string::npos) ++naming;
        EXPECT_EQ(shown.message.find(Text("IDS_DAMAGED_LIST", vrz::kTextCapacity)), std::string::npos);
    }
    EXPECT_EQ(naming, 1);
    ASSERT_EQ(shell_.urls.size(), 1u);
    EXPECT_EQ(shell_.urls[0], FileUrl(destination_));
    const std::vector<int> steps(frame_->NavigationHistory().begin(), frame_->NavigationHistory().end());
    EXPECT_EQ(steps, (std::vector<int>{wizard::kShowSource, wizard::kShowRepair, wizard::kShowPreview,
                                       wizard::kShowSave, wizard::kShowSource}));
}

}  // namespace

namespace {

// Answers the abort question with answer and every other box with OK.
DialogScript::Answer AbortAnswer(int answer) {
    return [answer](wxDialog*, const ShownDialog& shown) {
        return shown.style & wxYES_NO ? answer : wxID_OK;
    };
}

std::vector<std::string> RenameParts(const std::string& folder, const std::string& base) {
    // .z01 ... .zip become .zx01 ... .zipx: the other family of part names.
    std::vector<std::string> renamed;
    for (const std::string& name : vrz::guitest::FilesIn(folder)) {
        std::string target = name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".zip") == 0) {
            target = base + ".zipx";
        } else if (name.compare(0, base.size() + 2, base + ".z") == 0) {
            target = base + ".zx" + name.substr(base.size() + 2);
        }
        std::rename((folder + "/" + name).c_str(), (folder + "/" + target).c_str());
        renamed.push_back(target);
    }
    return renamed;
}

TEST_F(WizardRun, SplitFoldersOfBothFamiliesAreSavedAsOneArchive) {
    struct Family {
        bool zipx;
        const char* output;
    };
    for (const Family family : {Family{false, "parts_fixed.zip"}, Family{true, "parts_fixed.zipx"}}) {
        SCOPED_TRACE(family.output);
        const std::string folder = root_ + (family.zipx ? "/split-zipx" : "/split-zip");
        ASSERT_TRUE(vrz::guitest::ZipTreeSplit(root_, folder, "parts", 100));
        // The transfer broke before the central directory at the end.
        ASSERT_TRUE(vrz::guitest::CutAtCentralDirectory(folder + "/parts.zip"));
        if (family.zipx) RenameParts(folder, "parts");
        ASSERT_GE(vrz::guitest::FilesIn(folder).size(), 3u);

        DialogScript dialogs(AnswerOk);
        RepairFrom(folder, true);
        EXPECT_TRUE(TheJob().scannedSplit);
        StartSaving();
        ASSERT_TRUE(WaitForPage(wizard::kPageSource));

        EXPECT_EQ(vrz::guitest::FilesIn(destination_), std::vector<std::string>{family.output});
        EXPECT_EQ(vrz::guitest::CheckRepairedArchive(destination_ + "/" + family.output, root_, expected_), "");
        EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n"), 1);
        vrz::RemoveFile(destination_ + "/" + family.output);
    }
}

TEST_F(WizardRun, SecondAndThirdSaveIntoTheSameFolderAddANumber) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    DialogScript dialogs(AnswerOk);
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        RepairFrom(archive, false);
        // Each save starts from an empty bar, whatever the last one reached.
        TheJob().pauseGate.Pause();
        StartSaving();
        ASSERT_NE(SavePage(), nullptr);
        vrz::guitest::Pump(150ms);
        EXPECT_EQ(SavePage()->ProgressBar()->GetValue(), 0);
        TheJob().pauseGate.Resume();
        ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    }
    EXPECT_EQ(vrz::guitest::FilesIn(destination_),
              (std::vector<std::string>{"mail_fixed.zip", "mail_fixed1.zip", "mail_fixed2.zip"}));
    EXPECT_EQ(vrz::guitest::CheckRepairedArchive(destination_ + "/mail_fixed1.zip", root_, expected_), "");
}

TEST_F(WizardRun, AbortAnsweredYesLeavesNothingBehind) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    int barBehindBoxes = -1;
    DialogScript dialogs([&](wxDialog*, const ShownDialog& shown) {
        if (CSavePage* page = SavePage()) barBehindBoxes = std::max(barBehindBoxes, page->ProgressBar()->GetValue());
        return shown.style & wxYES_NO ? wxID_YES : wxID_OK;
    });
    RepairFrom(archive, false);
    // Hold the writer at its first poll so the question comes mid-save.
    TheJob().pauseGate.Pause();
    StartSaving();
    CSavePage* save = SavePage();
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(save->IsSaving());
    EXPECT_FALSE(save->PathBox()->IsShown());
    EXPECT_FALSE(save->SaveButton()->IsShown());
    EXPECT_TRUE(save->ProgressBar()->IsShown());
    EXPECT_FALSE(save->HomeButton()->IsEnabled());
    EXPECT_EQ(ToUtf8(save->Heading()), Text("IDS_SAVEFILE", vrz::kTextCapacity));
    EXPECT_TRUE(g_saveThread.IsSet());

    const std::size_t found = TheJob().entryCount();
    Click(CSavePage::IDC_CANCEL);
    // Back at the save step, with the scan kept for another try.
    ASSERT_TRUE(vrz::guitest::PumpUntil([&] { return frame_->NavigationHistory().size() == 5; }, 60s));
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));
    EXPECT_FALSE(SavePage()->IsSaving());
    EXPECT_TRUE(SavePage()->PathBox()->IsShown());
    EXPECT_EQ(TheJob().entryCount(), found);

    ASSERT_GE(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[0].message, Text("IDS_WORD16", vrz::kTextCapacity));
    EXPECT_EQ(dialogs.Shown()[0].caption, Text("IDS_CONFIRM", vrz::kTextCapacity));
    EXPECT_EQ(dialogs.Shown()[1].message, Text("IDS_SAVE_ABORTED", vrz::kTextCapacityCaption));
    EXPECT_EQ(barBehindBoxes, 0) << "the bar stays where the save stopped";
    EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n"), 0);
    EXPECT_TRUE(shell_.urls.empty());
    EXPECT_TRUE(vrz::guitest::PumpUntil([] { return !g_saveThread.IsSet(); }, 10s));
    // No archive and no temporary file in the destination.
    EXPECT_TRUE(vrz::guitest::FilesIn(destination_).empty());
}

TEST_F(WizardRun, AbortAnsweredNoFinishesTheSave) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    DialogScript dialogs(AbortAnswer(wxID_NO));
    RepairFrom(archive, false);
    TheJob().pauseGate.Pause();
    StartSaving();
    Click(CSavePage::IDC_CANCEL);
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_WORD16", vrz::kTextCapacity)), 1);
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_SAVE_ABORTED", vrz::kTextCapacityCaption)), 0);
    EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n"), 1);
    EXPECT_EQ(vrz::guitest::CheckRepairedArchive(destination_ + "/mail_fixed.zip", root_, expected_), "");
}

TEST_F(WizardRun, ClosingWhileSavingIsRefusedAndTheBarNeverMovesBack) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    TheJob().pauseGate.Pause();
    StartSaving();
    CSavePage* save = SavePage();
    ASSERT_NE(save, nullptr);

    EXPECT_FALSE(frame_->Close());
    vrz::guitest::Pump(50ms);
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_WORD17", vrz::kTextCapacityCaption)), 1);
    ASSERT_EQ(frame_->CurrentPageId(), wizard::kPageSave);

    save->Job()->savePercent = 40;
    save->OnProgressTick();
    EXPECT_EQ(save->ProgressBar()->GetValue(), 40);
    save->Job()->savePercent = 20;
    save->OnProgressTick();
    EXPECT_EQ(save->ProgressBar()->GetValue(), 40);

    TheJob().pauseGate.Resume();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    EXPECT_EQ(vrz::guitest::FilesIn(destination_), std::vector<std::string>{"mail_fixed.zip"});
}

// A failed save (here a disk that fills up) says why, leaves nothing behind
// and returns to the save step with the scan kept: another folder is chosen
// and saved at once. A folder that cannot take files is refused when chosen.
TEST_F(WizardRun, FailedSaveReturnsToTheSaveStepForAnotherFolder) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    int barBehindBox = -1;
    DialogScript dialogs([&](wxDialog*, const ShownDialog&) {
        if (CSavePage* page = SavePage()) barBehindBox = page->ProgressBar()->GetValue();
        return wxID_OK;
    });
    RepairFrom(archive, false);
    const std::size_t found = TheJob().entryCount();
    // The disk fills up after the first 10 KB, well before the bar could be full.
    vrz::SetWriteLimitForTesting(10 * 1024);
    StartSaving();
    ASSERT_TRUE(vrz::guitest::PumpUntil([&] { return frame_->NavigationHistory().size() == 5; }, 60s));
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));
    vrz::SetWriteLimitForTesting(UINT64_MAX);

    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].message.rfind(Text("IDS_SAVE_DISK_FULL", vrz::kTextCapacity), 0), 0u)
        << dialogs.Shown()[0].message;
    EXPECT_NE(dialogs.Shown()[0].message.find("mail_fixed.zip"), std::string::npos) << dialogs.Shown()[0].message;
    EXPECT_EQ(dialogs.Shown()[0].caption, Text("IDS_ERROR", vrz::kTextCapacityCaption));
    EXPECT_TRUE(dialogs.Shown()[0].style & wxICON_ERROR);
    EXPECT_LT(barBehindBox, 100) << "a failed save never shows a full bar";
    EXPECT_TRUE(shell_.urls.empty());
    EXPECT_TRUE(vrz::guitest::FilesIn(destination_).empty());
    EXPECT_EQ(TheJob().entryCount(), found) << "the scan is kept";

    // A file is no folder to save in: refused at once, and the box stays empty.
    const std::string notAFolder = root_ + "/mail.zip";
    destination_ = notAFolder;
    Click(CSavePage::IDC_BROWSE);
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[1].message, Text("IDS_FOLDER_NOT_WRITABLE", vrz::kTextCapacity) + "\n\n" + notAFolder);
    EXPECT_EQ(dialogs.Shown()[1].caption, Text("IDS_ERROR", vrz::kTextCapacityCaption));
    EXPECT_TRUE(SavePage()->PathBox()->GetValue().empty());

    destination_ = root_ + "/elsewhere";
    vrz::guitest::RunCommand("mkdir -p " + vrz::guitest::Quote(destination_));
    Click(CSavePage::IDC_BROWSE);
    Click(CSavePage::IDC_SAVE);
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    EXPECT_EQ(vrz::guitest::CheckRepairedArchive(destination_ + "/mail_fixed.zip", root_, expected_), "");
    const std::vector<int> steps(frame_->NavigationHistory().begin(), frame_->NavigationHistory().end());
    EXPECT_EQ(steps, (std::vector<int>{wizard::kShowSource, wizard::kShowRepair, wizard::kShowPreview,
                                       wizard::kShowSave, wizard::kShowSave, wizard::kShowSource}));
}

// Random bytes hold no entry: the wizard says nothing could be recovered and
// goes back to the source step; no empty archive is ever offered or written.
TEST_F(WizardRun, RandomBytesNamedZipRecoverNothingAndOfferNoSave) {
    const std::string noise = root_ + "/noise.zip";
    ASSERT_EQ(vrz::guitest::RunCommand("python3 -c \"import random, sys; r = random.Random(20261208); "
                                       "open(sys.argv[1], 'wb').write(bytes(r.getrandbits(8) for _ in range(300 * 1024)))\" " +
                                       vrz::guitest::Quote(noise)),
              0);
    DialogScript dialogs(AnswerOk);
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    TheJob().splitMode = false;
    TheJob().jobRunning = true;
    dynamic_cast<CBaseWndStep*>(frame_->CurrentPage())->PathBox()->SetValue(FromUtf8(noise));
    Click(wizard::kRepairButton);
    ASSERT_TRUE(vrz::guitest::PumpUntil([&] { return frame_->NavigationHistory().size() >= 3; }, 60s));
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));

    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].message, Text("IDS_NOTHING_RECOVERED", vrz::kTextCapacity));
    const std::vector<int> steps(frame_->NavigationHistory().begin(), frame_->NavigationHistory().end());
    EXPECT_EQ(steps, (std::vector<int>{wizard::kShowSource, wizard::kShowRepair, wizard::kShowSource}));
    EXPECT_EQ(folderDialogs_, 0);
    EXPECT_TRUE(vrz::guitest::FilesIn(destination_).empty());
}

// Without a file manager the folder cannot open: the user is told, and
// where the archive is.
TEST_F(WizardRun, FolderThatCannotOpenIsReportedWithTheArchivePath) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    shell_.opens = false;
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    StartSaving();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    const std::string output = destination_ + "/mail_fixed.zip";
    EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n"), 1);
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_FOLDER_NOT_OPENED", vrz::kTextCapacity) + "\n\n" + output), 1);
    EXPECT_EQ(vrz::guitest::CheckRepairedArchive(output, root_, expected_), "");
}

TEST_F(WizardRun, SaveNeedsAFolderAndCancellingTheDialogEmptiesTheBox) {
    const std::string archive = MakeDamagedArchive("mail.zip");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    Click(CPreviewPage::IDC_NEXT);
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));

    Click(CSavePage::IDC_SAVE);
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_WORD6", vrz::kTextCapacityCaption)), 1);
    EXPECT_FALSE(SavePage()->IsSaving());

    Click(CSavePage::IDC_BROWSE);
    EXPECT_EQ(folderDialogStart_, root_) << "the first folder dialog opens beside the damaged archive";
    EXPECT_EQ(SavePage()->PathBox()->GetValue(), FromUtf8(destination_));
    chooseNoFolder_ = true;
    Click(CSavePage::IDC_BROWSE);
    EXPECT_TRUE(SavePage()->PathBox()->GetValue().empty());
    Click(CSavePage::IDC_SAVE);
    EXPECT_EQ(dialogs.CountMessages(Text("IDS_WORD6", vrz::kTextCapacityCaption)), 2);
    EXPECT_EQ(folderDialogs_, 2);
    EXPECT_EQ(folderDialogTitle_, Text("IDS_SELECT_FOLDER_TO_SAVE", vrz::kTextCapacity));
    EXPECT_TRUE(vrz::guitest::FilesIn(destination_).empty());

    // Home goes back to the source step without saving.
    Click(wizard::kHomeButton);
    EXPECT_TRUE(WaitForPage(wizard::kPageSource));
}

}  // namespace

namespace {

// Pictures of the later steps and dialogs for the documentation. They are
// taken only when VRZ_SCREENSHOT_DIR names a folder (scripts/screenshots).
class WizardScreenshots : public WizardRun {
protected:
    void SetUp() override {
        folder_ = vrz::guitest::ScreenshotFolder();
        if (folder_.empty()) GTEST_SKIP() << "VRZ_SCREENSHOT_DIR is not set";
        vrz::guitest::UseScreenshotLanguage();
        WizardRun::SetUp();
        frame_->Move(20, 20);
    }
    void TearDown() override {
        WizardRun::TearDown();
        vrz::SelectLanguage(0);
    }

    // Lets everything paint, then grabs rect of the screen into name.png.
    void Capture(const wxRect& rect, const std::string& name) { vrz::guitest::CaptureScreen(*frame_, rect, name); }

    wxRect FrameArea() const { return frame_->GetScreenRect(); }

    std::string folder_;
};

TEST_F(WizardScreenshots, PreviewSaveTipsAndAbout) {
    const std::string archive = MakeDamagedArchive("holiday-photos.zip");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    Capture(FrameArea(), "preview-page");

    auto* preview = dynamic_cast<CPreviewPage*>(frame_->CurrentPage());
    ASSERT_NE(preview, nullptr);
    frame_->ShowTips();
    ASSERT_NE(frame_->TipsDialog(), nullptr);
    Capture(FrameArea(), "tips-note");
    frame_->TipsDialog()->Destroy();

    Click(CPreviewPage::IDC_NEXT);
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));
    Capture(FrameArea(), "save-step");
    Click(wizard::kHomeButton);
    RepairFrom(archive, false);
    TheJob().pauseGate.Pause();
    StartSaving();
    CSavePage* save = SavePage();
    ASSERT_NE(save, nullptr);
    save->Job()->savePercent = 45;
    save->OnProgressTick();
    Capture(FrameArea(), "save-step-saving");
    TheJob().pauseGate.Resume();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));

    // The completion box is answered by script; the About box is modal in
    // use and shown modeless here so it can be pictured.
    auto* about = new CAboutDlg(frame_, AboutContent());
    about->Show();
    vrz::guitest::Pump(300ms);
    const wxRect box = about->GetScreenRect();
    EXPECT_EQ(about->GetClientSize(), wxSize(435, 190));
    Capture(box, "about-box");
    about->Destroy();
}

}  // namespace

#include <unistd.h>

#include <cstdio>
#include <fstream>

#include <wx/checkbox.h>

#include "app/CompletionDialog.h"
#include "controls/CHyperLink.h"
#include "preview/FindingsDialog.h"
#include "text/ProgramPaths.h"
#include "text/SaveChoices.h"

namespace {

// Archives as the writers without folder entries make them, the preview
// that shows them, and what the wizard says of what was lost.
class PreviewOfRealArchives : public WizardRun {
protected:
    // Runs a Python script that gets the archive's path as sys.argv[1].
    std::string PythonArchive(const std::string& name, const std::string& body) {
        const std::string archive = root_ + "/" + name;
        const std::string script = root_ + "/make_" + name + ".py";
        std::ofstream(script) << "import sys, zipfile\n" << body;
        std::string output;
        EXPECT_EQ(vrz::guitest::RunCommand("python3 " + vrz::guitest::Quote(script) + " " +
                                               vrz::guitest::Quote(archive), &output), 0) << output;
        return archive;
    }

    CPreviewPage* Preview() const { return dynamic_cast<CPreviewPage*>(frame_->CurrentPage()); }

    // The names the list shows, in its order.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        CXListCtrl* list = Preview()->List();
        for (long i = 0; i < list->GetItemCount(); ++i) names.push_back(ToUtf8(list->GetItemText(i, 0)));
        return names;
    }

    // A double-click on the row named name.
    void Open(const std::string& name) {
        const std::vector<std::string> names = Names();
        const auto at = std::find(names.begin(), names.end(), name);
        ASSERT_NE(at, names.end()) << name;
        Preview()->ActivateItem(static_cast<long>(at - names.begin()));
    }
};

// Python writes no folder entries: the folders come from the paths, a folder
// holds exactly its own names, and whether a row opens comes from the entry.
TEST_F(PreviewOfRealArchives, FoldersComeFromThePathsOfFiveThousandFiles) {
    const std::string archive = PythonArchive("tree.zip",
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    for t in range(50):\n"
        "        for s in range(10):\n"
        "            for f in range(10):\n"
        "                z.writestr('d%02d/s%d/f%d.txt' % (t, s, f), 'x' * (100 + f))\n"
        "    z.writestr('d07/readme.txt', 'one' * 1000)\n"
        "    z.writestr('d08/readme.txt', 'two' * 2000)\n"
        "    z.writestr('docs/readme.txt', 'r')\n"
        "    z.writestr('mydocs/secret.txt', 's')\n"
        "    z.writestr('mydocs/notes.txt', 'n')\n"
        "    z.writestr('caf\\u00e9/menu.txt', 'm')\n"
        "    z.writestr('\\u65e5\\u672c\\u8a9e/a.txt', 't')\n"
        "    z.writestr(zipfile.ZipInfo('backup.2020/'), '')\n"
        "    z.writestr('backup.2020/old.txt', 'o')\n"
        "    z.writestr('Makefile', 'all:')\n"
        "    z.writestr('LICENSE', 'free')\n");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    ASSERT_NE(Preview(), nullptr);
    std::vector<std::string> root = Names();
    ASSERT_EQ(root.size(), 57u);
    for (const char* name : {"backup.2020", "caf\xC3\xA9", "d00", "d49", "docs", "LICENSE", "Makefile", "mydocs",
                             "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"}) {
        EXPECT_NE(std::find(root.begin(), root.end(), name), root.end()) << name;
    }
    EXPECT_EQ(std::find(root.begin(), root.end(), "#Lost Files"), root.end());

    Open("docs");
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "readme.txt"}));
    Open("..");
    Open("mydocs");
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "notes.txt", "secret.txt"}));
    Open("..");
    // Two files of the same name stay in their own folders, each with its size.
    Open("d07");
    EXPECT_EQ(Names().size(), 12u);
    EXPECT_EQ(ToUtf8(Preview()->List()->GetItemText(1, 0)), "readme.txt");
    EXPECT_EQ(ToUtf8(Preview()->List()->GetItemText(1, 1)), "2");
    Open("s3");
    EXPECT_EQ(Preview()->Model().CurrentFolder(), "d07/s3/");
    EXPECT_EQ(Names().size(), 11u);
    Open("..");
    Open("..");
    Open("d08");
    EXPECT_EQ(ToUtf8(Preview()->List()->GetItemText(1, 1)), "5");
    Open("..");

    Open("Makefile");
    Open("LICENSE");
    EXPECT_EQ(Names(), root);
    Open("backup.2020");
    EXPECT_EQ(Names(), (std::vector<std::string>{"..", "old.txt"}));
    EXPECT_TRUE(Preview()->FindingLines().empty());
    EXPECT_FALSE(Preview()->DetailsLink()->IsShown());
}

// A cut archive and a split set without one of its parts: the preview says
// what was lost in words, and Details lists each finding.
TEST_F(PreviewOfRealArchives, LossesAreStatedOnThePreviewPage) {
    const std::string archive = MakeDamagedArchive("cut.zip");
    std::uint64_t size = 0;
    ASSERT_TRUE(vrz::FileSize(archive, &size));
    ASSERT_EQ(::truncate(archive.c_str(), static_cast<off_t>(size - 100)), 0);
    int detailRows = 0;
    std::string detailKind;
    DialogScript dialogs([&](wxDialog* dialog, const ShownDialog&) {
        if (auto* findings = dynamic_cast<FindingsDialog*>(dialog)) {
            detailRows = findings->List()->GetItemCount();
            detailKind = ToUtf8(findings->List()->GetItemText(0, 2));
        }
        return wxID_OK;
    });
    RepairFrom(archive, false);
    ASSERT_NE(Preview(), nullptr);
    ASSERT_EQ(Preview()->FindingLines().size(), 1u);
    EXPECT_EQ(ToUtf8(Preview()->FindingLines()[0]), Text("IDS_FINDING_CUT_ONE", vrz::kTextCapacity));
    ASSERT_TRUE(Preview()->DetailsLink()->IsShown());
    Click(CPreviewPage::IDC_FINDING_DETAILS);
    EXPECT_EQ(detailRows, 1);
    EXPECT_EQ(detailKind, Text("IDS_FINDING_KIND0", vrz::kTextCapacity));
    Click(wizard::kHomeButton);

    const std::string parts = root_ + "/parts";
    ASSERT_TRUE(vrz::guitest::ZipTreeSplit(root_, parts, "set", 64));
    ASSERT_EQ(std::remove((parts + "/set.z02").c_str()), 0);
    RepairFrom(parts, true);
    ASSERT_NE(Preview(), nullptr);
    const std::vector<wxString>& lines = Preview()->FindingLines();
    std::string missing = Text("IDS_FINDING_PART_MISSING", vrz::kTextCapacity);
    missing = missing.substr(0, missing.find("%s")) + "set.z02";
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const wxString& line) {
        return ToUtf8(line).rfind(missing, 0) == 0;
    })) << (lines.empty() ? std::string("no lines") : ToUtf8(lines[0]));
}

// Stored files whose every data byte was damaged: each one is written as it
// was found, and the end of the save is a warning listing all of them.
TEST_F(PreviewOfRealArchives, AllDamagedArchiveEndsWithAWarningAndTheFullList) {
    const std::string archive = PythonArchive("broken.zip",
        "names = ['f%03d.txt' % i for i in range(300)]\n"
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:\n"
        "    for n in names: z.writestr(n, ('content of ' + n + ' ') * 20)\n"
        "data = bytearray(open(sys.argv[1], 'rb').read())\n"
        "for n in names:\n"
        "    at = data.find(('content of ' + n).encode())\n"
        "    data[at] ^= 0xFF\n"
        "open(sys.argv[1], 'wb').write(bytes(data))\n");
    bool warning = false;
    std::string caption;
    std::string listed;
    DialogScript dialogs([&](wxDialog* dialog, const ShownDialog&) {
        if (auto* done = dynamic_cast<CompletionDialog*>(dialog)) {
            warning = done->IsWarning();
            caption = ToUtf8(done->GetTitle());
            listed = ToUtf8(done->ListField()->GetValue());
        }
        return wxID_OK;
    });
    RepairFrom(archive, false);
    StartSaving();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    EXPECT_TRUE(warning);
    EXPECT_EQ(caption, Text("IDS_WARNING", vrz::kTextCapacityCaption));
    for (int i = 0; i < 300; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "\nf%03d.txt - ", i);
        EXPECT_NE(listed.find(name), std::string::npos) << name;
    }
    EXPECT_EQ(dialogs.CountMessagesStartingWith(Text("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption)), 0);
}

// The save step's two choices: off at first, remembered in the settings,
// and doing what --skip-damaged and --salvage do.
TEST_F(PreviewOfRealArchives, SaveChoicesAreRememberedAndLeaveOutOrSalvage) {
    vrz::ProgramPaths saved = vrz::CurrentProgramPaths();
    vrz::ProgramPaths paths = saved;
    paths.settingsPath = root_ + "/settings.ini";
    vrz::SetCurrentProgramPaths(paths);
    const std::string archive = PythonArchive("mixed.zip",
        "import os\n"
        "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    z.writestr('a.txt', 'fine ' * 1000)\n"
        "    z.writestr('b.txt', 'marker ' + 'bad ' * 1000, zipfile.ZIP_STORED)\n"
        "    z.writestr('c.txt', ''.join('line %d\\n' % i for i in range(60000)))\n"
        "data = bytearray(open(sys.argv[1], 'rb').read())\n"
        "data[data.find(b'marker')] ^= 0xFF\n"
        "central = data.find(b'PK\\x01\\x02')\n"
        "open(sys.argv[1], 'wb').write(bytes(data[:central - 2000]))\n");
    DialogScript dialogs(AnswerOk);
    RepairFrom(archive, false);
    Click(CPreviewPage::IDC_NEXT);
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));
    EXPECT_FALSE(SavePage()->SkipDamagedBox()->GetValue());
    EXPECT_FALSE(SavePage()->SalvageBox()->GetValue());
    for (wxCheckBox* box : {SavePage()->SkipDamagedBox(), SavePage()->SalvageBox()}) {
        box->SetValue(true);
        wxCommandEvent ticked(wxEVT_CHECKBOX, box->GetId());
        ticked.SetEventObject(box);
        ticked.SetInt(1);
        box->GetEventHandler()->ProcessEvent(ticked);
    }
    const vrz::SaveChoices stored = vrz::ReadSaveChoices(paths.settingsPath);
    EXPECT_TRUE(stored.skipDamaged && stored.salvage);

    Click(wizard::kHomeButton);
    RepairFrom(archive, false);
    Click(CPreviewPage::IDC_NEXT);
    ASSERT_TRUE(WaitForPage(wizard::kPageSave));
    EXPECT_TRUE(SavePage()->SkipDamagedBox()->GetValue());
    EXPECT_TRUE(SavePage()->SalvageBox()->GetValue());
    Click(CSavePage::IDC_BROWSE);
    Click(CSavePage::IDC_SAVE);
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
    vrz::SetCurrentProgramPaths(saved);

    std::string names;
    EXPECT_EQ(vrz::guitest::RunCommand("python3 -c \"import sys, zipfile; print(sorted(zipfile.ZipFile(sys.argv[1])"
                                       ".namelist()))\" " +
                                           vrz::guitest::Quote(destination_ + "/mixed_fixed.zip"),
                                       &names),
              0)
        << names;
    EXPECT_EQ(names, "['#Partial Files/c.txt', 'a.txt']\n");
}

}  // namespace

namespace {

class LossScreenshots : public WizardScreenshots {};

// The preview of an archive without folder entries whose end was cut off
// and one of whose files is damaged, Details, and the warning that ends a
// save that is mostly damage.
TEST_F(LossScreenshots, PreviewFindingsAndCompletionWarning) {
    const std::string archive = root_ + "/photos-2024.zip";
    const std::string script = root_ + "/make.py";
    std::ofstream(script) << "import sys, zipfile\n"
                             "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:\n"
                             "    for album in ('beach', 'city', 'family', 'garden'):\n"
                             "        for i in range(12):\n"
                             "            z.writestr('%s/IMG_%04d.jpg' % (album, i), album.encode() * 3000)\n"
                             "    z.writestr('notes.txt', 'marker ' * 500)\n"
                             "    z.writestr('video/clip.mp4', b'v' * 900000)\n"
                             "data = bytearray(open(sys.argv[1], 'rb').read())\n"
                             "data[data.find(b'marker')] ^= 0xFF\n"
                             "at = data.find(b'familyfamily')\n"
                             "data[at] ^= 0xFF\n"
                             "open(sys.argv[1], 'wb').write(bytes(data[:data.find(b'PK\\x01\\x02') - 5000]))\n";
    ASSERT_EQ(vrz::guitest::RunCommand("python3 " + vrz::guitest::Quote(script) + " " + vrz::guitest::Quote(archive)),
              0);
    DialogScript dialogs([&](wxDialog* dialog, const ShownDialog&) {
        if (dynamic_cast<FindingsDialog*>(dialog) != nullptr || dynamic_cast<CompletionDialog*>(dialog) != nullptr) {
            dialog->Show();
            vrz::guitest::Pump(400ms);
            Capture(dialog->GetScreenRect(),
                    dynamic_cast<FindingsDialog*>(dialog) != nullptr ? "findings-details" : "completion-box");
            dialog->Hide();
        }
        return wxID_OK;
    });
    RepairFrom(archive, false);
    Capture(FrameArea(), "preview-findings");
    Click(CPreviewPage::IDC_FINDING_DETAILS);

    // Mostly damage: every stored photo of one album and the notes, as a
    // second archive whose entries all fail their checks.
    const std::string broken = root_ + "/scans.zip";
    std::ofstream(script) << "import sys, zipfile\n"
                             "names = ['scan_%03d.tif' % i for i in range(40)]\n"
                             "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_STORED) as z:\n"
                             "    for n in names: z.writestr('scans/' + n, ('page ' + n) * 50)\n"
                             "data = bytearray(open(sys.argv[1], 'rb').read())\n"
                             "for n in names: data[data.find(('page ' + n).encode())] ^= 0xFF\n"
                             "open(sys.argv[1], 'wb').write(bytes(data))\n";
    ASSERT_EQ(vrz::guitest::RunCommand("python3 " + vrz::guitest::Quote(script) + " " + vrz::guitest::Quote(broken)),
              0);
    Click(wizard::kHomeButton);
    RepairFrom(broken, false);
    StartSaving();
    ASSERT_TRUE(WaitForPage(wizard::kPageSource));
}

}  // namespace
