// The repair page: shows the scan of the chosen source running on the
// repair worker, with a progress bar that only moves forward, an animation
// and a Cancel button that asks first.
#pragma once

#include <memory>

#include <wx/timer.h>

#include "GuiCallChannel.h"
#include "StepPageChrome.h"
#include "state/JobState.h"

class wxAnimationCtrl;
#include "CProgressBar.h"
struct RepairWorkerLink;

class CRepairPage : public StepPage {
public:
    explicit CRepairPage(CMainFrame* frame);
    ~CRepairPage() override;

    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    // A scan failure reported by the worker, shown once no question is open;
    // the worker waits until done is released.
    void ShowScanFailure(const std::string& textKey, std::shared_ptr<GuiCallChannel::Completion> done);

    // One tick of the 50 ms timer: the bar follows the scan, never backwards.
    void OnProgressTick();

    CProgressBar* ProgressBar() const { return m_progressBar; }
    wxAnimationCtrl* Animation() const { return m_animation; }
    const std::shared_ptr<vrz::JobState>& Job() const { return m_job; }
    const std::shared_ptr<RepairWorkerLink>& WorkerLink() const { return m_link; }

private:
    void StartWorker();
    // Gives the worker up: it stops at its next poll and sends nothing.
    void AbandonWorker();
    void PlayAnimation();
    void StopAnimation();
    void OnTimer(wxTimerEvent& event);
    void OnCancel(wxCommandEvent& event);

    std::shared_ptr<vrz::JobState> m_job;
    std::shared_ptr<RepairWorkerLink> m_link;
    wxTimer m_timer;
    CProgressBar* m_progressBar = nullptr;
    wxAnimationCtrl* m_animation = nullptr;
    CXCmdBtn* m_cancelButton = nullptr;

    wxDECLARE_EVENT_TABLE();
};
