// vtupdate: the wizard's update helper. The program comes with the system's
// packages, so there is nothing to download here (UpdateCheck.h).
#include <string>
#include <vector>

#include <wx/app.h>

#include "UpdateCheck.h"
#include "WxUpdatePrompt.h"

namespace {

// Set by OnInit; stays 1 when the toolkit could not start (no display).
int g_exitStatus = 1;

class UpdateApp : public wxApp {
public:
    bool OnInit() override {
        vrz::updater::WxUpdatePrompt prompt;
        g_exitStatus = vrz::updater::RunUpdateCheck({}, VRZ_PROGRAM_VERSION, VRZ_PROJECT_URL, prompt);
        return false;  // no main window: the boxes above were all there is
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(UpdateApp);

int main(int argc, char** argv) {
    // The silent check returns before the toolkit starts, so it needs no
    // display and can never show anything.
    const auto request = vrz::updater::ParseUpdateArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (request.silent) return 0;
    wxEntry(argc, argv);
    return g_exitStatus;
}
