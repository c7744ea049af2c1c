// Images and animations built into the program, found by numeric id.
#pragma once

#include <cstddef>

namespace vrz {

// Bytes of one embedded file (a PNG or GIF, exactly as stored). The data
// lives for the whole run; data is nullptr and size 0 when nothing matched.
struct EmbeddedResource {
    const unsigned char* data;
    std::size_t size;
};

// The image <id>.png or animation <id>.gif (ids in ResourceIds.h).
EmbeddedResource FindEmbeddedResource(int id);

// An extra size of an icon, stored as <id>_<pixels>.png; the plain
// FindEmbeddedResource(id) gives the largest one.
EmbeddedResource FindEmbeddedIcon(int id, int pixels);

}  // namespace vrz
