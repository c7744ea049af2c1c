// What every step page shares: the 888 x 530 window with its colour bands,
// the content panel with the heading, and the chrome buttons (logo, help,
// FAQ, tips, social link, home) with their menus and links. A page derives
// from StepPage, builds its own controls in BuildPage() and refreshes its
// own captions in RefreshLanguageTexts().
#pragma once

#include <deque>
#include <functional>
#include <string>

#include <wx/panel.h>

#include "CXCmdBtn.h"

class CMainFrame;

// The look of the FAQ link, which sits left of the help link: with L the
// help link's left edge and n the characters of the FAQ caption it spans
// L - 10n - leftExtra .. L - rightGap.
struct FaqLinkPlacement {
    int leftExtra = 34;
    int rightGap = 18;
};

struct ChromeOptions {
    bool homeButton = false;   // repair, preview and save pages
    bool homeEnabled = true;   // the repair page shows it disabled
    FaqLinkPlacement faq;
};

class StepPage : public wxPanel, public CXCmdBtnBackground {
public:
    StepPage(CMainFrame* frame, int pageId);
    ~StepPage() override;

    // Creates the page's controls (the chrome through CreateChrome). False
    // when one cannot be created; the frame then shows no page.
    virtual bool BuildPage() = 0;

    CMainFrame* Frame() const { return m_frame; }

    // Asks the frame for another step (120, 368, 374, 375). The switch runs
    // right after the current event, never while the page has a question or
    // menu open, and is dropped if this page is no longer the frame's page.
    void SendNavigation(int command);

    // Re-reads the captions after a language switch; pages add their own and
    // call this first.
    virtual void RefreshLanguageTexts();

    // Every question, message box, dialog and menu of the page runs inside a
    // ModalScope, so the frame never destroys the page under it.
    class ModalScope {
    public:
        explicit ModalScope(StepPage& page);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        StepPage& m_page;
    };
    bool InModal() const { return m_modalDepth > 0; }
    bool HasDeferredWork() const { return !m_deferred.empty(); }

    // Runs work now, or once the page's open question or menu has closed.
    // Work may replace the page; it is dropped with the page.
    void RunWhenNoModal(std::function<void()> work);

    // A message box owned by owner (the page when null), inside a ModalScope.
    int ShowMessage(const wxString& text, const wxString& caption, long style, wxWindow* owner = nullptr);
    // The same with the text of textKey and the caption IDS_INFORMATION
    // (capacity 200), information icon.
    int ShowInformation(const std::string& textKey, std::size_t textCapacity, wxWindow* owner = nullptr);

    // CXCmdBtnBackground: the bands, the panel and the heading.
    void PaintBackgroundUnder(wxDC& dc, const wxRect& rectInParent) override;

    CXCmdBtn* HelpLink() const { return m_helpLink; }
    CXCmdBtn* FaqLink() const { return m_faqLink; }
    CXCmdBtn* TipsButton() const { return m_tipsButton; }
    CXCmdBtn* HomeButton() const { return m_homeButton; }
    const wxString& Heading() const { return m_heading; }
    const wxFont& HeadingFont() const { return m_headingFont; }

protected:
    // Creates the chrome controls and chooses the tip of the day.
    bool CreateChrome(const ChromeOptions& options);

    // A command button at (left, top, right, bottom) with its three images.
    CXCmdBtn* MakeButton(int id, int left, int top, int right, int bottom, int normal, int hover, int pressed,
                         bool enabled = true);

    void SetHeading(const wxString& heading);
    // Drawn after the bands, the panel and the heading.
    virtual void PaintContent(wxDC&) {}

    wxFont m_headingFont;

private:
    void PaintChrome(wxDC& dc);
    void RunDeferred();
    // A page or program that could not be shown or started: what and where.
    void ShowLaunchFailure(int code, const std::string& what);

    // A page shipped below the program folder, in the browser.
    void OpenPage(const std::string& relativePath);
    void OnPaint(wxPaintEvent& event);
    void OnHelpLink(wxCommandEvent& event);
    void OnFaqLink(wxCommandEvent& event);
    void OnSocialLink(wxCommandEvent& event);
    void OnTipsButton(wxCommandEvent& event);
    void OnHomeButton(wxCommandEvent& event);
    void OnHelpFile(wxCommandEvent& event);
    void OnUpdate(wxCommandEvent& event);
    void OnAbout(wxCommandEvent& event);
    void OnSupport(wxCommandEvent& event);
    void OnLanguage(wxCommandEvent& event);
    void OnXCmdBtnReset(wxCommandEvent& event);

    CMainFrame* m_frame;
    wxString m_heading;
    int m_modalDepth = 0;
    std::deque<std::function<void()>> m_deferred;

    CXCmdBtn* m_logo = nullptr;
    CXCmdBtn* m_helpLink = nullptr;
    CXCmdBtn* m_faqLink = nullptr;
    CXCmdBtn* m_tipsButton = nullptr;
    CXCmdBtn* m_socialLink = nullptr;
    CXCmdBtn* m_homeButton = nullptr;

    wxDECLARE_EVENT_TABLE();
};

// Colours of the window and the content panel.
namespace chrome {
inline wxColour BandColour() { return wxColour(0, 97, 152); }
inline wxColour MiddleColour() { return wxColour(17, 115, 170); }
inline wxColour HeadingStripColour() { return wxColour(222, 222, 222); }
constexpr int kBandHeight = 30;
constexpr int kWindowWidth = 888;
constexpr int kWindowHeight = 530;
// The area inside an 888 x 530 window with a title bar and thin borders,
// which the pages are laid out for (the footer sits in the bottom band at
// 480..496). It is fixed as the client size, so that a taller title bar, a
// window manager that reports its borders late or GDK_SCALE=2 never shifts
// the bands under the controls nor grows the window from one step to the next.
constexpr int kClientWidth = 886;
constexpr int kClientHeight = 505;
// Paints the three bands over a client area of size.
void PaintBands(wxDC& dc, const wxSize& size);
}  // namespace chrome
