// Sizes and texts of the tips note and the About box that follow from plain
// numbers: the note's height by tip length, the About font by screen
// resolution and the version text.
#pragma once

#include <cstddef>
#include <string>

namespace vrz {

// Height of the tips note for a tip of chars characters; -1 for tips of 300
// characters and more, which keep the note's default size.
int TipNoteHeight(std::size_t chars);

// a * b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
int MulDiv(int a, int b, int c);

// Pixel height of a 10-point text font on a screen of pixelsPerInchY.
int TextFontPixels(int pixelsPerInchY);

// Pixel height of the About box's font. Screens of about 120 and 144 pixels
// per inch get a smaller divisor than the usual 72 points per inch.
int AboutFontPixels(int pixelsPerInchX, int pixelsPerInchY);

// "major.minor.build.revision" from a version such as "2.1.0"; missing parts
// count as 0. "2.0" when there is no version or it does not start with a number.
std::string FormatProgramVersion(const char* version);

}  // namespace vrz
