// Finds where a streamed entry (flag bit 3) ends. Where the method can be
// decoded, its compressed stream says exactly where the data ends and the
// descriptor must follow there; stored, encrypted and undecodable data end
// at the first descriptor whose compressed size is the length of the bytes
// before it. Signatures inside the data (a stored archive within the entry)
// never end it.
#pragma once

#include <cstdint>
#include <functional>

#include "io/SourceReader.h"
#include "records/LocalHeader.h"
#include "scan/DescriptorForms.h"

namespace vrz {

struct StreamedEnd {
    enum class Outcome {
        kFound,
        kNotFound,   // no descriptor agrees with the data before the bytes end
        kCancelled,
    } outcome = Outcome::kNotFound;
    DescriptorValues descriptor;
    // The data did not decode; the end was then looked for by descriptor alone.
    bool doesNotDecode = false;
    std::uint64_t failureOffset = 0;
};

struct StreamedEndHooks {
    std::function<bool()> mayContinue;                 // cancel point
    std::function<void(std::uint64_t)> passedOffset;   // progress
};

StreamedEnd FindStreamedEntryEnd(SourceReader& reader, const LocalHeader& header, std::uint64_t dataStart,
                                 std::uint64_t runEnd, const StreamedEndHooks& hooks);

}  // namespace vrz
