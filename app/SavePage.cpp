#include "SavePage.h"

#include <algorithm>

#include <wx/animate.h>
#include <wx/dirdlg.h>
#include <wx/textctrl.h>

#include "CMainFrame.h"
#include "CProgressBar.h"
#include "ImageResources.h"
#include "PageFonts.h"
#include "ResourceIds.h"
#include "SaveWorker.h"
#include "ShellLaunch.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "io/FileIo.h"
#include "preview/VerificationTexts.h"
#include "text/LanguageTexts.h"
#include "writer/OutputNaming.h"

using namespace wizard;

namespace {

constexpr int kProgressTimerId = 1;
constexpr int kProgressPeriodMs = 50;

bool ChooseFolderWithDialog(wxWindow* owner, const wxString& title, wxString* path) {
    wxDirDialog dialog(owner, title, *path, wxDD_DEFAULT_STYLE | wxDD_NEW_DIR_BUTTON);
    if (dialog.ShowModal() != wxID_OK) return false;
    *path = dialog.GetPath();
    return true;
}

CSavePage::FolderChooser& Chooser() {
    static CSavePage::FolderChooser chooser = ChooseFolderWithDialog;
    return chooser;
}

wxRect FromEdges(int left, int top, int right, int bottom) {
    return wxRect(left, top, right - left, bottom - top);
}

}  // namespace

wxBEGIN_EVENT_TABLE(CSavePage, StepPage)
    EVT_TIMER(kProgressTimerId, CSavePage::OnTimer)
    EVT_BUTTON(CSavePage::IDC_BROWSE, CSavePage::OnBrowse)
    EVT_BUTTON(CSavePage::IDC_SAVE, CSavePage::OnSave)
    EVT_BUTTON(CSavePage::IDC_CANCEL, CSavePage::OnCancel)
wxEND_EVENT_TABLE()

void CSavePage::SetFolderChooserForTesting(FolderChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : FolderChooser(ChooseFolderWithDialog);
}

CSavePage::CSavePage(CMainFrame* frame)
    : StepPage(frame, kPageSave), m_job(TheJobShared()), m_timer(this, kProgressTimerId) {
    m_job->destinationFolder.clear();
    m_job->saveAborted = false;
    m_job->shownPercent = 0;
    m_job->jobRunning = true;
}

CSavePage::~CSavePage() {
    m_timer.Stop();
    if (!m_link) return;
    m_link->page = nullptr;
    if (m_link->delivered || m_link->channel->IsAbandoned()) return;
    // Leaving while the save runs (the program closing, say) aborts it: the
    // writer stops at its next poll and removes what it wrote.
    m_job->saveAborted = true;
    g_saveThread.ClearIf(m_link.get());
    m_link->channel->Abandon();
    m_job->pauseGate.Resume();
    if (TheJobShared() == m_job) DiscardCurrentJob();
}

bool CSavePage::BuildPage() {
    ChromeOptions options;
    options.homeButton = true;
    options.faq.leftExtra = 33;
    options.faq.rightGap = 20;
    if (!CreateChrome(options)) return false;

    m_editFont = PageFont(10);
    const wxRect pathRect = FromEdges(108, 200, 658, 226);
    m_pathBox = new wxTextCtrl(this, IDC_PATH_BOX, wxString(), pathRect.GetPosition(), pathRect.GetSize(),
                               wxTE_READONLY);
    m_pathBox->SetFont(m_editFont);
    m_browseButton = MakeButton(IDC_BROWSE, 670, 200, 774, 226, vrz::IDB_SMALL_BUTTON_NORMAL,
                                vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
    m_saveButton = MakeButton(IDC_SAVE, 255, 280, 638, 379, vrz::IDB_SAVE_BUTTON_NORMAL, vrz::IDB_SAVE_BUTTON_HOVER,
                              vrz::IDB_SAVE_BUTTON_PRESSED);
    m_cancelButton = MakeButton(IDC_CANCEL, 660, 312, 764, 338, vrz::IDB_SMALL_BUTTON_NORMAL,
                                vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
    if (!m_browseButton || !m_saveButton || !m_cancelButton) return false;

    m_animation = new wxAnimationCtrl(this, IDC_ANIMATION, wxNullAnimation, wxPoint(70, 150), wxSize(730, 140),
                                      wxAC_NO_AUTORESIZE | wxBORDER_NONE);
    m_animation->SetBackgroundColour(*wxWHITE);
    wxAnimation saving;
    if (LoadAnimationResource(vrz::IDR_ANIMATION_SAVING, saving)) m_animation->SetAnimation(saving);
    m_progressBar = new CProgressBar(this, IDC_PROGRESS, 100, wxPoint(110, 310), wxSize(538, 30));
    m_animation->Hide();
    m_progressBar->Hide();
    m_cancelButton->Hide();

    RefreshLanguageTexts();
    m_timer.Start(kProgressPeriodMs);
    return true;
}

void CSavePage::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    SetHeading(LoadUiText(m_bSaving ? "IDS_SAVEFILE" : "IDS_SAVETEXT1", vrz::kTextCapacity));
    if (m_browseButton) m_browseButton->SetCaptions(LoadUiText("IDS_BROWSE", vrz::kTextCapacity));
    if (m_saveButton) m_saveButton->SetCaptions(LoadUiText("IDS_SAVE", vrz::kTextCapacity));
    if (m_cancelButton) m_cancelButton->SetCaptions(LoadUiText("IDS_CANCEL", vrz::kTextCapacity));
}

void CSavePage::OnBrowse(wxCommandEvent&) {
    m_job->jobRunning = true;
    const wxString title = LoadUiText("IDS_SELECT_FOLDER_TO_SAVE", vrz::kTextCapacity);
    wxString folder = FromUtf8(m_job->destinationFolder);
    bool chosen = false;
    {
        ModalScope scope(*this);
        chosen = Chooser()(this, title, &folder);
    }
    if (chosen && !folder.empty()) {
        m_pathBox->SetValue(folder);
        m_job->destinationFolder = ToUtf8(folder);
    } else {
        // The last choice stays remembered for the dialog, not in the box.
        m_pathBox->SetValue(wxString());
    }
}

void CSavePage::OnSave(wxCommandEvent&) {
    if (m_bSaving) return;
    const std::string folder = ToUtf8(m_pathBox->GetValue());
    if (folder.empty()) {
        ShowInformation("IDS_WORD6", vrz::kTextCapacityCaption);
        m_pathBox->SetValue(wxString());
        return;
    }
    // When the file system cannot say how much room is left, the save goes
    // on; a full disk is then reported by the writer.
    if (vrz::CheckFreeSpace(folder, m_job->recoveredSizeKB) == vrz::SpaceCheck::kTooLittle) {
        ShowInformation("IDS_LOWDIKSPACE", vrz::kTextCapacity);
        m_pathBox->SetValue(wxString());
        return;
    }
    m_job->savePercent = 0;
    m_job->destinationFolder = folder;
    m_job->archiveFileName = vrz::ArchiveFileNameFor(*m_job);
    m_job->outputPath = vrz::ChooseOutputPath(folder, m_job->archiveFileName);
    StartSave();
}

void CSavePage::StartSave() {
    m_bSaving = true;
    m_saveButton->Hide();
    m_pathBox->Hide();
    m_browseButton->Hide();
    if (CXCmdBtn* home = HomeButton()) {
        home->SetImages(vrz::IDB_HOME_DISABLED, vrz::IDB_HOME_DISABLED, home->m_nImagePressed);
        home->Enable(false);
        home->Refresh();
    }

    m_job->saveAborted = false;
    m_job->saveCommit.Reset();
    m_job->jobRunning = true;
    m_link = std::make_shared<SaveWorkerLink>();
    m_link->page = this;
    g_saveThread.Set(m_link.get());
    StartWorkerThread([job = m_job, link = m_link] { SaveWorker(job, link); });

    SetHeading(LoadUiText("IDS_SAVEFILE", vrz::kTextCapacity));
    m_animation->Show();
    PlayAnimation();
    m_cancelButton->Show();
    m_progressBar->Show();
}

void CSavePage::PlayAnimation() {
    if (m_animation->GetAnimation().IsOk()) m_animation->Play();
}

void CSavePage::StopAnimation() {
    m_animation->Stop();
}

void CSavePage::OnProgressTick() {
    const int percent = m_job->savePercent.load();
    if (percent < m_job->shownPercent) return;
    m_progressBar->SetValue(std::clamp(percent, 0, 100));
    m_job->shownPercent = percent;
}

void CSavePage::OnTimer(wxTimerEvent&) {
    OnProgressTick();
}

void CSavePage::OnCancel(wxCommandEvent&) {
    if (!m_bSaving || !m_link || m_link->delivered) return;
    const wxString question = LoadUiText("IDS_WORD16", vrz::kTextCapacity);
    const wxString caption = LoadUiText("IDS_CONFIRM", vrz::kTextCapacity);
    // The writer holds at its next poll until the answer is in.
    m_job->pauseGate.Pause();
    StopAnimation();
    // A Yes that comes after the writer committed to naming the archive is
    // too late: the save finishes and is reported as done.
    if (ShowMessage(question, caption, wxYES_NO | wxICON_QUESTION) == wxID_YES && m_job->saveCommit.TryAbort()) {
        m_job->saveAborted = true;
        m_job->savePercent = 100;
        ShowInformation("IDS_SAVE_ABORTED", vrz::kTextCapacityCaption, Frame());
    } else {
        PlayAnimation();
    }
    m_job->pauseGate.Resume();
}

void CSavePage::ShowWriterFailure(const std::string& textKey, const std::string& detail,
                                  std::shared_ptr<GuiCallChannel::Completion> done) {
    RunWhenNoModal([this, textKey, detail, done = std::move(done)] {
        StopAnimation();
        wxString text = LoadUiText(textKey, vrz::kTextCapacity);
        if (!detail.empty()) text += "\n\n" + FromUtf8(detail);
        ShowMessage(text, LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption), wxOK | wxICON_INFORMATION);
    });
}

// The box names the output file and the entries that were damaged or could not be checked.
void CSavePage::ShowCompletion() {
    const vrz::TextLookup text = [](const std::string& key) { return ToUtf8(LoadUiText(key, vrz::kTextCapacity)); };
    const wxString details = FromUtf8(vrz::CompletionDetails(*m_job, m_job->outputPath, text));
    ShowMessage(LoadUiText("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption) + "\n\n" + details,
                LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption), wxOK | wxICON_INFORMATION);
}

void CSavePage::FinishSave(bool written, std::shared_ptr<GuiCallChannel::Completion> done) {
    RunWhenNoModal([this, written, done = std::move(done)] {
        if (m_link->channel->IsAbandoned()) return;
        m_link->delivered = true;
        m_job->savePercent = 100;
        OnProgressTick();
        CMainFrame* frame = Frame();
        const void* const token = m_link.get();
        if (m_job->saveAborted.load()) {
            // Yes came after the writer had finished: the archive goes too.
            if (written) vrz::RemoveFile(m_job->outputPath);
        } else if (written) {
            StopAnimation();
            ShowCompletion();
            OpenLocalPage(m_job->destinationFolder);
        }
        // After a writer failure its own message was shown; nothing more.
        g_saveThread.ClearIf(token);
        frame->Navigate(kShowSource);  // destroys this page
    });
}
