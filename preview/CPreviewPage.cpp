#include "preview/CPreviewPage.h"

#include <wx/artprov.h>
#include <wx/dc.h>
#include <wx/listctrl.h>

#include "ResourceIds.h"
#include "app/ImageResources.h"
#include "app/PageFonts.h"
#include "app/UiText.h"
#include "app/WizardIds.h"
#include "app/WizardJob.h"
#include "controls/CXListCtrl.h"
#include "preview/VerificationTexts.h"
#include "text/LanguageTexts.h"

namespace {

constexpr int kFolderImage = 0;
constexpr int kFileImage = 1;
constexpr int kWarningImage = 2;
const wxPoint kTotalsOrigin(60, 440);

// A 16 x 16 icon from our artwork; a transparent cell when it is missing, so
// the file icon keeps its index.
wxBitmap ListIcon(int id) {
    wxBitmap bitmap = LoadPngResource(id);
    if (bitmap.IsOk() && bitmap.GetWidth() == 16 && bitmap.GetHeight() == 16) return bitmap;
    wxImage blank(16, 16);
    blank.InitAlpha();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) blank.SetAlpha(x, y, 0);
    }
    return wxBitmap(blank);
}

}  // namespace

CPreviewPage::CPreviewPage(CMainFrame* frame)
    : StepPage(frame, wizard::kPagePreview), m_job(TheJobShared()), m_images(16, 16, true, 3) {}

CPreviewPage::~CPreviewPage() = default;

bool CPreviewPage::BuildPage() {
    m_textFont = PageFont(10);

    ChromeOptions chrome;
    chrome.homeButton = true;
    chrome.faq.leftExtra = 36;
    chrome.faq.rightGap = 20;
    m_pNextButton = MakeButton(IDC_NEXT, 835, 426, 868, 458, vrz::IDB_NEXT_NORMAL, vrz::IDB_NEXT_HOVER,
                               vrz::IDB_NEXT_PRESSED);
    if (m_pNextButton == nullptr) return false;
    m_pNextButton->m_bSticky = true;
    SetHeading(LoadUiText("IDS_CTEXT3", vrz::kTextCapacity));
    if (!CreateChrome(chrome)) return false;

    m_pList = new CXListCtrl(this, IDC_ENTRY_LIST, wxPoint(60, 105), wxSize(824 - 60, 419 - 105));
    if (m_pList->GetHandle() == nullptr) return false;
    m_pList->AddColumn(LoadUiText("IDS_COLUMN_NAME", vrz::kTextCapacity), 500);
    m_pList->AddColumn(LoadUiText("IDS_COLUMN_SIZE", vrz::kTextCapacity), 250);
    m_images.Add(ListIcon(vrz::IDB_FOLDER));
    m_images.Add(ListIcon(vrz::IDB_FILE));
    m_images.Add(wxArtProvider::GetBitmap(wxART_WARNING, wxART_LIST, wxSize(16, 16)));
    m_pList->SetImageList(&m_images, wxIMAGE_LIST_SMALL);

    m_model = std::make_unique<vrz::PreviewModel>(*m_job);
    m_job->recoveredSizeKB = m_model->RecoveredSizeKB();
    FillList();
    m_strTotals = FromUtf8(m_model->TotalsText(ToUtf8(LoadUiText("IDS_TOTALFILES", vrz::kTextCapacity)),
                                               ToUtf8(LoadUiText("IDS_DAMAGED_TOTAL", vrz::kTextCapacity))));

    Bind(wxEVT_LIST_ITEM_ACTIVATED, &CPreviewPage::OnItemActivated, this, IDC_ENTRY_LIST);
    Bind(wxEVT_BUTTON, &CPreviewPage::OnNext, this, IDC_NEXT);
    Bind(wxEVT_BUTTON, &CPreviewPage::OnHomeAlias, this, IDC_HOME_ALIAS);
    Bind(wxEVT_MENU, &CPreviewPage::OnHomeAlias, this, IDC_HOME_ALIAS);
    return true;
}

void CPreviewPage::FillList() {
    const std::vector<vrz::PreviewRow>& rows = m_model->Rows();
    std::vector<CXListCtrl::NewRow> listRows(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const vrz::PreviewRow& row = rows[i];
        const bool file = row.kind == vrz::PreviewRowKind::kFile;
        CXListCtrl::NewRow& added = listRows[i];
        added.name = FromUtf8(row.label);
        added.image = file ? kFileImage : kFolderImage;
        if (row.IsDamaged()) {
            // A damaged entry is still written; the row says so before the save.
            added.image = kWarningImage;
            added.warning = true;
            added.tip = LoadUiText(vrz::ReasonTextKey(row.entry->check.reason), vrz::kTextCapacity);
        }
        if (file) added.size = wxString::Format("%llu", static_cast<unsigned long long>(row.sizeKB));
        added.pinned = row.kind == vrz::PreviewRowKind::kLostFiles || row.kind == vrz::PreviewRowKind::kParent;
        added.tag = static_cast<wxIntPtr>(i);
    }
    m_pList->Freeze();
    m_pList->DeleteAllItems();
    m_pList->InsertSortedRows(listRows);
    m_pList->Thaw();
}

void CPreviewPage::ActivateItem(long item) {
    if (item < 0 || item >= m_pList->GetItemCount()) return;
    const std::size_t row = static_cast<std::size_t>(m_pList->GetRowTag(item));
    if (m_model->Activate(row) == vrz::PreviewModel::Navigation::kNone) return;
    FillList();
    // Refilling drops the list's focus row; the keyboard stays in the list,
    // on the first row of the folder just opened.
    m_pList->SetFocus();
    if (m_pList->GetItemCount() > 0) {
        m_pList->SetItemState(0, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                              wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    }
}

void CPreviewPage::OnItemActivated(wxListEvent& event) {
    ActivateItem(event.GetIndex());
}

void CPreviewPage::OnNext(wxCommandEvent&) {
    SendNavigation(wizard::kShowSave);
}

void CPreviewPage::OnHomeAlias(wxCommandEvent&) {
    SendNavigation(wizard::kShowSource);
}

void CPreviewPage::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    SetHeading(LoadUiText("IDS_CTEXT3", vrz::kTextCapacity));
    if (m_pList && m_pList->GetColumnCount() == 2) {
        const char* const keys[] = {"IDS_COLUMN_NAME", "IDS_COLUMN_SIZE"};
        for (int column = 0; column < 2; ++column) {
            wxListItem header;
            header.SetMask(wxLIST_MASK_TEXT);
            header.SetText(LoadUiText(keys[column], vrz::kTextCapacity));
            m_pList->SetColumn(column, header);
        }
    }
    if (m_model) m_strTotals = FromUtf8(m_model->TotalsText(ToUtf8(LoadUiText("IDS_TOTALFILES", vrz::kTextCapacity))));
    Refresh();
}

void CPreviewPage::PaintContent(wxDC& dc) {
    dc.SetFont(m_textFont);
    dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
    dc.SetTextForeground(*wxWHITE);
    dc.SetTextBackground(chrome::MiddleColour());
    dc.DrawText(m_strTotals, kTotalsOrigin);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}
