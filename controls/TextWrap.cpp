#include "controls/TextWrap.h"

namespace {

int WidthOf(const wxDC& dc, const wxString& text) {
    return dc.GetTextExtent(text).x;
}

// Splits a word that is wider than the box into pieces that fit.
void BreakLongWord(const wxDC& dc, const wxString& word, int width, std::vector<wxString>& lines,
                   wxString& current) {
    for (const wxUniChar c : word) {
        const wxString candidate = current + c;
        if (!current.empty() && WidthOf(dc, candidate) > width) {
            lines.push_back(current);
            current = c;
        } else {
            current = candidate;
        }
    }
}

}  // namespace

std::vector<wxString> WrapText(const wxDC& dc, const wxString& text, int width) {
    std::vector<wxString> lines;
    for (const wxString& paragraph : wxSplit(text, '\n', '\0')) {
        wxString current;
        for (const wxString& word : wxSplit(paragraph, ' ', '\0')) {
            if (word.empty()) continue;
            const wxString candidate = current.empty() ? word : current + " " + word;
            if (WidthOf(dc, candidate) <= width) {
                current = candidate;
                continue;
            }
            if (!current.empty()) lines.push_back(current);
            current.clear();
            if (WidthOf(dc, word) <= width) {
                current = word;
            } else {
                BreakLongWord(dc, word, width, lines, current);
            }
        }
        lines.push_back(current);
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void DrawWrappedText(wxDC& dc, const wxString& text, const wxRect& box) {
    if (box.width <= 0 || box.height <= 0) return;
    wxDCClipper clip(dc, box);
    const int lineHeight = dc.GetCharHeight();
    int y = box.y;
    for (const wxString& line : WrapText(dc, text, box.width)) {
        if (y >= box.GetBottom()) break;
        dc.DrawText(line, box.x, y);
        y += lineHeight;
    }
}
