// The two choices of the save step, the same as the command line's
// --skip-damaged and --salvage, kept in the settings file between runs.
#pragma once

#include <string>

namespace vrz {

struct SaveChoices {
    bool skipDamaged = false;  // leave damaged entries out of the output
    bool salvage = false;      // keep the readable beginning of cut entries under "#Partial Files/"
};

// Both off when the file or a key is missing.
SaveChoices ReadSaveChoices(const std::string& settingsPath);
// False when the settings file cannot be written.
bool WriteSaveChoices(const std::string& settingsPath, const SaveChoices& choices);

}  // namespace vrz
