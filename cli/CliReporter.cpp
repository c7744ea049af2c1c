#include "CliReporter.h"

#include <cstdio>

#include "SaveStepStops.h"
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

namespace vrz::cli {

void CliReporter::ReportSaveFailed(const SaveFailure& failure) {
    reported_ = true;
    const std::string text = TextOrKey(TextKeyFor(failure.code));
    if (failure.reason.empty())
        std::fprintf(stderr, "ziprepair: %s %s\n", text.c_str(), failure.path.c_str());
    else
        std::fprintf(stderr, "ziprepair: %s %s (%s)\n", text.c_str(), failure.path.c_str(), failure.reason.c_str());
}

void CliReporter::ReportScanFailureOn(const std::string& textKey, const std::string& path, const std::string& reason) {
    reported_ = true;
    const std::string text = TextOrKey(textKey);
    if (reason.empty())
        std::fprintf(stderr, "ziprepair: %s: %s\n", path.c_str(), text.c_str());
    else
        std::fprintf(stderr, "ziprepair: %s: %s (%s)\n", path.c_str(), text.c_str(), reason.c_str());
}

void CliReporter::PassedSaveStep(const char* step) { StopAtSaveStepIfAsked(step); }

}  // namespace vrz::cli
