#include "EmbeddedResources.h"

#include "EmbeddedFileTable.h"

namespace vrz {
namespace {

EmbeddedResource Find(int id, int pixels) {
    for (std::size_t i = 0; i < detail::kEmbeddedFileCount; ++i) {
        const detail::EmbeddedFile& file = detail::kEmbeddedFiles[i];
        if (file.id == id && file.pixels == pixels) return {file.data, file.size};
    }
    return {nullptr, 0};
}

}  // namespace

EmbeddedResource FindEmbeddedResource(int id) { return Find(id, 0); }

EmbeddedResource FindEmbeddedIcon(int id, int pixels) {
    // 0 would alias the plain image, which callers reach through FindEmbeddedResource.
    if (pixels <= 0) return {nullptr, 0};
    return Find(id, pixels);
}

}  // namespace vrz
