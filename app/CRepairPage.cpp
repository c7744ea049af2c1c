#include "CRepairPage.h"

#include "CMainFrame.h"
#include "RepairWorker.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "text/LanguageTexts.h"

using namespace wizard;

wxBEGIN_EVENT_TABLE(CRepairPage, WorkerStepPage)
    EVT_BUTTON(kCancelButton, CRepairPage::OnCancel)
wxEND_EVENT_TABLE()

CRepairPage::CRepairPage(CMainFrame* frame) : WorkerStepPage(frame, kPageRepair, WorkerKind::kScan) {
    m_job->scanFailed = false;
}

bool CRepairPage::BuildPage() {
    ChromeOptions options;
    options.homeButton = true;
    options.homeEnabled = false;
    if (!CreateChrome(options)) return false;
    if (!CreateWorkerControls(vrz::IDR_ANIMATION_SCANNING)) return false;
    RefreshLanguageTexts();

    m_job->ResetTable();
    StartWorker(RepairWorker);
    // Space, Enter and Escape all reach Cancel at once.
    CancelButton()->SetFocus();
    return true;
}

void CRepairPage::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    SetHeading(LoadUiText("IDS_REPAIRING", vrz::kTextCapacity));
    if (CancelButton()) CancelButton()->SetCaptions(LoadUiText("IDS_CANCEL", vrz::kTextCapacity));
}

void CRepairPage::ShowScanFailure(const std::string& textKey) {
    FreezeProgress();
    RunWhenNoModal([this, textKey] {
        if (m_link->IsAbandoned()) return;
        StopAnimation();
        ShowInformation(textKey, vrz::kTextCapacity);
    });
}

void CRepairPage::OnScanEnded(ScanOutcome outcome) {
    // A cancel confirmed while this waited for a question wins over the result.
    RunWhenNoModal([this, outcome] {
        if (!TakeDelivery()) return;
        StopAnimation();
        CMainFrame* frame = Frame();
        switch (outcome) {
            case ScanOutcome::kPartsUnreadable:
                return;
            case ScanOutcome::kFailed:
                frame->Navigate(kShowSource);  // destroys this page
                return;
            case ScanOutcome::kScanned:
                break;
        }
        if (m_job->entryCount() == 0) {
            // Nothing to save: say so and start again rather than offer an empty archive.
            ShowInformation("IDS_NOTHING_RECOVERED", vrz::kTextCapacity);
            frame->Navigate(kShowSource);
            return;
        }
        frame->Navigate(kShowPreview);
    });
}

void CRepairPage::OnCancel(wxCommandEvent&) {
    if (!ConfirmCancel()) return;
    if (WorkerRuns()) {
        AbandonWorker();
    } else {
        ReleaseWorker();
    }
    ShowInformation("IDS_WORD8", vrz::kTextCapacityCaption, Frame());
    SendNavigation(kShowSource);
}
