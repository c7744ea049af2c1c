// What the engine needs from its front end: showing a failure by its text key,
// and an optional pause after a progress step so a progress bar can show it.
#pragma once

#include <string>

#include "state/SaveFailure.h"

namespace vrz {

class JobReporter {
public:
    virtual ~JobReporter() = default;

    // A scan failed; textKey names the language text to show.
    virtual void ReportScanFailure(const std::string& textKey) = 0;
    // A save failed; detail (possibly empty) says what the system reported.
    virtual void ReportSaveFailure(const std::string& textKey, const std::string& detail) = 0;
    // The writers report through this one; front ends that show the path
    // and reason on their own override it.
    virtual void ReportSaveFailed(const SaveFailure& failure) {
        std::string detail = failure.path;
        if (!failure.reason.empty()) detail += (detail.empty() ? "" : ": ") + failure.reason;
        ReportSaveFailure(TextKeyFor(failure.code), detail);
    }
    // A scan failed on one file, with the system's reason (possibly empty).
    virtual void ReportScanFailureOn(const std::string& textKey, const std::string& path, const std::string& reason) {
        (void)path;
        (void)reason;
        ReportScanFailure(textKey);
    }
    // The writer reached a named step of its end (see SaveStep); a front end
    // may hold the process there for tests.
    virtual void PassedSaveStep(const char* step) { (void)step; }
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
