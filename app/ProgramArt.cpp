#include "ProgramArt.h"

#include "ControlArt.h"
#include "ImageResources.h"
#include "PageFonts.h"

namespace {

class ProgramArt : public ControlArt {
public:
    wxBitmap Image(int id) override { return LoadPngResource(id); }
    wxString Face(const wxString& face) override { return InstalledFace(face); }
};

}  // namespace

void UseProgramArtInControls() {
    static ProgramArt art;
    SetControlArt(&art);
}
