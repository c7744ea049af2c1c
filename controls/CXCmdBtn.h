// The owner-drawn command button of every page and dialog: one of three PNG
// images by state, up to two anti-aliased captions laid out by the image
// width, a hand cursor, hover tracking and the page-wide hot button.
// A click sends wxEVT_BUTTON with the button's id to the parent; Tab reaches
// an enabled button and Space or Enter presses it.
#pragma once

#include <vector>

#include <wx/bitmap.h>
#include <wx/control.h>
#include <wx/font.h>

class wxDC;

// A parent that paints its own background draws the area under a button
// here, so the button can blend its images over the real page colours.
// Parents without it give their background colour.
class CXCmdBtnBackground {
public:
    virtual ~CXCmdBtnBackground() = default;
    // Draws the parent's background of rectInParent into dc, whose (0, 0) is
    // the rectangle's top-left corner.
    virtual void PaintBackgroundUnder(wxDC& dc, const wxRect& rectInParent) = 0;
};

class CXCmdBtn : public wxControl {
public:
    CXCmdBtn() = default;
    // rect in parent pixels (left, top, width, height). A disabled button
    // (the logo) is drawn but never clickable.
    CXCmdBtn(wxWindow* parent, wxWindowID id, const wxRect& rect, bool enabled = true);
    bool Create(wxWindow* parent, wxWindowID id, const wxRect& rect, bool enabled = true);

    void SetImages(int normal, int hover, int pressed);
    void SetCaptions(const wxString& text, const wxString& text2 = wxString());

    // A caption as it is drawn: the text (ellipsized when it had to be cut),
    // its font (smaller than the layout's when the text would not fit) and
    // its box in button pixels.
    struct PlacedCaption {
        wxString text;
        wxFont font;
        wxRect box;
    };
    std::vector<PlacedCaption> PlaceCaptions(wxDC& dc) const;

    // Keyboard users reach every enabled button; the logo stays out of the way.
    bool AcceptsFocus() const override { return IsEnabled() && IsShown(); }
    bool IsHot() const { return m_bHot; }
    bool IsHovered() const { return m_bHover; }
    // The image id the button would draw now.
    int CurrentImageId() const;

    // Pointer notifications; public so tests can drive them without a pointer.
    void OnHoverNotification();
    void OnLeaveNotification();

    int m_nImageNormal = 0;
    int m_nImageHover = 0;
    int m_nImagePressed = 0;
    bool m_bGreyText = false;
    bool m_bNotifyParent = false;
    bool m_bSticky = false;
    wxString m_strText;
    wxString m_strText2;
    bool m_bHover = false;
    bool m_bHot = false;
    bool m_bTracking = false;

protected:
    wxSize DoGetBestSize() const override { return GetSize(); }

private:
    void OnPaint(wxPaintEvent& event);
    void OnEnter(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnReset(wxCommandEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    void SendResetToParent(int id, long extra);
    void TakeBackgroundSnapshot();
    void DrawCaptions(wxDC& dc, class wxGraphicsContext& gc);
    int ImageWidth() const;
    void DrawFocusRing(class wxGraphicsContext& gc, int imageWidth, int imageHeight);
    void SendClick();

    bool m_bPressed = false;  // left button went down here and is still held
    bool m_bPointerInside = false;
    wxBitmap m_dcBackground;  // the parent's pixels under the button
    wxRect m_snapshotRect;

    wxDECLARE_EVENT_TABLE();
};
