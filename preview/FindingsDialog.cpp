#include "preview/FindingsDialog.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/UiText.h"
#include "text/LanguageTexts.h"

namespace {

wxString Text(const char* key) { return LoadUiText(key, vrz::kTextCapacity); }

}  // namespace

FindingsDialog::FindingsDialog(wxWindow* parent, const std::vector<wxString>& lines,
                               const std::vector<vrz::FindingDetail>& details, std::uint64_t notKept)
    : wxDialog(parent, wxID_ANY, Text("IDS_FINDINGS_TITLE"), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    for (const wxString& line : lines) {
        column->Add(new wxStaticText(this, wxID_ANY, line), 0, wxLEFT | wxRIGHT | wxTOP, 10);
    }

    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(800, 300), wxLC_REPORT | wxLC_SINGLE_SEL);
    m_list->InsertColumn(0, Text("IDS_FINDING_COL_OFFSET"), wxLIST_FORMAT_RIGHT, 110);
    m_list->InsertColumn(1, Text("IDS_FINDING_COL_PART"), wxLIST_FORMAT_LEFT, 120);
    m_list->InsertColumn(2, Text("IDS_FINDING_COL_KIND"), wxLIST_FORMAT_LEFT, 350);
    m_list->InsertColumn(3, Text("IDS_FINDING_COL_NAME"), wxLIST_FORMAT_LEFT, 220);
    for (std::size_t i = 0; i < details.size(); ++i) {
        const vrz::FindingDetail& detail = details[i];
        const long row = m_list->InsertItem(static_cast<long>(i),
                                            wxString::Format("%llu", static_cast<unsigned long long>(detail.offset)));
        m_list->SetItem(row, 1, FromUtf8(detail.part));
        m_list->SetItem(row, 2, FromUtf8(detail.kind));
        m_list->SetItem(row, 3, FromUtf8(detail.name));
    }
    column->Add(m_list, 1, wxEXPAND | wxALL, 10);
    if (notKept > 0) {
        column->Add(new wxStaticText(this, wxID_ANY,
                                     wxString::Format(Text("IDS_FINDINGS_NOT_KEPT"), static_cast<int>(notKept))),
                    0, wxLEFT | wxRIGHT, 10);
    }
    column->Add(CreateStdDialogButtonSizer(wxOK), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(column);
    CentreOnParent();
}
