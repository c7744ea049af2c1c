// What one scan spent, counted by the engine itself, and the allowance for
// work on candidates that end up refused. The counts let a test see that the
// work grows with the input and not faster, without timing anything.
#pragma once

#include <cstdint>

namespace vrz {

struct ScanWork {
    std::uint64_t headersTried = 0;      // local header signatures examined
    std::uint64_t decoderCalls = 0;      // decoder Feed calls
    std::uint64_t bytesDecoded = 0;      // compressed bytes fed to decoders
    std::uint64_t bytesProduced = 0;     // decoded bytes that came out
    std::uint64_t descriptorProbes = 0;  // places read as a possible descriptor
    std::uint64_t bytesChecked = 0;      // bytes whose CRC-32 was taken to confirm a candidate
    std::uint64_t bytesSearched = 0;     // bytes searched for record signatures inside a doubtful span
    std::uint64_t decodesRemembered = 0; // decodes answered from what an earlier one found
    // Compressed bytes decoded ahead of the walk on other threads for
    // headers it then never asked about. Decodes it did take are counted
    // above as if it had run them, so the counts above do not depend on
    // the number of threads.
    std::uint64_t bytesDecodedAhead = 0;

    // Bytes read by decodes and checks whose candidate was refused. Each
    // accepted entry's bytes are its own, so only refused candidates can
    // make the same bytes be read over and over; past the allowance they get
    // only the cheap checks (see StreamedEntryEnd.cpp).
    std::uint64_t refusedBytes = 0;
    std::uint64_t refusedAllowance = 0;

    bool MayDecodeForCandidate() const { return refusedBytes < refusedAllowance; }
    std::uint64_t Total() const {
        return headersTried + decoderCalls + bytesDecoded + descriptorProbes + bytesChecked + bytesSearched;
    }
};

}  // namespace vrz
