#include "ProgramTexts.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "io/FileIo.h"
#include "text/ProgramPaths.h"

namespace vrz::cli {

namespace {

// Where the wizard keeps its settings when the program folder is not writable.
std::string UserSettingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return base + "/vant-repair-zip/settings.ini";
}

}  // namespace

void UseProgramTexts() {
    ProgramPaths paths;
    paths.programFolder = ExecutableFolder();
    // The same place the wizard chooses, without creating it.
    const bool systemFolder = paths.programFolder.rfind("/usr/", 0) == 0;
    const bool besideProgram = !systemFolder && ::access(paths.programFolder.c_str(), W_OK) == 0;
    paths.settingsPath = besideProgram ? JoinPath(paths.programFolder, "settings.ini") : UserSettingsPath();
    paths.languagePath = LanguagePathFor(paths.programFolder, ReadLanguageIndex(paths.settingsPath));
    SetCurrentProgramPaths(paths);
}

}  // namespace vrz::cli
