// The preview page on a frame: the entry table of the job shown as a folder
// list, browsed by double-clicks the way the list reports them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <wx/listctrl.h>
#include <wx/weakref.h>

#include "GuiTestSupport.h"
#include "app/CMainFrame.h"
#include "app/SavePage.h"
#include "app/UiText.h"
#include "app/WizardIds.h"
#include "app/WizardJob.h"
#include "controls/CXListCtrl.h"
#include "preview/CPreviewPage.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

using namespace std::chrono_literals;
using Rows = std::vector<std::string>;

vrz::RecoveredEntry Entry(const std::string& name, std::uint64_t size = 0) {
    vrz::RecoveredEntry entry;
    TheJob().SetName(entry, name);  // the rows go into TheJob(), whose arena holds their names
    entry.uncompressedSize = size;
    return entry;
}

class PreviewPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Tests here switch the language, which is saved in the settings:
        // each keeps its own, in English, so that tests running beside it
        // in other processes never see its choice.
        savedPaths_ = vrz::CurrentProgramPaths();
        settingsFolder_ = (std::filesystem::temp_directory_path() /
                           ("vrz-preview-" + std::to_string(::getpid()) + "-" +
                            ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                              .string();
        std::filesystem::create_directories(settingsFolder_);
        vrz::ProgramPaths paths = savedPaths_;
        paths.settingsPath = settingsFolder_ + "/settings.ini";
        paths.languagePath = vrz::LanguagePathFor(paths.programFolder, 0);
        vrz::SetCurrentProgramPaths(paths);
        frame_ = new CMainFrame(wxString());
        ASSERT_TRUE(frame_->CreateFrame());
        frame_->Show();
    }
    void TearDown() override {
        frame_->Destroy();
        vrz::guitest::Pump(50ms);
        TheJob().entries.clear();
        vrz::SetCurrentProgramPaths(savedPaths_);
        std::error_code ignored;
        std::filesystem::remove_all(settingsFolder_, ignored);
    }

    CPreviewPage* ShowPreview(std::vector<vrz::RecoveredEntry> entries) {
        TheJob().entries.assign(entries.begin(), entries.end());
        frame_->Navigate(wizard::kShowPreview);
        EXPECT_EQ(frame_->CurrentPageId(), wizard::kPagePreview);
        return dynamic_cast<CPreviewPage*>(frame_->CurrentPage());
    }

    // "name|size|icon" per row in the order shown.
    Rows Shown(CPreviewPage* page) const {
        Rows rows;
        CXListCtrl* list = page->List();
        for (long i = 0; i < list->GetItemCount(); ++i) {
            wxListItem item;
            item.SetId(i);
            item.SetMask(wxLIST_MASK_IMAGE);
            list->GetItem(item);
            rows.push_back(ToUtf8(list->GetItemText(i, 0)) + "|" + ToUtf8(list->GetItemText(i, 1)) + "|" +
                           std::to_string(item.GetImage()));
        }
        return rows;
    }

    void DoubleClick(CPreviewPage* page, const std::string& name) {
        CXListCtrl* list = page->List();
        long index = -1;
        for (long i = 0; i < list->GetItemCount(); ++i) {
            if (ToUtf8(list->GetItemText(i, 0)) == name) index = i;
        }
        ASSERT_GE(index, 0) << name;
        wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, list->GetId());
        activated.SetEventObject(list);
        activated.m_itemIndex = index;
        list->GetEventHandler()->ProcessEvent(activated);
    }

    CMainFrame* frame_ = nullptr;
    vrz::ProgramPaths savedPaths_;
    std::string settingsFolder_;
};

TEST_F(PreviewPageTest, EmptyTableShowsNoRowAndCountZero) {
    CPreviewPage* page = ShowPreview({});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Shown(page), Rows({}));
    EXPECT_EQ(ToUtf8(page->TotalsText()), ToUtf8(LoadUiText("IDS_TOTALFILES", vrz::kTextCapacity)) + ": 0");
    EXPECT_EQ(TheJob().recoveredSizeKB, 0.0f);
    EXPECT_EQ(ToUtf8(page->Heading()), ToUtf8(LoadUiText("IDS_CTEXT3", vrz::kTextCapacity)));
}

TEST_F(PreviewPageTest, DamagedEntriesWarnWithTheirReasonAndAreCounted) {
    std::vector<vrz::RecoveredEntry> entries = {Entry("report.pdf", 5000), Entry("notes.txt", 2048),
                                                Entry("secret.bin", 100)};
    entries[0].check.status = vrz::EntryStatus::kDamaged;
    entries[0].check.reason = vrz::CheckReason::kCrcMismatch;
    entries[1].check.status = vrz::EntryStatus::kIntact;
    entries[2].check.status = vrz::EntryStatus::kNotChecked;
    entries[2].check.reason = vrz::CheckReason::kEncrypted;
    entries.push_back(Entry("docs/deep/bad.bin", 3000));
    entries.back().check.status = vrz::EntryStatus::kDamaged;
    entries.back().check.reason = vrz::CheckReason::kDoesNotDecode;
    CPreviewPage* page = ShowPreview(std::move(entries));
    ASSERT_NE(page, nullptr);
    // The damaged row carries the warning image (2) instead of the file image
    // (1), and the folder above a damaged entry the folder with the sign (3).
    EXPECT_EQ(Shown(page), Rows({"docs|2|3", "notes.txt|2|1", "report.pdf|4|2", "secret.bin|1|1"}));
    CXListCtrl* list = page->List();
    const std::string kept = "\n" + ToUtf8(LoadUiText("IDS_DAMAGED_KEPT", vrz::kTextCapacity));
    for (long i = 0; i < list->GetItemCount(); ++i) {
        const std::string name = ToUtf8(list->GetItemText(i, 0));
        EXPECT_EQ(list->RowWarns(i), name == "report.pdf" || name == "docs") << name;
        std::string tip;
        if (name == "report.pdf") tip = ToUtf8(LoadUiText("IDS_VERIFY_CRC", vrz::kTextCapacity)) + kept;
        if (name == "docs") tip = ToUtf8(wxString::Format(LoadUiText("IDS_DAMAGED_INSIDE", vrz::kTextCapacity), 1));
        EXPECT_EQ(ToUtf8(list->RowTip(i)), tip) << name;
    }
    EXPECT_EQ(ToUtf8(page->TotalsText()), ToUtf8(LoadUiText("IDS_TOTALFILES", vrz::kTextCapacity)) + ": 4 (2 " +
                                              (ToUtf8(LoadUiText("IDS_DAMAGED_TOTAL", vrz::kTextCapacity)).substr(3)) +
                                              ")");

    // The reason shows in a note just below its row, not somewhere on the screen.
    vrz::guitest::Pump(100ms);
    list->ShowRowTip(2);
    ASSERT_NE(list->TipWindow(), nullptr);
    EXPECT_TRUE(list->TipWindow()->IsShown());
    wxRect row;
    ASSERT_TRUE(list->GetItemRect(2, row));
    const wxPoint rowBottom = list->ClientToScreen(wxPoint(row.x, row.GetBottom()));
    const wxPoint note = list->TipWindow()->GetScreenPosition();
    EXPECT_GE(note.y, rowBottom.y);
    EXPECT_LE(note.y, rowBottom.y + 10);
    EXPECT_GE(note.x, rowBottom.x);
    EXPECT_LE(note.x, rowBottom.x + 60);
    list->ShowRowTip(1);  // a row without a tip hides the note
    EXPECT_FALSE(list->TipWindow()->IsShown());

    DoubleClick(page, "docs");
    EXPECT_EQ(Shown(page), Rows({"..||0", "deep|2|3"}));
}

TEST_F(PreviewPageTest, DoubleClicksBrowseFoldersLostFilesAndBack) {
    CPreviewPage* page = ShowPreview({Entry("docs/"), Entry("docs/a.txt", 1536), Entry("docs/sub/"),
                                      Entry("docs/sub/deep.bin", 5000), Entry("/abs/stray.dat", 10),
                                      Entry("backup.2020/"), Entry("backup.2020/old.txt", 1), Entry("Makefile", 0),
                                      Entry("photo.jpg", 4096)});
    ASSERT_NE(page, nullptr);
    // Folders show the kilobytes below them; "#Lost Files" holds only the
    // name that gives no place.
    const Rows root = {"#Lost Files|0|0", "backup.2020|0|0", "docs|5|0", "Makefile|1|1", "photo.jpg|4|1"};
    EXPECT_EQ(Shown(page), root);
    const float recovered = TheJob().recoveredSizeKB;
    EXPECT_EQ(recovered, 1.0f + 4 + 4);

    DoubleClick(page, "#Lost Files");
    EXPECT_EQ(Shown(page), Rows({"..||0", "/abs/stray.dat|1|1"}));
    DoubleClick(page, "..");
    EXPECT_EQ(Shown(page), root);
    EXPECT_EQ(TheJob().recoveredSizeKB, recovered);

    // Whether a row opens comes from the entry, not from a dot in its name.
    DoubleClick(page, "photo.jpg");
    DoubleClick(page, "Makefile");
    EXPECT_EQ(Shown(page), root);
    DoubleClick(page, "backup.2020");
    EXPECT_EQ(Shown(page), Rows({"..||0", "old.txt|1|1"}));
    DoubleClick(page, "..");

    DoubleClick(page, "docs");
    // Names sort naturally, folders and files alike; ".." stays on top.
    EXPECT_EQ(Shown(page), Rows({"..||0", "a.txt|1|1", "sub|4|0"}));
    DoubleClick(page, "sub");
    EXPECT_EQ(Shown(page), Rows({"..||0", "deep.bin|4|1"}));
    DoubleClick(page, "..");
    DoubleClick(page, "..");
    EXPECT_EQ(Shown(page), root);
}

// Opening a folder keeps the keyboard in the list, on the folder's first row,
// so the arrows and Enter go on browsing.
TEST_F(PreviewPageTest, OpeningAFolderKeepsTheKeyboardInTheList) {
    CPreviewPage* page = ShowPreview({Entry("docs/"), Entry("docs/a.txt", 1536), Entry("docs/b.txt", 10)});
    ASSERT_NE(page, nullptr);
    DoubleClick(page, "docs");
    ASSERT_EQ(Shown(page), Rows({"..||0", "a.txt|1|1", "b.txt|1|1"}));
    CXListCtrl* list = page->List();
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED), 0);
    EXPECT_EQ(list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED), 0);
    vrz::guitest::Pump(50ms);
    // Without a window manager the window may never be active; where it is,
    // the focus must be the list's and not the tips link's.
    if (wxWindow* focus = wxWindow::FindFocus()) {
        EXPECT_EQ(focus, list);
    }
}

TEST_F(PreviewPageTest, EveryRepairStartsAtTheRootWithItsOwnTotal) {
    CPreviewPage* first = ShowPreview({Entry("a/"), Entry("a/big", 10240)});
    ASSERT_NE(first, nullptr);
    DoubleClick(first, "a");
    EXPECT_EQ(TheJob().recoveredSizeKB, 10.0f);

    CPreviewPage* second = ShowPreview({Entry("b.txt", 2048)});
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Shown(second), Rows({"b.txt|2|1"}));
    EXPECT_EQ(TheJob().recoveredSizeKB, 2.0f);
    EXPECT_EQ(ToUtf8(second->TotalsText()), ToUtf8(LoadUiText("IDS_TOTALFILES", vrz::kTextCapacity)) + ": 1");
}

TEST_F(PreviewPageTest, NextGoesToTheSaveStepAndHomeBackToTheSource) {
    CPreviewPage* page = ShowPreview({Entry("a.txt", 1)});
    ASSERT_NE(page, nullptr);
    wxCommandEvent next(wxEVT_BUTTON, CPreviewPage::IDC_NEXT);
    page->FindWindow(CPreviewPage::IDC_NEXT)->GetEventHandler()->ProcessEvent(next);
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return frame_->CurrentPageId() == wizard::kPageSave; }, 5s));

    page = ShowPreview({Entry("a.txt", 1)});
    wxCommandEvent home(wxEVT_BUTTON, CPreviewPage::IDC_HOME_ALIAS);
    page->GetEventHandler()->ProcessEvent(home);
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return frame_->CurrentPageId() == wizard::kPageSource; }, 5s));
}

TEST_F(PreviewPageTest, LanguageSwitchRelabelsTheHeadingTheColumnsAndLostFiles) {
    CPreviewPage* page = ShowPreview({Entry("a.txt", 1), Entry("../x", 1)});
    ASSERT_NE(page, nullptr);
    const std::string english = ToUtf8(page->Heading());
    wxCommandEvent german(wxEVT_MENU, wizard::MenuItemId(wizard::kMenuLanguageFirst + 2));
    page->GetEventHandler()->ProcessEvent(german);
    const std::string germanHeading = ToUtf8(page->Heading());
    EXPECT_EQ(Shown(page), Rows({"#Verlorene Dateien|0|0", "a.txt|1|1"}));
    wxListItem header;
    header.SetMask(wxLIST_MASK_TEXT);
    page->List()->GetColumn(0, header);
    EXPECT_EQ(ToUtf8(header.GetText()), "Dateiname");
    page->List()->GetColumn(1, header);
    EXPECT_EQ(ToUtf8(header.GetText()), "Dateigr\xC3\xB6\xC3\x9F" "e (KB)");
    wxCommandEvent back(wxEVT_MENU, wizard::MenuItemId(wizard::kMenuLanguageFirst));
    page->GetEventHandler()->ProcessEvent(back);
    EXPECT_NE(germanHeading, english);
    EXPECT_FALSE(germanHeading.empty());
    EXPECT_EQ(ToUtf8(page->Heading()), english);
}

}  // namespace

namespace {

TEST_F(PreviewPageTest, SaveStepRelabelsItsButtonsInAnotherLanguage) {
    TheJob().entries = {Entry("a.txt", 1)};
    frame_->Navigate(wizard::kShowSave);
    auto* save = dynamic_cast<CSavePage*>(frame_->CurrentPage());
    ASSERT_NE(save, nullptr);
    const wxString english = save->SaveButton()->m_strText;
    EXPECT_EQ(english, LoadUiText("IDS_SAVE", vrz::kTextCapacity));
    wxCommandEvent german(wxEVT_MENU, wizard::MenuItemId(wizard::kMenuLanguageFirst + 2));
    save->GetEventHandler()->ProcessEvent(german);
    const wxString germanCaption = save->SaveButton()->m_strText;
    const wxString germanHeading = save->Heading();
    wxCommandEvent back(wxEVT_MENU, wizard::MenuItemId(wizard::kMenuLanguageFirst));
    save->GetEventHandler()->ProcessEvent(back);
    EXPECT_NE(germanCaption, english);
    EXPECT_FALSE(germanCaption.empty());
    EXPECT_NE(germanHeading, save->Heading());
    EXPECT_EQ(save->SaveButton()->m_strText, english);
}

}  // namespace

namespace {

TEST_F(PreviewPageTest, MovingTheWindowClosesTheTipsNote) {
    ASSERT_NE(ShowPreview({Entry("a.txt", 1)}), nullptr);
    vrz::guitest::Pump(100ms);
    frame_->ShowTips();
    wxWeakRef<wxWindow> note(frame_->TipsDialog());
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->IsShown());
    const wxPoint at = frame_->GetPosition();
    frame_->Move(at.x + 40, at.y + 30);
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return !note; }, 5s));
}

}  // namespace
