// Fonts of the pages: "Segoe UI" on the systems that had it, otherwise
// "Trebuchet MS"; Linux substitutes its own sans face for either.
#pragma once

#include <wx/font.h>

// True only on a system with major version 6; never on Linux.
extern bool g_isWindows6;

// A regular page font of pointSize points (scaled by the screen's DPI).
wxFont PageFont(int pointSize);
