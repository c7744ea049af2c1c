// The source step: the user picks one damaged archive or a folder holding
// the parts of a split archive; a valid choice goes on to the repair page.
#pragma once

#include "StepPageChrome.h"

class wxStaticText;
class wxTextCtrl;

class CBaseWndStep : public StepPage {
public:
    explicit CBaseWndStep(CMainFrame* frame);
    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    wxTextCtrl* PathBox() const { return m_pathBox; }

    // Takes path as the choice, as the dialogs do: a part beside the other
    // parts of its split set stands for the set. From the command line, a
    // drop or a second start; false (nothing changed) when path is empty.
    bool ChoosePath(const wxString& path);

private:
    void OnBrowseButton(wxCommandEvent& event);
    void OnBrowseFile(wxCommandEvent& event);
    void OnBrowseFolder(wxCommandEvent& event);
    void OnRepairButton(wxCommandEvent& event);
    // Empties the path box after a refused choice.
    void Refuse(const std::string& textKey, std::size_t textCapacity);
    // Shows path in the box, or the folder of its split set with the note.
    void ShowChosenFile(const wxString& path);

    wxFont m_editFont;
    wxTextCtrl* m_pathBox = nullptr;
    // Says that a chosen file stands for the whole split set beside it.
    wxStaticText* m_noteLine = nullptr;
    CXCmdBtn* m_browseButton = nullptr;
    CXCmdBtn* m_repairButton = nullptr;

    wxDECLARE_EVENT_TABLE();
};
