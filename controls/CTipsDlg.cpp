#include "controls/CTipsDlg.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>

#include "ResourceIds.h"
#include "controls/CXCmdBtn.h"
#include "controls/ControlArt.h"
#include "controls/TextWrap.h"
#include "controls/XCmdBtnReset.h"

namespace {

constexpr int kTimerId = 1;
constexpr int kNoteWidth = 503;
// The note closes on the tick after the counter reached this.
constexpr int kLastTick = 4;
constexpr int kFontPoints = 10;
// The text starts right of the bulb and ends left of the close button.
constexpr int kTextLeft = 50;
constexpr int kTextRightMargin = 50;
constexpr int kTextTop = 10;
constexpr int kMinimumHeight = 40;
const wxColour kNoteYellow(249, 251, 147);
const wxColour kNoteText(50, 50, 50);

}  // namespace

CTipsDlg::CTipsDlg(wxWindow* owner, const wxString& tip)
    : wxDialog(owner, wxID_ANY, wxString(), wxDefaultPosition, wxSize(kNoteWidth, 40),
               wxBORDER_NONE | wxFRAME_NO_TASKBAR),
      m_strTip(tip),
      m_timer(this, kTimerId) {
    g_hotButtonId = -1;
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(kNoteYellow);
    // In points, so the note scales with the rest of the desktop.
    m_font = wxFont(wxFontInfo(kFontPoints).Family(wxFONTFAMILY_SWISS).FaceName(TheControlArt().Face("Trebuchet MS")));
    PlaceAgainst(owner);

    m_pCloseButton = new CXCmdBtn(this, IDC_TIPS_CLOSE, wxRect(485, 0, 16, 16));
    m_pCloseButton->SetImages(vrz::IDB_TIPS_CLOSE, vrz::IDB_TIPS_CLOSE, vrz::IDB_TIPS_CLOSE);
    m_pCloseButton->m_bNotifyParent = true;
    m_pIcon = new CXCmdBtn(this, IDC_TIPS_ICON, wxRect(10, 5, 24, 24), false);
    m_pIcon->SetImages(vrz::IDB_TIPS_ICON, vrz::IDB_TIPS_ICON, vrz::IDB_TIPS_ICON);
    m_pIcon->m_bNotifyParent = true;

    Bind(wxEVT_PAINT, &CTipsDlg::OnPaint, this);
    Bind(wxEVT_TIMER, &CTipsDlg::OnTimer, this, kTimerId);
    Bind(wxEVT_BUTTON, &CTipsDlg::OnCloseButton, this, IDC_TIPS_CLOSE);
    Bind(wxEVT_CLOSE_WINDOW, &CTipsDlg::OnClose, this);

    m_timer.Start(1000);
    ShowWithoutActivating();
}

CTipsDlg::~CTipsDlg() {
    g_hotButtonId = -1;
}

int CTipsDlg::TextHeight() const {
    // Measured off screen: the note is not shown yet when it is sized.
    wxBitmap scratch(1, 1);
    wxMemoryDC dc(scratch);
    dc.SetFont(m_font);
    const int lines = static_cast<int>(WrapText(dc, m_strTip, TextWidth()).size());
    return lines * dc.GetCharHeight();
}

int CTipsDlg::TextWidth() const { return kNoteWidth - kTextLeft - kTextRightMargin; }

void CTipsDlg::PlaceAgainst(wxWindow* owner) {
    // Tall enough for every wrapped line of the tip.
    const int height = std::max(kMinimumHeight, TextHeight() + 2 * kTextTop);
    if (owner == nullptr) {
        SetSize(kNoteWidth, height);
        return;
    }
    const wxRect frame = owner->GetScreenRect();
    const int right = frame.GetX() + frame.GetWidth();
    const int bottom = frame.GetY() + frame.GetHeight();
    SetSize(right - 507, bottom - 35 - height, kNoteWidth, height);
}

void CTipsDlg::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize client = GetClientSize();
    dc.SetBackground(wxBrush(kNoteYellow));
    dc.Clear();
    dc.SetFont(m_font);
    dc.SetTextForeground(kNoteText);
    dc.SetTextBackground(kNoteYellow);
    const wxRect box(kTextLeft, kTextTop, TextWidth(), client.y - kTextTop);
    DrawWrappedText(dc, m_strTip, box);
}

void CTipsDlg::Tick() {
    if (m_nTicks >= kLastTick) {
        m_nTicks = 0;
        Close();
        return;
    }
    ++m_nTicks;
}

void CTipsDlg::OnTimer(wxTimerEvent&) {
    Tick();
}

void CTipsDlg::OnCloseButton(wxCommandEvent&) {
    Close();
}

void CTipsDlg::OnClose(wxCloseEvent&) {
    m_timer.Stop();
    Destroy();
}
