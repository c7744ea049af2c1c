// Decodes one entry whose data runs through several files laid back to back
// and tells whether it comes out as its central record says. The data decides
// which of two files that took one part's number is the part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scan/SplitEndRecord.h"

namespace vrz {

// True when the entry's data, from byte dataStart of the files joined in
// order, decodes to the CRC-32 and size of entry. False for encrypted data,
// a method this build cannot decode, or bytes that are not there.
bool EntryVerifiesAcross(const std::vector<std::string>& paths, std::uint64_t dataStart, const HeaderSpot& entry);

}  // namespace vrz
