#include "controls/CTipsDlg.h"

#include <wx/dcbuffer.h>
#include <wx/dcscreen.h>
#include <wx/frame.h>

#include "ResourceIds.h"
#include "controls/CXCmdBtn.h"
#include "controls/DialogMetrics.h"
#include "controls/TextWrap.h"
#include "controls/XCmdBtnReset.h"

namespace {

constexpr int kTimerId = 1;
constexpr int kNoteWidth = 503;
// The note closes on the tick after the counter reached this.
constexpr int kLastTick = 4;
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
    const int pixels = vrz::TextFontPixels(wxScreenDC().GetPPI().y);
    m_font = wxFont(wxFontInfo(wxSize(0, pixels)).Family(wxFONTFAMILY_SWISS).FaceName("Trebuchet MS"));
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

void CTipsDlg::PlaceAgainst(wxWindow* owner) {
    const int height = vrz::TipNoteHeight(m_strTip.length());
    if (owner == nullptr) return;
    const wxRect frame = owner->GetScreenRect();
    // Very long tips keep the note's default place and size.
    if (height < 0) {
        SetSize(kNoteWidth, vrz::TipNoteHeight(299));
        CentreOnParent();
        return;
    }
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
    const wxRect box(50, 10, client.x - 100, client.y - 10);
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
