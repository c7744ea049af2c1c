// The source step: what it accepts, what it refuses and what it records.
#include <functional>

#include <wx/filedlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "CBaseWndStep.h"
#include "UiText.h"
#include "text/LanguageTexts.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "WizardJob.h"

namespace {

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

TEST_F(SourceStep, UpperCaseExtensionsAreNotParts) {
    MakeFrame();
    WriteFile("upper/DATA.Z01", "x");
    WriteFile("upper/DATA.ZIP", "x");
    ChooseFolder(Folder("upper"));
    ExpectRefusal("IDS_MTEXT3", 1000);
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

}  // namespace
