#include "TipOfTheDay.h"

#include <fstream>

#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

wxString g_currentTip;

namespace {
constexpr int kTipsInTurn = 5;
constexpr const char* kTipsKey = "IDS_TIPS";
}  // namespace

TipOfTheDay ChooseTipOfTheDay(const std::string& tipsPath, const std::string& settingsPath) {
    TipOfTheDay result;
    const int index = vrz::ParseLeadingInt(
        vrz::ReadIniString(settingsPath, vrz::kSettingsSection, kTipsKey, vrz::kTextCapacity));
    std::ifstream file(tipsPath);
    if (!file) return result;
    result.fileFound = true;

    std::string line;
    int lineNumber = 0;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (lineNumber == index) {
            const int next = index == kTipsInTurn - 1 ? 0 : index + 1;
            vrz::WriteIniString(settingsPath, vrz::kSettingsSection, kTipsKey, std::to_string(next));
            result.tip = line;
            return result;
        }
        if (lineNumber == kTipsInTurn - 1) {
            // A stored index past the fifth tip shows the fifth and stays as it is.
            result.tip = line;
            return result;
        }
        ++lineNumber;
    }
    return result;
}

std::string TipsFilePath() { return vrz::CurrentProgramPaths().programFolder + "/Tips.Txt"; }
