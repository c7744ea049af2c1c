// The preview step: the entries the scan found as a browsable folder list
// with sizes in KB and the entry count, and the step on to saving. Building
// the root view also sums the recovered size the save step checks against
// the destination's free space.
#pragma once

#include <memory>
#include <vector>

#include <wx/imaglist.h>

#include "app/StepPageChrome.h"
#include "preview/PreviewModel.h"
#include "state/JobState.h"

class CHyperLink;
class CXListCtrl;
class wxListEvent;

class CPreviewPage : public StepPage {
public:
    enum { IDC_NEXT = 146, IDC_ENTRY_LIST = 377, IDC_HOME_ALIAS = 142, IDC_FINDING_DETAILS = 378 };

    explicit CPreviewPage(CMainFrame* frame);
    ~CPreviewPage() override;

    bool BuildPage() override;
    void RefreshLanguageTexts() override;

    CXListCtrl* List() const { return m_pList; }
    const vrz::PreviewModel& Model() const { return *m_model; }
    const wxString& TotalsText() const { return m_strTotals; }

    // What a double-click on list item does: folder navigation.
    void ActivateItem(long item);

    // The findings in words as the page shows them (at most three lines),
    // and the dialog with every one behind the Details link.
    const std::vector<wxString>& FindingLines() const { return m_findingLines; }
    CHyperLink* DetailsLink() const { return m_pDetailsLink; }
    void ShowFindingDetails();

protected:
    void PaintContent(wxDC& dc) override;

private:
    void FillList();
    // The totals and findings lines, in the current language.
    void BuildTexts();
    void OnItemActivated(wxListEvent& event);
    void OnNext(wxCommandEvent& event);
    void OnHomeAlias(wxCommandEvent& event);

    // Keeps the job's table alive while the page lists it.
    std::shared_ptr<vrz::JobState> m_job;
    std::unique_ptr<vrz::PreviewModel> m_model;
    wxFont m_textFont;
    wxString m_strTotals;
    std::vector<wxString> m_findingLines;
    std::vector<wxString> m_allFindingLines;
    CHyperLink* m_pDetailsLink = nullptr;
    CXListCtrl* m_pList = nullptr;
    CXCmdBtn* m_pNextButton = nullptr;
    wxImageList m_images;
};
