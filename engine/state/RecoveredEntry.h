// One row of the recovered entry table: an entry whose local header a scan
// found and accepted.
#pragma once

#include <cstdint>
#include <string>

#include "state/EntryCheck.h"
#include "state/EntryExtras.h"

namespace vrz {

struct RecoveredEntry {
    // The entry's path as the header's 8-bit name bytes, or "#Lost Files/" and
    // the last path component when its folder entry was not found before it.
    std::string name;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;
    std::uint32_t crc32 = 0;

    // Where the scan accepted the entry, so that the writers copy exactly the
    // rows the scan found. The offset counts in the scan's source layout (all
    // parts of a split archive back to back); part is the index of the part
    // that holds the local header.
    std::uint64_t headerOffset = 0;
    std::uint32_t part = 0;
    // Local header, name, extra field, data and data descriptor.
    std::uint64_t entryLength = 0;
    // 0 without a data descriptor, else 16 or 24.
    std::uint8_t descriptorLength = 0;
    bool zip64Local = false;
    // Compression method as the local header states it.
    std::uint16_t method = 0;

    // What a surviving central record said about the entry, for its rebuilt
    // central header. Without one, the host is inferred from the local extra
    // fields and the attributes are the defaults for that host.
    bool hasCentralRecord = false;
    std::uint16_t versionMadeBy = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
    // Comment, central-only extra blocks and a rebuilt local header, in
    // JobState::extras; kNoExtras for the many rows without any.
    std::uint32_t extrasIndex = kNoExtras;

    // An entry whose local header is written afresh from its central record
    // (see EntryExtras::localRecordOverride) has its data copied from
    // dataOffset, compressedSize bytes.
    std::uint64_t dataOffset = 0;
    // Filled by the verifier after the scan.
    EntryCheck check;

    bool IsFolder() const { return !name.empty() && name.back() == '/'; }
};

}  // namespace vrz
