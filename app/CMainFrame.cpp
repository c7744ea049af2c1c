#include "CMainFrame.h"

#include <wx/dcbuffer.h>
#include <wx/msgdlg.h>
#include <wx/settings.h>

#include "CBaseWndStep.h"
#include "ChromeDialogs.h"
#include "ImageResources.h"
#include "PageFactory.h"
#include "ResourceIds.h"
#include "ShellLaunch.h"
#include "StepPageChrome.h"
#include "TipOfTheDay.h"
#include "UiText.h"
#include "WizardIds.h"
#include "WizardJob.h"
#include "text/LanguageTexts.h"

wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    EVT_PAINT(CMainFrame::OnPaint)
    EVT_SIZE(CMainFrame::OnSize)
    EVT_MOVE(CMainFrame::OnMove)
    EVT_CLOSE(CMainFrame::OnClose)
wxEND_EVENT_TABLE()

CMainFrame::CMainFrame(const wxString& commandLineFile) : m_commandLineFile(commandLineFile) {
    Bind(wxEVT_CHAR_HOOK, &CMainFrame::OnCharHook, this);
}

void CMainFrame::OnCharHook(wxKeyEvent& event) {
    // A key pressed while no control of the page has the keyboard (the frame
    // itself has it) still belongs to the page: Escape cancels a scan.
    auto* origin = dynamic_cast<wxWindow*>(event.GetEventObject());
    const bool fromPage = origin != nullptr && m_currentPage != nullptr &&
                          (origin == m_currentPage || m_currentPage->IsDescendant(origin));
    if (m_currentPage != nullptr && !fromPage) {
        event.SetEventObject(m_currentPage);
        if (m_currentPage->GetEventHandler()->ProcessEvent(event)) return;
    }
    event.Skip();
}

CMainFrame::~CMainFrame() { DestroyCurrentPage(); }

bool CMainFrame::CreateFrame() {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    if (!Create(nullptr, wxID_ANY, "Vant Repair Zip", wxDefaultPosition, wxDefaultSize,
                // The pages are laid out for one size: nothing to maximize or drag larger.
                wxDEFAULT_FRAME_STYLE & ~(wxMAXIMIZE_BOX | wxRESIZE_BORDER))) {
        return false;
    }
    FixStepWindowSize();
    // A quiet update check; whatever it says is its own business.
    StartProgram(ProgramFile("vtupdate"), {"/SilentCheck", "/NoIcon", "/NoUpdateSelf"});
    SetIcons(LoadIconBundle(vrz::IDI_PROGRAM));
    Navigate(wizard::kShowSource);
    if (m_currentPage == nullptr) return false;
    if (!m_commandLineFile.empty()) static_cast<CBaseWndStep*>(m_currentPage)->ChoosePath(m_commandLineFile);
    return true;
}

bool CMainFrame::OpenPath(const wxString& path) {
    if (path.empty() || m_currentPage == nullptr) return false;
    if (g_workerThread.IsSet() || g_saveThread.IsSet()) return false;
    m_currentPage->RunWhenNoModal([this, path] {
        if (m_currentPageId != wizard::kPageSource) Navigate(wizard::kShowSource);
        if (auto* source = dynamic_cast<CBaseWndStep*>(m_currentPage)) source->ChoosePath(path);
    });
    return true;
}

void CMainFrame::FixStepWindowSize() {
    const wxSize client(chrome::kClientWidth, chrome::kClientHeight);
    if (GetClientSize() == client && GetMinClientSize() == client) return;
    SetMinClientSize(client);
    SetMaxClientSize(client);
    SetClientSize(client);
}

void CMainFrame::DestroyCurrentPage() {
    if (m_currentPage == nullptr) return;
    StepPage* page = m_currentPage;
    m_currentPage = nullptr;
    m_currentPageId = 0;
    delete page;
}

void CMainFrame::Navigate(int command) {
    m_history.push_back(command);
    const PageRegistration* registration = FindPageForCommand(command);
    if (registration == nullptr) return;
    // The note belongs to the page it was opened on.
    CloseTips();
    DestroyCurrentPage();
    StepPage* page = registration->make(this);
    if (page == nullptr) {
        Refresh();
        return;
    }
    m_currentPage = page;
    m_currentPageId = registration->pageId;
    page->SetSize(GetClientSize());
}

void CMainFrame::ShowTips() {
    if (wxWindow* old = m_tipsDialog.get()) old->Destroy();
    m_tipsDialog = OpenTipsDialog(this, g_currentTip);
}

void CMainFrame::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    chrome::PaintBands(dc, GetClientSize());
}

void CMainFrame::OnSize(wxSizeEvent& event) {
    event.Skip();
    if (m_currentPage != nullptr) m_currentPage->SetSize(GetClientSize());
    Refresh();
}

void CMainFrame::CloseTips() {
    wxWindow* tips = m_tipsDialog.get();
    m_tipsDialog = nullptr;
    if (tips) tips->Destroy();
}

void CMainFrame::OnMove(wxMoveEvent& event) {
    CloseTips();
    event.Skip();
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    if ((g_workerThread.IsSet() || g_saveThread.IsSet()) && event.CanVeto()) {
        wxMessageDialog box(this, LoadUiText("IDS_WORD17", vrz::kTextCapacityCaption),
                            LoadUiText("IDS_INFORMATION", vrz::kTextCapacityCaption), wxOK | wxICON_INFORMATION);
        box.ShowModal();
        event.Veto();
        return;
    }
    if (wxWindow* tips = m_tipsDialog.get()) tips->Destroy();
    Destroy();
}
