#include "controls/CAboutDlg.h"

#include <algorithm>

#include <wx/dcbuffer.h>

#include "ResourceIds.h"
#include "controls/CHyperLink.h"
#include "controls/CXCmdBtn.h"
#include "controls/ControlArt.h"

namespace {

const wxColour kLinkBlue(12, 111, 173);
const wxColour kFrameGrey(86, 86, 86);
const wxColour kRuleGrey(180, 180, 180);
constexpr int kWidth = 435;
constexpr int kHeight = 190;
constexpr int kFontPoints = 9;

struct AboutLink {
    int id;
    int left;
    int top;
};

// In creation order.
constexpr AboutLink kLinks[4] = {
    {CAboutDlg::IDC_LINK_UNINSTALL, 20, 99},
    {CAboutDlg::IDC_LINK_LICENSE, 20, 126},
    {CAboutDlg::IDC_LINK_POLICY, 70, 126},
    {CAboutDlg::IDC_LINK_ABOUT, 20, 151},
};

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent, Content content)
    : wxDialog(parent, wxID_ANY, content.title, wxDefaultPosition, wxSize(kWidth, kHeight), wxBORDER_NONE),
      m_content(std::move(content)) {
    m_bBuilt = Build();
}

const CAboutDlg::LinkContent* CAboutDlg::ContentOf(int id) const {
    switch (id) {
        case IDC_LINK_ABOUT: return &m_content.about;
        case IDC_LINK_UNINSTALL: return &m_content.uninstall;
        case IDC_LINK_LICENSE: return &m_content.license;
        case IDC_LINK_POLICY: return &m_content.policy;
        default: return nullptr;
    }
}

bool CAboutDlg::Build() {
    // In points, so the text scales with the rest of the desktop.
    m_font = wxFont(wxFontInfo(kFontPoints).Family(wxFONTFAMILY_SWISS).FaceName(TheControlArt().Face("Trebuchet MS")));
    // Borderless, so the window size is the client size. (Asking GTK for a
    // client size of a window without decorations leaves it 1 x 1 once shown.)
    SetSize(kWidth, kHeight);
    CentreOnParent();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    m_logo = TheControlArt().Image(vrz::IDB_ABOUT_LOGO);

    m_pCloseButton = new CXCmdBtn();
    if (m_pCloseButton->Create(this, wxID_CANCEL, wxRect(kWidth - 25, 7, 18, 18))) {
        m_pCloseButton->SetImages(vrz::IDB_ABOUT_CLOSE, vrz::IDB_ABOUT_CLOSE, vrz::IDB_ABOUT_CLOSE);
        m_pCloseButton->m_bNotifyParent = true;
    }
    m_pOkButton = new CXCmdBtn();
    if (!m_pOkButton->Create(this, wxID_OK, wxRect(308, 135, 109, 43))) return false;
    m_pOkButton->SetImages(vrz::IDB_ABOUT_OK, vrz::IDB_ABOUT_OK, vrz::IDB_ABOUT_OK);
    m_pOkButton->m_bNotifyParent = true;

    for (int i = 0; i < 4; ++i) {
        const AboutLink& link = kLinks[i];
        m_pLinks[i] = new CHyperLink(this, link.id, ContentOf(link.id)->caption, wxPoint(link.left, link.top));
        if (m_pLinks[i]->GetHandle() == nullptr) return false;
        m_pLinks[i]->SetTextColour(kLinkBlue);
        m_pLinks[i]->SetUnderlineColours(kLinkBlue, kLinkBlue, kLinkBlue);
        m_pLinks[i]->SetUnderline(true);
        m_pLinks[i]->SetBackgroundFill(*wxWHITE);
    }
    PlaceLinks();

    Bind(wxEVT_PAINT, &CAboutDlg::OnPaint, this);
    Bind(wxEVT_BUTTON, &CAboutDlg::OnLink, this, IDC_LINK_ABOUT, IDC_LINK_POLICY);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndBox(wxID_OK); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndBox(wxID_CANCEL); }, wxID_CANCEL);
    Bind(wxEVT_CHAR_HOOK, &CAboutDlg::OnKey, this);
    return true;
}

void CAboutDlg::PlaceLinks() {
    // The licence and policy links share a line with a rule between them;
    // a longer licence caption (another language) pushes the rest right.
    CHyperLink* license = Link(IDC_LINK_LICENSE);
    CHyperLink* policy = Link(IDC_LINK_POLICY);
    if (license == nullptr || policy == nullptr) return;
    const int licenseRight = license->GetPosition().x + license->GetSize().x;
    m_nSeparatorX = std::max(63, licenseRight + 5);
    policy->Move(std::max(70, m_nSeparatorX + 7), policy->GetPosition().y);
}

CHyperLink* CAboutDlg::Link(int id) const {
    for (CHyperLink* link : m_pLinks) {
        if (link != nullptr && link->GetId() == id) return link;
    }
    return nullptr;
}

void CAboutDlg::OpenLink(int id) {
    const LinkContent* link = ContentOf(id);
    if (link == nullptr || link->address.empty() || !m_content.openAddress) return;
    m_content.openAddress(this, link->address);
}

void CAboutDlg::OnLink(wxCommandEvent& event) {
    OpenLink(event.GetId());
}

void CAboutDlg::EndBox(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}

void CAboutDlg::OnKey(wxKeyEvent& event) {
    // The box has no title bar whose close button Escape could stand for.
    if (event.GetKeyCode() == WXK_ESCAPE) {
        EndBox(wxID_CANCEL);
        return;
    }
    event.Skip();
}

void CAboutDlg::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize client = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kFrameGrey));
    dc.DrawRectangle(0, 0, client.x, client.y);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(4, 4, client.x - 8, client.y - 8);

    dc.SetFont(m_font);
    dc.SetTextForeground(kLinkBlue);
    dc.SetTextBackground(*wxWHITE);
    dc.DrawText(m_content.versionLabel, 20, 77);
    const int versionX = std::max(72, 20 + dc.GetTextExtent(m_content.versionLabel).x + 6);
    dc.DrawText(m_content.version, versionX, 77);

    dc.SetPen(wxPen(kRuleGrey, 1));
    dc.DrawLine(15, 70, client.x - 15, 70);
    dc.SetPen(wxPen(kRuleGrey, 2));
    dc.DrawLine(m_nSeparatorX, 127, m_nSeparatorX, 145);

    if (m_logo.IsOk()) {
        const wxImage scaled = m_logo.ConvertToImage().Scale(310, 44, wxIMAGE_QUALITY_HIGH);
        dc.DrawBitmap(wxBitmap(scaled), 13, 13, true);
    }
}
