#include "text/SaveChoices.h"

#include "text/IniFile.h"
#include "text/ProgramPaths.h"

namespace vrz {

namespace {

constexpr const char* kSkipDamagedKey = "IDS_SKIP_DAMAGED";
constexpr const char* kSalvageKey = "IDS_SALVAGE";
constexpr std::size_t kValueCapacity = 16;

bool ReadFlag(const std::string& path, const char* key) {
    return ParseLeadingInt(ReadIniString(path, kSettingsSection, key, kValueCapacity)) == 1;
}

}  // namespace

SaveChoices ReadSaveChoices(const std::string& settingsPath) {
    SaveChoices choices;
    choices.skipDamaged = ReadFlag(settingsPath, kSkipDamagedKey);
    choices.salvage = ReadFlag(settingsPath, kSalvageKey);
    return choices;
}

bool WriteSaveChoices(const std::string& settingsPath, const SaveChoices& choices) {
    const bool skip = WriteIniString(settingsPath, kSettingsSection, kSkipDamagedKey, choices.skipDamaged ? "1" : "0");
    const bool salvage = WriteIniString(settingsPath, kSettingsSection, kSalvageKey, choices.salvage ? "1" : "0");
    return skip && salvage;
}

}  // namespace vrz
