// Builds the central directory header of one copied entry from its local
// header and the row the scan recorded for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "state/RecoveredEntry.h"

namespace vrz {

struct CentralHeaderInput {
    // The entry's local header as found in the source: the 30 fixed bytes,
    // then the name and the extra field.
    const std::uint8_t* localRecord = nullptr;
    std::size_t localRecordLength = 0;
    // CRC-32, sizes and the ZIP64 mark; a data descriptor's values for
    // entries that carry one.
    const RecoveredEntry* row = nullptr;
    // The row's comment and central-only extra blocks; none when null.
    const EntryExtras* extras = nullptr;
    // Where the local header stands in the output.
    std::uint64_t outputOffset = 0;
    // The output may reach 4 GiB: every header then gets a fresh extra field.
    bool largeArchive = false;
};

// Host and attributes of the rebuilt header: a surviving central record's,
// else inferred from the local header (Unix extra fields or a UTF-8 name give
// a Unix host with modes 0644 and 0755), else an MS-DOS host with the archive bit.
struct EntryHost {
    std::uint16_t versionMadeBy = 0;
    std::uint16_t internalAttributes = 0;
    std::uint32_t externalAttributes = 0;
};
EntryHost HostFor(const RecoveredEntry& row, const std::uint8_t* localRecord, const std::uint8_t* name,
                  std::size_t nameLength, const std::uint8_t* localExtra, std::size_t extraLength);

// Appends the header (46 fixed bytes, name, extra field) to out. False when
// localRecord is shorter than its own name and extra lengths say.
bool AppendCentralHeader(const CentralHeaderInput& input, std::vector<std::uint8_t>* out);

// True when the extra area is a clean chain of blocks, each within the area
// (a tail shorter than a block header is tolerated, as readers do).
bool ExtraFieldIsWellFormed(const std::uint8_t* extra, std::size_t length);

}  // namespace vrz
