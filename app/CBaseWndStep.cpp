#include "CBaseWndStep.h"

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/filename.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "HelpMenu.h"
#include "PageFonts.h"
#include "PathChecks.h"
#include "PathDialogs.h"
#include "PathDropTarget.h"
#include "ResourceIds.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "scan/SplitFolderCheck.h"
#include "scan/SplitSetOfFile.h"
#include "text/LanguageTexts.h"

using namespace wizard;

wxBEGIN_EVENT_TABLE(CBaseWndStep, StepPage)
    EVT_BUTTON(kBrowseButton, CBaseWndStep::OnBrowseButton)
    EVT_BUTTON(kRepairButton, CBaseWndStep::OnRepairButton)
    EVT_MENU(MenuItemId(kMenuBrowseFile), CBaseWndStep::OnBrowseFile)
    EVT_MENU(MenuItemId(kMenuBrowseFolder), CBaseWndStep::OnBrowseFolder)
wxEND_EVENT_TABLE()

CBaseWndStep::CBaseWndStep(CMainFrame* frame) : StepPage(frame, kPageSource) {}

bool CBaseWndStep::BuildPage() {
    m_editFont = PageFont(10);
    TheJob().splitIsZipx = false;

    // A path may be typed or pasted too; it is checked when Repair is pressed.
    m_pathBox = new wxTextCtrl(this, kSourcePathBox, wxString(), wxPoint(108, 200), wxSize(550, 26),
                               wxBORDER_SIMPLE);
    m_pathBox->SetFont(m_editFont);
    // The box would take a dropped file as text; it chooses it like the page.
    const auto takeDrop = [this](const wxString& path) { return ChoosePath(path); };
    m_pathBox->SetDropTarget(new PathDropTarget(takeDrop));
    SetDropTarget(new PathDropTarget(takeDrop));
    m_noteLine = new wxStaticText(this, wxID_ANY, wxString(), wxPoint(108, 232), wxSize(550, 20));
    m_noteLine->Hide();

    m_browseButton = MakeButton(kBrowseButton, 670, 200, 774, 226, vrz::IDB_SMALL_BUTTON_NORMAL,
                                vrz::IDB_SMALL_BUTTON_HOVER, vrz::IDB_SMALL_BUTTON_PRESSED);
    m_repairButton = MakeButton(kRepairButton, 255, 280, 638, 379, vrz::IDB_REPAIR_BUTTON_NORMAL,
                                vrz::IDB_REPAIR_BUTTON_HOVER, vrz::IDB_REPAIR_BUTTON_PRESSED);
    if (!m_browseButton || !m_repairButton) return false;
    if (!CreateChrome(ChromeOptions{})) return false;
    RefreshLanguageTexts();
    return true;
}

void CBaseWndStep::RefreshLanguageTexts() {
    StepPage::RefreshLanguageTexts();
    m_browseButton->SetCaptions(LoadUiText("IDS_BROWSE", vrz::kTextCapacity));
    m_repairButton->SetCaptions(LoadUiText("IDS_REPAIR", vrz::kTextCapacity));
    SetHeading(LoadUiText("IDS_CTEXT1", vrz::kTextCapacity));
}

void CBaseWndStep::OnBrowseButton(wxCommandEvent&) {
    wxMenu* menu = BuildBrowseMenu();
    {
        ModalScope scope(*this);
        // The menu is centred on the button's left edge. GTK tells a menu's
        // width only once it is shown, so it is estimated from the labels.
        wxClientDC dc(this);
        dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
        int widest = 0;
        for (const wxMenuItem* item : menu->GetMenuItems()) {
            widest = std::max(widest, dc.GetTextExtent(item->GetItemLabelText()).x);
        }
        constexpr int kImageAndPadding = 60;
        const wxRect button = m_browseButton->GetRect();
        PopupMenu(menu, button.GetLeft() - (widest + kImageAndPadding) / 2, button.GetBottom() + 1);
    }
    delete menu;
}

void CBaseWndStep::OnBrowseFile(wxCommandEvent&) {
    vrz::JobState& job = TheJob();
    job.splitMode = false;
    job.bytesScanned = 0;
    job.jobRunning = true;
    ModalScope scope(*this);
    ArchiveFileDialog dialog(this);
    const wxString chosen = dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    if (!chosen.empty()) RememberSourceFolder(wxFileName(chosen).GetPath());
    ShowChosenFile(chosen);
}

void CBaseWndStep::ShowChosenFile(const wxString& path) {
    m_pathBox->SetValue(path);
    // A part of a split set beside its other parts: the whole set is repaired.
    std::string setFolder;
    const bool wholeSet = vrz::SplitSetBesideFile(ToUtf8(path), &setFolder);
    if (wholeSet) {
        TheJob().splitMode = true;
        m_pathBox->SetValue(wxString::FromUTF8(setFolder));
    }
    m_noteLine->SetLabel(wholeSet ? LoadUiText("IDS_SPLITSETNOTE", vrz::kTextCapacity) : wxString());
    m_noteLine->Show(wholeSet);
}

bool CBaseWndStep::ChoosePath(const wxString& path) {
    if (path.empty()) return false;
    vrz::JobState& job = TheJob();
    job.bytesScanned = 0;
    job.jobRunning = true;
    job.splitMode = ClassifySourcePath(ToUtf8(path)) == SourcePathKind::kFolder;
    if (job.splitMode) {
        m_pathBox->SetValue(path);
        m_noteLine->Hide();
    } else {
        ShowChosenFile(path);
    }
    m_repairButton->SetFocus();
    return true;
}

void CBaseWndStep::OnBrowseFolder(wxCommandEvent&) {
    vrz::JobState& job = TheJob();
    job.splitMode = true;
    job.bytesScanned = 0;
    job.jobRunning = true;
    ModalScope scope(*this);
    PartsFolderDialog dialog(this, LoadUiText("IDS_SELECT_PARTS_FOLDER", vrz::kTextCapacity));
    const wxString chosen = dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
    RememberSourceFolder(chosen);
    m_pathBox->SetValue(chosen);
    m_noteLine->Hide();
}

void CBaseWndStep::Refuse(const std::string& textKey, std::size_t textCapacity) {
    ShowInformation(textKey, textCapacity);
    m_pathBox->SetValue(wxString());
}

void CBaseWndStep::OnRepairButton(wxCommandEvent&) {
    vrz::JobState& job = TheJob();
    job.sourcePath = ToUtf8(m_pathBox->GetValue().Strip(wxString::both));
    if (job.sourcePath.empty()) {
        Refuse("IDS_WORD5", vrz::kTextCapacityCaption);
        return;
    }
    // A typed or pasted path says itself whether it is an archive or a
    // folder of parts; a chosen one agrees with the dialog it came from.
    switch (ClassifySourcePath(job.sourcePath)) {
        case SourcePathKind::kMissing:
            ShowMessage(LoadUiText("IDS_SOURCE_MISSING", vrz::kTextCapacity) + "\n\n" + FromUtf8(job.sourcePath),
                        LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption), wxOK | wxICON_INFORMATION);
            return;
        case SourcePathKind::kFolder:
            job.splitMode = true;
            break;
        case SourcePathKind::kFile:
            job.splitMode = false;
            std::string setFolder;
            if (vrz::SplitSetBesideFile(job.sourcePath, &setFolder)) {
                job.splitMode = true;
                job.sourcePath = setFolder;
            }
            break;
    }
    job.totalPartsSize = 0;
    if (job.splitMode) {
        bool isZipx = false;
        std::string lastPartName;
        const vrz::SplitFolderVerdict verdict = vrz::CheckSplitFolder(job.sourcePath, &isZipx, &lastPartName);
        if (verdict != vrz::SplitFolderVerdict::kOk) {
            Refuse(vrz::TextKeyFor(verdict), vrz::kTextCapacity);
            return;
        }
        job.splitIsZipx = isZipx;
        job.lastPartName = lastPartName;
    }
    SendNavigation(kShowRepair);
}
