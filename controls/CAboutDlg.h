// The About box: logo, version and four links, in a white box with a dark
// frame. Modal; OK, the close button and Escape end it. Its texts, addresses
// and what a link click does are handed in by the program.
#pragma once

#include <functional>
#include <string>

#include <wx/dialog.h>

class CHyperLink;
class CXCmdBtn;

class CAboutDlg : public wxDialog {
public:
    enum {
        IDC_LINK_ABOUT = 600,
        IDC_LINK_UNINSTALL = 601,
        IDC_LINK_LICENSE = 602,
        IDC_LINK_POLICY = 603,
    };

    struct LinkContent {
        wxString caption;
        std::string address;
    };
    struct Content {
        wxString title;
        wxString versionLabel;
        wxString version;
        LinkContent about, uninstall, license, policy;
        // Opens a link's address; shows its own message when that fails.
        std::function<void(wxWindow* box, const std::string& address)> openAddress;
    };

    CAboutDlg(wxWindow* parent, Content content);

    // False when a control could not be made.
    bool IsBuilt() const { return m_bBuilt; }
    const wxString& VersionNumber() const { return m_content.version; }
    CHyperLink* Link(int id) const;
    // Opens the address of a link, as a click on the link does.
    void OpenLink(int id);
    // Escape, the close button and OK end the box.
    void EndBox(int result);

private:
    bool Build();
    void PlaceLinks();
    const LinkContent* ContentOf(int id) const;
    void OnPaint(wxPaintEvent& event);
    void OnLink(wxCommandEvent& event);
    void OnKey(wxKeyEvent& event);

    Content m_content;
    wxFont m_font;
    wxBitmap m_logo;
    CXCmdBtn* m_pCloseButton = nullptr;
    CXCmdBtn* m_pOkButton = nullptr;
    CHyperLink* m_pLinks[4] = {nullptr, nullptr, nullptr, nullptr};
    int m_nSeparatorX = 63;
    bool m_bBuilt = false;
};
