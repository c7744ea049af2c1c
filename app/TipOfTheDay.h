// The tip of the day: every tip shown in turn, one per page creation, the
// next index kept under IDS_TIPS in the settings file. The tips are those of
// the language file (IDS_TIP1, IDS_TIP2, ...), or the lines of "Tips.Txt"
// for a language file that has none.
#pragma once

#include <string>
#include <vector>

#include <wx/string.h>

// The tip line on show; the tips button's second caption and the tips note.
extern wxString g_currentTip;

struct TipOfTheDay {
    bool found = false;  // false: there are no tips and the tips button is hidden
    std::string tip;     // UTF-8
    int index = 0;       // which tip, so another language can show the same one
};

// The index of the tip on show (g_currentTip).
extern int g_currentTipIndex;

// The tip of index in the current language (the same tip after a language
// switch); empty when there are no tips.
std::string TipInCurrentLanguage(int index);

// The tips of the current language, in order (UTF-8).
std::vector<std::string> LoadTips(const std::string& tipsPath);

// Picks the tip for a new page and advances the stored index; an index past
// the last tip starts again at the first.
TipOfTheDay ChooseTipOfTheDay(const std::vector<std::string>& tips, const std::string& settingsPath);

// Tips.Txt in the program folder.
std::string TipsFilePath();
