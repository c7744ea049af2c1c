// Finds where a streamed entry (flag bit 3) ends. Where the method can be
// decoded, its compressed stream says exactly where the data ends and the
// descriptor must follow there; stored, encrypted and undecodable data end
// at the first descriptor whose compressed size is the length of the bytes
// before it. Signatures inside the data (a stored archive within the entry)
// never end it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

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

// Remembers where descriptor signatures stand after a search that found none
// fit, so entries whose descriptor is lost do not each read on to the end of
// the bytes again.
class StreamedEntryEndFinder {
public:
    StreamedEntryEndFinder(SourceReader& reader, StreamedEndHooks hooks) : reader_(reader), hooks_(std::move(hooks)) {}

    StreamedEnd Find(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);

private:
    StreamedEnd SearchBySignature(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);
    bool Cached(std::uint64_t dataStart, std::uint64_t runEnd) const {
        return cacheValid_ && runEnd == cacheRunEnd_ && dataStart >= cacheFrom_;
    }

    SourceReader& reader_;
    StreamedEndHooks hooks_;
    bool cacheValid_ = false;
    std::uint64_t cacheFrom_ = 0;
    std::uint64_t cacheRunEnd_ = 0;
    std::vector<std::uint64_t> cachedSignatures_;  // ascending
};

}  // namespace vrz
