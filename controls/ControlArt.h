// What the controls draw with but do not own: images by resource id and the
// faces of their fonts. The program hands its own in once; until then images
// are empty (a button shows only its captions) and faces are used as named.
#pragma once

#include <wx/bitmap.h>
#include <wx/string.h>

class ControlArt {
public:
    virtual ~ControlArt() = default;
    // The image of resource id; !IsOk() when there is none.
    virtual wxBitmap Image(int id) = 0;
    // The face to ask for in place of face (an installed stand-in, say).
    virtual wxString Face(const wxString& face) = 0;
};

// Hands art in (nullptr: back to the empty default). The art must outlive
// every control; user-interface thread only.
void SetControlArt(ControlArt* art);
ControlArt& TheControlArt();
