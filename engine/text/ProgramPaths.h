// Where the program finds its files: the program folder (the executable's
// folder), the settings file and the language file in use.
#pragma once

#include <string>

namespace vrz {

constexpr const char* kSettingsSection = "Vant Repair Zip";
constexpr int kLanguageCount = 5;
// Index 0 to 4, as stored under IDS_LANGUAGE in the settings file.
extern const char* const kLanguageNames[kLanguageCount];

struct ProgramPaths {
    std::string programFolder;  // no trailing slash
    std::string settingsPath;
    std::string languagePath;
};

// The folder of the running executable.
std::string ExecutableFolder();

// Settings live beside the program when that folder is writable and not
// under /usr (a portable copy), otherwise in the user's configuration folder.
std::string ChooseSettingsPath(const std::string& programFolder);
// The same place without creating anything (for readers of the settings).
std::string SettingsPathFor(const std::string& programFolder);

// programFolder/Lang/<name>.INI for an index; indexes outside 0..4 mean English.
std::string LanguagePathFor(const std::string& programFolder, int index);

// Reads IDS_LANGUAGE from the settings file as an index (0 when missing or not a number).
int ReadLanguageIndex(const std::string& settingsPath);

// Resolves all three paths for a program folder and installs them as current.
ProgramPaths ResolveProgramPaths(const std::string& programFolder);

// The paths in use by this process.
ProgramPaths CurrentProgramPaths();
void SetCurrentProgramPaths(const ProgramPaths& paths);

}  // namespace vrz
