#include "TipOfTheDay.h"

#include <fstream>

#include "text/IniFile.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

wxString g_currentTip;
int g_currentTipIndex = 0;

namespace {
constexpr const char* kTipsKey = "IDS_TIPS";
}  // namespace

std::vector<std::string> LoadTips(const std::string& tipsPath) {
    std::vector<std::string> tips;
    for (int number = 1;; ++number) {
        std::string tip = vrz::LoadText("IDS_TIP" + std::to_string(number), vrz::kTextCapacity);
        if (tip.empty()) break;
        tips.push_back(std::move(tip));
    }
    if (!tips.empty()) return tips;
    std::ifstream file(tipsPath);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) tips.push_back(line);
    }
    return tips;
}

TipOfTheDay ChooseTipOfTheDay(const std::vector<std::string>& tips, const std::string& settingsPath) {
    TipOfTheDay result;
    if (tips.empty()) return result;
    result.found = true;
    int index = vrz::ParseLeadingInt(
        vrz::ReadIniString(settingsPath, vrz::kSettingsSection, kTipsKey, vrz::kTextCapacity));
    if (index < 0 || index >= static_cast<int>(tips.size())) index = 0;
    result.tip = tips[static_cast<std::size_t>(index)];
    result.index = index;
    const int next = (index + 1) % static_cast<int>(tips.size());
    vrz::WriteIniString(settingsPath, vrz::kSettingsSection, kTipsKey, std::to_string(next));
    return result;
}

std::string TipsFilePath() { return vrz::CurrentProgramPaths().programFolder + "/Tips.Txt"; }

std::string TipInCurrentLanguage(int index) {
    const std::vector<std::string> tips = LoadTips(TipsFilePath());
    if (tips.empty()) return std::string();
    return tips[static_cast<std::size_t>(index) % tips.size()];
}
