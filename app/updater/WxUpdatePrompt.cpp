#include "WxUpdatePrompt.h"

#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace vrz::updater {

bool WxUpdatePrompt::AskYesNo(const std::string& text, const std::string& caption) {
    wxMessageDialog box(nullptr, wxString::FromUTF8(text), wxString::FromUTF8(caption),
                        wxYES_NO | wxYES_DEFAULT | wxICON_INFORMATION);
    return box.ShowModal() == wxID_YES;
}

bool WxUpdatePrompt::OpenAddress(const std::string& address) {
    wxLogNull quiet;  // the failure gets our own box, not wx's log window
    return wxLaunchDefaultBrowser(wxString::FromUTF8(address));
}

void WxUpdatePrompt::ShowError(const std::string& text, const std::string& caption) {
    wxMessageDialog box(nullptr, wxString::FromUTF8(text), wxString::FromUTF8(caption), wxOK | wxICON_ERROR);
    box.ShowModal();
}

}  // namespace vrz::updater
