#include "CRepairPage.h"

#include <algorithm>

#include <wx/animate.h>

#include "CMainFrame.h"
#include "CProgressBar.h"
#include "ImageResources.h"
#include "ResourceIds.h"
#include "RepairProgress.h"
#include "RepairWorker.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "text/LanguageTexts.h"

using namespace wizard;

namespace {
constexpr int kProgressTimerId = 1;
constexpr int kProgressPeriodMs = 50;
}  // namespace

wxBEGIN_EVENT_TABLE(CRepairPage, StepPage)
    EVT_TIMER(kProgressTimerId, CRepairPage::OnTimer)
    EVT_BUTTON(kCancelButton, CRepairPage::OnCancel)
wxEND_EVENT_TABLE()

CRepairPage::CRepairPage(CMainFrame* frame)
    : StepPage(frame, kPageRepair), m_job(TheJobShared()), m_timer(this, kProgressTimerId) {
    m_job->scanFailed = false;
    m_job->shownPercent = 0;
}

CRepairPage::~CRepairPage() {
    m_timer.Stop();
    // Leaving while the scan still runs (the program closing, say) gives the
    // worker up like a confirmed cancel.
    if (m_link) {
        m_link->page = nullptr;
        if (!m_link->delivered && !m_link->channel->IsAbandoned()) AbandonWorker();
    }
}

bool CRepairPage::BuildPage() {
    ChromeOptions options;
    options.homeButton = true;
    options.homeEnabled = false;
    if (!CreateChrome(options)) return false;

    m_progressBar = new CProgressBar(this, kProgressBar, 100, wxPoint(110, 310), wxSize(538, 30));
    m_animation = new wxAnimationCtrl(this, kAnimation, wxNullAnimation, wxPoint(70, 150), wxSize(730, 140),
                                      wxAC_NO_AUTORESIZE | wxBORDER_NONE);
    m_animation->SetBackgroundColour(*wxWHITE);
    wxAnimation scanning;
    if (LoadAnimationResource(vrz::IDR_ANIMATION_SCANNING, scanning)) m_animation->SetAnimation(scanning);
    m_cancelButton = MakeButton(kCancelButton, 660, 312, 764, 338, vrz::IDB_SMALL_BUTTON_NORMAL,
                                vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
    if (!m_cancelButton) return false;
    RefreshLanguageTexts();
    PlayAnimation();

    m_job->ResetTable();
    m_job->progressPercent = 0;
    m_timer.Start(kProgressPeriodMs);
    StartWorker();
    return true;
}

void CRepairPage::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    SetHeading(LoadUiText("IDS_REPAIRING", vrz::kTextCapacity));
    if (m_cancelButton) m_cancelButton->SetCaptions(LoadUiText("IDS_CANCEL", vrz::kTextCapacity));
}

void CRepairPage::StartWorker() {
    m_link = std::make_shared<RepairWorkerLink>();
    m_link->page = this;
    g_workerThread.Set(m_link.get());
    StartWorkerThread([job = m_job, link = m_link] { RepairWorker(job, link); });
}

void CRepairPage::AbandonWorker() {
    m_job->jobRunning = false;
    m_job->progressPercent = 100;
    g_workerThread.ClearIf(m_link.get());
    m_link->channel->Abandon();
    // Let a worker held at its poll see the cancel and end.
    m_job->pauseGate.Resume();
    if (TheJobShared() == m_job) DiscardCurrentJob();
}

void CRepairPage::PlayAnimation() {
    if (m_animation->GetAnimation().IsOk()) m_animation->Play();
}

void CRepairPage::StopAnimation() { m_animation->Stop(); }

void CRepairPage::OnProgressTick() {
    const int percent = wizard::RepairBarPercent(m_job->progressPercent.load(), m_job->verifyPercent.load());
    if (percent < m_job->shownPercent) return;
    m_progressBar->SetValue(std::clamp(percent, 0, 100));
    m_job->shownPercent = percent;
}

void CRepairPage::OnTimer(wxTimerEvent&) { OnProgressTick(); }

void CRepairPage::ShowScanFailure(const std::string& textKey, std::shared_ptr<GuiCallChannel::Completion> done) {
    RunWhenNoModal([this, textKey, done = std::move(done)] {
        m_job->progressPercent = 100;
        StopAnimation();
        ShowInformation(textKey, vrz::kTextCapacity);
    });
}

void CRepairPage::OnCancel(wxCommandEvent&) {
    const wxString question = LoadUiText("IDS_WORD16", vrz::kTextCapacity);
    const wxString caption = LoadUiText("IDS_CONFIRM", vrz::kTextCapacity);
    m_job->pauseGate.Pause();
    StopAnimation();
    if (ShowMessage(question, caption, wxYES_NO | wxICON_QUESTION) != wxID_YES) {
        PlayAnimation();
        m_job->pauseGate.Resume();
        return;
    }
    AbandonWorker();
    ShowInformation("IDS_WORD8", vrz::kTextCapacityCaption, Frame());
    SendNavigation(kShowSource);
}
