// The two dialogs the chrome opens: the About box (modal, from the help
// menu) and the tips note (modeless, owned by the frame).
#pragma once

#include <wx/string.h>

class wxWindow;

// Shows the About box owned by owner and returns when it is closed.
void ShowAboutDialog(wxWindow* owner);

// Opens the tips note for tip at the bottom right of owner; nullptr when it
// could not be made. The note closes itself; owner may destroy it earlier.
wxWindow* OpenTipsDialog(wxWindow* owner, const wxString& tip);
