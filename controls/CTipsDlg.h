// The tip of the day as a small yellow note at the bottom right of the main
// window. It closes itself after five seconds, on its close button, or when
// the frame closes it (a new note, or the window moved).
#pragma once

#include <wx/dialog.h>
#include <wx/timer.h>

class CXCmdBtn;

class CTipsDlg : public wxDialog {
public:
    enum { IDC_TIPS_CLOSE = 1047, IDC_TIPS_ICON = 365 };

    // Creates and shows the note for tip next to owner (the main frame).
    CTipsDlg(wxWindow* owner, const wxString& tip);
    ~CTipsDlg() override;

    const wxString& Tip() const { return m_strTip; }
    int Ticks() const { return m_nTicks; }
    // Pixel height and width of the tip's wrapped text.
    int TextHeight() const;
    int TextWidth() const;
    // One second of the self-closing countdown; public so tests need not wait.
    void Tick();

private:
    void PlaceAgainst(wxWindow* owner);
    void OnPaint(wxPaintEvent& event);
    void OnTimer(wxTimerEvent& event);
    void OnCloseButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    wxString m_strTip;
    wxFont m_font;
    CXCmdBtn* m_pCloseButton = nullptr;
    CXCmdBtn* m_pIcon = nullptr;
    wxTimer m_timer;
    int m_nTicks = 0;
};
