// The table that the build generates from resources/images (cmake/EmbedImages.cmake).
#pragma once

#include <cstddef>

namespace vrz::detail {

struct EmbeddedFile {
    int id;
    int pixels;  // 0 for <id>.ext, else the <pixels> of <id>_<pixels>.png
    const unsigned char* data;
    std::size_t size;
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const std::size_t kEmbeddedFileCount;

}  // namespace vrz::detail
