#include "text/LanguageTexts.h"

#include "text/IniFile.h"
#include "text/ProgramPaths.h"

namespace vrz {

std::string LoadText(const std::string& key, std::size_t capacity) {
    return ReadIniString(CurrentProgramPaths().languagePath, kSettingsSection, key, capacity);
}

bool SelectLanguage(int index) {
    ProgramPaths paths = CurrentProgramPaths();
    int current = ParseLeadingInt(ReadIniString(paths.settingsPath, kSettingsSection, "IDS_LANGUAGE", 1000));
    if (current < 0 || current >= kLanguageCount) current = 0;
    if (current == index) return false;
    paths.languagePath = LanguagePathFor(paths.programFolder, index);
    SetCurrentProgramPaths(paths);
    WriteIniString(paths.settingsPath, kSettingsSection, "IDS_LANGUAGE", std::to_string(index));
    return true;
}

}  // namespace vrz
