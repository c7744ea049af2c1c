#include "controls/CXListCtrl.h"

#include <algorithm>

#include <wx/popupwin.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "controls/ListOrder.h"

CXListCtrl::CXListCtrl(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxListCtrl(parent, id, pos, size, wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL | wxBORDER_NONE) {
    Bind(wxEVT_LIST_COL_CLICK, &CXListCtrl::OnColumnClick, this);
    Bind(wxEVT_LIST_DELETE_ALL_ITEMS, &CXListCtrl::OnDeleteAllItems, this);
    m_warningAttr.SetTextColour(wxColour(200, 0, 0));
    // The rows are drawn by an inner window (the tallest child, below the
    // header), which is where the mouse moves and where a tooltip shows.
    for (wxWindow* child : GetChildren()) {
        if (!m_rowsWindow || child->GetSize().y > m_rowsWindow->GetSize().y) m_rowsWindow = child;
    }
    if (!m_rowsWindow) m_rowsWindow = this;
    m_rowsWindow->Bind(wxEVT_MOTION, &CXListCtrl::OnMouseMotion, this);
    m_rowsWindow->Bind(wxEVT_LEAVE_WINDOW, &CXListCtrl::OnMouseLeave, this);
}

CXListCtrl::~CXListCtrl() {
    // The base class empties the list after this object's members are gone;
    // its notification must not reach them.
    Unbind(wxEVT_LIST_DELETE_ALL_ITEMS, &CXListCtrl::OnDeleteAllItems, this);
    m_rowsWindow->Unbind(wxEVT_MOTION, &CXListCtrl::OnMouseMotion, this);
    m_rowsWindow->Unbind(wxEVT_LEAVE_WINDOW, &CXListCtrl::OnMouseLeave, this);
    if (m_tipWindow) m_tipWindow->Destroy();
}

void CXListCtrl::AddColumn(const wxString& title, int width) {
    const long column = InsertColumn(GetColumnCount(), title, wxLIST_FORMAT_LEFT, width);
    if (column == m_nSortColumn) ShowSortIndicator(m_nSortColumn, m_bAscending);
}

int CXListCtrl::CompareRows(const Row& a, const Row& b) const {
    if (a.pinned != b.pinned) return a.pinned ? -1 : 1;
    int result = 0;
    if (m_nSortColumn == 0 || m_nSortColumn == 2) {
        result = vrz::CompareNatural(a.nameKey, b.nameKey);
    } else {
        result = vrz::CompareNumeric(a.sizeKey, b.sizeKey);
        if (result == 0) result = vrz::CompareNatural(a.nameKey, b.nameKey);
    }
    if (result == 0) result = a.serial < b.serial ? -1 : (a.serial > b.serial ? 1 : 0);
    // Pinned rows were settled above, so the direction flips only the rest.
    return m_bAscending ? result : -result;
}

void CXListCtrl::ForgetRowsIfEmptied() {
    // A list emptied by DeleteAllItems starts its rows afresh.
    if (GetItemCount() == 0) {
        m_rows.clear();
        m_order.clear();
    }
}

void CXListCtrl::AddRow(const wxString& name, int image, const wxString& size, bool pinned, wxIntPtr tag) {
    Row row;
    row.name = name;
    row.size = size;
    row.nameKey = name.ToStdWstring();
    row.sizeKey = size.ToStdWstring();
    row.image = image;
    row.pinned = pinned;
    row.tag = tag;
    row.serial = static_cast<long>(m_rows.size());
    m_rows.push_back(std::move(row));
}

void CXListCtrl::ShowRows() {
    SetItemCount(static_cast<long>(m_order.size()));
    Refresh();
}

long CXListCtrl::InsertSortedRow(const wxString& name, int image, const wxString& size, bool pinned,
                                 wxIntPtr tag) {
    ForgetRowsIfEmptied();
    AddRow(name, image, size, pinned, tag);
    const std::size_t added = m_rows.size() - 1;
    // The first row that sorts after the new one.
    const auto at = std::upper_bound(m_order.begin(), m_order.end(), added, [this](std::size_t a, std::size_t b) {
        return CompareRows(m_rows[a], m_rows[b]) < 0;
    });
    const long item = static_cast<long>(at - m_order.begin());
    m_order.insert(at, added);
    ShowRows();
    return item;
}

void CXListCtrl::InsertSortedRows(const std::vector<NewRow>& rows) {
    ForgetRowsIfEmptied();
    for (const NewRow& row : rows) {
        AddRow(row.name, row.image, row.size, row.pinned, row.tag);
        m_rows.back().warning = row.warning;
        m_rows.back().tip = row.tip;
    }
    m_order.resize(m_rows.size());
    for (std::size_t i = 0; i < m_order.size(); ++i) m_order[i] = i;
    // The serial breaks every tie, so this is exactly the one-by-one order.
    std::sort(m_order.begin(), m_order.end(),
              [this](std::size_t a, std::size_t b) { return CompareRows(m_rows[a], m_rows[b]) < 0; });
    ShowRows();
}

const CXListCtrl::Row* CXListCtrl::RowAt(long item) const {
    if (item < 0 || static_cast<std::size_t>(item) >= m_order.size()) return nullptr;
    return &m_rows[m_order[static_cast<std::size_t>(item)]];
}

wxIntPtr CXListCtrl::GetRowTag(long item) const {
    const Row* row = RowAt(item);
    return row ? row->tag : 0;
}

wxString CXListCtrl::OnGetItemText(long item, long column) const {
    const Row* row = RowAt(item);
    if (!row) return wxString();
    return column == 0 ? row->name : (column == 1 ? row->size : wxString());
}

int CXListCtrl::OnGetItemImage(long item) const {
    const Row* row = RowAt(item);
    return row ? row->image : -1;
}

int CXListCtrl::OnGetItemColumnImage(long item, long column) const {
    return column == 0 ? OnGetItemImage(item) : -1;
}

wxItemAttr* CXListCtrl::OnGetItemColumnAttr(long item, long column) const {
    return column == 1 && RowWarns(item) ? &m_warningAttr : nullptr;
}

wxItemAttr* CXListCtrl::OnGetItemAttr(long item) const {
    return RowWarns(item) ? &m_warningAttr : nullptr;
}

bool CXListCtrl::RowWarns(long item) const {
    const Row* row = RowAt(item);
    return row && row->warning;
}

wxString CXListCtrl::RowTip(long item) const {
    const Row* row = RowAt(item);
    return row ? row->tip : wxString();
}

void CXListCtrl::OnMouseMotion(wxMouseEvent& event) {
    event.Skip();
    int flags = 0;
    const long item = HitTest(event.GetPosition(), flags);
    if (item == m_tipItem) return;
    ShowRowTip(item);
}

void CXListCtrl::OnMouseLeave(wxMouseEvent& event) {
    event.Skip();
    ShowRowTip(-1);
}

void CXListCtrl::ShowRowTip(long item) {
    m_tipItem = item;
    const wxString tip = RowTip(item);
    wxRect row;
    if (tip.empty() || !GetItemRect(item, row)) {
        if (m_tipWindow) m_tipWindow->Hide();
        return;
    }
    if (!m_tipWindow) {
        auto* popup = new wxPopupWindow(this, wxBORDER_SIMPLE);
        popup->SetBackgroundColour(wxColour(255, 255, 225));
        m_tipText = new wxStaticText(popup, wxID_ANY, wxString());
        m_tipText->SetForegroundColour(*wxBLACK);
        m_tipWindow = popup;
    }
    m_tipText->SetLabel(tip);
    m_tipText->Wrap(420);
    const wxSize text = m_tipText->GetBestSize();
    m_tipText->SetPosition(wxPoint(6, 4));
    m_tipText->SetSize(text);
    m_tipWindow->SetClientSize(text.x + 12, text.y + 8);
    // Just below the row, under its name, so the note reads as the row's own.
    m_tipWindow->Move(ClientToScreen(wxPoint(row.x + 24, row.GetBottom() + 2)));
    m_tipWindow->Show();
}

void CXListCtrl::SortList(int column, bool ascending) {
    if (column < 0 || column >= GetColumnCount()) return;
    m_nSortColumn = column;
    m_bAscending = ascending;
    std::sort(m_order.begin(), m_order.end(),
              [this](std::size_t a, std::size_t b) { return CompareRows(m_rows[a], m_rows[b]) < 0; });
    ShowSortIndicator(column, ascending);
    Refresh();
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
    m_order.clear();
    m_tipItem = -1;
    if (m_tipWindow) m_tipWindow->Hide();
    event.Skip();
}
