// The source step: what it accepts, what it refuses and what it records.
#include <functional>

#include <wx/filedlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <wx/dnd.h>

#include "CBaseWndStep.h"
#include "PathDialogs.h"
#include "UiText.h"
#include "text/LanguageTexts.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "WizardJob.h"

namespace {

// The archive file dialog: records where it opened and what it filters,
// then answers with path.
class ExpectFileChoice : public wxExpectModalBase<wxFileDialog, ExpectFileChoice> {
public:
    ExpectFileChoice(std::string path, wxString* openedIn, wxString* wildcard)
        : m_path(std::move(path)), m_openedIn(openedIn), m_wildcard(wildcard) {}

protected:
    int OnInvoked(wxFileDialog* dialog) const override {
        *m_openedIn = dialog->GetDirectory();
        *m_wildcard = dialog->GetWildcard();
        dialog->SetPath(FromUtf8(m_path));
        return wxID_OK;
    }

private:
    std::string m_path;
    wxString* m_openedIn;
    wxString* m_wildcard;
};

class SourceStep : public WizardFixture {
protected:
    CBaseWndStep* Source() { return dynamic_cast<CBaseWndStep*>(Page()); }
    wxString PathBox() { return Source()->PathBox()->GetValue(); }

    void ChooseFolder(const std::string& folder) {
        wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFolder), ExpectDirChoice(folder));
    }
    // Presses Repair expecting the refusal textKey; the page must stay.
    void ExpectRefusal(const std::string& textKey, std::size_t capacity) {
        wxTEST_DIALOG(ClickButton(wizard::kRepairButton), ExpectBox(textKey, capacity));
        vrz::guitest::Pump(std::chrono::milliseconds(50));
        EXPECT_EQ(PageId(), wizard::kPageSource);
        EXPECT_TRUE(PathBox().empty()) << "a refused choice empties the path box";
        EXPECT_EQ(History(), std::vector<int>{wizard::kShowSource});
    }
    // Holds the scan at its first poll, so the repair page stays to be seen;
    // closing the frame at the end lets the held worker go.
    void HoldTheScan() { TheJob().pauseGate.Pause(); }

    // Repair on parts that hold no entry: the repair page runs, says that
    // nothing could be recovered and goes back.
    // whileOnRepairPage checks the job while the box is open.
    void RepairExpectingNothingFound(std::function<void()> whileOnRepairPage) {
        wxTEST_DIALOG(ClickButton(wizard::kRepairButton);
                      WaitFor([&] { return History().size() == 3 && PageId() == wizard::kPageSource; },
                              "the way back to the source step"),
                      ExpectBox("IDS_NOTHING_RECOVERED", 1000).WhileOpen(whileOnRepairPage));
        EXPECT_EQ(History(), (std::vector<int>{wizard::kShowSource, wizard::kShowRepair, wizard::kShowSource}));
    }
};

TEST_F(SourceStep, RefusesRepairWithoutAChoice) {
    MakeFrame();
    ASSERT_EQ(PageId(), wizard::kPageSource);
    ExpectRefusal("IDS_WORD5", 200);
}

TEST_F(SourceStep, CancelledDialogsEmptyThePathBoxButKeepTheMode) {
    MakeFrame();
    const std::string folder = Folder("parts");
    WriteFile("parts/data.z01", "x");
    WriteFile("parts/data.zip", "x");
    ChooseFolder(folder);
    EXPECT_EQ(ToUtf8(PathBox()), folder);
    EXPECT_TRUE(TheJob().splitMode);
    EXPECT_TRUE(TheJob().jobRunning);

    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFile), wxExpectModal<wxFileDialog>("", wxID_CANCEL));
    EXPECT_TRUE(PathBox().empty());
    EXPECT_FALSE(TheJob().splitMode) << "the browse choice sets the mode even when cancelled";
    ExpectRefusal("IDS_WORD5", 200);
}

TEST_F(SourceStep, RefusesAFolderWithoutParts) {
    MakeFrame();
    WriteFile("notes/readme.txt", "not a part");
    ChooseFolder(Folder("notes"));
    ExpectRefusal("IDS_MTEXT3", 1000);
}

TEST_F(SourceStep, RefusesPartsWithDifferentBaseNames) {
    MakeFrame();
    WriteFile("mixed/a.z01", "x");
    WriteFile("mixed/b.z02", "x");
    ChooseFolder(Folder("mixed"));
    ExpectRefusal("IDS_MTEXT4", 1000);
}

TEST_F(SourceStep, RefusesPartsOfBothFamilies) {
    MakeFrame();
    WriteFile("families/data.z01", "x");
    WriteFile("families/data.zx02", "x");
    WriteFile("families/data.zip", "x");
    ChooseFolder(Folder("families"));
    ExpectRefusal("IDS_MTEXT4", 1000);
}

// Part names match without regard to case, as file systems shared with
// other systems often hand them over.
TEST_F(SourceStep, UpperCaseExtensionsArePartsToo) {
    MakeFrame();
    WriteFile("upper/DATA.Z01", "x");
    WriteFile("upper/DATA.ZIP", "x");
    ChooseFolder(Folder("upper"));
    RepairExpectingNothingFound([&] { EXPECT_EQ(PageId(), wizard::kPageRepair); });
}

// The first two files of a listing are parts like any other: Linux lists no
// "." and ".." entries, so nothing may be skipped by position.
TEST_F(SourceStep, AcceptsAZipxFamilyFolderWithTwoParts) {
    MakeFrame();
    WriteFile("zipx/data.zx01", "x");
    WriteFile("zipx/data.zipx", "x");
    ChooseFolder(Folder("zipx"));
    TheJob().totalPartsSize = 77;
    RepairExpectingNothingFound([&] {
        EXPECT_EQ(PageId(), wizard::kPageRepair);
        EXPECT_TRUE(TheJob().splitIsZipx);
        EXPECT_EQ(TheJob().lastPartName, "/data.zx01") << "the last part in name order";
        EXPECT_EQ(TheJob().totalPartsSize, 2u) << "zeroed by the source step, then summed by the scan";
        EXPECT_EQ(TheJob().sourcePath, Folder("zipx"));
    });
}

TEST_F(SourceStep, AcceptsAZipFamilyFolder) {
    MakeFrame();
    WriteFile("zip/data.z01", "x");
    WriteFile("zip/data.z02", "x");
    WriteFile("zip/data.zip", "x");
    ChooseFolder(Folder("zip"));
    RepairExpectingNothingFound([&] {
        EXPECT_EQ(PageId(), wizard::kPageRepair);
        EXPECT_FALSE(TheJob().splitIsZipx);
        EXPECT_EQ(TheJob().lastPartName, "/data.zip");
    });
}

TEST_F(SourceStep, ChosenArchiveGoesOnWithoutFurtherChecks) {
    MakeFrame();
    const std::string archive = MakeArchive("one/photos.zip", 3, 2000);
    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFile), wxExpectModal<wxFileDialog>(FromUtf8(archive)));
    EXPECT_EQ(ToUtf8(PathBox()), archive);
    EXPECT_FALSE(TheJob().splitMode);
    HoldTheScan();
    ClickButton(wizard::kRepairButton);
    EXPECT_EQ(TheJob().sourcePath, archive);
    WaitFor([&] { return PageId() == wizard::kPageRepair; }, "the repair page");
    EXPECT_EQ(History()[1], wizard::kShowRepair);
}

TEST_F(SourceStep, FinalPartBesideItsPartsStandsForTheWholeSet) {
    MakeFrame();
    WriteFile("set/backup.z01", "x");
    const std::string final = WriteFile("set/backup.zip", "x");
    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFile), wxExpectModal<wxFileDialog>(FromUtf8(final)));
    EXPECT_EQ(ToUtf8(PathBox()), Folder("set"));
    EXPECT_TRUE(TheJob().splitMode);
    const wxWindow* note = nullptr;
    for (const wxWindow* child : Page()->GetChildren())
        if (const auto* text = dynamic_cast<const wxStaticText*>(child); text && text->IsShown()) note = text;
    ASSERT_NE(note, nullptr) << "a note line says the whole set is repaired";
    EXPECT_EQ(note->GetLabel(), LoadUiText("IDS_SPLITSETNOTE", vrz::kTextCapacity));
}

// Upper-case names pass the filter, "All files" is offered, and both dialogs
// open where the last choice was made, also in a later run.
TEST_F(SourceStep, FileDialogTakesAnyCaseOffersAllFilesAndStartsInTheLastFolder) {
    for (const char* name : {"BACKUP.ZIP", "backup.zip", "Mail.Zipx", "x.ZIPX"}) EXPECT_TRUE(MatchesArchivePatterns(name)) << name;
    for (const char* name : {"backup.zip.bak", "zip", "notes.txt", "a.z01"}) EXPECT_FALSE(MatchesArchivePatterns(name)) << name;

    MakeFrame();
    const std::string upper = MakeArchive("old/BACKUP.ZIP", 2, 100);
    wxString openedIn;
    wxString wildcard;
    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFile), ExpectFileChoice(upper, &openedIn, &wildcard));
    EXPECT_EQ(ToUtf8(PathBox()), upper);
    EXPECT_TRUE(openedIn.empty()) << "nothing chosen before";
    EXPECT_EQ(wildcard, LoadUiText("IDS_ARCHIVE_FILES", 1000) + "|" + ArchiveFilePatterns() + "|" +
                            LoadUiText("IDS_ALL_FILES", 1000) + "|*");

    // Kept for later runs; the folder dialog opens there too.
    EXPECT_EQ(ToUtf8(LastSourceFolder()), Folder("old"));
    CloseFrame();
    MakeFrame();
    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFolder), ExpectDirChoice(Folder("parts")));
    EXPECT_EQ(ToUtf8(LastSourceFolder()), Folder("parts"));
    wxTEST_DIALOG(MenuCommand(wizard::kMenuBrowseFile), ExpectFileChoice(upper, &openedIn, &wildcard));
    EXPECT_EQ(ToUtf8(openedIn), Folder("parts"));
}

// A path from the command line, a drop or the keyboard is taken as Browse
// takes it; a typed path that leads nowhere is refused when Repair is pressed.
TEST_F(SourceStep, PathFromTheCommandLineADropOrTypingIsChosen) {
    const std::string archive = MakeArchive("given/photos.zip", 3, 2000);
    MakeFrame(FromUtf8(archive));
    ASSERT_EQ(PageId(), wizard::kPageSource);
    EXPECT_EQ(ToUtf8(PathBox()), archive);
    EXPECT_FALSE(TheJob().splitMode);

    WriteFile("set/backup.z01", "x");
    const std::string final = WriteFile("set/backup.zip", "x");
    wxDropTarget* pageTarget = Page()->GetDropTarget();
    ASSERT_NE(pageTarget, nullptr);
    wxArrayString dropped;
    dropped.push_back(FromUtf8(final));
    dropped.push_back(FromUtf8(archive));
    EXPECT_TRUE(static_cast<wxFileDropTarget*>(pageTarget)->OnDropFiles(10, 10, dropped));
    EXPECT_EQ(ToUtf8(PathBox()), Folder("set")) << "a part stands for its set";
    EXPECT_TRUE(TheJob().splitMode);

    // Dropped on the path box, the file is chosen, not pasted as text.
    auto* boxTarget = static_cast<wxFileDropTarget*>(Source()->PathBox()->GetDropTarget());
    ASSERT_NE(boxTarget, nullptr);
    EXPECT_TRUE(boxTarget->OnDropFiles(1, 1, wxArrayString(1, FromUtf8(Folder("set")))));
    EXPECT_EQ(ToUtf8(PathBox()), Folder("set"));
    EXPECT_TRUE(TheJob().splitMode);

    EXPECT_TRUE(Source()->PathBox()->IsEditable());
    const std::string missing = m_dir + "/no such.zip";
    Source()->PathBox()->ChangeValue(FromUtf8(missing));
    wxTEST_DIALOG(ClickButton(wizard::kRepairButton),
                  ExpectBox::Literal(Text("IDS_SOURCE_MISSING", 1000) + "\n\n" + missing, "IDS_INFORMATION", 200,
                                     wxICON_INFORMATION));
    EXPECT_EQ(PageId(), wizard::kPageSource);
    EXPECT_EQ(ToUtf8(PathBox()), missing) << "kept, so a typing error can be mended";

    // Typed after the folder was chosen: the file decides the mode.
    Source()->PathBox()->ChangeValue(FromUtf8(" " + archive + " "));
    HoldTheScan();
    ClickButton(wizard::kRepairButton);
    EXPECT_EQ(TheJob().sourcePath, archive);
    EXPECT_FALSE(TheJob().splitMode);
    WaitFor([&] { return PageId() == wizard::kPageRepair; }, "the repair page");
}

}  // namespace
