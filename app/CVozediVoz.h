// The application object: fixes the program's paths and language, makes
// sure only one copy runs, and brings up the main frame.
#pragma once

#include <memory>

#include <wx/app.h>
#include <wx/snglinst.h>

// The file named on the command line; empty when none.
extern wxString g_commandLineFile;

class CVozediVoz : public wxApp {
public:
    bool OnInit() override;
    int OnExit() override;

private:
    std::unique_ptr<wxSingleInstanceChecker> m_instanceLock;
};
