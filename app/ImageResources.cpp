#include "ImageResources.h"

#include <unordered_map>

#include <wx/icon.h>
#include <wx/mstream.h>

#include "EmbeddedResources.h"
#include "ResourceIds.h"

namespace {

void EnsurePngHandler() {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
}

wxImage DecodePng(const vrz::EmbeddedResource& bytes) {
    if (bytes.data == nullptr || bytes.size == 0) return wxImage();
    EnsurePngHandler();
    wxMemoryInputStream stream(bytes.data, bytes.size);
    wxImage image;
    // Quiet: a broken image only leaves its button bare.
    wxLogNull noErrorBoxes;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) return wxImage();
    return image;
}

}  // namespace

wxImage LoadPngImage(int id) {
    static std::unordered_map<int, wxImage> cache;
    auto found = cache.find(id);
    if (found != cache.end()) return found->second;
    wxImage image = DecodePng(vrz::FindEmbeddedResource(id));
    cache.emplace(id, image);
    return image;
}

wxBitmap LoadPngResource(int id) {
    static std::unordered_map<int, wxBitmap> cache;
    auto found = cache.find(id);
    if (found != cache.end()) return found->second;
    const wxImage image = LoadPngImage(id);
    wxBitmap bitmap = image.IsOk() ? wxBitmap(image) : wxBitmap();
    cache.emplace(id, bitmap);
    return bitmap;
}

bool LoadAnimationResource(int id, wxAnimation& animation) {
    const vrz::EmbeddedResource bytes = vrz::FindEmbeddedResource(id);
    if (bytes.data == nullptr || bytes.size == 0) return false;
    wxMemoryInputStream stream(bytes.data, bytes.size);
    wxLogNull noErrorBoxes;
    return animation.Load(stream, wxANIMATION_TYPE_GIF) && animation.IsOk();
}

wxIconBundle LoadIconBundle(int id) {
    wxIconBundle bundle;
    auto add = [&bundle](const vrz::EmbeddedResource& bytes) {
        const wxImage image = DecodePng(bytes);
        if (!image.IsOk()) return;
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(image));
        bundle.AddIcon(icon);
    };
    for (int pixels : vrz::kProgramIconSmallerSizes) add(vrz::FindEmbeddedIcon(id, pixels));
    add(vrz::FindEmbeddedResource(id));
    return bundle;
}
