// Builds the local header the repair writes in place of a damaged one: the
// values evidence settled on, the sizes in the header itself (no data
// descriptor follows), and only the extra blocks readers can walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "records/LocalHeader.h"

namespace vrz {

struct LocalRecordValues {
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t modTime = 0;
    std::uint16_t modDate = 0;
    std::uint32_t crc32 = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
};

// A found header's version, flags, method and time with the CRC-32 and
// sizes the entry is written with.
LocalRecordValues ValuesFrom(const LocalHeader& header, std::uint32_t crc32, std::uint64_t compressedSize,
                             std::uint64_t uncompressedSize);

// Flag bit 3 where a rebuilt header drops it (the sizes stand in the header),
// or 0 for an encrypted entry, whose password check depends on the bit: it is
// written with its sizes in the header and a fresh data descriptor after the data.
std::uint16_t DroppedStreamFlag(std::uint16_t flags);

// The 30 fixed bytes, the name and the extra field. Flag bit 3 is cleared (see above);
// the extra field keeps its well-formed leading blocks except any ZIP64 one,
// and gets a fresh ZIP64 block first where a size needs it.
std::vector<std::uint8_t> BuildLocalRecord(const LocalRecordValues& values, std::string_view name,
                                           const std::uint8_t* extra, std::size_t extraLength);

// The lowest "version needed to extract" (low byte) an entry with this method
// and these flags needs: what readers check before they try it.
std::uint8_t VersionNeededFor(std::uint16_t method, std::uint16_t flags, bool zip64, bool folder);

// A version-needed field that claims more than the entry needs and more than
// any common writer puts there (or a set high byte): damage, which strict
// readers refuse the entry or the whole archive for.
bool VersionNeededIsDamaged(std::uint16_t versionNeeded, std::uint8_t needed);

// Flag bits no reader accepts on an entry that decodes as a plain stream:
// compressed patched data (bit 5) and strong encryption without encryption (bit 6).
std::uint16_t UnreadableFlagBits(std::uint16_t flags);

// Length of the leading run of extra blocks that lie whole within the area
// (a tail shorter than a block header counts as padding).
std::size_t WellFormedExtraLength(const std::uint8_t* extra, std::size_t length);

}  // namespace vrz
