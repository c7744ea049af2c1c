#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <wx/frame.h>
#include <wx/regex.h>
#include <wx/weakref.h>

#include "GuiTestSupport.h"
#include "controls/CAboutDlg.h"
#include "controls/CHyperLink.h"
#include "controls/CTipsDlg.h"
#include "controls/XCmdBtnReset.h"
#include "app/ChromeDialogs.h"
#include "app/ShellLaunch.h"
#include "app/UiText.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

using namespace std::chrono_literals;

// Records what would have been opened instead of opening it.
class RecordingShell : public ShellPlatform {
public:
    explicit RecordingShell(bool succeed) : succeed_(succeed) { SetShellPlatformForTesting(this); }
    ~RecordingShell() override { SetShellPlatformForTesting(nullptr); }
    bool OpenUrl(const std::string& url) override {
        urls.push_back(url);
        return succeed_;
    }
    bool StartProcess(const std::vector<std::string>& argv) override {
        programs.push_back(argv);
        return false;
    }
    std::vector<std::string> urls;
    std::vector<std::vector<std::string>> programs;

private:
    bool succeed_;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = new wxFrame(nullptr, wxID_ANY, "frame", wxPoint(100, 80), wxSize(888, 530));
        frame_->Show();
        vrz::guitest::Pump(100ms);
    }
    void TearDown() override {
        frame_->Destroy();
        vrz::guitest::Pump(50ms);
    }
    wxFrame* frame_ = nullptr;
};

// The note sits at the bottom right of the window and grows with its tip,
// so no line of it is cut.
TEST_F(DialogTest, TipsNoteSitsAtTheBottomRightAndHoldsItsWholeTip) {
    g_hotButtonId = 350;
    const wxRect frame = frame_->GetScreenRect();
    int lastHeight = 0;
    for (const std::size_t words : {1, 12, 40, 80}) {
        wxString tip;
        for (std::size_t i = 0; i < words; ++i) tip += "recovered ";
        wxWeakRef<CTipsDlg> note(new CTipsDlg(frame_, tip));
        EXPECT_EQ(g_hotButtonId, -1);
        const wxRect rect = note->GetScreenRect();
        EXPECT_EQ(rect.width, 503) << words;
        EXPECT_GE(rect.height, lastHeight) << words;
        EXPECT_EQ(rect.x, frame.x + frame.width - 507) << words;
        EXPECT_EQ(rect.y + rect.height, frame.y + frame.height - 35) << words;
        lastHeight = rect.height;
        note->Destroy();
        vrz::guitest::PumpUntil([&] { return !note; }, 2s);
    }
    EXPECT_GT(lastHeight, 40) << "a long tip needs more than one line";
}

TEST_F(DialogTest, TipsNoteClosesOnTheFifthTickAndOnItsCloseButton) {
    wxWeakRef<CTipsDlg> note(new CTipsDlg(frame_, "A short tip"));
    for (int i = 0; i < 4; ++i) note->Tick();
    EXPECT_EQ(note->Ticks(), 4);
    vrz::guitest::Pump(20ms);
    ASSERT_TRUE(note);
    note->Tick();
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return !note; }, 2s));

    wxWeakRef<CTipsDlg> second(new CTipsDlg(frame_, "Another tip"));
    wxCommandEvent click(wxEVT_BUTTON, CTipsDlg::IDC_TIPS_CLOSE);
    second->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return !second; }, 2s));
}

TEST_F(DialogTest, TipsNoteClosesByItselfAfterFiveSeconds) {
    wxWeakRef<CTipsDlg> note(new CTipsDlg(frame_, "Waits for its timer"));
    vrz::guitest::Pump(3500ms);
    EXPECT_TRUE(note);
    EXPECT_TRUE(vrz::guitest::PumpUntil([&] { return !note; }, 4s));
}

std::string Text(const char* key) {
    return vrz::LoadText(key, vrz::kTextCapacityAbout);
}

TEST_F(DialogTest, AboutBoxShowsOneTitleTheVersionAndWordsForLinks) {
    CAboutDlg about(frame_, AboutContent());
    ASSERT_TRUE(about.IsBuilt());
    EXPECT_EQ(about.GetClientSize(), wxSize(435, 190));
    EXPECT_EQ(about.VersionNumber(), VRZ_PROGRAM_VERSION) << "the version the rest of the program shows";
    // The language text already names the program; it is not added twice.
    EXPECT_EQ(about.GetTitle().ToStdString(wxConvUTF8), Text("IDS_ABOUT"));
    for (const int id : {CAboutDlg::IDC_LINK_ABOUT, CAboutDlg::IDC_LINK_UNINSTALL, CAboutDlg::IDC_LINK_LICENSE,
                         CAboutDlg::IDC_LINK_POLICY}) {
        ASSERT_NE(about.Link(id), nullptr);
        EXPECT_EQ(about.Link(id)->GetLabel().Find('/'), wxNOT_FOUND) << "a word, not a path: " << id;
    }
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_ABOUT)->GetLabel().ToStdString(wxConvUTF8), Text("IDS_URL_ABOUT_TXT"));
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_UNINSTALL)->GetLabel().ToStdString(wxConvUTF8),
              Text("IDS_UNINSTALL_URL_TXT"));
    // The policy link never overlaps the licence link before it.
    const wxRect license = about.Link(CAboutDlg::IDC_LINK_LICENSE)->GetRect();
    EXPECT_GE(about.Link(CAboutDlg::IDC_LINK_POLICY)->GetPosition().x, std::max(70, license.GetRight() + 1));
}

TEST_F(DialogTest, AboutLinksOpenTheirPagesBesideTheProgram) {
    RecordingShell shell(true);
    vrz::guitest::DialogScript dialogs([](wxDialog*, const vrz::guitest::ShownDialog&) { return wxID_OK; });
    {
        CAboutDlg about(frame_, AboutContent());
        // A click on the link reaches the box as the link's command.
        wxCommandEvent click(wxEVT_BUTTON, CAboutDlg::IDC_LINK_LICENSE);
        click.SetEventObject(about.Link(CAboutDlg::IDC_LINK_LICENSE));
        about.Link(CAboutDlg::IDC_LINK_LICENSE)->GetEventHandler()->ProcessEvent(click);
        about.OpenLink(CAboutDlg::IDC_LINK_ABOUT);
        about.OpenLink(CAboutDlg::IDC_LINK_UNINSTALL);
    }
    const std::string folder = vrz::CurrentProgramPaths().programFolder;
    ASSERT_EQ(shell.urls.size(), 3u);
    EXPECT_EQ(shell.urls[0], FileUrl(ExpandProgramFolder(Text("IDS_LICENSE_URL"))));
    EXPECT_EQ(shell.urls[1], FileUrl(folder + "/help/about.html"));
    EXPECT_EQ(shell.urls[2], FileUrl(folder + "/help/uninstall.html")) << "how to remove the package";
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(DialogTest, AboutLinkThatCannotOpenSaysWhyAndWhere) {
    RecordingShell shell(false);
    vrz::guitest::DialogScript dialogs([](wxDialog*, const vrz::guitest::ShownDialog&) { return wxID_OK; });
    const std::string page = vrz::CurrentProgramPaths().programFolder + "/help/privacy.html";
    const std::string aside = page + ".aside";
    {
        CAboutDlg about(frame_, AboutContent());
        about.OpenLink(CAboutDlg::IDC_LINK_LICENSE);  // no browser
        ASSERT_EQ(std::rename(page.c_str(), aside.c_str()), 0);
        about.OpenLink(CAboutDlg::IDC_LINK_POLICY);  // no page
        std::rename(aside.c_str(), page.c_str());
    }
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Shown()[0].caption, Text("IDS_ERROR"));
    EXPECT_EQ(dialogs.Shown()[0].message, Text("IDS_NO_BROWSER") + "\n\n" + ExpandProgramFolder(Text("IDS_LICENSE_URL")));
    EXPECT_EQ(dialogs.Shown()[1].message, Text("IDS_NOT_STARTED") + "\n\n" + page);
    EXPECT_TRUE(dialogs.Shown()[1].style & wxICON_ERROR);
}

TEST_F(DialogTest, AboutBoxEndsWithOkItsCloseButtonAndEscape) {
    for (const int button : {wxID_OK, wxID_CANCEL}) {
        CAboutDlg about(frame_, AboutContent());
        wxSize shownSize;
        about.CallAfter([&about, &shownSize, button] {
            vrz::guitest::Pump(100ms);
            shownSize = about.GetSize();
            wxCommandEvent click(wxEVT_BUTTON, button);
            about.GetEventHandler()->ProcessEvent(click);
        });
        EXPECT_EQ(about.ShowModal(), button);
        // The box keeps its size once it is on the screen.
        EXPECT_EQ(shownSize, wxSize(435, 190));
    }
    CAboutDlg about(frame_, AboutContent());
    about.CallAfter([&about] {
        wxKeyEvent escape(wxEVT_CHAR_HOOK);
        escape.m_keyCode = WXK_ESCAPE;
        about.GetEventHandler()->ProcessEvent(escape);
    });
    EXPECT_EQ(about.ShowModal(), wxID_CANCEL);
}

}  // namespace
