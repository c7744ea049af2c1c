#include "text/ProgramPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "io/FileIo.h"
#include "text/IniFile.h"

namespace vrz {

const char* const kLanguageNames[kLanguageCount] = {"English", "French", "German", "Italian", "Spanish"};

namespace {

std::mutex g_pathsMutex;
ProgramPaths g_paths;

std::string UserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return base + "/vant-repair-zip";
}

}  // namespace

std::string ExecutableFolder() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return ".";
    return FolderOf(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

std::string SettingsPathFor(const std::string& programFolder) {
    // A folder under /usr belongs to the package manager (or to an install):
    // it holds no user's settings, even when root can write there.
    const bool systemFolder = programFolder.rfind("/usr/", 0) == 0;
    if (!systemFolder && ::access(programFolder.c_str(), W_OK) == 0) return JoinPath(programFolder, "settings.ini");
    return JoinPath(UserConfigFolder(), "settings.ini");
}

std::string ChooseSettingsPath(const std::string& programFolder) {
    const std::string path = SettingsPathFor(programFolder);
    const std::string folder = FolderOf(path);
    if (folder != programFolder) {
        ::mkdir(FolderOf(folder).c_str(), 0755);
        ::mkdir(folder.c_str(), 0755);
    }
    return path;
}

std::string LanguagePathFor(const std::string& programFolder, int index) {
    if (index < 0 || index >= kLanguageCount) index = 0;
    return programFolder + "/Lang/" + kLanguageNames[index] + ".INI";
}

int ReadLanguageIndex(const std::string& settingsPath) {
    return ParseLeadingInt(ReadIniString(settingsPath, kSettingsSection, "IDS_LANGUAGE", 100));
}

ProgramPaths ResolveProgramPaths(const std::string& programFolder) {
    ProgramPaths paths;
    paths.programFolder = programFolder;
    paths.settingsPath = ChooseSettingsPath(programFolder);
    paths.languagePath = LanguagePathFor(programFolder, ReadLanguageIndex(paths.settingsPath));
    SetCurrentProgramPaths(paths);
    return paths;
}

ProgramPaths CurrentProgramPaths() {
    std::lock_guard<std::mutex> lock(g_pathsMutex);
    return g_paths;
}

void SetCurrentProgramPaths(const ProgramPaths& paths) {
    std::lock_guard<std::mutex> lock(g_pathsMutex);
    g_paths = paths;
}

}  // namespace vrz
