// A smooth progress bar drawn in the program's colours over the page's own
// background. The desktop theme's bar is a thin line at the bottom of its
// box on some themes, which made the wizard's progress hard to see.
#pragma once

#include <wx/control.h>

class CProgressBar : public wxControl {
public:
    CProgressBar(wxWindow* parent, wxWindowID id, int range, const wxPoint& pos, const wxSize& size);

    void SetRange(int range);
    int GetRange() const { return m_nRange; }
    // Values outside 0..range are held at its ends.
    void SetValue(int value);
    int GetValue() const { return m_nValue; }

    bool AcceptsFocus() const override { return false; }

protected:
    wxSize DoGetBestSize() const override { return GetSize(); }

private:
    void OnPaint(wxPaintEvent& event);

    int m_nRange = 100;
    int m_nValue = 0;
};
