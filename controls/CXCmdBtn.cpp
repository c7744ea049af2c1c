#include "CXCmdBtn.h"

#include <algorithm>
#include <memory>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include "CmdBtnLayout.h"
#include "ControlArt.h"
#include "XCmdBtnReset.h"

namespace {

wxColour ColourFromArgb(std::uint32_t argb) {
    return wxColour(static_cast<unsigned char>(argb >> 16), static_cast<unsigned char>(argb >> 8),
                    static_cast<unsigned char>(argb), static_cast<unsigned char>(argb >> 24));
}

constexpr int kSmallestPointSize = 6;

wxFont CaptionFont(const char* face, int pointSize) {
    // A face that is not installed falls back to the sans-serif family.
    return wxFont(wxFontInfo(pointSize).Family(wxFONTFAMILY_SWISS).FaceName(TheControlArt().Face(face)));
}

// The layout's font, made smaller until text fits width.
wxFont FittingFont(wxDC& dc, const wxString& text, const char* face, int pointSize, int width) {
    wxFont font = CaptionFont(face, pointSize);
    for (int size = pointSize - 1; size >= kSmallestPointSize; --size) {
        dc.SetFont(font);
        if (dc.GetTextExtent(text).x <= width) break;
        font = CaptionFont(face, size);
    }
    return font;
}

wxRect ToRect(const CmdBtnTextBox& box) { return wxRect(box.x, box.y, box.width, box.height); }

}  // namespace

wxBEGIN_EVENT_TABLE(CXCmdBtn, wxControl)
    EVT_PAINT(CXCmdBtn::OnPaint)
    EVT_ENTER_WINDOW(CXCmdBtn::OnEnter)
    EVT_LEAVE_WINDOW(CXCmdBtn::OnLeave)
    EVT_MOTION(CXCmdBtn::OnMotion)
    EVT_LEFT_DOWN(CXCmdBtn::OnLeftDown)
    EVT_LEFT_DCLICK(CXCmdBtn::OnLeftDown)
    EVT_LEFT_UP(CXCmdBtn::OnLeftUp)
    EVT_MOUSE_CAPTURE_LOST(CXCmdBtn::OnCaptureLost)
    EVT_XCMDBTN_RESET_HANDLER(CXCmdBtn::OnReset)
    EVT_KEY_DOWN(CXCmdBtn::OnKeyDown)
    EVT_SET_FOCUS(CXCmdBtn::OnFocusChange)
    EVT_KILL_FOCUS(CXCmdBtn::OnFocusChange)
wxEND_EVENT_TABLE()

CXCmdBtn::CXCmdBtn(wxWindow* parent, wxWindowID id, const wxRect& rect, bool enabled) {
    Create(parent, id, rect, enabled);
}

bool CXCmdBtn::Create(wxWindow* parent, wxWindowID id, const wxRect& rect, bool enabled) {
    // The button paints every pixel itself, from the parent's background up.
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!wxControl::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE)) return false;
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (!enabled) Enable(false);
    return true;
}

void CXCmdBtn::SetImages(int normal, int hover, int pressed) {
    m_nImageNormal = normal;
    m_nImageHover = hover;
    m_nImagePressed = pressed;
    Refresh();
}

void CXCmdBtn::SetCaptions(const wxString& text, const wxString& text2) {
    m_strText = text;
    m_strText2 = text2;
    // A second caption may be cut to fit: the whole of it shows on hover.
    SetToolTip(text2.empty() ? wxString() : text2);
    Refresh();
}

int CXCmdBtn::ImageWidth() const {
    const wxBitmap image = TheControlArt().Image(CurrentImageId());
    return image.IsOk() ? image.GetWidth() : 0;
}

std::vector<CXCmdBtn::PlacedCaption> CXCmdBtn::PlaceCaptions(wxDC& dc) const {
    std::vector<PlacedCaption> placed;
    if (m_strText.empty() && m_strText2.empty()) return placed;
    const CmdBtnCaptionLayout layout =
        ChooseCaptionLayout(ImageWidth(), m_strText.length(), m_strText2.empty(), m_bGreyText);
    const int clientWidth = GetClientSize().x;
    wxRect box = ToRect(layout.textBox);
    box.width = std::max(0, std::min(box.width, clientWidth - box.x));
    PlacedCaption first{m_strText, FittingFont(dc, m_strText, layout.faceName, layout.pointSize, box.width), box};
    dc.SetFont(first.font);
    // Too wide even at the smallest size: cut at a letter, with an ellipsis.
    if (dc.GetTextExtent(first.text).x > box.width) {
        first.text = wxControl::Ellipsize(m_strText, dc, wxELLIPSIZE_END, box.width);
    }
    const int firstWidth = dc.GetTextExtent(first.text).x;
    if (layout.centred && firstWidth < box.width) {
        first.box.x += (box.width - firstWidth) / 2;
        first.box.width = firstWidth;
    }
    placed.push_back(first);
    if (!layout.drawsText2 || m_strText2.empty()) return placed;

    // The second caption starts one space after the first and is cut with an
    // ellipsis at the button's edge.
    const int second = box.x + (m_strText.empty() ? 0 : firstWidth + dc.GetTextExtent(" ").x);
    wxRect box2 = ToRect(layout.text2Box);
    box2.x = second;
    box2.width = std::max(0, clientWidth - second);
    const wxString shown = wxControl::Ellipsize(m_strText2, dc, wxELLIPSIZE_END, box2.width);
    placed.push_back({shown, first.font, box2});
    return placed;
}

int CXCmdBtn::CurrentImageId() const {
    if (m_bPressed && m_bPointerInside) return m_nImagePressed;
    if (m_bHover || m_bHot) return m_nImageHover;
    return m_nImageNormal;
}

void CXCmdBtn::TakeBackgroundSnapshot() {
    const wxRect rect = GetRect();
    if (m_dcBackground.IsOk() && rect == m_snapshotRect) return;
    if (rect.IsEmpty()) return;
    m_snapshotRect = rect;
    m_dcBackground = wxBitmap(rect.GetWidth(), rect.GetHeight(), 24);
    wxMemoryDC dc(m_dcBackground);
    wxWindow* parent = GetParent();
    if (auto* painter = dynamic_cast<CXCmdBtnBackground*>(parent)) {
        painter->PaintBackgroundUnder(dc, rect);
    } else {
        dc.SetBackground(wxBrush(parent ? parent->GetBackgroundColour() : *wxWHITE));
        dc.Clear();
    }
}

void CXCmdBtn::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    TakeBackgroundSnapshot();
    if (m_dcBackground.IsOk()) dc.DrawBitmap(m_dcBackground, 0, 0);

    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->SetInterpolationQuality(wxINTERPOLATION_GOOD);

    int imageWidth = 0;
    int imageHeight = 0;
    const wxBitmap image = TheControlArt().Image(CurrentImageId());
    if (image.IsOk()) {
        imageWidth = image.GetWidth();
        imageHeight = image.GetHeight();
        gc->DrawBitmap(image, 0, 0, image.GetWidth(), image.GetHeight());
    }
    DrawCaptions(dc, *gc);
    if (HasFocus()) DrawFocusRing(*gc, imageWidth, imageHeight);
}

void CXCmdBtn::DrawFocusRing(wxGraphicsContext& gc, int imageWidth, int imageHeight) {
    // A dashed outline shows where Space or Enter would go: inside the image
    // of a push button, around the whole of a small link (icon and caption).
    const wxSize size = GetClientSize();
    const bool link = imageWidth < 50;
    const double width = (!link ? std::min(imageWidth, size.GetWidth()) : size.GetWidth()) - 3.0;
    const double height = (!link ? std::min(imageHeight, size.GetHeight()) : size.GetHeight()) - 3.0;
    if (width < 4 || height < 4) return;
    wxGraphicsPenInfo pen(wxColour(255, 255, 255, 220), 1.0, wxPENSTYLE_SHORT_DASH);
    gc.SetPen(gc.CreatePen(pen));
    gc.SetBrush(*wxTRANSPARENT_BRUSH);
    gc.DrawRoundedRectangle(1.5, 1.5, width, height, 3.0);
}

void CXCmdBtn::DrawCaptions(wxDC& dc, wxGraphicsContext& gc) {
    const CmdBtnCaptionLayout layout =
        ChooseCaptionLayout(ImageWidth(), m_strText.length(), m_strText2.empty(), m_bGreyText);
    const wxColour colour = ColourFromArgb(layout.argb);
    for (const PlacedCaption& caption : PlaceCaptions(dc)) {
        if (caption.text.empty()) continue;
        gc.SetFont(caption.font, colour);
        wxDouble width = 0, height = 0, descent = 0, leading = 0;
        gc.GetTextExtent(caption.text, &width, &height, &descent, &leading);
        gc.PushState();
        gc.Clip(caption.box.x, caption.box.y, caption.box.width, caption.box.height);
        gc.DrawText(caption.text, caption.box.x, caption.box.y + (caption.box.height - height) / 2.0);
        gc.PopState();
    }
}

void CXCmdBtn::SendResetToParent(int id, long extra) { SendXCmdBtnReset(GetParent(), id, extra); }

void CXCmdBtn::OnHoverNotification() {
    // The previous hot button, even when it is this one, drops its highlight.
    if (g_hotButtonId != -1) SendResetToParent(g_hotButtonId, 1);
    m_bHover = true;
    if (m_bSticky) {
        g_hotButtonId = GetId();
        m_bHot = true;
    }
    Refresh();
}

void CXCmdBtn::OnLeaveNotification() {
    m_bTracking = false;
    m_bHover = false;
    m_bPointerInside = false;
    // The parent sends the reset back, which also clears the hot state.
    if (m_bNotifyParent) SendResetToParent(GetId(), 0);
    Refresh();
}

void CXCmdBtn::OnEnter(wxMouseEvent& event) {
    m_bPointerInside = true;
    if (!m_bTracking) {
        m_bTracking = true;
        OnHoverNotification();
    }
    event.Skip();
}

void CXCmdBtn::OnMotion(wxMouseEvent& event) {
    const bool inside = GetClientRect().Contains(event.GetPosition());
    if (inside != m_bPointerInside) {
        m_bPointerInside = inside;
        if (m_bPressed) Refresh();
    }
    if (inside && !m_bTracking) {
        m_bTracking = true;
        OnHoverNotification();
    }
    event.Skip();
}

void CXCmdBtn::OnLeave(wxMouseEvent& event) {
    if (m_bTracking) OnLeaveNotification();
    m_bPointerInside = false;
    event.Skip();
}

void CXCmdBtn::OnLeftDown(wxMouseEvent&) {
    if (!IsEnabled()) return;
    m_bPressed = true;
    m_bPointerInside = true;
    if (!HasCapture()) CaptureMouse();
    Refresh();
}

void CXCmdBtn::OnLeftUp(wxMouseEvent& event) {
    if (!m_bPressed) return;
    m_bPressed = false;
    if (HasCapture()) ReleaseMouse();
    const bool inside = GetClientRect().Contains(event.GetPosition());
    Refresh();
    // The click may replace the whole page: nothing of this button is used after it.
    if (inside) SendClick();
}

void CXCmdBtn::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_bPressed = false;
    Refresh();
}

void CXCmdBtn::OnReset(wxCommandEvent&) {
    m_bHot = false;
    m_bHover = false;
    Refresh();
}

void CXCmdBtn::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (IsEnabled() && (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) {
        SendClick();
        return;
    }
    event.Skip();  // Tab and the rest keep their usual meaning
}

void CXCmdBtn::OnFocusChange(wxFocusEvent& event) {
    Refresh();
    event.Skip();
}

void CXCmdBtn::SendClick() {
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    GetEventHandler()->ProcessEvent(click);
}
