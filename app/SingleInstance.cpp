#include "SingleInstance.h"

#include <fstream>

#include <signal.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/snglinst.h>
#include <wx/toplevel.h>

#include "UiText.h"
#include "text/LanguageTexts.h"

namespace {

void ShowStartupError(const wxString& text) {
    wxMessageDialog box(nullptr, text, LoadUiText("IDS_RUNNING3", vrz::kTextCapacitySmall), wxOK | wxICON_ERROR);
    box.ShowModal();
}

// The lock file wxSingleInstanceChecker makes by default: in the home folder.
std::string LockPath() { return ToUtf8(wxFileName::GetHomeDir()) + "/" + kSingleInstanceName; }

void AskRunningCopyToComeForward() {
    const long pid = RunningCopyPid(LockPath());
    if (pid > 0 && pid != static_cast<long>(::getpid())) ::kill(static_cast<pid_t>(pid), kComeForwardSignal);
}

}  // namespace

long RunningCopyPid(const std::string& lockPath) {
    std::ifstream lock(lockPath);
    long pid = 0;
    if (!(lock >> pid) || pid <= 0) return 0;
    return pid;
}

void BringToFront(wxTopLevelWindow& window) {
    if (window.IsIconized()) window.Iconize(false);
    window.Show();
    window.Raise();
}

bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker) {
    if (!checker.Create(kSingleInstanceName)) {
        ShowStartupError(LoadUiText("IDS_RUNNING4", vrz::kTextCapacitySmall));
        return false;
    }
    if (checker.IsAnotherRunning()) {
        ShowStartupError(wxString::Format("%s\n%s", LoadUiText("IDS_RUNNING1", vrz::kTextCapacitySmall),
                                          LoadUiText("IDS_RUNNING2", vrz::kTextCapacitySmall)));
        // After the box, so the running window ends up in front of everything.
        AskRunningCopyToComeForward();
        return false;
    }
    return true;
}
