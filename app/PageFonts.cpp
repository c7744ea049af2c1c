#include "PageFonts.h"

#include <map>

#include <wx/fontenum.h>

namespace {

// The layouts give captions a fixed number of pixels per character, made for
// these faces' widths; the usual Linux substitute (DejaVu Sans) is wider than
// Trebuchet MS, its condensed cut about as wide.
const std::map<wxString, wxString>& StandIns() {
    static const std::map<wxString, wxString> standIns = {
        {"Trebuchet MS", "DejaVu Sans Condensed"},
    };
    return standIns;
}

}  // namespace

wxString InstalledFace(const wxString& face) {
    static std::map<wxString, wxString> chosen;
    const auto known = chosen.find(face);
    if (known != chosen.end()) return known->second;
    wxString result = face;
    if (!wxFontEnumerator::IsValidFacename(face)) {
        const auto standIn = StandIns().find(face);
        // Asked for by name even when the font list does not show it (pango
        // lists families, not their condensed cuts); fontconfig finds it or
        // falls back to the default sans face as it would for face.
        if (standIn != StandIns().end()) result = standIn->second;
    }
    chosen.emplace(face, result);
    return result;
}

wxFont PageFont(int pointSize) {
    return wxFont(wxFontInfo(pointSize)
                      .Family(wxFONTFAMILY_SWISS)
                      .FaceName(InstalledFace("Trebuchet MS")));
}
