// The dialogs every page offers: the About box and the tips note, filled with
// the program's texts, images and link handling.
#pragma once

#include <wx/string.h>

#include "CAboutDlg.h"

class wxWindow;

// The program's texts, version and link handling for the About box.
CAboutDlg::Content AboutContent();

// Runs the About box modally over owner.
void ShowAboutDialog(wxWindow* owner);

// Creates and shows the tips note for tip next to owner; the frame keeps it.
wxWindow* OpenTipsDialog(wxWindow* owner, const wxString& tip);
