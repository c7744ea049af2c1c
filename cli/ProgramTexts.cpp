#include "ProgramTexts.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "io/FileIo.h"
#include "text/ProgramPaths.h"

namespace vrz::cli {

void UseProgramTexts() {
    ProgramPaths paths;
    paths.programFolder = ExecutableFolder();
    // The same place the wizard chooses, without creating it.
    paths.settingsPath = SettingsPathFor(paths.programFolder);
    paths.languagePath = LanguagePathFor(paths.programFolder, ReadLanguageIndex(paths.settingsPath));
    SetCurrentProgramPaths(paths);
}

}  // namespace vrz::cli
