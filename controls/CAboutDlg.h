// The About box: logo, version and four links to the pages the language file
// names, in a white box with a dark frame. Modal; OK or the close button end it.
#pragma once

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

    explicit CAboutDlg(wxWindow* parent);

    // Builds the box and runs it; returns wxID_OK or wxID_CANCEL.
    static int Run(wxWindow* parent);

    // False when a control could not be made; the reason was shown already.
    bool IsBuilt() const { return m_bBuilt; }
    const wxString& VersionNumber() const { return m_strVersion; }
    CHyperLink* Link(int id) const;
    // Opens the address of a link's key, as a click on the link does.
    void OpenLink(int id);

private:
    bool Build();
    void PlaceLinks();
    void OnPaint(wxPaintEvent& event);
    void OnLink(wxCommandEvent& event);
    void OnOk(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);

    wxFont m_font;
    wxBitmap m_logo;
    CXCmdBtn* m_pCloseButton = nullptr;
    CXCmdBtn* m_pOkButton = nullptr;
    CHyperLink* m_pLinks[4] = {nullptr, nullptr, nullptr, nullptr};
    wxString m_strVersionText;
    wxString m_strVersion;
    int m_nSeparatorX = 63;
    bool m_bBuilt = false;
};
