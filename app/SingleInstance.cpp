#include "SingleInstance.h"

#include <wx/msgdlg.h>
#include <wx/snglinst.h>

#include "UiText.h"
#include "text/LanguageTexts.h"

namespace {

void ShowStartupError(const wxString& text) {
    wxMessageDialog box(nullptr, text, LoadUiText("IDS_RUNNING3", vrz::kTextCapacitySmall), wxOK | wxICON_ERROR);
    box.ShowModal();
}

}  // namespace

bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker) {
    if (!checker.Create(kSingleInstanceName)) {
        ShowStartupError(LoadUiText("IDS_RUNNING4", vrz::kTextCapacitySmall));
        return false;
    }
    if (checker.IsAnotherRunning()) {
        ShowStartupError(wxString::Format("%s\n%s", LoadUiText("IDS_RUNNING1", vrz::kTextCapacitySmall),
                                          LoadUiText("IDS_RUNNING2", vrz::kTextCapacitySmall)));
        return false;
    }
    return true;
}
