#include "SingleInstance.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <signal.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/snglinst.h>
#include <wx/toplevel.h>

#include "UiText.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {

constexpr const char* kHandOverSuffix = ".open";

void ShowStartupError(const wxString& text) {
    wxMessageDialog box(nullptr, text, LoadUiText("IDS_RUNNING3", vrz::kTextCapacitySmall), wxOK | wxICON_ERROR);
    box.ShowModal();
}

std::string LockPath() { return InstanceFolder() + "/" + kSingleInstanceName; }

std::string HandOverPath(const std::string& folder) { return folder + "/" + kSingleInstanceName + kHandOverSuffix; }

void AskRunningCopyToComeForward() {
    const long pid = RunningCopyPid(LockPath());
    if (pid > 0 && pid != static_cast<long>(::getpid())) ::kill(static_cast<pid_t>(pid), kComeForwardSignal);
}

}  // namespace

std::string InstanceFolder() {
    // A per-user folder that lives as long as the session, never the home folder.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime && *runtime == '/' ? runtime
                                                     : ToUtf8(wxFileName(FromUtf8(vrz::CurrentProgramPaths().settingsPath)).GetPath());
    if (folder.empty()) folder = ToUtf8(wxFileName::GetHomeDir());
    wxFileName::Mkdir(FromUtf8(folder), wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    return folder;
}

long RunningCopyPid(const std::string& lockPath) {
    std::ifstream lock(lockPath);
    long pid = 0;
    if (!(lock >> pid) || pid <= 0) return 0;
    return pid;
}

bool WriteHandOver(const std::string& folder, const std::string& path) {
    // Written aside and renamed, so the running copy never reads half a path.
    const std::string target = HandOverPath(folder);
    const std::string aside = target + "." + std::to_string(::getpid());
    {
        std::ofstream note(aside, std::ios::binary | std::ios::trunc);
        note << path;
        if (!note.flush()) return false;
    }
    return std::rename(aside.c_str(), target.c_str()) == 0;
}

std::string TakeHandOver(const std::string& folder) {
    const std::string target = HandOverPath(folder);
    std::ifstream note(target, std::ios::binary);
    if (!note) return std::string();
    std::string path((std::istreambuf_iterator<char>(note)), std::istreambuf_iterator<char>());
    std::remove(target.c_str());
    return path;
}

void BringToFront(wxTopLevelWindow& window) {
    if (window.IsIconized()) window.Iconize(false);
    window.Show();
    window.Raise();
}

bool TakeSingleInstanceLock(wxSingleInstanceChecker& checker, const wxString& handOver) {
    if (!checker.Create(kSingleInstanceName, FromUtf8(InstanceFolder()))) {
        ShowStartupError(LoadUiText("IDS_RUNNING4", vrz::kTextCapacitySmall));
        return false;
    }
    if (!checker.IsAnotherRunning()) return true;
    if (!handOver.empty() && WriteHandOver(InstanceFolder(), ToUtf8(handOver))) {
        // The running window takes the file and comes forward with it.
        AskRunningCopyToComeForward();
        return false;
    }
    ShowStartupError(wxString::Format("%s\n%s", LoadUiText("IDS_RUNNING1", vrz::kTextCapacitySmall),
                                      LoadUiText("IDS_RUNNING2", vrz::kTextCapacitySmall)));
    // After the box, so the running window ends up in front of everything.
    AskRunningCopyToComeForward();
    return false;
}
