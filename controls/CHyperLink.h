// An underlined text link: hand cursor, hover and pressed underline colours,
// and a click (wxEVT_BUTTON with the link's id) only when the button is
// released over the link it was pressed on, or Space/Enter while it has
// the keyboard, which a dotted outline shows. Sizes itself to its text.
#pragma once

#include <vector>

#include <wx/control.h>
#include <wx/timer.h>

class CHyperLink : public wxControl {
public:
    CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
               const wxSize& size = wxDefaultSize);

    void SetTextColour(const wxColour& colour) { m_crText = colour; Refresh(); }
    void SetUnderline(bool on) { m_bUnderline = on; Refresh(); }
    void SetUnderlineColours(const wxColour& normal, const wxColour& hover, const wxColour& pressed);
    void SetBackgroundFill(const wxColour& colour) { m_crBackground = colour; Refresh(); }

    void SetLabel(const wxString& label) override;
    bool Enable(bool enable = true) override;

    bool IsHover() const { return m_bHover; }
    bool IsPressed() const { return m_bPressed; }
    // The size the link takes for its text: widest line + 3 by lines x (height + 3).
    wxSize SizeForText() const;
    // Tab reaches an enabled link.
    bool AcceptsFocus() const override { return IsEnabled(); }
    bool AcceptsFocusFromKeyboard() const override { return IsEnabled(); }

protected:
    wxSize DoGetBestSize() const override;

private:
    std::vector<wxString> Lines() const;
    bool PointerIsOverMe() const;
    void FitToText();
    void SendClick();

    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnLeaveTimer(wxTimerEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    wxFont m_font;
    wxColour m_crText{0, 0, 255};
    wxColour m_crUnderlineNormal{0, 0, 255};
    wxColour m_crUnderlineHover{0, 0, 255};
    wxColour m_crUnderlinePressed{0, 0, 255};
    wxColour m_crBackground{255, 255, 255};
    bool m_bUnderline = true;
    bool m_bHover = false;
    bool m_bPressed = false;
    wxRect m_rcPressedScreen;
    // A leave that comes while the pointer is still over the link (GTK sends
    // one when the pointer is grabbed) is checked again after 300 ms.
    wxTimer m_leaveTimer;
};
