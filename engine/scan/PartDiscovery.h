// Puts the parts of a split archive in archive order: the numbered parts by
// number, then the final part. A part follows the one before it only when
// their numbers are consecutive and the earlier one has its full size: a
// missing number or a cut-off part breaks the chain, and no entry may be read
// across that break (its bytes would be spliced from the wrong places).
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
    bool continuesPrevious = false;
};

std::vector<DiscoveredPart> DiscoverParts(const std::string& folder, bool isZipx);

}  // namespace vrz
