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

private:
    void OnBrowseButton(wxCommandEvent& event);
    void OnBrowseFile(wxCommandEvent& event);
    void OnBrowseFolder(wxCommandEvent& event);
    void OnRepairButton(wxCommandEvent& event);
    // Empties the path box after a refused choice.
    void Refuse(const std::string& textKey, std::size_t textCapacity);

    wxFont m_editFont;
    wxTextCtrl* m_pathBox = nullptr;
    // Says that a chosen file stands for the whole split set beside it.
    wxStaticText* m_noteLine = nullptr;
    CXCmdBtn* m_browseButton = nullptr;
    CXCmdBtn* m_repairButton = nullptr;

    wxDECLARE_EVENT_TABLE();
};
