#include "CliReporter.h"

#include <cstdio>

#include "CliTexts.h"
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

}  // namespace vrz::cli
