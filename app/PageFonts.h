// Fonts of the pages: "Segoe UI" on the systems that had it, otherwise
// "Trebuchet MS". Where a face is not installed a close one stands in.
#pragma once

#include <wx/font.h>
#include <wx/string.h>

// True only on a system with major version 6; never on Linux.
extern bool g_isWindows6;

// The face to ask for in place of face: face itself when installed, else a
// stand-in of similar width when there is one.
wxString InstalledFace(const wxString& face);

// A regular page font of pointSize points (scaled by the screen's DPI).
wxFont PageFont(int pointSize);
