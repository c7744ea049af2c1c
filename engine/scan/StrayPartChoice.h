// Tells a part of a split set from a stray file that took its number (a copy
// of another part, a file from another set): the data decides. The part is
// the file that holds the local headers the central directory puts in it and
// through which the entries that cross it decode to their CRC-32; only where
// the data says nothing do the split size and the way the parts are named
// decide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "scan/PartDiscovery.h"
#include "scan/SplitEndRecord.h"

namespace vrz {

struct PartEvidence {
    std::vector<HeaderSpot> spots;  // from the end record's central directory
    std::uint64_t splitSize = 0;
    // The parts are pieces of one disk 0 (volumes, or parts cut from a plain
    // archive): offsets count from the first byte of the first piece.
    bool oneDisk = false;
    std::size_t usualExtension = 0;  // the extension length most parts have (.z02, not .z2)
};

// The part known for a number (chosen already, or the only file with it); nullptr when not known.
using ChosenPart = std::function<const DiscoveredPart*(int number)>;

// Index in sameNumber (files with one number, in name order) of the part.
// last: the number is the set's last (a volume that may be shorter).
std::size_t ChoosePart(const std::vector<DiscoveredPart>& sameNumber, const PartEvidence& evidence, bool last,
                       const ChosenPart& partFor);

// Of several final parts (names that differ in case only), the one with an
// end record that counts the numbered parts before it.
std::size_t ChooseFinal(const std::vector<DiscoveredPart>& finals, int highest);

}  // namespace vrz
