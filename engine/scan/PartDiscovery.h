// Puts the parts of a split archive in archive order: the numbered parts by
// number, then the final part. A part follows the one before it only when
// their numbers are consecutive; a missing number breaks the chain, and no
// entry may be read across that break.
#pragma once

#include <string>
#include <vector>

namespace vrz {

struct DiscoveredPart {
    std::string path;
    std::string fileName;
    int number = 0;  // 0 for the final part
    bool isFinal = false;
    bool continuesPrevious = false;
};

std::vector<DiscoveredPart> DiscoverParts(const std::string& folder, bool isZipx);

}  // namespace vrz
