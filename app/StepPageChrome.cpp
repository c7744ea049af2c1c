#include "StepPageChrome.h"

#include <wx/dcbuffer.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/weakref.h>

#include "CMainFrame.h"
#include "ChromeDialogs.h"
#include "HelpMenu.h"
#include "PageFonts.h"
#include "ProgramArt.h"
#include "ResourceIds.h"
#include "ShellLaunch.h"
#include "TipOfTheDay.h"
#include "UiText.h"
#include "WizardIds.h"
#include "XCmdBtnReset.h"
#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

using namespace wizard;

namespace chrome {

void PaintBands(wxDC& dc, const wxSize& size) {
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(BandColour()));
    dc.DrawRectangle(0, 0, size.x, kBandHeight);
    dc.DrawRectangle(0, size.y - kBandHeight, size.x, kBandHeight);
    dc.SetBrush(wxBrush(MiddleColour()));
    dc.DrawRectangle(0, kBandHeight, size.x, size.y - 2 * kBandHeight);
}

}  // namespace chrome

namespace {

// The content panel: a grey heading strip over a white area.
const wxRect kHeadingStrip(wxPoint(60, 75), wxPoint(823, 104));
const wxRect kContentPanel(wxPoint(60, 105), wxPoint(823, 419));
const wxPoint kHeadingOrigin(70, 80);

wxRect FromEdges(int left, int top, int right, int bottom) {
    return wxRect(left, top, right - left, bottom - top);
}

std::string SettingsPath() { return vrz::CurrentProgramPaths().settingsPath; }

int StoredLanguage() {
    return vrz::ParseLeadingInt(
        vrz::ReadIniString(SettingsPath(), vrz::kSettingsSection, "IDS_LANGUAGE", vrz::kTextCapacity));
}

}  // namespace

wxBEGIN_EVENT_TABLE(StepPage, wxPanel)
    EVT_PAINT(StepPage::OnPaint)
    EVT_BUTTON(kHelpLink, StepPage::OnHelpLink)
    EVT_BUTTON(kFaqLink, StepPage::OnFaqLink)
    EVT_BUTTON(kSocialLink, StepPage::OnSocialLink)
    EVT_BUTTON(kTipsButton, StepPage::OnTipsButton)
    EVT_BUTTON(kHomeButton, StepPage::OnHomeButton)
    EVT_MENU(MenuItemId(kMenuHelp), StepPage::OnHelpFile)
    EVT_MENU(MenuItemId(kMenuUpdate), StepPage::OnUpdate)
    EVT_MENU(MenuItemId(kMenuAbout), StepPage::OnAbout)
    EVT_MENU(MenuItemId(kMenuSupport), StepPage::OnSupport)
    EVT_MENU_RANGE(MenuItemId(kMenuLanguageFirst), MenuItemId(kMenuLanguageLast), StepPage::OnLanguage)
    EVT_XCMDBTN_RESET_HANDLER(StepPage::OnXCmdBtnReset)
wxEND_EVENT_TABLE()

StepPage::StepPage(CMainFrame* frame, int pageId) : m_frame(frame) {
    UseProgramArtInControls();
    g_hotButtonId = -1;
    // The page paints every pixel, so nothing is erased under it first.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(frame, pageId, wxPoint(0, 0), frame->GetClientSize(), wxBORDER_NONE);
    m_headingFont = PageFont(10);
}

StepPage::~StepPage() { g_hotButtonId = -1; }

CXCmdBtn* StepPage::MakeButton(int id, int left, int top, int right, int bottom, int normal, int hover,
                               int pressed, bool enabled) {
    auto* button = new CXCmdBtn;
    if (!button->Create(this, id, FromEdges(left, top, right, bottom), enabled)) {
        delete button;
        return nullptr;
    }
    button->SetImages(normal, hover, pressed);
    button->m_bNotifyParent = true;
    return button;
}

bool StepPage::CreateChrome(const ChromeOptions& options) {
    if (options.homeButton) {
        m_homeButton = MakeButton(kHomeButton, 13, 40, 45, 72, vrz::IDB_HOME_NORMAL, vrz::IDB_HOME_HOVER,
                                  vrz::IDB_HOME_PRESSED, options.homeEnabled);
        if (!m_homeButton) return false;
        m_homeButton->m_bSticky = true;
    }

    m_tipsButton = MakeButton(kTipsButton, 506, 480, 850, 496, vrz::IDB_TIPS_LINK, vrz::IDB_TIPS_LINK,
                              vrz::IDB_TIPS_LINK);
    if (!m_tipsButton) return false;
    m_tipsButton->m_bSticky = true;
    const TipOfTheDay tip = ChooseTipOfTheDay(LoadTips(TipsFilePath()), SettingsPath());
    g_currentTip = FromUtf8(tip.tip);
    g_currentTipIndex = tip.index;
    m_tipsButton->SetCaptions(LoadUiText("IDS_TIPS", vrz::kTextCapacity), g_currentTip);
    if (!tip.found) m_tipsButton->Hide();

    m_logo = MakeButton(kLogo, 5, 5, 98, 26, vrz::IDB_LOGO_SMALL, vrz::IDB_LOGO_SMALL, vrz::IDB_LOGO_SMALL, false);
    if (!m_logo) return false;
    m_logo->m_bSticky = true;

    const wxString helpCaption = LoadUiText("IDS_RHELP", vrz::kTextCapacity);
    const int helpLeft = 880 - 8 * static_cast<int>(helpCaption.length()) - 16;
    m_helpLink = MakeButton(kHelpLink, helpLeft, 5, 880, 21, vrz::IDB_HELP_LINK_NORMAL, vrz::IDB_HELP_LINK_HOVER,
                            vrz::IDB_HELP_LINK_PRESSED);
    if (!m_helpLink) return false;
    m_helpLink->SetCaptions(helpCaption);

    const wxString faqCaption = LoadUiText("IDS_FAQ", vrz::kTextCapacity);
    const int faqChars = static_cast<int>(faqCaption.length());
    m_faqLink = MakeButton(kFaqLink, helpLeft - 10 * faqChars - options.faq.leftExtra, 5,
                           helpLeft - options.faq.rightGap, 21, vrz::IDB_FAQ_LINK, vrz::IDB_FAQ_LINK,
                           vrz::IDB_FAQ_LINK);
    if (!m_faqLink) return false;
    m_faqLink->SetCaptions(faqCaption);

    m_socialLink = MakeButton(kSocialLink, 10, 480, 26, 496, vrz::IDB_SOCIAL_LINK, vrz::IDB_SOCIAL_LINK,
                              vrz::IDB_SOCIAL_LINK);
    if (!m_socialLink) return false;
    m_socialLink->m_bSticky = true;

    m_frame->FixStepWindowSize();
    return true;
}

void StepPage::SetHeading(const wxString& heading) {
    m_heading = heading;
    RefreshRect(wxRect(wxPoint(70, 80), wxPoint(500, 110)));
}

void StepPage::RefreshLanguageTexts() {
    if (m_faqLink) m_faqLink->SetCaptions(LoadUiText("IDS_FAQ", vrz::kTextCapacity));
    if (m_helpLink) m_helpLink->SetCaptions(LoadUiText("IDS_RHELP", vrz::kTextCapacity));
    if (m_tipsButton) {
        // The same tip, in the language now chosen.
        if (!g_currentTip.empty()) g_currentTip = FromUtf8(TipInCurrentLanguage(g_currentTipIndex));
        m_tipsButton->SetCaptions(LoadUiText("IDS_TIPS", vrz::kTextCapacity), g_currentTip);
    }
}

void StepPage::SendNavigation(int command) {
    CMainFrame* frame = m_frame;
    frame->CallAfter([frame, page = wxWeakRef<StepPage>(this), command] {
        if (!page || frame->CurrentPage() != page.get()) return;
        page->RunWhenNoModal([frame, command] { frame->Navigate(command); });
    });
}

StepPage::ModalScope::ModalScope(StepPage& page) : m_page(page) { ++m_page.m_modalDepth; }

StepPage::ModalScope::~ModalScope() {
    if (--m_page.m_modalDepth > 0 || m_page.m_deferred.empty()) return;
    // Run what waited for the question from the frame's queue, not from
    // inside the handler that asked it.
    CMainFrame* frame = m_page.m_frame;
    frame->CallAfter([page = wxWeakRef<StepPage>(&m_page)] {
        if (page) page->RunDeferred();
    });
}

void StepPage::RunWhenNoModal(std::function<void()> work) {
    if (m_modalDepth == 0) {
        work();  // may destroy this page
        return;
    }
    m_deferred.push_back(std::move(work));
}

void StepPage::RunDeferred() {
    wxWeakRef<StepPage> alive(this);
    while (alive && m_modalDepth == 0 && !m_deferred.empty()) {
        std::function<void()> work = std::move(m_deferred.front());
        m_deferred.pop_front();
        work();
    }
}

int StepPage::ShowMessage(const wxString& text, const wxString& caption, long style, wxWindow* owner) {
    ModalScope scope(*this);
    wxMessageDialog box(owner ? owner : this, text, caption, style);
    return box.ShowModal();
}

int StepPage::ShowInformation(const std::string& textKey, std::size_t textCapacity, wxWindow* owner) {
    return ShowMessage(LoadUiText(textKey, textCapacity), LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption),
                       wxOK | wxICON_INFORMATION, owner);
}

void StepPage::ShowLaunchFailure(int code, const std::string& what) {
    if (code == kShellLaunched) return;
    // Without a browser the page can still be opened by hand: say where it is.
    const char* key = code == kShellNoAssociation ? "IDS_NO_BROWSER" : "IDS_NOT_STARTED";
    ShowMessage(LoadUiText(key, vrz::kTextCapacity) + "\n\n" + FromUtf8(what),
                LoadUiText("IDS_RUNNING3", vrz::kTextCapacity), wxOK | wxICON_ERROR);
}

void StepPage::PaintChrome(wxDC& dc) {
    chrome::PaintBands(dc, GetClientSize());
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(chrome::HeadingStripColour()));
    dc.DrawRectangle(kHeadingStrip);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(kContentPanel);
    dc.SetFont(m_headingFont);
    dc.SetTextForeground(*wxBLACK);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.DrawText(m_heading, kHeadingOrigin);
}

void StepPage::PaintBackgroundUnder(wxDC& dc, const wxRect& rectInParent) {
    dc.SetDeviceOrigin(-rectInParent.x, -rectInParent.y);
    PaintChrome(dc);
    dc.SetDeviceOrigin(0, 0);
}

void StepPage::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    PaintChrome(dc);
    PaintContent(dc);
}

void StepPage::OnHelpLink(wxCommandEvent&) {
    wxMenu* menu = BuildHelpMenu(StoredLanguage());
    {
        ModalScope scope(*this);
        const wxRect link = m_helpLink->GetRect();
        PopupMenu(menu, link.GetLeft(), link.GetBottom() + 1);
    }
    delete menu;
}

void StepPage::OpenPage(const std::string& relativePath) {
    const std::string path = ProgramFile(relativePath);
    ShowLaunchFailure(OpenWebPage(path), path);
}

void StepPage::OnFaqLink(wxCommandEvent&) { OpenPage("help/faq.html"); }

void StepPage::OnSocialLink(wxCommandEvent&) { OpenPage("help/social.html"); }

void StepPage::OnSupport(wxCommandEvent&) { OpenPage("help/support.html"); }

void StepPage::OnHelpFile(wxCommandEvent&) { OpenPage("help/vtziprpr.html"); }

void StepPage::OnUpdate(wxCommandEvent&) {
    const std::string updater = ProgramFile("vtupdate");
    ShowLaunchFailure(StartProgram(updater, {"/NoUpdateSelf"}), updater);
}

void StepPage::OnAbout(wxCommandEvent&) {
    ModalScope scope(*this);
    ShowAboutDialog(this);
}

void StepPage::OnTipsButton(wxCommandEvent&) { m_frame->ShowTips(); }

void StepPage::OnHomeButton(wxCommandEvent&) { SendNavigation(kShowSource); }

void StepPage::OnLanguage(wxCommandEvent& event) {
    if (!vrz::SelectLanguage(event.GetId() - MenuItemId(kMenuLanguageFirst))) return;
    RefreshLanguageTexts();
    Refresh();
}

void StepPage::OnXCmdBtnReset(wxCommandEvent& event) { ForwardXCmdBtnReset(this, event); }
