#include "CliReporter.h"

#include <cstdio>

#include "text/LanguageTexts.h"

namespace vrz::cli {

std::string TextOrKey(const std::string& key) {
    const std::string text = LoadText(key, kTextCapacity);
    return text.empty() ? key : text;
}

void CliReporter::ReportScanFailure(const std::string& textKey) {
    reported_ = true;
    std::fprintf(stderr, "ziprepair: %s\n", TextOrKey(textKey).c_str());
}

void CliReporter::ReportSaveFailure(const std::string& textKey, const std::string& detail) {
    reported_ = true;
    if (detail.empty())
        std::fprintf(stderr, "ziprepair: %s\n", TextOrKey(textKey).c_str());
    else
        std::fprintf(stderr, "ziprepair: %s (%s)\n", TextOrKey(textKey).c_str(), detail.c_str());
}

}  // namespace vrz::cli
