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
#include "controls/DialogMetrics.h"
#include "controls/XCmdBtnReset.h"
#include "app/ShellLaunch.h"
#include "app/UiText.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

using namespace std::chrono_literals;

TEST(DialogMetrics, NoteHeightFollowsTipLength) {
    EXPECT_EQ(vrz::TipNoteHeight(0), 40);
    EXPECT_EQ(vrz::TipNoteHeight(49), 40);
    EXPECT_EQ(vrz::TipNoteHeight(50), 60);
    EXPECT_EQ(vrz::TipNoteHeight(149), 80);
    EXPECT_EQ(vrz::TipNoteHeight(150), 100);
    EXPECT_EQ(vrz::TipNoteHeight(200), 140);
    EXPECT_EQ(vrz::TipNoteHeight(299), 160);
    EXPECT_EQ(vrz::TipNoteHeight(300), -1);
}

TEST(DialogMetrics, FontHeightsByScreenResolution) {
    EXPECT_EQ(vrz::AboutFontPixels(120, 120), 13);  // 10 * 120 / 92
    EXPECT_EQ(vrz::AboutFontPixels(96, 96), 13);    // 10 * 96 / 72
    EXPECT_EQ(vrz::AboutFontPixels(144, 144), 14);  // 10 * 144 / 102
    EXPECT_EQ(vrz::AboutFontPixels(120, 144), 20);  // mixed: the usual 72
    EXPECT_EQ(vrz::TextFontPixels(96), 13);
    EXPECT_EQ(vrz::MulDiv(10, 150, 72), 21);         // 20.83 rounds up
    EXPECT_EQ(vrz::MulDiv(-10, 96, 72), -13);
    EXPECT_EQ(vrz::MulDiv(1, 1, 0), 0);
}

TEST(DialogMetrics, VersionText) {
    EXPECT_EQ(vrz::FormatProgramVersion("2.1.0"), "2.1.0.0");
    EXPECT_EQ(vrz::FormatProgramVersion("3.4.5.6"), "3.4.5.6");
    EXPECT_EQ(vrz::FormatProgramVersion("7"), "7.0.0.0");
    EXPECT_EQ(vrz::FormatProgramVersion(nullptr), "2.0");
    EXPECT_EQ(vrz::FormatProgramVersion(""), "2.0");
    EXPECT_EQ(vrz::FormatProgramVersion("v1"), "2.0");
}

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

TEST_F(DialogTest, TipsNoteSitsAtTheBottomRightSizedByTheTip) {
    g_hotButtonId = 350;
    const wxRect frame = frame_->GetScreenRect();
    struct Case {
        std::size_t length;
        int height;
    };
    for (const Case& c : {Case{0, 40}, Case{49, 40}, Case{50, 60}, Case{200, 140}}) {
        wxWeakRef<CTipsDlg> note(new CTipsDlg(frame_, wxString(c.length, 'x')));
        EXPECT_EQ(g_hotButtonId, -1);
        const wxRect rect = note->GetScreenRect();
        EXPECT_EQ(rect.width, 503) << c.length;
        EXPECT_EQ(rect.height, c.height) << c.length;
        EXPECT_EQ(rect.x, frame.x + frame.width - 507) << c.length;
        EXPECT_EQ(rect.y + rect.height, frame.y + frame.height - 35) << c.length;
        note->Destroy();
        vrz::guitest::PumpUntil([&] { return !note; }, 2s);
    }
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

TEST_F(DialogTest, AboutBoxShowsVersionTitleAndLinkCaptions) {
    CAboutDlg about(frame_);
    ASSERT_TRUE(about.IsBuilt());
    EXPECT_EQ(about.GetClientSize(), wxSize(435, 190));
    // The build's own version in four parts, not the fallback.
    EXPECT_TRUE(wxRegEx("^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$").Matches(about.VersionNumber()))
        << about.VersionNumber();
    EXPECT_EQ(about.GetTitle().ToStdString(wxConvUTF8), Text("IDS_ABOUT") + " Vant Repair Zip");

    ASSERT_NE(about.Link(CAboutDlg::IDC_LINK_ABOUT), nullptr);
    // The caption names the page with the program folder filled in.
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_ABOUT)->GetLabel().ToStdString(wxConvUTF8),
              ExpandProgramFolder(Text("IDS_URL_ABOUT")));
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_ABOUT)->GetLabel().Find("{programFolder}"), wxNOT_FOUND);
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_LICENSE)->GetLabel().ToStdString(wxConvUTF8),
              Text("IDS_LICENSE_URL_TXT"));
    EXPECT_EQ(about.Link(CAboutDlg::IDC_LINK_UNINSTALL)->GetPosition(), wxPoint(20, 99));
    // The policy link never overlaps the licence link before it.
    const wxRect license = about.Link(CAboutDlg::IDC_LINK_LICENSE)->GetRect();
    EXPECT_GE(about.Link(CAboutDlg::IDC_LINK_POLICY)->GetPosition().x, std::max(70, license.GetRight() + 1));
}

TEST_F(DialogTest, AboutLinksOpenTheirPagesBesideTheProgram) {
    RecordingShell shell(true);
    vrz::guitest::DialogScript dialogs([](wxDialog*, const vrz::guitest::ShownDialog&) { return wxID_OK; });
    {
        CAboutDlg about(frame_);
        // A click on the link reaches the box as the link's command.
        wxCommandEvent click(wxEVT_BUTTON, CAboutDlg::IDC_LINK_LICENSE);
        click.SetEventObject(about.Link(CAboutDlg::IDC_LINK_LICENSE));
        about.Link(CAboutDlg::IDC_LINK_LICENSE)->GetEventHandler()->ProcessEvent(click);
        about.OpenLink(CAboutDlg::IDC_LINK_ABOUT);
    }
    const std::string folder = vrz::CurrentProgramPaths().programFolder;
    ASSERT_EQ(shell.urls.size(), 2u);
    EXPECT_EQ(shell.urls[0], FileUrl(ExpandProgramFolder(Text("IDS_LICENSE_URL"))));
    EXPECT_EQ(shell.urls[1], FileUrl(folder + "/help/about.html"));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(DialogTest, AboutLinkToAMissingPageShowsAnErrorBox) {
    RecordingShell shell(true);
    vrz::guitest::DialogScript dialogs([](wxDialog*, const vrz::guitest::ShownDialog&) { return wxID_OK; });
    const std::string page = vrz::CurrentProgramPaths().programFolder + "/help/privacy.html";
    const std::string aside = page + ".aside";
    ASSERT_EQ(std::rename(page.c_str(), aside.c_str()), 0);
    {
        CAboutDlg about(frame_);
        about.OpenLink(CAboutDlg::IDC_LINK_POLICY);
    }
    std::rename(aside.c_str(), page.c_str());
    EXPECT_TRUE(shell.urls.empty());
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].caption, Text("IDS_ERROR"));
    EXPECT_EQ(dialogs.Shown()[0].message, ShellLaunchErrorText(kShellFileNotFound));
    EXPECT_TRUE(dialogs.Shown()[0].style & wxICON_ERROR);
}

TEST_F(DialogTest, AboutBoxEndsWithOkAndWithItsCloseButton) {
    for (const int button : {wxID_OK, wxID_CANCEL}) {
        CAboutDlg about(frame_);
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
}

}  // namespace
