// Runs the GoogleTest cases of the wizard's later steps inside a wx
// application, so they can make real windows on the (virtual) display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <wx/app.h>
#include <wx/apptrait.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include "text/ProgramPaths.h"

namespace {

// Log messages go to the test's output. The default target shows them in a
// message box that nobody answers, which hangs the run (GTK's warnings are
// logged too, for instance while the display starts up).
class GuiTestTraits : public wxGUIAppTraits {
public:
    wxLog* CreateLogTarget() override { return new wxLogStderr; }
};

class GuiTestApp : public wxApp {
public:
    wxAppTraits* CreateTraits() override { return new GuiTestTraits; }
    bool OnInit() override {
        wxInitAllImageHandlers();
        return true;
    }
};

// A failed wx assertion is a failed test, not a dialog nobody answers.
void AssertToTestFailure(const wxString& file, int line, const wxString& func, const wxString& cond,
                         const wxString& msg) {
    ADD_FAILURE_AT(file.ToStdString().c_str(), line)
        << "wx assertion in " << func.ToStdString() << ": " << cond.ToStdString() << " " << msg.ToStdString();
}

}  // namespace

int main(int argc, char** argv) {
    // Line by line, so a run that dies still shows how far it got.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    // The accessibility bus is absent on the virtual display; looking for it
    // only logs a warning now and then.
    setenv("NO_AT_BRIDGE", "1", 0);
    wxApp::SetInstance(new GuiTestApp);
    // Many test processes start on one virtual display at once; a refused
    // connection is tried again before the run counts as failed.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) {
            wxApp::SetInstance(new GuiTestApp);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        started = wxEntryStart(argc, argv);
    }
    if (!started || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "gui_tests: the display could not be opened\n");
        return 2;
    }
    wxSetAssertHandler(AssertToTestFailure);
    // The language files and help pages sit beside the test program.
    vrz::ResolveProgramPaths(vrz::ExecutableFolder());
    const int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
