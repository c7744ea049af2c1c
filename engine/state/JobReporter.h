// What the engine needs from its front end: showing a failure by its text key,
// and an optional pause after a progress step so a progress bar can show it.
#pragma once

#include <string>

namespace vrz {

class JobReporter {
public:
    virtual ~JobReporter() = default;

    // A scan failed; textKey names the language text to show.
    virtual void ReportScanFailure(const std::string& textKey) = 0;
    // A save failed; detail (possibly empty) says what the system reported.
    virtual void ReportSaveFailure(const std::string& textKey, const std::string& detail) = 0;
    // Called after a split scan's progress moved on by more than one percent.
    virtual void PaceProgressStep() {}
};

// Swallows every report; for callers that only want the result.
class SilentReporter : public JobReporter {
public:
    void ReportScanFailure(const std::string&) override {}
    void ReportSaveFailure(const std::string&, const std::string&) override {}
};

}  // namespace vrz
