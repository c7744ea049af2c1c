// Puts the parts of a split archive in archive order: the numbered parts by
// number, then the final part. Parts are joined by evidence, not by name
// alone: a part follows the one before it when their numbers are consecutive,
// and continues it at once when both have the set's split size (the size all
// parts but the last are cut at). A part of any other size (too long, cut
// short) is joined only where the entries themselves show how its bytes line
// up (see SplitJoins.h); until then no entry may be read across it, for its
// bytes would be spliced from the wrong places. A second file with a taken
// number is a stray: the file whose bytes the end record's central directory
// confirms (else the one of the split size, else the one named like the other
// parts) is the part, and the stray is set aside and named.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vrz {

struct DiscoveredPart {
    std::string path;
    std::string fileName;
    std::uint64_t size = 0;
    int number = 0;  // 0 for the final part
    bool isFinal = false;
    // The archive's disk number for the part, and for byte-split volumes
    // (pieces of one disk 0) where the piece starts in it.
    std::uint32_t disk = 0;
    std::uint64_t diskOffset = 0;
    // No part is missing between this one and the one before it.
    bool follows = false;
    // ... and it continues it byte for byte from the start.
    bool continuesPrevious = false;
};

struct DiscoveredSet {
    std::vector<DiscoveredPart> parts;   // in archive order
    std::vector<DiscoveredPart> strays;  // files that took a part's number, set aside
    // The size every part but the last was cut at; 0 when the parts do not agree on one.
    std::uint64_t splitSize = 0;
};

DiscoveredSet DiscoverSplitSet(const std::string& folder, bool isZipx);

// The parts alone.
std::vector<DiscoveredPart> DiscoverParts(const std::string& folder, bool isZipx);

}  // namespace vrz
