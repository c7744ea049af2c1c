#include "WorkerStepPage.h"

#include <algorithm>

#include <wx/animate.h>

#include "CProgressBar.h"
#include "ImageResources.h"
#include "RepairProgress.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "io/FileIo.h"
#include "text/LanguageTexts.h"

using namespace wizard;

namespace {
constexpr int kProgressTimerId = 1;
constexpr int kProgressPeriodMs = 50;
}  // namespace

wxBEGIN_EVENT_TABLE(WorkerStepPage, StepPage)
    EVT_TIMER(kProgressTimerId, WorkerStepPage::OnTimer)
wxEND_EVENT_TABLE()

WorkerStepPage::WorkerStepPage(CMainFrame* frame, int pageId, WorkerKind kind)
    : StepPage(frame, pageId),
      m_job(TheJobShared()),
      m_kind(kind),
      m_slot(kind == WorkerKind::kScan ? g_workerThread : g_saveThread),
      m_timer(this, kProgressTimerId) {
    Bind(wxEVT_CHAR_HOOK, &WorkerStepPage::OnKey, this);
}

void WorkerStepPage::OnKey(wxKeyEvent& event) {
    // Escape asks to cancel, as the Cancel button does, while that is shown.
    if (event.GetKeyCode() == WXK_ESCAPE && m_cancelButton && m_cancelButton->IsShown() && !InModal()) {
        wxCommandEvent click(wxEVT_BUTTON, m_cancelButton->GetId());
        click.SetEventObject(m_cancelButton);
        GetEventHandler()->ProcessEvent(click);
        return;
    }
    event.Skip();
}

std::atomic<int>& WorkerStepPage::Percent() {
    return m_kind == WorkerKind::kScan ? m_job->progressPercent : m_job->savePercent;
}

void WorkerStepPage::StopWorkerAtNextPoll() {
    if (m_kind == WorkerKind::kScan) {
        m_job->jobRunning = false;
        m_job->progressPercent = 100;
    } else {
        // The writer stops at its next poll and removes what it wrote.
        m_job->saveAborted = true;
    }
}

WorkerStepPage::~WorkerStepPage() {
    m_timer.Stop();
    if (!m_link) return;
    // Leaving while the worker runs (the program closing, say) gives it up
    // like a confirmed cancel.
    if (!m_link->delivered && !m_link->IsAbandoned()) AbandonWorker();
    m_link->Detach();
}

bool WorkerStepPage::CreateWorkerControls(int animationId) {
    m_animation = new wxAnimationCtrl(this, kAnimation, wxNullAnimation, wxPoint(70, 150), wxSize(730, 140),
                                      wxAC_NO_AUTORESIZE | wxBORDER_NONE);
    m_animation->SetBackgroundColour(*wxWHITE);
    wxAnimation animation;
    if (LoadAnimationResource(animationId, animation)) m_animation->SetAnimation(animation);
    m_progressBar = new CProgressBar(this, kProgressBar, 100, wxPoint(110, 310), wxSize(538, 30));
    m_cancelButton = MakeButton(kCancelButton, 660, 312, 764, 338, vrz::IDB_SMALL_BUTTON_NORMAL,
                                vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
    return m_cancelButton != nullptr;
}

void WorkerStepPage::StartWorker(WorkerBody body) {
    // Each run starts from an empty bar, whatever an earlier run left.
    Percent() = 0;
    if (m_kind == WorkerKind::kScan) m_job->verifyPercent = -1;
    m_job->shownPercent = 0;
    m_progressBar->SetValue(0);
    ShowHomeEnabled(false);

    m_link = WorkerLink::Create(this);
    m_slot.Set(m_link.get());
    StartWorkerThread([job = m_job, link = m_link, body = std::move(body)] { body(job, link); });
    PlayAnimation();
    m_timer.Start(kProgressPeriodMs);
}

bool WorkerStepPage::TakeDelivery() {
    if (!m_link || m_link->delivered || m_link->IsAbandoned()) return false;
    m_link->delivered = true;
    m_timer.Stop();
    // A failed run leaves the bar where it was, whatever the worker wrote last.
    if (m_link->Succeeded()) OnProgressTick();
    m_slot.ClearIf(m_link.get());
    return true;
}

void WorkerStepPage::AbandonWorker() {
    m_timer.Stop();
    StopWorkerAtNextPoll();
    m_slot.ClearIf(m_link.get());
    // A save that finished before it was given up, and was never reported,
    // is not kept, as for an abort.
    if (m_link->Abandon() && m_kind == WorkerKind::kSave && m_link->Succeeded()) vrz::RemoveFile(m_job->outputPath);
    // A worker held at its poll sees the cancel and ends.
    m_job->pauseGate.Resume();
    if (TheJobShared() == m_job) DiscardCurrentJob();
}

bool WorkerStepPage::ConfirmCancel() {
    m_job->pauseGate.Pause();
    StopAnimation();
    const int answer = ShowMessage(LoadUiText("IDS_WORD16", vrz::kTextCapacity),
                                   LoadUiText("IDS_CONFIRM", vrz::kTextCapacity), wxYES_NO | wxICON_QUESTION);
    if (answer == wxID_YES) return true;
    PlayAnimation();
    ReleaseWorker();
    return false;
}

void WorkerStepPage::ReleaseWorker() { m_job->pauseGate.Resume(); }

void WorkerStepPage::PlayAnimation() {
    if (m_animation && m_animation->GetAnimation().IsOk()) m_animation->Play();
}

void WorkerStepPage::FreezeProgress() { m_timer.Stop(); }

void WorkerStepPage::StopAnimation() {
    if (m_animation) m_animation->Stop();
}

void WorkerStepPage::ShowHomeEnabled(bool enabled) {
    CXCmdBtn* home = HomeButton();
    if (home == nullptr) return;
    if (enabled) {
        home->SetImages(vrz::IDB_HOME_NORMAL, vrz::IDB_HOME_HOVER, vrz::IDB_HOME_PRESSED);
    } else {
        home->SetImages(vrz::IDB_HOME_DISABLED, vrz::IDB_HOME_DISABLED, vrz::IDB_HOME_DISABLED);
    }
    home->Enable(enabled);
    home->Refresh();
}

void WorkerStepPage::OnProgressTick() {
    const int percent = m_kind == WorkerKind::kScan
                            ? wizard::RepairBarPercent(m_job->progressPercent.load(), m_job->verifyPercent.load())
                            : Percent().load();
    if (percent < m_job->shownPercent) return;
    m_progressBar->SetValue(std::clamp(percent, 0, 100));
    m_job->shownPercent = percent;
}

void WorkerStepPage::OnTimer(wxTimerEvent&) { OnProgressTick(); }
