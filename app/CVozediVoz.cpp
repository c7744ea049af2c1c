#include "CVozediVoz.h"

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/toplevel.h>

#include "CMainFrame.h"
#include "MessageBoxIcons.h"
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
    // Before the first box, which may be the one that says a copy already runs.
    ProvideMessageBoxIcons();

    // GTK takes its own options out of argv first; the first other word is the file.
    for (int i = 1; i < argc; ++i) {
        const wxString arg = argv[i];
        if (!arg.StartsWith("-")) {
            // Absolute, so a running copy started elsewhere finds it too.
            wxFileName file(arg);
            file.MakeAbsolute();
            g_commandLineFile = file.GetFullPath();
            break;
        }
    }

    // A second start asks this copy to come forward, perhaps with a file;
    // set up before the lock is taken, so the request can never find the
    // signal's default (fatal) action. wx runs the handler from the event loop.
    SetSignalHandler(kComeForwardSignal, [](int) {
        auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
        // Still starting: the file is taken once the window is up.
        if (frame == nullptr || frame->CurrentPage() == nullptr) return;
        BringToFront(*frame);
        frame->OpenPath(FromUtf8(TakeHandOver(InstanceFolder())));
    });
    m_instanceLock = std::make_unique<wxSingleInstanceChecker>();
    if (!TakeSingleInstanceLock(*m_instanceLock, g_commandLineFile)) return false;

    wxImage::AddHandler(new wxPNGHandler);

    auto* frame = new CMainFrame(g_commandLineFile);
    if (!frame->CreateFrame()) {
        frame->Destroy();
        return false;
    }
    SetTopWindow(frame);
    frame->Show();
    frame->Centre();
    // A second start that came while this one was still starting left its
    // file before there was a window to take it.
    frame->OpenPath(FromUtf8(TakeHandOver(InstanceFolder())));
    return true;
}

int CVozediVoz::OnExit() {
    // Every page has let its worker go by now; wait for them to end.
    JoinAllWorkerThreads();
    m_instanceLock.reset();
    return wxApp::OnExit();
}
