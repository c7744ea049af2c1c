// The save step: the user picks a destination folder; the page checks the
// free space there, names the output after the source with "_fixed", runs
// the writer on the save worker with progress and a confirmed abort, and at
// the end reports the result, opens the folder and returns to the source step.
#pragma once

#include <functional>
#include <string>

#include "WorkerStepPage.h"

class wxCheckBox;
class wxTextCtrl;

class CSavePage : public WorkerStepPage {
public:
    enum {
        IDC_PATH_BOX = 376,
        IDC_BROWSE = 367,
        IDC_SAVE = 373,
        IDC_CANCEL = 371,
        IDC_PROGRESS = 370,
        IDC_ANIMATION = 379,
        IDC_SKIP_DAMAGED = 380,
        IDC_SALVAGE = 381,
    };

    explicit CSavePage(CMainFrame* frame);

    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    // Asks for a folder, starting in *path: true and the folder in path when
    // one was chosen. Tests put their own chooser in place of the folder dialog.
    using FolderChooser = std::function<bool(wxWindow* owner, const wxString& title, wxString* path)>;
    static void SetFolderChooserForTesting(FolderChooser chooser);

    // Posted by the save worker.
    void ShowWriterFailure(const std::string& textKey, const std::string& detail);
    void FinishSave(bool written);

    bool IsSaving() const { return m_bSaving; }
    wxTextCtrl* PathBox() const { return m_pathBox; }
    CXCmdBtn* SaveButton() const { return m_saveButton; }
    wxCheckBox* SkipDamagedBox() const { return m_skipDamaged; }
    wxCheckBox* SalvageBox() const { return m_salvage; }

private:
    void StartSave();
    void ReportCompletion();
    void OnBrowse(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnCancel(wxCommandEvent& event);
    void OnChoice(wxCommandEvent& event);

    wxFont m_editFont;
    wxTextCtrl* m_pathBox = nullptr;
    CXCmdBtn* m_browseButton = nullptr;
    CXCmdBtn* m_saveButton = nullptr;
    wxCheckBox* m_skipDamaged = nullptr;
    wxCheckBox* m_salvage = nullptr;
    bool m_bSaving = false;

    wxDECLARE_EVENT_TABLE();
};
