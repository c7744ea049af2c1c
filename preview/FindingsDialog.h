// The list behind the preview's findings lines: every finding the scan kept,
// with its offset, part, kind and name, as the command line's JSON has them.
#pragma once

#include <cstdint>
#include <vector>

#include <wx/dialog.h>

#include "preview/FindingsSummary.h"

class wxListCtrl;

class FindingsDialog : public wxDialog {
public:
    FindingsDialog(wxWindow* parent, const std::vector<wxString>& lines,
                   const std::vector<vrz::FindingDetail>& details, std::uint64_t notKept);

    wxListCtrl* List() const { return m_list; }

private:
    wxListCtrl* m_list = nullptr;
};
