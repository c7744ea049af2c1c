// Joins the entries of a first scan show. Where a part's size disagrees with
// the set's split size, the first scan reads no entry across its edges. An
// entry that crossed such an edge still says how the bytes line up: its
// header in the part before, its length, and the first record of the part
// after (which the entry must end right before) give the number of bytes of
// the earlier part that the later one continues. Bytes beyond that (junk
// appended to a part) are laid after all parts, as bytes of their own. A part
// too short to hold what the entry needs is not joined; the entries that lie
// wholly in other parts never depend on any of this.
#pragma once

#include <cstdint>
#include <vector>

#include "io/SourceLayout.h"
#include "scan/PartDiscovery.h"
#include "state/JobState.h"

namespace vrz {

struct EvidenceJoin {
    std::size_t part = 0;     // index in the set's parts; the next part continues it
    std::uint64_t length = 0;  // after this many of its bytes
};

// The joins shown by the entries state holds after a scan of
// LayOutSplitSet(set.parts, {}), for the parts that follow their predecessor
// without continuing it yet.
std::vector<EvidenceJoin> JoinsShownByEntries(JobState& state, const DiscoveredSet& set);

// Lays the parts out in archive order, with the joins given.
void LayOutSplitSet(SourceLayout& layout, const std::vector<DiscoveredPart>& parts,
                    const std::vector<EvidenceJoin>& joins);

}  // namespace vrz
