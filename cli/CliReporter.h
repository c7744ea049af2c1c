// Failures reach the terminal as "ziprepair: PATH: text", the text in the
// chosen language or the built-in English.
#pragma once

#include <string>

#include "state/JobReporter.h"

namespace vrz::cli {

// Prints "ziprepair: path: text" (without "path: " when path is empty) to stderr.
void PrintFailure(const std::string& path, const std::string& text);

class CliReporter : public JobReporter {
public:
    explicit CliReporter(std::string path) : path_(std::move(path)) {}
    void ReportScanFailure(const std::string& textKey) override;
    void ReportSaveFailure(const std::string& textKey, const std::string& detail) override;
    void ReportSaveFailed(const SaveFailure& failure) override;
    void ReportScanFailureOn(const std::string& textKey, const std::string& path, const std::string& reason) override;
    void PassedSaveStep(const char* step) override;
    bool Reported() const { return reported_; }

private:
    std::string path_;
    bool reported_ = false;
};

}  // namespace vrz::cli
