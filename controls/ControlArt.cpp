#include "ControlArt.h"

namespace {

class NoArt : public ControlArt {
public:
    wxBitmap Image(int) override { return wxBitmap(); }
    wxString Face(const wxString& face) override { return face; }
};

ControlArt*& CurrentArt() {
    static NoArt none;
    static ControlArt* current = &none;
    return current;
}

}  // namespace

void SetControlArt(ControlArt* art) {
    static NoArt none;
    CurrentArt() = art ? art : &none;
}

ControlArt& TheControlArt() { return *CurrentArt(); }
