// The preview's list: a report view that keeps its rows sorted as they are
// inserted and re-sorts when a column header is clicked, showing the column
// and direction in the header. Pinned rows ("#Lost Files", "..") stay on top
// in either direction.
#pragma once

#include <vector>

#include <wx/listctrl.h>

class CXListCtrl : public wxListCtrl {
public:
    CXListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size);
    ~CXListCtrl() override;

    // Adds a left-aligned column; the first one added is the sorted one.
    void AddColumn(const wxString& title, int width);

    // Inserts a row where the current order puts it and returns its index.
    // The tag is the caller's, handed back by GetRowTag.
    long InsertSortedRow(const wxString& name, int image, const wxString& size, bool pinned, wxIntPtr tag);
    wxIntPtr GetRowTag(long item) const;

    // Re-sorts the rows by column, names naturally (column 0) and sizes
    // numerically (other columns), and shows the order in the header.
    void SortList(int column, bool ascending);

    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bAscending; }

private:
    struct Row {
        wxString name;
        wxString size;
        bool pinned = false;
        wxIntPtr tag = 0;
        long serial = 0;  // insertion order, the last tie-breaker
    };

    int CompareRows(const Row& a, const Row& b) const;
    static int wxCALLBACK CompareItems(wxIntPtr first, wxIntPtr second, wxIntPtr list);
    void OnColumnClick(wxListEvent& event);
    void OnDeleteAllItems(wxListEvent& event);

    // Rows by item data; item data is an index into this vector.
    std::vector<Row> m_rows;
    int m_nSortColumn = 0;
    bool m_bAscending = true;
};
