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
#include "scan/DecodeMemo.h"
#include "scan/DescriptorForms.h"
#include "scan/DescriptorIndex.h"

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
    // The whole of the data was decoded (or its CRC-32 taken, for stored
    // data) and agrees with the descriptor: what came out.
    bool decodedWhole = false;
    std::uint32_t decodedCrc = 0;
    std::uint64_t decodedSize = 0;
};

using StreamedEndHooks = DecodeHooks;

// Whether a streamed entry's end is found by decoding its data (the method
// has an end of its own and the data are not encrypted), and the decode
// that finds it for data at dataStart read no further than runEnd.
bool EndFoundByDecoding(const LocalHeader& header);
StreamRequest EndDecodeRequest(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);

class StreamedEntryEndFinder {
public:
    StreamedEntryEndFinder(SourceReader& reader, DecodeMemo& memo, DescriptorIndex& index)
        : reader_(reader), memo_(memo), index_(index) {}

    StreamedEnd Find(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);

private:
    StreamedEnd SearchByIndex(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);
    // A stored entry's descriptor without signature, right before the next
    // record, whose sizes and CRC-32 match the bytes before it.
    bool FindBareStored(std::uint64_t dataStart, std::uint64_t runEnd, StreamedEnd* end);

    SourceReader& reader_;
    DecodeMemo& memo_;
    DescriptorIndex& index_;
    std::vector<std::uint64_t> positions_;
};

}  // namespace vrz
