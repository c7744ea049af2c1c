#include "ShellLaunch.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include <dlfcn.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "UiText.h"

std::string FindProgramInPath(const std::string& name) {
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::string::size_type start = 0;
    while (start <= folders.size()) {
        const std::string::size_type end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::string();
}

namespace {

// The desktop's default handler for url through GIO, which every GTK
// program has loaded: false when no handler is set up for it. Looked up at
// run time, so the build needs no GIO headers. wxLaunchDefaultBrowser would
// fall back to starting xdg-open, which counts as success even when xdg-open
// then finds no browser, and the user would see nothing at all.
enum class GioLaunch { kLaunched, kNoHandler, kUnavailable };
GioLaunch LaunchWithGio(const std::string& url) {
    using Launch = int (*)(const char*, void*, void**);
    using FreeError = void (*)(void*);
    static const auto launch = reinterpret_cast<Launch>(dlsym(RTLD_DEFAULT, "g_app_info_launch_default_for_uri"));
    static const auto freeError = reinterpret_cast<FreeError>(dlsym(RTLD_DEFAULT, "g_error_free"));
    if (!launch || !freeError) return GioLaunch::kUnavailable;
    void* error = nullptr;
    const bool launched = launch(url.c_str(), nullptr, &error) != 0;
    if (error) freeError(error);
    return launched ? GioLaunch::kLaunched : GioLaunch::kNoHandler;
}

class DesktopShell : public ShellPlatform {
public:
    bool OpenUrl(const std::string& url) override {
        const GioLaunch gio = LaunchWithGio(url);
        if (gio != GioLaunch::kUnavailable) return gio == GioLaunch::kLaunched;
        wxLogNull quiet;
        return wxLaunchDefaultBrowser(FromUtf8(url));
    }

    bool StartProcess(const std::vector<std::string>& argv) override {
        if (argv.empty()) return false;
        // A missing program would still "start": the fork succeeds and only
        // the child learns that exec failed.
        const std::string program = FindProgramInPath(argv[0]);
        if (program.empty()) return false;
        std::vector<wxString> texts{FromUtf8(program)};
        for (std::size_t i = 1; i < argv.size(); ++i) texts.push_back(FromUtf8(argv[i]));
        std::vector<const wchar_t*> pointers;
        for (const wxString& text : texts) pointers.push_back(text.wc_str());
        pointers.push_back(nullptr);
        wxLogNull quiet;
        return wxExecute(pointers.data(), wxEXEC_ASYNC) > 0;
    }
};

ShellPlatform& Platform(ShellPlatform* replacement = nullptr, bool replace = false) {
    static DesktopShell desktop;
    static ShellPlatform* current = &desktop;
    if (replace) current = replacement ? replacement : &desktop;
    return *current;
}

// Local files are checked before handing them over, so a missing or
// unreadable file gets its own message rather than a browser error page.
int CheckReadable(const std::string& path) {
    if (access(path.c_str(), F_OK) != 0) return errno == ENOMEM ? kShellOutOfMemory : kShellFileNotFound;
    if (access(path.c_str(), R_OK) != 0) return kShellAccessDenied;
    return kShellLaunched;
}

bool LooksExecutable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    char magic[4] = {};
    file.read(magic, sizeof magic);
    if (file.gcount() >= 4 && magic[0] == 0x7f && magic[1] == 'E' && magic[2] == 'L' && magic[3] == 'F') return true;
    return file.gcount() >= 2 && magic[0] == '#' && magic[1] == '!';
}

bool IsUrl(const std::string& address) { return address.find("://") != std::string::npos; }

}  // namespace

void SetShellPlatformForTesting(ShellPlatform* platform) { Platform(platform, true); }

std::string FileUrl(const std::string& path) {
    return ToUtf8(wxFileName::FileNameToURL(wxFileName(FromUtf8(path))));
}

int StartProgram(const std::string& path, const std::vector<std::string>& args) {
    const int readable = CheckReadable(path);
    if (readable == kShellFileNotFound) return readable;
    if (access(path.c_str(), X_OK) != 0) return kShellAccessDenied;
    if (!LooksExecutable(path)) return kShellBadFormat;
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), args.begin(), args.end());
    return Platform().StartProcess(argv) ? kShellLaunched : kShellOutOfMemory;
}

int OpenLocalPage(const std::string& path) {
    const int readable = CheckReadable(path);
    if (readable != kShellLaunched) return readable;
    return Platform().OpenUrl(FileUrl(path)) ? kShellLaunched : kShellNoAssociation;
}

int OpenWebPage(const std::string& address) {
    const std::string url = IsUrl(address) ? address : FileUrl(address);
    if (!IsUrl(address)) {
        const int readable = CheckReadable(address);
        if (readable != kShellLaunched) return readable;
    }
    if (Platform().OpenUrl(url)) return kShellLaunched;
    // No handler registered: try the system's browser program, which exists
    // only where a browser is installed (sensible-browser is always there
    // and would fail out of sight).
    return Platform().StartProcess({"x-www-browser", url}) ? kShellLaunched : kShellNoAssociation;
}
