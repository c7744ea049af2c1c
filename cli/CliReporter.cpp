#include "CliReporter.h"

#include <cstdio>

#include "CliTexts.h"
#include "SaveStepStops.h"
#include "TextEscape.h"

namespace vrz::cli {

void PrintFailure(const std::string& path, const std::string& text) {
    if (path.empty())
        std::fprintf(stderr, "ziprepair: %s\n", text.c_str());
    else
        std::fprintf(stderr, "ziprepair: %s: %s\n", EscapeControls(path).c_str(), text.c_str());
}

void CliReporter::ReportScanFailure(const std::string& textKey) {
    reported_ = true;
    PrintFailure(path_, Text(textKey));
}

void CliReporter::ReportSaveFailure(const std::string& textKey, const std::string& detail) {
    reported_ = true;
    PrintFailure(path_, detail.empty() ? Text(textKey) : Text(textKey) + " (" + detail + ")");
}

void CliReporter::ReportSaveFailed(const SaveFailure& failure) {
    reported_ = true;
    // The save texts end with a colon: the path follows them.
    const std::string text = Text(TextKeyFor(failure.code));
    const std::string path = EscapeControls(failure.path);
    if (failure.reason.empty())
        std::fprintf(stderr, "ziprepair: %s %s\n", text.c_str(), path.c_str());
    else
        std::fprintf(stderr, "ziprepair: %s %s (%s)\n", text.c_str(), path.c_str(), failure.reason.c_str());
}

void CliReporter::ReportScanFailureOn(const std::string& textKey, const std::string& path, const std::string& reason) {
    reported_ = true;
    PrintFailure(path, reason.empty() ? Text(textKey) : Text(textKey) + " (" + reason + ")");
}

void CliReporter::PassedSaveStep(const char* step) { StopAtSaveStepIfAsked(step); }

}  // namespace vrz::cli
