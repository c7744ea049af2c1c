// The wizard's only top-level window. It holds exactly one step page at a
// time and replaces it on the navigation commands 120, 368, 374 and 375,
// paints the blue background, owns the tips note and refuses to close while
// a worker runs.
#pragma once

#include <vector>

#include <wx/frame.h>
#include <wx/weakref.h>

class StepPage;

class CMainFrame : public wxFrame {
public:
    // With a command-line file the source step starts with that path chosen.
    explicit CMainFrame(const wxString& commandLineFile);
    ~CMainFrame() override;

    // Creates the window, starts the silent update check and the source
    // step. False when that page cannot be made.
    bool CreateFrame();

    // A path handed in from outside (a second start): chosen on the source
    // step, which replaces a preview or save step that has no worker running.
    // While a worker runs it is not taken; false then.
    bool OpenPath(const wxString& path);

    // Destroys the current page and creates the page of command, at once.
    // User-interface thread; pages use StepPage::SendNavigation instead.
    void Navigate(int command);

    StepPage* CurrentPage() const { return m_currentPage; }
    int CurrentPageId() const { return m_currentPageId; }
    // Every navigation command received, in order; for tests and diagnostics.
    const std::vector<int>& NavigationHistory() const { return m_history; }

    // Replaces any open tips note by a new one with the current tip.
    void ShowTips();
    wxWindow* TipsDialog() const { return m_tipsDialog.get(); }

    // The step pages make the window 888 x 530 and not resizable.
    void FixStepWindowSize();

private:
    void DestroyCurrentPage();
    void CloseTips();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnMove(wxMoveEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);

    wxString m_commandLineFile;
    StepPage* m_currentPage = nullptr;
    int m_currentPageId = 0;
    std::vector<int> m_history;
    wxWeakRef<wxWindow> m_tipsDialog;

    wxDECLARE_EVENT_TABLE();
};
