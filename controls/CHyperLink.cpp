#include "controls/CHyperLink.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "controls/CBufferDC.h"

namespace {

constexpr int kLeaveTimerId = 1001;
constexpr int kLeaveRecheckMs = 300;
// Character cell height of the link font, in pixels.
constexpr int kCellHeight = 16;

// A font of the given face whose character cell is at most cellHeight pixels
// high: the face's own line spacing decides how large the letters can be.
wxFont FontWithCellHeight(wxWindow* window, const wxString& face, int cellHeight) {
    wxFont font(wxFontInfo(wxSize(0, cellHeight)).FaceName(face));
    for (int pixels = cellHeight; pixels > 4; --pixels) {
        font.SetPixelSize(wxSize(0, pixels));
        int width = 0;
        int height = 0;
        window->GetTextExtent("Xg", &width, &height, nullptr, nullptr, &font);
        if (height <= cellHeight) break;
    }
    return font;
}

}  // namespace

CHyperLink::CHyperLink(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos,
                       const wxSize& size)
    : wxControl(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_leaveTimer(this, kLeaveTimerId) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_font = FontWithCellHeight(this, "Trebuchet MS", kCellHeight);
    SetFont(m_font);
    wxControl::SetLabel(text);
    SetCursor(wxCursor(wxCURSOR_HAND));
    FitToText();

    Bind(wxEVT_PAINT, &CHyperLink::OnPaint, this);
    Bind(wxEVT_MOTION, &CHyperLink::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHyperLink::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &CHyperLink::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CHyperLink::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CHyperLink::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CHyperLink::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &CHyperLink::OnLeaveTimer, this, kLeaveTimerId);
    Bind(wxEVT_KEY_DOWN, &CHyperLink::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &CHyperLink::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CHyperLink::OnFocusChange, this);
}

void CHyperLink::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (IsEnabled() && (key == WXK_SPACE || key == WXK_RETURN || key == WXK_NUMPAD_ENTER)) {
        SendClick();
        return;
    }
    event.Skip();
}

void CHyperLink::OnFocusChange(wxFocusEvent& event) {
    Refresh();
    event.Skip();
}

void CHyperLink::SetUnderlineColours(const wxColour& normal, const wxColour& hover, const wxColour& pressed) {
    m_crUnderlineNormal = normal;
    m_crUnderlineHover = hover;
    m_crUnderlinePressed = pressed;
    Refresh();
}

void CHyperLink::SetLabel(const wxString& label) {
    wxControl::SetLabel(label);
    FitToText();
    Refresh();
}

bool CHyperLink::Enable(bool enable) {
    const bool changed = wxControl::Enable(enable);
    // A disabled link shows the default arrow and reacts to nothing.
    SetCursor(enable ? wxCursor(wxCURSOR_HAND) : wxNullCursor);
    if (!enable) {
        m_bHover = false;
        m_bPressed = false;
        if (HasCapture()) ReleaseMouse();
    }
    Refresh();
    return changed;
}

std::vector<wxString> CHyperLink::Lines() const {
    wxString text = GetLabel();
    while (text.EndsWith("\n")) text.RemoveLast();
    std::vector<wxString> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('\n', start);
        if (end == wxString::npos) {
            lines.push_back(text.Mid(start));
            break;
        }
        lines.push_back(text.Mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

wxSize CHyperLink::SizeForText() const {
    int widest = 0;
    int textHeight = 0;
    const std::vector<wxString> lines = Lines();
    for (const wxString& line : lines) {
        int width = 0;
        int height = 0;
        GetTextExtent(line.empty() ? wxString(" ") : line, &width, &height, nullptr, nullptr, &m_font);
        if (line.empty()) width = 0;
        widest = std::max(widest, width);
        textHeight = std::max(textHeight, height);
    }
    return wxSize(widest + 3, static_cast<int>(lines.size()) * (textHeight + 3));
}

wxSize CHyperLink::DoGetBestSize() const {
    return SizeForText();
}

void CHyperLink::FitToText() {
    const wxSize wanted = SizeForText();
    if (GetSize() != wanted) {
        SetSize(wanted);
        SetMinSize(wanted);
    }
}

bool CHyperLink::PointerIsOverMe() const {
    const wxPoint pointer = wxGetMousePosition();
    return GetScreenRect().Contains(pointer) && wxFindWindowAtPoint(pointer) == this;
}

void CHyperLink::OnPaint(wxPaintEvent&) {
    FitToText();
    CBufferDC dc(this);
    if (!dc.IsOk()) return;
    dc.Grow(GetClientSize());
    dc.SetFont(m_font);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);

    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(m_crBackground));
    dc.DrawRectangle(0, 0, client.x, client.y);

    wxColour underline = m_bUnderline ? m_crUnderlineNormal : m_crBackground;
    if (m_bHover) underline = m_bPressed ? m_crUnderlinePressed : m_crUnderlineHover;
    dc.SetTextForeground(IsEnabled() ? m_crText : wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));

    const std::vector<wxString> lines = Lines();
    int textHeight = 0;
    dc.GetTextExtent("Xg", nullptr, &textHeight);
    const int lineHeight = textHeight + 2;
    int y = std::max(0, (client.y - static_cast<int>(lines.size()) * lineHeight - 1) / 2);
    for (const wxString& line : lines) {
        dc.DrawText(line, 1, y);
        if (m_bUnderline) {
            const int width = line.empty() ? 0 : dc.GetTextExtent(line).x;
            dc.SetPen(wxPen(underline, 1));
            dc.DrawLine(1, y + textHeight - 1, 1 + width, y + textHeight - 1);
        }
        y += lineHeight;
    }
    if (HasFocus()) {
        // Where Space or Enter would go, as the command buttons show it.
        dc.SetPen(wxPen(m_crText, 1, wxPENSTYLE_DOT));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(0, 0, client.x, client.y);
    }
}

void CHyperLink::OnMotion(wxMouseEvent& event) {
    if (!IsEnabled()) return;
    // While the button is held the link keeps the pointer, so moves outside
    // it arrive here too: hover follows the pointer, pressed stays.
    const bool inside = GetClientRect().Contains(event.GetPosition());
    if (inside != m_bHover) {
        m_bHover = inside;
        Refresh();
    }
}

void CHyperLink::OnLeave(wxMouseEvent&) {
    if (!IsEnabled()) return;
    m_bHover = false;
    if (PointerIsOverMe()) {
        m_leaveTimer.StartOnce(kLeaveRecheckMs);
    } else {
        Refresh();
    }
}

void CHyperLink::OnLeaveTimer(wxTimerEvent&) {
    m_leaveTimer.Stop();
    if (m_bPressed || PointerIsOverMe()) return;
    m_bHover = false;
    Refresh();
}

void CHyperLink::OnLeftDown(wxMouseEvent&) {
    if (!IsEnabled()) return;
    m_bPressed = true;
    m_bHover = true;
    if (!HasCapture()) CaptureMouse();
    m_rcPressedScreen = GetScreenRect();
    Refresh();
}

void CHyperLink::OnLeftUp(wxMouseEvent& event) {
    if (!IsEnabled()) return;
    const bool wasPressed = m_bPressed;
    m_bPressed = false;
    m_bHover = m_rcPressedScreen.Contains(ClientToScreen(event.GetPosition()));
    if (HasCapture()) ReleaseMouse();
    Refresh();
    if (wasPressed && m_bHover) SendClick();
}

void CHyperLink::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_bPressed = false;
    m_bHover = false;
    Refresh();
}

void CHyperLink::SendClick() {
    // An id of which the low 16 bits are zero cannot be told from "no id".
    if ((GetId() & 0xFFFF) == 0) return;
    wxCommandEvent click(wxEVT_BUTTON, GetId());
    click.SetEventObject(this);
    ProcessWindowEvent(click);
}
