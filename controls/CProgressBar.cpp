#include "CProgressBar.h"

#include <algorithm>
#include <memory>

#include <wx/dcbuffer.h>
#include <wx/graphics.h>

#include "CXCmdBtn.h"

namespace {

const wxColour kTroughFill(236, 241, 245);
const wxColour kTroughBorder(176, 196, 212);
const wxColour kBarTop(52, 152, 212);
const wxColour kBarBottom(17, 115, 170);
constexpr double kCornerRadius = 4.0;

}  // namespace

CProgressBar::CProgressBar(wxWindow* parent, wxWindowID id, int range, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, id, pos, size, wxBORDER_NONE);
    m_nRange = std::max(range, 1);
    Bind(wxEVT_PAINT, &CProgressBar::OnPaint, this);
}

void CProgressBar::SetRange(int range) {
    m_nRange = std::max(range, 1);
    m_nValue = std::min(m_nValue, m_nRange);
    Refresh();
}

void CProgressBar::SetValue(int value) {
    value = std::clamp(value, 0, m_nRange);
    if (value == m_nValue) return;
    m_nValue = value;
    Refresh();
}

void CProgressBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    // The page's own pixels around the rounded ends.
    if (auto* page = dynamic_cast<CXCmdBtnBackground*>(GetParent())) {
        page->PaintBackgroundUnder(dc, GetRect());
    } else {
        dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
        dc.Clear();
    }
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (!gc) return;
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);

    const double width = size.GetWidth() - 1.0;
    const double height = size.GetHeight() - 1.0;
    gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(kTroughBorder, 1.0)));
    gc->SetBrush(wxBrush(kTroughFill));
    gc->DrawRoundedRectangle(0.5, 0.5, width, height, kCornerRadius);

    const double filled = (width - 4.0) * m_nValue / m_nRange;
    if (filled < 1.0) return;
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(gc->CreateLinearGradientBrush(0, 2.5, 0, height - 2.0, kBarTop, kBarBottom));
    gc->DrawRoundedRectangle(2.5, 2.5, filled, height - 4.0, kCornerRadius - 1.0);
}
