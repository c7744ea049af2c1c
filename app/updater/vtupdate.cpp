// vtupdate: the wizard's update helper. On Linux the program comes with the
// system's packages, so a silent check has nothing to do and the menu's
// check says where updates come from.
#include <cstring>

#include <wx/app.h>
#include <wx/msgdlg.h>

namespace {

bool HasArgument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0) return true;
    }
    return false;
}

class UpdateNotice : public wxApp {
public:
    bool OnInit() override {
        wxMessageBox(wxString::Format("Vant Repair Zip %s is installed.\n\n"
                                      "Updates come with your system's package manager.",
                                      VRZ_PROGRAM_VERSION),
                     "Vant Repair Zip Update", wxOK | wxICON_INFORMATION);
        return false;
    }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(UpdateNotice);

int main(int argc, char** argv) {
    if (HasArgument(argc, argv, "/SilentCheck")) return 0;
    return wxEntry(argc, argv);
}
