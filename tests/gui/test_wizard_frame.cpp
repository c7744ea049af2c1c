// The frame and the chrome every step page carries: page switching, window
// size, the help menu and its commands, the links and the tip of the day.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include <wx/menu.h>

#include "CXCmdBtn.h"
#include "GuiTestSupport.h"
#include "HelpMenu.h"
#include "ImageResources.h"
#include "ResourceIds.h"
#include "TipOfTheDay.h"
#include "UiText.h"
#include "WizardFixture.h"
#include "WizardIds.h"
#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

using namespace wizard;

// Whether bitmap shows exactly the image of resource id.
bool SameImage(const wxBitmap& bitmap, int id) {
    if (!bitmap.IsOk()) return false;
    const wxImage shown = bitmap.ConvertToImage();
    const wxImage expected = LoadPngImage(id);
    if (!expected.IsOk() || shown.GetSize() != expected.GetSize()) return false;
    const std::size_t pixels = static_cast<std::size_t>(shown.GetWidth()) * shown.GetHeight();
    if (!std::equal(shown.GetData(), shown.GetData() + 3 * pixels, expected.GetData())) return false;
    if (shown.HasAlpha() != expected.HasAlpha()) return false;
    return !shown.HasAlpha() || std::equal(shown.GetAlpha(), shown.GetAlpha() + pixels, expected.GetAlpha());
}

class WizardFrame : public WizardFixture {
protected:
    CXCmdBtn* Button(int id) { return dynamic_cast<CXCmdBtn*>(Page()->FindWindow(id)); }
    wxRect TipsRect() { return Button(kTipsButton)->GetRect(); }
    std::string Setting(const std::string& key) {
        return vrz::ReadIniString(m_program + "/settings.ini", vrz::kSettingsSection, key, 1000);
    }
    int StepPageCount() {
        int pages = 0;
        for (wxWindow* child : m_frame->GetChildren()) pages += dynamic_cast<StepPage*>(child) != nullptr;
        return pages;
    }
};

// The pages are laid out for a fixed client area, whatever the title bar
// and borders take; it stays the same from step to step.
TEST_F(WizardFrame, StartsWithTheSourceStepInItsFixedClientArea) {
    MakeFrame();
    EXPECT_EQ(PageId(), kPageSource);
    EXPECT_EQ(Page()->GetId(), kPageSource);
    EXPECT_EQ(StepPageCount(), 1);
    const wxSize client(chrome::kClientWidth, chrome::kClientHeight);
    EXPECT_EQ(m_frame->GetClientSize(), client);
    EXPECT_EQ(m_frame->GetMinClientSize(), client) << "not resizable";
    EXPECT_EQ(m_frame->GetMaxClientSize(), client);
    EXPECT_EQ(Page()->GetSize(), client);
    EXPECT_EQ(m_frame->GetTitle(), "Vant Repair Zip");
    // The silent update check runs once, when the frame is made.
    EXPECT_TRUE(m_shell.processes.empty()) << "no vtupdate in this program folder, so nothing starts";
    for (const int step : {kShowPreview, kShowSave, kShowSource}) {
        m_frame->Navigate(step);
        vrz::guitest::Pump(std::chrono::milliseconds(20));
        EXPECT_EQ(m_frame->GetClientSize(), client) << "after step " << step;
        EXPECT_EQ(Page()->GetSize(), client);
    }
    // The footer sits inside the bottom band.
    EXPECT_GE(TipsRect().GetTop(), client.y - chrome::kBandHeight);
    EXPECT_LE(TipsRect().GetBottom(), client.y);
}

// The pages are laid out for one size: the window offers no maximize.
TEST_F(WizardFrame, WindowCannotBeMaximizedOrResized) {
    MakeFrame();
    EXPECT_FALSE(m_frame->HasFlag(wxMAXIMIZE_BOX));
    EXPECT_FALSE(m_frame->HasFlag(wxRESIZE_BORDER));
}

// The note belongs to the page it was opened on: Next closes it.
TEST_F(WizardFrame, TipsNoteClosesWhenThePageChanges) {
    MakeFrame();
    m_frame->ShowTips();
    wxWeakRef<wxWindow> note(m_frame->TipsDialog());
    ASSERT_TRUE(note);
    m_frame->Navigate(kShowPreview);
    EXPECT_EQ(m_frame->TipsDialog(), nullptr);
    WaitFor([&] { return !note; }, "the note to close");
}

TEST_F(WizardFrame, StartsTheSilentUpdateCheck) {
    const std::string updater = m_program + "/vtupdate";
    std::filesystem::copy_file(vrz::ExecutableFolder() + "/vtupdate", updater);
    MakeFrame();
    ASSERT_EQ(m_shell.processes.size(), 1u);
    EXPECT_EQ(m_shell.processes[0],
              (std::vector<std::string>{updater, "/SilentCheck", "/NoIcon", "/NoUpdateSelf"}));
}

TEST_F(WizardFrame, EverySwitchLeavesExactlyOnePage) {
    MakeFrame();
    m_frame->Navigate(kShowSource);
    EXPECT_EQ(StepPageCount(), 1);
    EXPECT_EQ(PageId(), kPageSource);
    m_frame->Navigate(4242);
    EXPECT_EQ(PageId(), kPageSource) << "not a navigation command";
}

TEST_F(WizardFrame, ChromeControlsSitWhereTheCaptionsPutThem) {
    MakeFrame();
    const int helpChars = static_cast<int>(LoadUiText("IDS_RHELP", 1000).length());
    const int faqChars = static_cast<int>(LoadUiText("IDS_FAQ", 1000).length());
    const int helpLeft = 880 - 8 * helpChars - 16;
    EXPECT_EQ(Button(kHelpLink)->GetRect(), wxRect(wxPoint(helpLeft, 5), wxPoint(879, 20)));
    EXPECT_EQ(Button(kFaqLink)->GetRect(),
              wxRect(wxPoint(helpLeft - 10 * faqChars - 34, 5), wxPoint(helpLeft - 18 - 1, 20)));
    EXPECT_EQ(Button(kLogo)->GetRect(), wxRect(5, 5, 93, 21));
    EXPECT_FALSE(Button(kLogo)->IsEnabled());
    EXPECT_EQ(Button(kTipsButton)->GetRect(), wxRect(506, 480, 344, 16));
    EXPECT_EQ(Button(kSocialLink)->GetRect(), wxRect(10, 480, 16, 16));
    EXPECT_EQ(Page()->FindWindow(kHomeButton), nullptr) << "the source step has no home button";
    EXPECT_EQ(Button(kHelpLink)->m_strText, LoadUiText("IDS_RHELP", 1000));
    EXPECT_TRUE(Button(kTipsButton)->m_bSticky && Button(kTipsButton)->m_bNotifyParent);
    EXPECT_TRUE(Button(kHelpLink)->m_bNotifyParent && !Button(kHelpLink)->m_bSticky);
    EXPECT_EQ(Page()->Heading(), LoadUiText("IDS_CTEXT1", 1000));
}

TEST_F(WizardFrame, HelpMenuOffersEveryLanguageWithTheCurrentOneChecked) {
    std::unique_ptr<wxMenu> menu(BuildHelpMenu(2));
    ASSERT_EQ(menu->GetMenuItemCount(), 5u);
    // Every label is the language's own text.
    const char* const keys[] = {"IDS_MENU_LANGUAGE", "IDS_MENU_HELP", "IDS_MENU_SUPPORT", "IDS_MENU_UPDATE",
                                "IDS_MENU_ABOUT"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(menu->FindItemByPosition(i)->GetItemLabel(), LoadUiText(keys[i], 1000));
    EXPECT_EQ(menu->FindItemByPosition(1)->GetId(), MenuItemId(kMenuHelp));
    EXPECT_EQ(menu->FindItemByPosition(2)->GetId(), MenuItemId(kMenuSupport));
    EXPECT_EQ(menu->FindItemByPosition(3)->GetId(), MenuItemId(kMenuUpdate));
    EXPECT_EQ(menu->FindItemByPosition(4)->GetId(), MenuItemId(kMenuAbout));
    wxMenu* languages = menu->FindItemByPosition(0)->GetSubMenu();
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(languages->GetMenuItemCount(), 5u);
    for (int i = 0; i < 5; ++i) {
        wxMenuItem* item = languages->FindItemByPosition(i);
        const std::string name = "IDS_LANGUAGE" + std::to_string(i + 1);
        EXPECT_EQ(item->GetId(), MenuItemId(kMenuLanguageFirst + i));
        EXPECT_EQ(item->GetItemLabel(), LoadUiText(name, 1000));
        EXPECT_TRUE(SameImage(item->GetBitmap(), i == 2 ? vrz::IDB_MENU_CHECKED : vrz::IDB_MENU_UNCHECKED)) << name;
    }
    // Each language is named in its own language, so it can be found from any other.
    EXPECT_EQ(languages->FindItemByPosition(2)->GetItemLabel(), "Deutsch") << "index 2 is the German file";
    EXPECT_EQ(languages->FindItemByPosition(1)->GetItemLabel(), wxString::FromUTF8("Français"));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(1)->GetBitmap(), vrz::IDB_MENU_HELP));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(2)->GetBitmap(), vrz::IDB_MENU_SUPPORT));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(3)->GetBitmap(), vrz::IDB_MENU_UPDATE));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(4)->GetBitmap(), vrz::IDB_MENU_ABOUT));
}

// Each item of a menu has its own mnemonic, in every language.
TEST_F(WizardFrame, MenuMnemonicsDifferInEveryLanguage) {
    for (int language = 0; language < vrz::kLanguageCount; ++language) {
        vrz::SelectLanguage(language);  // false for the one already chosen
        for (wxMenu* menu : {BuildBrowseMenu(), BuildHelpMenu(language)}) {
            std::set<wxChar> seen;
            for (const wxMenuItem* item : menu->GetMenuItems()) {
                const wxString label = item->GetItemLabel();
                const int amp = label.Find('&');
                ASSERT_NE(amp, wxNOT_FOUND) << ToUtf8(label);
                EXPECT_TRUE(seen.insert(wxTolower(label[amp + 1])).second) << ToUtf8(label) << " in " << language;
            }
            delete menu;
        }
    }
    vrz::SelectLanguage(0);
}

TEST_F(WizardFrame, BrowseMenuHasTheFileAndFolderItems) {
    std::unique_ptr<wxMenu> menu(BuildBrowseMenu());
    ASSERT_EQ(menu->GetMenuItemCount(), 2u);
    EXPECT_EQ(menu->FindItemByPosition(0)->GetItemLabel(), "Browse &File (zip/zipx)");
    EXPECT_EQ(menu->FindItemByPosition(0)->GetId(), MenuItemId(kMenuBrowseFile));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(0)->GetBitmap(), vrz::IDB_FILE));
    EXPECT_EQ(menu->FindItemByPosition(1)->GetItemLabel(), "Browse F&older with split file parts");
    EXPECT_EQ(menu->FindItemByPosition(1)->GetId(), MenuItemId(kMenuBrowseFolder));
    EXPECT_TRUE(SameImage(menu->FindItemByPosition(1)->GetBitmap(), vrz::IDB_FOLDER));
}

TEST_F(WizardFrame, LanguageSwitchReReadsTheCaptionsAndPersists) {
    MakeFrame();
    const wxString englishHelp = Button(kHelpLink)->m_strText;
    MenuCommand(kMenuLanguageFirst + 2);
    EXPECT_EQ(Setting("IDS_LANGUAGE"), "2");
    EXPECT_EQ(vrz::CurrentProgramPaths().languagePath, m_program + "/Lang/German.INI");
    EXPECT_EQ(Button(kHelpLink)->m_strText, LoadUiText("IDS_RHELP", 1000));
    EXPECT_NE(Button(kHelpLink)->m_strText, englishHelp);
    EXPECT_EQ(Button(kRepairButton)->m_strText, LoadUiText("IDS_REPAIR", 1000));
    EXPECT_EQ(Page()->Heading(), LoadUiText("IDS_CTEXT1", 1000));
    EXPECT_EQ(Button(kTipsButton)->m_strText2, g_currentTip);

    // The language already in use changes nothing and writes nothing.
    std::ofstream(m_program + "/settings.ini") << "[Vant Repair Zip]\nIDS_LANGUAGE=2\n; untouched\n";
    Button(kHelpLink)->m_strText = "marker";
    MenuCommand(kMenuLanguageFirst + 2);
    std::ifstream settings(m_program + "/settings.ini");
    const std::string content((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
    EXPECT_EQ(content, "[Vant Repair Zip]\nIDS_LANGUAGE=2\n; untouched\n");
    EXPECT_EQ(Button(kHelpLink)->m_strText, "marker") << "no caption is re-read";
}

TEST_F(WizardFrame, LinksOpenTheShippedPages) {
    MakeFrame();
    ClickButton(kFaqLink);
    ClickButton(kSocialLink);
    MenuCommand(kMenuSupport);
    MenuCommand(kMenuHelp);
    ASSERT_EQ(m_shell.urls.size(), 4u);
    EXPECT_EQ(m_shell.urls[0], FileUrl(m_program + "/help/faq.html"));
    EXPECT_EQ(m_shell.urls[1], FileUrl(m_program + "/help/social.html"));
    EXPECT_EQ(m_shell.urls[2], FileUrl(m_program + "/help/support.html"));
    EXPECT_EQ(m_shell.urls[3], FileUrl(m_program + "/help/vtziprpr.html"));
    EXPECT_EQ(m_shell.urls[0].rfind("file:///", 0), 0u);
}

TEST_F(WizardFrame, PageWithoutABrowserTriesTheSystemBrowserProgram) {
    MakeFrame();
    m_shell.opens = false;
    ClickButton(kFaqLink);  // no box: the browser program started instead
    ASSERT_FALSE(m_shell.processes.empty());
    EXPECT_EQ(m_shell.processes.back().back(), FileUrl(m_program + "/help/faq.html"));
}

// With no browser at all every link says so once, and where the page is.
TEST_F(WizardFrame, NoBrowserAtAllIsReportedWithThePagePath) {
    MakeFrame();
    m_shell.opens = false;
    m_shell.starts = false;
    const auto noBrowser = [&](const std::string& page) {
        return ExpectBox::Literal(Text("IDS_NO_BROWSER", 1000) + "\n\n" + m_program + "/help/" + page,
                                  "IDS_RUNNING3", 1000, wxICON_ERROR);
    };
    wxTEST_DIALOG(MenuCommand(kMenuHelp), noBrowser("vtziprpr.html"));
    wxTEST_DIALOG(MenuCommand(kMenuSupport), noBrowser("support.html"));
    wxTEST_DIALOG(ClickButton(kFaqLink), noBrowser("faq.html"));
    wxTEST_DIALOG(ClickButton(kSocialLink), noBrowser("social.html"));
}

TEST_F(WizardFrame, MissingHelpFileAndUpdaterAreReported) {
    MakeFrame();
    std::filesystem::remove(m_program + "/help/vtziprpr.html");
    const auto notStarted = [&](const std::string& what) {
        return ExpectBox::Literal(Text("IDS_NOT_STARTED", 1000) + "\n\n" + m_program + "/" + what, "IDS_RUNNING3",
                                  1000, wxICON_ERROR);
    };
    wxTEST_DIALOG(MenuCommand(kMenuHelp), notStarted("help/vtziprpr.html"));
    wxTEST_DIALOG(MenuCommand(kMenuUpdate), notStarted("vtupdate"));
    // A file that is no program.
    WriteFile("program/vtupdate", "plain text");
    std::filesystem::permissions(m_program + "/vtupdate", std::filesystem::perms::owner_all);
    wxTEST_DIALOG(MenuCommand(kMenuUpdate), notStarted("vtupdate"));
}

TEST_F(WizardFrame, UpdaterStartsWithNoUpdateSelf) {
    MakeFrame();
    const std::string updater = m_program + "/vtupdate";
    std::filesystem::copy_file(vrz::ExecutableFolder() + "/vtupdate", updater);
    MenuCommand(kMenuUpdate);
    ASSERT_FALSE(m_shell.processes.empty());
    EXPECT_EQ(m_shell.processes.back(), (std::vector<std::string>{updater, "/NoUpdateSelf"}));
}

TEST_F(WizardFrame, TipButtonOpensTheNoteAndMovingClosesIt) {
    MakeFrame();
    ClickButton(kTipsButton);
    ASSERT_NE(m_frame->TipsDialog(), nullptr);
    wxWindow* first = m_frame->TipsDialog();
    ClickButton(kTipsButton);
    vrz::guitest::Pump(std::chrono::milliseconds(20));
    EXPECT_NE(m_frame->TipsDialog(), nullptr);
    EXPECT_NE(m_frame->TipsDialog(), first) << "a new note replaces the old one";
    wxMoveEvent moved(wxPoint(10, 10));
    m_frame->GetEventHandler()->ProcessEvent(moved);
    WaitFor([&] { return m_frame->TipsDialog() == nullptr; }, "the note to close");
}

// Every tip of the language comes round, not just the first few.
TEST_F(WizardFrame, EveryTipOfTheLanguageComesRoundInTurn) {
    const std::vector<std::string> tips = LoadTips(TipsFilePath());
    ASSERT_EQ(tips.size(), 8u);
    MakeFrame();
    std::vector<std::string> shown{ToUtf8(g_currentTip)};
    for (std::size_t i = 0; i < tips.size(); ++i) {
        m_frame->Navigate(kShowSource);
        shown.push_back(ToUtf8(g_currentTip));
    }
    std::vector<std::string> expected = tips;
    expected.push_back(tips[0]);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(Button(kTipsButton)->m_strText2, FromUtf8(tips[0]));
    EXPECT_EQ(Setting("IDS_TIPS"), "1");
}

// The tip on show is read again in the new language, not left in the old.
TEST_F(WizardFrame, TipsFollowTheLanguage) {
    MakeFrame();
    const wxString english = Button(kTipsButton)->m_strText2;
    EXPECT_EQ(ToUtf8(english), Text("IDS_TIP1", 1000));
    MenuCommand(kMenuLanguageFirst + 2);
    const std::vector<std::string> german = LoadTips(TipsFilePath());
    ASSERT_EQ(german.size(), 8u);
    EXPECT_EQ(german[0], Text("IDS_TIP1", 1000));
    EXPECT_NE(FromUtf8(german[0]), english);
    EXPECT_EQ(ToUtf8(Button(kTipsButton)->m_strText2), german[0]);
    EXPECT_EQ(g_currentTip, FromUtf8(german[0]));
    ASSERT_TRUE(vrz::SelectLanguage(0));
}

TEST(TipOfTheDayChoice, AllTipsInTurnThenBackToTheFirst) {
    const std::string dir = std::filesystem::temp_directory_path() / ("vrz-tips-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string settings = dir + "/settings.ini";
    const std::vector<std::string> tips{"1", "2", "3", "4", "5", "6", "7", "8"};
    vrz::WriteIniString(settings, vrz::kSettingsSection, "IDS_TIPS", "6");
    EXPECT_EQ(ChooseTipOfTheDay(tips, settings).tip, "7");
    EXPECT_EQ(ChooseTipOfTheDay(tips, settings).tip, "8");
    EXPECT_EQ(ChooseTipOfTheDay(tips, settings).tip, "1");
    EXPECT_EQ(vrz::ReadIniString(settings, vrz::kSettingsSection, "IDS_TIPS", 100), "1");

    // An index left by a longer list starts again at the first tip.
    vrz::WriteIniString(settings, vrz::kSettingsSection, "IDS_TIPS", "9");
    EXPECT_EQ(ChooseTipOfTheDay({"a", "b"}, settings).tip, "a");
    EXPECT_EQ(vrz::ReadIniString(settings, vrz::kSettingsSection, "IDS_TIPS", 100), "1");

    // No tips at all: the button hides and the index stays.
    EXPECT_FALSE(ChooseTipOfTheDay({}, settings).found);
    EXPECT_EQ(vrz::ReadIniString(settings, vrz::kSettingsSection, "IDS_TIPS", 100), "1");
    std::filesystem::remove_all(dir);
}

TEST_F(WizardFrame, ProgramFolderIsFilledIntoTexts) {
    EXPECT_EQ(ExpandProgramFolder("{programFolder}/help/about.html"), m_program + "/help/about.html");
    EXPECT_EQ(ExpandProgramFolder("a {programFolder} b {programFolder}"), "a " + m_program + " b " + m_program);
    EXPECT_EQ(ExpandProgramFolder("plain"), "plain");
}

}  // namespace

namespace {

TEST(ShellLaunchCodes, ProgramFailuresMapOntoTheNumberedResults) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("vrz-shell-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    RecordingShellPlatform shell;
    SetShellPlatformForTesting(&shell);

    EXPECT_EQ(StartProgram((dir / "missing").string(), {}), kShellFileNotFound);
    std::ofstream(dir / "plain") << "#!/bin/sh\nexit 0\n";
    fs::permissions(dir / "plain", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(StartProgram((dir / "plain").string(), {}), kShellAccessDenied) << "no execute permission";
    std::ofstream(dir / "text") << "just words";
    fs::permissions(dir / "text", fs::perms::owner_all);
    EXPECT_EQ(StartProgram((dir / "text").string(), {}), kShellBadFormat) << "not a program";
    fs::permissions(dir / "plain", fs::perms::owner_all);
    EXPECT_EQ(StartProgram((dir / "plain").string(), {"/NoUpdateSelf"}), kShellLaunched);
    ASSERT_EQ(shell.processes.size(), 1u);
    EXPECT_EQ(shell.processes[0], (std::vector<std::string>{(dir / "plain").string(), "/NoUpdateSelf"}));
    shell.starts = false;
    EXPECT_EQ(StartProgram((dir / "plain").string(), {}), kShellOutOfMemory) << "the start itself failed";

    EXPECT_EQ(OpenLocalPage((dir / "none.html").string()), kShellFileNotFound);
    EXPECT_EQ(OpenWebPage("https://example.invalid/faq"), kShellLaunched);
    EXPECT_EQ(shell.urls.back(), "https://example.invalid/faq") << "addresses are handed over as they are";
    shell.opens = false;
    EXPECT_EQ(OpenWebPage("https://example.invalid/faq"), kShellNoAssociation) << "no browser could be started";
    SetShellPlatformForTesting(nullptr);
    // A browser program that is not installed does not count as started
    // (the fork would succeed and only the child learn that exec failed).
    EXPECT_EQ(FindProgramInPath("vrz-no-such-browser"), "");
    EXPECT_NE(FindProgramInPath("sh"), "");
    EXPECT_EQ(FindProgramInPath((dir / "plain").string()), (dir / "plain").string());
    fs::remove_all(dir);
}

}  // namespace
