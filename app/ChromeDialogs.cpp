#include "ChromeDialogs.h"

#include <wx/msgdlg.h>

#include "CAboutDlg.h"
#include "CTipsDlg.h"
#include "ProgramArt.h"
#include "ShellLaunch.h"
#include "UiText.h"
#include "text/LanguageTexts.h"


namespace {

wxString AboutText(const char* key) { return LoadUiText(key, vrz::kTextCapacityAbout); }

CAboutDlg::LinkContent AboutLink(const char* captionKey, const char* addressKey) {
    return {AboutText(captionKey), ToUtf8(AboutText(addressKey))};
}

// A page of the About box that could not be shown: what went wrong and where it is.
void OpenAboutAddress(wxWindow* box, const std::string& address) {
    const int result = OpenWebPage(address);
    if (result == kShellLaunched) return;
    const char* key = result == kShellNoAssociation ? "IDS_NO_BROWSER" : "IDS_NOT_STARTED";
    wxMessageDialog failure(box, AboutText(key) + "\n\n" + FromUtf8(address), AboutText("IDS_ERROR"),
                            wxOK | wxICON_ERROR);
    failure.ShowModal();
}

}  // namespace

CAboutDlg::Content AboutContent() {
    CAboutDlg::Content content;
    content.title = AboutText("IDS_ABOUT");
    content.versionLabel = AboutText("IDS_VERSION_TEXT");
    content.version = VRZ_PROGRAM_VERSION;
    content.about = AboutLink("IDS_URL_ABOUT_TXT", "IDS_URL_ABOUT");
    content.uninstall = AboutLink("IDS_UNINSTALL_URL_TXT", "IDS_UNINSTALL_URL");
    content.license = AboutLink("IDS_LICENSE_URL_TXT", "IDS_LICENSE_URL");
    content.policy = AboutLink("IDS_POLICY_URL_TXT", "IDS_POLICY_URL");
    content.openAddress = OpenAboutAddress;
    return content;
}

void ShowAboutDialog(wxWindow* owner) {
    UseProgramArtInControls();
    CAboutDlg dialog(owner, AboutContent());
    if (dialog.IsBuilt()) dialog.ShowModal();
}

wxWindow* OpenTipsDialog(wxWindow* owner, const wxString& tip) {
    UseProgramArtInControls();
    return new CTipsDlg(owner, tip);
}
