// The tip of the day: the first five non-empty lines of "Tips.Txt" shown in
// turn, one per page creation, the next index kept under IDS_TIPS in the
// settings file.
#pragma once

#include <string>

#include <wx/string.h>

// The tip line on show; the tips button's second caption and the tips note.
extern wxString g_currentTip;

struct TipOfTheDay {
    bool fileFound = false;  // false: the tips button is hidden
    std::string tip;         // UTF-8; empty when the file has too few lines
};

// Picks the tip for a new page and advances the stored index.
TipOfTheDay ChooseTipOfTheDay(const std::string& tipsPath, const std::string& settingsPath);

// Tips.Txt in the program folder.
std::string TipsFilePath();
