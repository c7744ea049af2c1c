// Images, icons and animations built into the program, looked up by their
// resource id (resources/ResourceIds.h). Decoded images are cached, so
// repeated paints do not decode again. User-interface thread only.
#pragma once

#include <wx/animate.h>
#include <wx/bitmap.h>
#include <wx/iconbndl.h>
#include <wx/image.h>

// The decoded PNG of id; !IsOk() when there is no such image.
wxImage LoadPngImage(int id);

// The same as a bitmap, with its alpha channel.
wxBitmap LoadPngResource(int id);

// Fills animation with the GIF of id; false when missing or undecodable.
bool LoadAnimationResource(int id, wxAnimation& animation);

// Every stored size of the program icon id, for the window and the task bar.
wxIconBundle LoadIconBundle(int id);
