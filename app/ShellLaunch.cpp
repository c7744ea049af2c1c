#include "ShellLaunch.h"

#include <cerrno>
#include <fstream>

#include <unistd.h>

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/utils.h>

#include "UiText.h"

namespace {

class DesktopShell : public ShellPlatform {
public:
    bool OpenUrl(const std::string& url) override {
        wxLogNull quiet;
        return wxLaunchDefaultBrowser(FromUtf8(url));
    }

    bool StartProcess(const std::vector<std::string>& argv) override {
        if (argv.empty()) return false;
        std::vector<wxString> texts;
        for (const std::string& arg : argv) texts.push_back(FromUtf8(arg));
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
    // No handler registered: try the system's browser program.
    for (const char* browser : {"x-www-browser", "sensible-browser"}) {
        if (Platform().StartProcess({browser, url})) return kShellLaunched;
    }
    return kShellNoAssociation;
}
