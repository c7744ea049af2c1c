#include "ChromeDialogs.h"

#include "CAboutDlg.h"
#include "CTipsDlg.h"

void ShowAboutDialog(wxWindow* owner) { CAboutDlg::Run(owner); }

wxWindow* OpenTipsDialog(wxWindow* owner, const wxString& tip) { return new CTipsDlg(owner, tip); }
