// A step page that runs one worker: the repair page and the save page. It
// owns the progress bar, the animation and the Cancel button, starts the
// worker, follows its percentage with a 50 ms timer (never backwards), asks
// before cancelling with the worker held at its pause gate, and lets the
// worker go when the user cancels or the page goes away.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <wx/timer.h>

#include "StepPageChrome.h"
#include "WorkerLink.h"
#include "state/JobState.h"

#include "CProgressBar.h"
class WorkerSlot;
class wxAnimationCtrl;

// What the page's worker does; it decides which percentage the bar follows
// and how a given-up worker is told to stop.
enum class WorkerKind { kScan, kSave };

class WorkerStepPage : public StepPage {
public:
    WorkerStepPage(CMainFrame* frame, int pageId, WorkerKind kind);
    ~WorkerStepPage() override;

    // One tick of the timer: the bar follows the worker, never backwards.
    void OnProgressTick();

    // True from the start of the worker until its end was acted on or the
    // worker was given up.
    bool WorkerRuns() const { return m_link && !m_link->delivered && !m_link->IsAbandoned(); }

    CProgressBar* ProgressBar() const { return m_progressBar; }
    wxAnimationCtrl* Animation() const { return m_animation; }
    CXCmdBtn* CancelButton() const { return m_cancelButton; }
    const std::shared_ptr<vrz::JobState>& Job() const { return m_job; }
    const std::shared_ptr<WorkerLink>& Link() const { return m_link; }

    // Posted by the worker: stops the animation (the work is done).
    void StopAnimation();
    // The bar stops following the worker (a failure is being shown).
    void FreezeProgress();

protected:
    // The bar, the animation of animationId and the Cancel button.
    bool CreateWorkerControls(int animationId);

    using WorkerBody = std::function<void(std::shared_ptr<vrz::JobState>, std::shared_ptr<WorkerLink>)>;
    // Starts body on a worker thread, the bar at 0 and Home disabled.
    void StartWorker(WorkerBody body);
    // The worker's end has arrived: true when the page is to act on it,
    // false when the worker was given up in the meantime.
    bool TakeDelivery();
    // Lets the worker go: it stops at its next poll and nothing it posts runs.
    void AbandonWorker();
    // Asks whether to cancel while the worker is held at its next poll;
    // true on Yes. The worker stays held on Yes until ReleaseWorker().
    bool ConfirmCancel();
    void ReleaseWorker();

    void PlayAnimation();
    void ShowHomeEnabled(bool enabled);

    std::shared_ptr<vrz::JobState> m_job;
    std::shared_ptr<WorkerLink> m_link;

private:
    // The percentage the bar follows.
    std::atomic<int>& Percent();
    // Tells a given-up worker to stop at its next poll. Not virtual: it also
    // runs from the destructor.
    void StopWorkerAtNextPoll();
    void OnTimer(wxTimerEvent& event);
    void OnKey(wxKeyEvent& event);

    const WorkerKind m_kind;
    WorkerSlot& m_slot;
    wxTimer m_timer;
    CProgressBar* m_progressBar = nullptr;
    wxAnimationCtrl* m_animation = nullptr;
    CXCmdBtn* m_cancelButton = nullptr;

    wxDECLARE_EVENT_TABLE();
};
