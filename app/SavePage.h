// The save step: the user picks a destination folder; the page checks the
// free space there, names the output after the source with "_fixed", runs
// the writer on the save worker with progress and a confirmed abort, and at
// the end reports the result, opens the folder and returns to the source step.
#pragma once

#include <functional>
#include <memory>

#include <wx/timer.h>

#include "GuiCallChannel.h"
#include "StepPageChrome.h"
#include "state/JobState.h"

class wxAnimationCtrl;
#include "CProgressBar.h"
class wxTextCtrl;
struct SaveWorkerLink;

class CSavePage : public StepPage {
public:
    enum {
        IDC_PATH_BOX = 376,
        IDC_BROWSE = 367,
        IDC_SAVE = 373,
        IDC_CANCEL = 371,
        IDC_PROGRESS = 370,
        IDC_ANIMATION = 379,
    };

    explicit CSavePage(CMainFrame* frame);
    ~CSavePage() override;

    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    // Asks for a folder: true and the folder in path when one was chosen.
    // Tests put their own chooser in place of the folder dialog.
    using FolderChooser = std::function<bool(wxWindow* owner, const wxString& title, wxString* path)>;
    static void SetFolderChooserForTesting(FolderChooser chooser);

    // Called by the save worker through its channel, on the user-interface thread.
    void StopAnimation();
    void ShowWriterFailure(const std::string& textKey, const std::string& detail,
                           std::shared_ptr<GuiCallChannel::Completion> done);
    void FinishSave(bool written, std::shared_ptr<GuiCallChannel::Completion> done);

    // One tick of the 50 ms timer: the bar follows the save, never backwards.
    void OnProgressTick();

    bool IsSaving() const { return m_bSaving; }
    wxTextCtrl* PathBox() const { return m_pathBox; }
    CProgressBar* ProgressBar() const { return m_progressBar; }
    wxAnimationCtrl* Animation() const { return m_animation; }
    CXCmdBtn* SaveButton() const { return m_saveButton; }
    CXCmdBtn* CancelButton() const { return m_cancelButton; }
    const std::shared_ptr<vrz::JobState>& Job() const { return m_job; }

private:
    void ShowCompletion();
    void PlayAnimation();
    void StartSave();
    void OnBrowse(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnTimer(wxTimerEvent& event);

    std::shared_ptr<vrz::JobState> m_job;
    std::shared_ptr<SaveWorkerLink> m_link;
    wxTimer m_timer;
    wxFont m_editFont;
    wxTextCtrl* m_pathBox = nullptr;
    CXCmdBtn* m_browseButton = nullptr;
    CXCmdBtn* m_saveButton = nullptr;
    CXCmdBtn* m_cancelButton = nullptr;
    CProgressBar* m_progressBar = nullptr;
    wxAnimationCtrl* m_animation = nullptr;
    bool m_bSaving = false;

    wxDECLARE_EVENT_TABLE();
};
