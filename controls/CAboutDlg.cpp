#include "controls/CAboutDlg.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/dcscreen.h>
#include <wx/msgdlg.h>

#include "ResourceIds.h"
#include "app/ImageResources.h"
#include "app/ShellLaunch.h"
#include "app/UiText.h"
#include "controls/CHyperLink.h"
#include "controls/CXCmdBtn.h"
#include "controls/DialogMetrics.h"
#include "text/LanguageTexts.h"

#ifndef VRZ_PROGRAM_VERSION
#define VRZ_PROGRAM_VERSION nullptr
#endif

namespace {

const wxColour kLinkBlue(12, 111, 173);
const wxColour kFrameGrey(86, 86, 86);
const wxColour kRuleGrey(180, 180, 180);
constexpr int kWidth = 435;
constexpr int kHeight = 190;
constexpr const char* kProgramName = "Vant Repair Zip";

struct AboutLink {
    int id;
    int left;
    int top;
    const char* captionKey;
    const char* addressKey;
};

// In creation order.
constexpr AboutLink kLinks[4] = {
    {CAboutDlg::IDC_LINK_UNINSTALL, 20, 99, "IDS_UNINSTALL_URL_TXT", "IDS_UNINSTALL_URL"},
    {CAboutDlg::IDC_LINK_LICENSE, 20, 126, "IDS_LICENSE_URL_TXT", "IDS_LICENSE_URL"},
    {CAboutDlg::IDC_LINK_POLICY, 70, 126, "IDS_POLICY_URL_TXT", "IDS_POLICY_URL"},
    {CAboutDlg::IDC_LINK_ABOUT, 20, 151, "IDS_URL_ABOUT", "IDS_URL_ABOUT"},
};

wxString AboutText(const char* key) {
    return LoadUiText(key, vrz::kTextCapacityAbout);
}

}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(kWidth, kHeight), wxBORDER_NONE) {
    m_bBuilt = Build();
}

int CAboutDlg::Run(wxWindow* parent) {
    CAboutDlg dialog(parent);
    if (!dialog.IsBuilt()) return wxID_CANCEL;
    return dialog.ShowModal();
}

bool CAboutDlg::Build() {
    const wxSize ppi = wxScreenDC().GetPPI();
    m_font = wxFont(wxFontInfo(wxSize(0, vrz::AboutFontPixels(ppi.x, ppi.y)))
                        .Family(wxFONTFAMILY_SWISS)
                        .FaceName("Trebuchet MS"));
    // Borderless, so the window size is the client size. (Asking GTK for a
    // client size of a window without decorations leaves it 1 x 1 once shown.)
    SetSize(kWidth, kHeight);
    CentreOnParent();
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    m_logo = LoadPngResource(vrz::IDB_ABOUT_LOGO);

    m_pCloseButton = new CXCmdBtn();
    if (m_pCloseButton->Create(this, wxID_CANCEL, wxRect(kWidth - 25, 7, 18, 18))) {
        m_pCloseButton->SetImages(vrz::IDB_ABOUT_CLOSE, vrz::IDB_ABOUT_CLOSE, vrz::IDB_ABOUT_CLOSE);
        m_pCloseButton->m_bNotifyParent = true;
    }
    m_pOkButton = new CXCmdBtn();
    if (!m_pOkButton->Create(this, wxID_OK, wxRect(308, 135, 109, 43))) {
        wxMessageBox("Failed to create OK button", kProgramName, wxOK, GetParent());
        return false;
    }
    m_pOkButton->SetImages(vrz::IDB_ABOUT_OK, vrz::IDB_ABOUT_OK, vrz::IDB_ABOUT_OK);
    m_pOkButton->m_bNotifyParent = true;

    for (int i = 0; i < 4; ++i) {
        const AboutLink& link = kLinks[i];
        m_pLinks[i] = new CHyperLink(this, link.id, AboutText(link.captionKey), wxPoint(link.left, link.top));
        if (m_pLinks[i]->GetHandle() == nullptr) {
            wxMessageBox("Hyper-link creation fails", kProgramName, wxOK, GetParent());
            return false;
        }
        m_pLinks[i]->SetTextColour(kLinkBlue);
        m_pLinks[i]->SetUnderlineColours(kLinkBlue, kLinkBlue, kLinkBlue);
        m_pLinks[i]->SetUnderline(true);
        m_pLinks[i]->SetBackgroundFill(*wxWHITE);
    }
    PlaceLinks();

    m_strVersionText = AboutText("IDS_VERSION_TEXT");
    SetTitle(wxString::Format("%s %s", AboutText("IDS_ABOUT"), kProgramName));
    m_strVersion = wxString::FromUTF8(vrz::FormatProgramVersion(VRZ_PROGRAM_VERSION));

    Bind(wxEVT_PAINT, &CAboutDlg::OnPaint, this);
    Bind(wxEVT_BUTTON, &CAboutDlg::OnLink, this, IDC_LINK_ABOUT, IDC_LINK_POLICY);
    Bind(wxEVT_BUTTON, &CAboutDlg::OnOk, this, wxID_OK);
    Bind(wxEVT_BUTTON, &CAboutDlg::OnCancel, this, wxID_CANCEL);
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
    const AboutLink* link = nullptr;
    for (const AboutLink& candidate : kLinks) {
        if (candidate.id == id) link = &candidate;
    }
    if (link == nullptr) return;
    const std::string address = ToUtf8(AboutText(link->addressKey));
    if (address.empty()) return;
    // A page that cannot be opened says why, in the platform's fixed words.
    if (const char* failure = ShellLaunchErrorText(OpenWebPage(address))) {
        wxMessageDialog box(this, failure, AboutText("IDS_ERROR"), wxOK | wxICON_ERROR);
        box.ShowModal();
    }
}

void CAboutDlg::OnLink(wxCommandEvent& event) {
    OpenLink(event.GetId());
}

void CAboutDlg::OnOk(wxCommandEvent&) {
    EndModal(wxID_OK);
}

void CAboutDlg::OnCancel(wxCommandEvent&) {
    EndModal(wxID_CANCEL);
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
    dc.DrawText(m_strVersionText, 20, 77);
    const int versionX = std::max(72, 20 + dc.GetTextExtent(m_strVersionText).x + 6);
    dc.DrawText(m_strVersion, versionX, 77);

    dc.SetPen(wxPen(kRuleGrey, 1));
    dc.DrawLine(15, 70, client.x - 15, 70);
    dc.SetPen(wxPen(kRuleGrey, 2));
    dc.DrawLine(m_nSeparatorX, 127, m_nSeparatorX, 145);

    if (m_logo.IsOk()) {
        const wxImage scaled = m_logo.ConvertToImage().Scale(310, 44, wxIMAGE_QUALITY_HIGH);
        dc.DrawBitmap(wxBitmap(scaled), 13, 13, true);
    }
}
