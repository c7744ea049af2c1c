#include "controls/CXListCtrl.h"

#include "controls/ListOrder.h"

CXListCtrl::CXListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_SINGLE_SEL | wxBORDER_NONE) {
    Bind(wxEVT_LIST_COL_CLICK, &CXListCtrl::OnColumnClick, this);
    Bind(wxEVT_LIST_DELETE_ALL_ITEMS, &CXListCtrl::OnDeleteAllItems, this);
}

CXListCtrl::~CXListCtrl() {
    // The base class empties the list after this object's members are gone;
    // its notification must not reach them.
    Unbind(wxEVT_LIST_DELETE_ALL_ITEMS, &CXListCtrl::OnDeleteAllItems, this);
}

void CXListCtrl::AddColumn(const wxString& title, int width) {
    const long column = InsertColumn(GetColumnCount(), title, wxLIST_FORMAT_LEFT, width);
    if (column == m_nSortColumn) ShowSortIndicator(m_nSortColumn, m_bAscending);
}

int CXListCtrl::CompareRows(const Row& a, const Row& b) const {
    if (a.pinned != b.pinned) return a.pinned ? -1 : 1;
    int result = 0;
    if (m_nSortColumn == 0 || m_nSortColumn == 2) {
        result = vrz::CompareNatural(a.name.ToStdWstring(), b.name.ToStdWstring());
    } else {
        result = vrz::CompareNumeric(a.size.ToStdWstring(), b.size.ToStdWstring());
        if (result == 0) result = vrz::CompareNatural(a.name.ToStdWstring(), b.name.ToStdWstring());
    }
    if (result == 0) result = a.serial < b.serial ? -1 : (a.serial > b.serial ? 1 : 0);
    // Pinned rows were settled above, so the direction flips only the rest.
    return m_bAscending ? result : -result;
}

long CXListCtrl::InsertSortedRow(const wxString& name, int image, const wxString& size, bool pinned,
                                 wxIntPtr tag) {
    Row row;
    row.name = name;
    row.size = size;
    row.pinned = pinned;
    row.tag = tag;
    row.serial = static_cast<long>(m_rows.size());

    // Binary search for the first row that sorts after the new one.
    long low = 0;
    long high = GetItemCount();
    while (low < high) {
        const long middle = low + (high - low) / 2;
        const Row& existing = m_rows[static_cast<std::size_t>(GetItemData(middle))];
        if (CompareRows(existing, row) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }

    m_rows.push_back(row);
    const long item = InsertItem(low, name, image);
    if (item < 0) {
        m_rows.pop_back();
        return item;
    }
    if (GetColumnCount() > 1) SetItem(item, 1, size);
    SetItemData(item, static_cast<long>(m_rows.size() - 1));
    return item;
}

wxIntPtr CXListCtrl::GetRowTag(long item) const {
    if (item < 0 || item >= GetItemCount()) return 0;
    const std::size_t index = static_cast<std::size_t>(GetItemData(item));
    return index < m_rows.size() ? m_rows[index].tag : 0;
}

int wxCALLBACK CXListCtrl::CompareItems(wxIntPtr first, wxIntPtr second, wxIntPtr list) {
    const CXListCtrl* self = reinterpret_cast<const CXListCtrl*>(list);
    return self->CompareRows(self->m_rows[static_cast<std::size_t>(first)],
                             self->m_rows[static_cast<std::size_t>(second)]);
}

void CXListCtrl::SortList(int column, bool ascending) {
    if (column < 0 || column >= GetColumnCount()) return;
    m_nSortColumn = column;
    m_bAscending = ascending;
    SortItems(&CXListCtrl::CompareItems, reinterpret_cast<wxIntPtr>(this));
    ShowSortIndicator(column, ascending);
}

void CXListCtrl::OnColumnClick(wxListEvent& event) {
    const int column = event.GetColumn();
    // A click on the sorted column turns the direction; another column starts
    // ascending.
    const bool ascending = column == m_nSortColumn ? !m_bAscending : true;
    SortList(column, ascending);
}

void CXListCtrl::OnDeleteAllItems(wxListEvent& event) {
    m_rows.clear();
    event.Skip();
}
