// Stored streamed entries whose data descriptor is nowhere and whose central
// record is lost: nothing says where their data end but the next entry of
// its own (or central directory) after them. The data between are the
// entry's, byte for byte; its CRC-32 is the header's, so the verification
// tells whether they are intact.
#pragma once

#include <cstdint>
#include <vector>

#include "io/SourceReader.h"
#include "scan/NameStep.h"
#include "state/JobState.h"

namespace vrz {

// Gives each unended entry (local header offsets, in layout order) that no
// row holds a row ending where the next row or directory (directoryStarts,
// any order) begins; the rows stay in layout order.
void EndAtNextHeader(JobState& state, SourceReader& reader, NameStep& names, const std::vector<std::uint64_t>& unended,
                     std::vector<std::uint64_t> directoryStarts);

}  // namespace vrz
