#include "preview/CPreviewPage.h"

#include <algorithm>

#include <wx/artprov.h>
#include <wx/control.h>
#include <wx/dc.h>
#include <wx/listctrl.h>

#include "ResourceIds.h"
#include "app/ImageResources.h"
#include "app/PageFonts.h"
#include "app/UiText.h"
#include "app/WizardIds.h"
#include "app/WizardJob.h"
#include "controls/CHyperLink.h"
#include "controls/CXListCtrl.h"
#include "preview/FindingsDialog.h"
#include "preview/FindingsSummary.h"
#include "preview/VerificationTexts.h"
#include "text/LanguageTexts.h"

namespace {

constexpr int kFolderImage = 0;
constexpr int kFileImage = 1;
constexpr int kWarningImage = 2;
constexpr int kFolderWarningImage = 3;
const wxPoint kTotalsOrigin(60, 440);
// The findings lines sit right of the totals, above the tip band.
constexpr int kFindingsLeft = 300;
constexpr int kFindingsRight = 822;
constexpr int kFindingsTop = 440;
constexpr int kFindingsLineHeight = 16;
constexpr std::size_t kFindingsShown = 3;

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

// The folder icon with the warning sign over its lower right corner: a
// folder that holds damaged entries.
wxBitmap FolderWithWarning(const wxBitmap& folder, const wxBitmap& warning) {
    wxImage base = folder.ConvertToImage();
    if (!base.HasAlpha()) base.InitAlpha();
    const wxImage sign = warning.ConvertToImage().Scale(11, 11, wxIMAGE_QUALITY_HIGH);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 11; ++x) {
            const int alpha = sign.HasAlpha() ? sign.GetAlpha(x, y) : 255;
            if (alpha < 128) continue;
            base.SetRGB(x + 5, y + 5, sign.GetRed(x, y), sign.GetGreen(x, y), sign.GetBlue(x, y));
            base.SetAlpha(x + 5, y + 5, 255);
        }
    }
    return wxBitmap(base);
}

wxString Text(const char* key) { return LoadUiText(key, vrz::kTextCapacity); }

std::string TextUtf8(const std::string& key) { return ToUtf8(LoadUiText(key, vrz::kTextCapacity)); }

}  // namespace

CPreviewPage::CPreviewPage(CMainFrame* frame)
    : StepPage(frame, wizard::kPagePreview), m_job(TheJobShared()), m_images(16, 16, true, 4) {}

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
    const wxBitmap warning = wxArtProvider::GetBitmap(wxART_WARNING, wxART_LIST, wxSize(16, 16));
    m_images.Add(warning);
    m_images.Add(FolderWithWarning(ListIcon(vrz::IDB_FOLDER), warning));
    m_pList->SetImageList(&m_images, wxIMAGE_LIST_SMALL);

    m_model = std::make_unique<vrz::PreviewModel>(*m_job);
    m_job->recoveredSizeKB = m_model->RecoveredSizeKB();
    FillList();

    m_pDetailsLink = new CHyperLink(this, IDC_FINDING_DETAILS, Text("IDS_DETAILS"), wxPoint(60, 462));
    m_pDetailsLink->SetFont(m_textFont);
    m_pDetailsLink->SetTextColour(*wxWHITE);
    m_pDetailsLink->SetUnderlineColours(*wxWHITE, *wxWHITE, *wxWHITE);
    m_pDetailsLink->SetBackgroundFill(chrome::MiddleColour());
    BuildTexts();

    Bind(wxEVT_LIST_ITEM_ACTIVATED, &CPreviewPage::OnItemActivated, this, IDC_ENTRY_LIST);
    Bind(wxEVT_BUTTON, &CPreviewPage::OnNext, this, IDC_NEXT);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ShowFindingDetails(); }, IDC_FINDING_DETAILS);
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
        added.name = row.kind == vrz::PreviewRowKind::kLostFiles ? Text("IDS_LOST_FILES")
                     : row.kind == vrz::PreviewRowKind::kParent  ? Text("IDS_PARENT_ROW")
                                                                 : FromUtf8(row.label);
        added.image = file ? kFileImage : kFolderImage;
        if (row.IsDamaged()) {
            // A damaged entry is still written; the row, and every folder
            // above it, says so before the save.
            added.image = file ? kWarningImage : kFolderWarningImage;
            added.warning = true;
            if (file) {
                added.tip = Text(vrz::ReasonTextKey(row.entry->check.reason).c_str()) + "\n" + Text("IDS_DAMAGED_KEPT");
            } else {
                added.tip = wxString::Format(Text("IDS_DAMAGED_INSIDE"), static_cast<int>(row.damagedCount));
            }
        }
        if (row.kind != vrz::PreviewRowKind::kParent) added.size = wxString::Format("%llu", static_cast<unsigned long long>(row.sizeKB));
        added.pinned = row.kind == vrz::PreviewRowKind::kLostFiles || row.kind == vrz::PreviewRowKind::kParent;
        added.tag = static_cast<wxIntPtr>(i);
    }
    m_pList->Freeze();
    m_pList->DeleteAllItems();
    m_pList->InsertSortedRows(listRows);
    m_pList->Thaw();
}

void CPreviewPage::BuildTexts() {
    m_strTotals = FromUtf8(m_model->TotalsText(TextUtf8("IDS_TOTALFILES"), TextUtf8("IDS_DAMAGED_TOTAL")));
    const vrz::TextLookup text = [](const std::string& key) { return TextUtf8(key); };
    m_findingLines.clear();
    const std::vector<std::string> lines = vrz::FindingLines(*m_job, text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i + 1 == kFindingsShown && lines.size() > kFindingsShown) {
            m_findingLines.push_back(wxString::Format(Text("IDS_FINDINGS_MORE"), static_cast<int>(lines.size() - i)));
            break;
        }
        m_findingLines.push_back(FromUtf8(lines[i]));
    }
    m_allFindingLines.clear();
    for (const std::string& line : lines) m_allFindingLines.push_back(FromUtf8(line));
    if (m_pDetailsLink) {
        m_pDetailsLink->SetLabel(Text("IDS_DETAILS"));
        m_pDetailsLink->Show(!lines.empty());
    }
}

void CPreviewPage::ShowFindingDetails() {
    const vrz::TextLookup text = [](const std::string& key) { return TextUtf8(key); };
    FindingsDialog dialog(this, m_allFindingLines, vrz::FindingDetails(*m_job, text), m_job->findings.Dropped());
    ModalScope scope(*this);
    dialog.ShowModal();
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
    if (m_model) {
        BuildTexts();
        FillList();
    }
    Refresh();
}

void CPreviewPage::PaintContent(wxDC& dc) {
    dc.SetFont(m_textFont);
    dc.SetBackgroundMode(wxBRUSHSTYLE_SOLID);
    dc.SetTextForeground(*wxWHITE);
    dc.SetTextBackground(chrome::MiddleColour());
    dc.DrawText(m_strTotals, kTotalsOrigin);
    const int left = std::max(kFindingsLeft, kTotalsOrigin.x + dc.GetTextExtent(m_strTotals).x + 40);
    for (std::size_t i = 0; i < m_findingLines.size(); ++i) {
        const wxString line = wxControl::Ellipsize(m_findingLines[i], dc, wxELLIPSIZE_END, kFindingsRight - left);
        dc.DrawText(line, left, kFindingsTop + static_cast<int>(i) * kFindingsLineHeight);
    }
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
}
