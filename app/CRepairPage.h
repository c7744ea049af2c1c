// The repair page: shows the scan of the chosen source running on the
// repair worker, with a progress bar that only moves forward, an animation
// and a Cancel button that asks first.
#pragma once

#include <string>

#include "WorkerStepPage.h"

// How a scan ended, as the page acts on it.
enum class ScanOutcome {
    kScanned,          // on to the preview, or back when nothing was found
    kFailed,           // its failure was shown; back to the source step
    kPartsUnreadable,  // shown; the page stays until the user cancels
};

class CRepairPage : public WorkerStepPage {
public:
    explicit CRepairPage(CMainFrame* frame);

    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    // Posted by the worker: a scan failure, shown once no question is open.
    void ShowScanFailure(const std::string& textKey);
    // Posted by the worker: its end, acted on once no question is open.
    void OnScanEnded(ScanOutcome outcome);

private:
    void OnCancel(wxCommandEvent& event);

    wxDECLARE_EVENT_TABLE();
};
