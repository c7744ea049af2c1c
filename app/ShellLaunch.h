// Starting the help file, the updater and the web pages, with failures
// as numbered results; the pages turn them into language texts.
#pragma once

#include <string>
#include <vector>

class wxWindow;

// Results below kShellLaunched are failures; these are the ones Linux meets.
constexpr int kShellOutOfResources = 0;
constexpr int kShellFileNotFound = 2;
constexpr int kShellAccessDenied = 5;
constexpr int kShellOutOfMemory = 8;
constexpr int kShellBadFormat = 11;
constexpr int kShellNoAssociation = 31;
constexpr int kShellLaunched = 33;

// What actually starts things; tests put a recorder in its place.
class ShellPlatform {
public:
    virtual ~ShellPlatform() = default;
    // Opens a URL (file:// included) with the desktop's handler; false when none did.
    virtual bool OpenUrl(const std::string& url) = 0;
    // Starts a program without waiting; false when it could not be started.
    virtual bool StartProcess(const std::vector<std::string>& argv) = 0;
};

// Replaces the platform (nullptr restores the real one); for tests.
void SetShellPlatformForTesting(ShellPlatform* platform);

// An executable of ours, started with args. Missing 2, no permission 5, not
// a program 11, fork failure 8.
int StartProgram(const std::string& path, const std::vector<std::string>& args);

// A local HTML page in the default browser. Missing 2, unreadable 5, no
// browser 31.
int OpenLocalPage(const std::string& path);

// The same for a web page (a local path or a URL); when no handler is
// registered the system's browser program is tried; 31 when none started.
int OpenWebPage(const std::string& address);

// The program a bare name would start, looked up in PATH; empty when there
// is none. A name with a slash is checked as it is.
std::string FindProgramInPath(const std::string& name);

// file:// address of a local path.
std::string FileUrl(const std::string& path);
