// The preview's list: a report view that keeps its rows sorted as they are
// inserted and re-sorts when a column header is clicked, showing the column
// and direction in the header. Pinned rows ("#Lost Files", "..") stay on top
// in either direction. The rows live here and the control only asks for the
// ones it shows, so a folder of 100 000 entries fills at once.
#pragma once

#include <string>
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

    // Adds many rows at once, in the order inserting them one by one gives,
    // but sorted once.
    struct NewRow {
        wxString name;
        int image = 0;
        wxString size;
        bool pinned = false;
        wxIntPtr tag = 0;
        // A row that needs attention: its size shows in red and tip is its
        // tooltip. The caller picks the warning image.
        bool warning = false;
        wxString tip;
    };
    void InsertSortedRows(const std::vector<NewRow>& rows);
    bool RowWarns(long item) const;
    wxString RowTip(long item) const;
    // The note with a row's tip, shown just below the row the pointer is on;
    // null until the first tip was shown.
    wxWindow* TipWindow() const { return m_tipWindow; }
    // Shows item's tip below it, or hides the note when it has none.
    void ShowRowTip(long item);

    // Re-sorts the rows by column, names naturally (column 0) and sizes
    // numerically (other columns), and shows the order in the header.
    void SortList(int column, bool ascending);

    int SortColumn() const { return m_nSortColumn; }
    bool SortAscending() const { return m_bAscending; }

protected:
    wxString OnGetItemText(long item, long column) const override;
    // GTK's list draws one attribute per row (it never asks per column), so
    // a row that warns shows all its text in red.
    wxItemAttr* OnGetItemAttr(long item) const override;
    int OnGetItemImage(long item) const override;
    int OnGetItemColumnImage(long item, long column) const override;
    wxItemAttr* OnGetItemColumnAttr(long item, long column) const override;

private:
    struct Row {
        wxString name;
        wxString size;
        std::wstring nameKey;  // the texts the comparisons read, made once
        std::wstring sizeKey;
        int image = 0;
        bool pinned = false;
        wxIntPtr tag = 0;
        long serial = 0;  // insertion order, the last tie-breaker
        bool warning = false;
        wxString tip;
    };

    int CompareRows(const Row& a, const Row& b) const;
    void ForgetRowsIfEmptied();
    void AddRow(const wxString& name, int image, const wxString& size, bool pinned, wxIntPtr tag);
    const Row* RowAt(long item) const;
    void ShowRows();
    void OnColumnClick(wxListEvent& event);
    void OnDeleteAllItems(wxListEvent& event);
    void OnMouseMotion(wxMouseEvent& event);
    void OnMouseLeave(wxMouseEvent& event);

    std::vector<Row> m_rows;           // in insertion order
    std::vector<std::size_t> m_order;  // display order: indexes into m_rows
    int m_nSortColumn = 0;
    bool m_bAscending = true;
    mutable wxItemAttr m_warningAttr;
    long m_tipItem = -1;
    wxWindow* m_rowsWindow = nullptr;
    wxWindow* m_tipWindow = nullptr;
    class wxStaticText* m_tipText = nullptr;
};
