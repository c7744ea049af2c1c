// Fonts of the pages: "Trebuchet MS", or where it is not installed a face of
// similar width.
#pragma once

#include <wx/font.h>
#include <wx/string.h>

// The face to ask for in place of face: face itself when installed, else a
// stand-in of similar width when there is one.
wxString InstalledFace(const wxString& face);

// A regular page font of pointSize points (scaled by the screen's DPI).
wxFont PageFont(int pointSize);
