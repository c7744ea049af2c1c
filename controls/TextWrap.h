// Word-wrapped text drawing for notes: lines break at spaces, and a word
// wider than the box breaks between characters.
#pragma once

#include <vector>

#include <wx/dc.h>

// The lines text takes in a box width pixels wide with the DC's font.
std::vector<wxString> WrapText(const wxDC& dc, const wxString& text, int width);

// Draws the wrapped lines from the box's top-left corner, clipped to the box.
void DrawWrappedText(wxDC& dc, const wxString& text, const wxRect& box);
