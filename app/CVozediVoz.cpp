#include "CVozediVoz.h"

#include <wx/image.h>
#include <wx/toplevel.h>

#include "CMainFrame.h"
#include "PageFonts.h"
#include "SingleInstance.h"
#include "UiText.h"
#include "WizardJob.h"
#include "text/ProgramPaths.h"

wxString g_commandLineFile;

bool CVozediVoz::OnInit() {
    SetAppName("vant-repair-zip");
    // The program folder is the executable's folder, wherever it was started from.
    vrz::ResolveProgramPaths(vrz::ExecutableFolder());

    // A second start asks this copy to come forward; set up before the lock
    // is taken, so the request can never find the signal's default (fatal) action.
    SetSignalHandler(kComeForwardSignal, [](int) {
        if (auto* top = dynamic_cast<wxTopLevelWindow*>(wxTheApp->GetTopWindow())) BringToFront(*top);
    });
    m_instanceLock = std::make_unique<wxSingleInstanceChecker>();
    if (!TakeSingleInstanceLock(*m_instanceLock)) return false;

    wxImage::AddHandler(new wxPNGHandler);
    // GTK takes its own options out of argv first; the first other word is the file.
    for (int i = 1; i < argc; ++i) {
        const wxString arg = argv[i];
        if (!arg.StartsWith("-")) {
            g_commandLineFile = arg;
            break;
        }
    }

    auto* frame = new CMainFrame(g_commandLineFile);
    if (!frame->CreateFrame()) {
        frame->Destroy();
        return false;
    }
    SetTopWindow(frame);
    frame->Show();
    frame->Centre();
    return true;
}

int CVozediVoz::OnExit() {
    // Every page has let its worker go by now; wait for them to end.
    JoinAllWorkerThreads();
    m_instanceLock.reset();
    return wxApp::OnExit();
}
