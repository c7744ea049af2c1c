#include "SavePage.h"

#include <wx/animate.h>
#include <wx/checkbox.h>
#include <wx/dirdlg.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include "CMainFrame.h"
#include "CompletionDialog.h"
#include "CProgressBar.h"
#include "PageFonts.h"
#include "ResourceIds.h"
#include "PathChecks.h"
#include "SaveWorker.h"
#include "ShellLaunch.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "io/FileIo.h"
#include "preview/VerificationTexts.h"
#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"
#include "text/SaveChoices.h"
#include "writer/OutputNaming.h"

using namespace wizard;

namespace {

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

// Where the folder dialog opens before the user chose one: beside the source.
wxString SourceFolderOf(const vrz::JobState& job) {
    const wxString source = FromUtf8(job.sourcePath);
    if (source.empty()) return wxString();
    if (job.splitMode) return source;
    return wxFileName(source).GetPath();
}

}  // namespace

wxBEGIN_EVENT_TABLE(CSavePage, WorkerStepPage)
    EVT_BUTTON(CSavePage::IDC_BROWSE, CSavePage::OnBrowse)
    EVT_BUTTON(CSavePage::IDC_SAVE, CSavePage::OnSave)
    EVT_BUTTON(CSavePage::IDC_CANCEL, CSavePage::OnCancel)
    EVT_CHECKBOX(CSavePage::IDC_SKIP_DAMAGED, CSavePage::OnChoice)
    EVT_CHECKBOX(CSavePage::IDC_SALVAGE, CSavePage::OnChoice)
wxEND_EVENT_TABLE()

void CSavePage::SetFolderChooserForTesting(FolderChooser chooser) {
    Chooser() = chooser ? std::move(chooser) : FolderChooser(ChooseFolderWithDialog);
}

CSavePage::CSavePage(CMainFrame* frame) : WorkerStepPage(frame, kPageSave, WorkerKind::kSave) {
    m_job->destinationFolder.clear();
    m_job->saveAborted = false;
    m_job->savePercent = 0;
    m_job->shownPercent = 0;
    m_job->jobRunning = true;
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
    if (!m_browseButton || !m_saveButton) return false;
    // The command line's --skip-damaged and --salvage, as they were chosen last.
    const vrz::SaveChoices choices = vrz::ReadSaveChoices(vrz::CurrentProgramPaths().settingsPath);
    m_skipDamaged = new wxCheckBox(this, IDC_SKIP_DAMAGED, wxString(), wxPoint(108, 236));
    m_salvage = new wxCheckBox(this, IDC_SALVAGE, wxString(), wxPoint(108, 256));
    // Black text on the white content panel, as the page's other texts.
    for (wxCheckBox* box : {m_skipDamaged, m_salvage}) box->SetFont(m_editFont);
    m_skipDamaged->SetValue(choices.skipDamaged);
    m_salvage->SetValue(choices.salvage);
    if (!CreateWorkerControls(vrz::IDR_ANIMATION_SAVING)) return false;
    Animation()->Hide();
    ProgressBar()->Hide();
    CancelButton()->Hide();

    RefreshLanguageTexts();
    return true;
}

void CSavePage::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    SetHeading(LoadUiText(m_bSaving ? "IDS_SAVEFILE" : "IDS_SAVETEXT1", vrz::kTextCapacity));
    if (m_browseButton) m_browseButton->SetCaptions(LoadUiText("IDS_BROWSE", vrz::kTextCapacity));
    if (m_saveButton) m_saveButton->SetCaptions(LoadUiText("IDS_SAVE", vrz::kTextCapacity));
    if (CancelButton()) CancelButton()->SetCaptions(LoadUiText("IDS_CANCEL", vrz::kTextCapacity));
    if (m_skipDamaged) m_skipDamaged->SetLabel(LoadUiText("IDS_SAVE_SKIP_DAMAGED", vrz::kTextCapacity));
    if (m_salvage) m_salvage->SetLabel(LoadUiText("IDS_SAVE_SALVAGE", vrz::kTextCapacity));
    for (wxCheckBox* box : {m_skipDamaged, m_salvage}) {
        if (box) box->SetSize(box->GetBestSize());
    }
}

void CSavePage::OnChoice(wxCommandEvent&) {
    vrz::SaveChoices choices;
    choices.skipDamaged = m_skipDamaged->GetValue();
    choices.salvage = m_salvage->GetValue();
    vrz::WriteSaveChoices(vrz::CurrentProgramPaths().settingsPath, choices);
}

void CSavePage::OnBrowse(wxCommandEvent&) {
    m_job->jobRunning = true;
    const wxString title = LoadUiText("IDS_SELECT_FOLDER_TO_SAVE", vrz::kTextCapacity);
    wxString folder = FromUtf8(m_job->destinationFolder);
    if (folder.empty()) folder = SourceFolderOf(*m_job);
    bool chosen = false;
    {
        ModalScope scope(*this);
        chosen = Chooser()(this, title, &folder);
    }
    if (chosen && !folder.empty() && !FolderTakesNewFiles(ToUtf8(folder))) {
        // Refused now rather than after a scan's worth of waiting at Save.
        ShowMessage(LoadUiText("IDS_FOLDER_NOT_WRITABLE", vrz::kTextCapacity) + "\n\n" + folder,
                    LoadUiText("IDS_ERROR", vrz::kTextCapacityCaption), wxOK | wxICON_ERROR);
        m_job->destinationFolder = ToUtf8(folder);
        m_pathBox->SetValue(wxString());
    } else if (chosen && !folder.empty()) {
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
    if (vrz::CheckFreeSpaceForOutput(folder, vrz::ExpectedOutputBytes(*m_job)) == vrz::SpaceCheck::kTooLittle) {
        ShowInformation("IDS_LOWDIKSPACE", vrz::kTextCapacity);
        m_pathBox->SetValue(wxString());
        return;
    }
    m_job->destinationFolder = folder;
    m_job->skipDamaged = m_skipDamaged->GetValue();
    m_job->salvage = m_salvage->GetValue();
    m_job->archiveFileName = vrz::ArchiveFileNameFor(*m_job);
    m_job->outputPath = vrz::ChooseOutputPath(folder, m_job->archiveFileName);
    StartSave();
}

void CSavePage::StartSave() {
    m_bSaving = true;
    m_saveButton->Hide();
    m_pathBox->Hide();
    m_browseButton->Hide();
    m_skipDamaged->Hide();
    m_salvage->Hide();

    m_job->saveAborted = false;
    m_job->saveCommit.Reset();
    m_job->jobRunning = true;
    SetHeading(LoadUiText("IDS_SAVEFILE", vrz::kTextCapacity));
    Animation()->Show();
    CancelButton()->Show();
    ProgressBar()->Show();
    StartWorker(SaveWorker);
    CancelButton()->SetFocus();
}

void CSavePage::OnCancel(wxCommandEvent&) {
    if (!m_bSaving || !WorkerRuns()) return;
    // The writer holds at its next poll until the answer is in.
    if (ConfirmCancel()) {
        // A Yes that comes after the writer committed to naming the archive is
        // too late: the save finishes and is reported as done.
        if (!m_job->saveCommit.TryAbort()) {
            PlayAnimation();
            ReleaseWorker();
            return;
        }
        m_job->saveAborted = true;
        ShowInformation("IDS_SAVE_ABORTED", vrz::kTextCapacityCaption, Frame());
        ReleaseWorker();
    }
}

void CSavePage::ShowWriterFailure(const std::string& textKey, const std::string& detail) {
    FreezeProgress();
    RunWhenNoModal([this, textKey, detail] {
        StopAnimation();
        wxString text = LoadUiText(textKey, vrz::kTextCapacity);
        if (!detail.empty()) text += "\n\n" + FromUtf8(detail);
        ShowMessage(text, LoadUiText("IDS_ERROR", vrz::kTextCapacityCaption), wxOK | wxICON_ERROR);
    });
}

void CSavePage::FinishSave(bool written) {
    RunWhenNoModal([this, written] {
        if (!TakeDelivery()) return;
        if (m_job->saveAborted.load()) {
            // Yes came after the writer had finished: the archive goes too.
            if (written) vrz::RemoveFile(m_job->outputPath);
        } else if (written) {
            StopAnimation();
            ReportCompletion();
        }
        // A finished save starts over; after a failure (its own message was
        // shown) or an abort the scan is kept and another folder can be chosen.
        const bool done = written && !m_job->saveAborted.load();
        Frame()->Navigate(done ? kShowSource : kShowSave);  // destroys this page
    });
}

// The box names the output file and every entry that was damaged, could not
// be checked or was cut; a result that is mostly damage is a warning.
void CSavePage::ReportCompletion() {
    const wxString output = FromUtf8(m_job->outputPath);
    const vrz::TextLookup text = [](const std::string& key) { return ToUtf8(LoadUiText(key, vrz::kTextCapacity)); };
    const wxString details = FromUtf8(vrz::CompletionDetails(*m_job, m_job->outputPath, text));
    const wxString list = FromUtf8(vrz::CompletionList(*m_job, text));
    const bool warning = vrz::CompletionIsWarning(*m_job);
    const wxString sentence =
        warning ? wxString::Format(LoadUiText("IDS_SAVE_COMPLETED_DAMAGED", vrz::kTextCapacity),
                                   static_cast<int>(vrz::CountWritten(*m_job, vrz::EntryStatus::kDamaged) +
                                                    m_job->partials.size()),
                                   static_cast<int>(vrz::WrittenEntryCount(*m_job)))
                : LoadUiText("IDS_SAVE_COMPLETED", vrz::kTextCapacityCaption);
    const wxString caption = LoadUiText(warning ? "IDS_WARNING" : "IDS_INFORMATION", vrz::kTextCapacityCaption);
    if (list.empty()) {
        ShowMessage(sentence + "\n\n" + details, caption, wxOK | wxICON_INFORMATION);
    } else {
        ModalScope scope(*this);
        CompletionDialog box(this, caption, sentence + "\n\n" + details, list, warning);
        box.ShowModal();
    }
    if (OpenLocalPage(m_job->destinationFolder) == kShellLaunched) return;
    // No file manager could be started: say where the archive is instead.
    ShowMessage(LoadUiText("IDS_FOLDER_NOT_OPENED", vrz::kTextCapacity) + "\n\n" + output,
                LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption), wxOK | wxICON_INFORMATION);
}
