// Failures reach the terminal as the language text of their key; the key
// itself stands in when no language file can be read.
#pragma once

#include <string>

#include "state/JobReporter.h"

namespace vrz::cli {

std::string TextOrKey(const std::string& key);

class CliReporter : public JobReporter {
public:
    void ReportScanFailure(const std::string& textKey) override;
    void ReportSaveFailure(const std::string& textKey, const std::string& detail) override;
    void ReportSaveFailed(const SaveFailure& failure) override;
    void ReportScanFailureOn(const std::string& textKey, const std::string& path, const std::string& reason) override;
    void PassedSaveStep(const char* step) override;
    bool Reported() const { return reported_; }

private:
    bool reported_ = false;
};

}  // namespace vrz::cli
