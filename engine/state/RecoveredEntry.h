// One row of the recovered entry table: an entry whose local header a scan
// found and accepted. A table may hold millions of rows, so a row holds only
// fixed-size values: names live in JobState::names, the rare variable-size
// fields in JobState::extras. Fields are ordered by size to leave no padding.
// Read and set the names with JobState's NameOf, HeaderNameOf and SetNames.
#pragma once

#include <cstdint>
#include <string_view>

#include "state/EntryCheck.h"
#include "state/EntryExtras.h"
#include "state/NameArena.h"

namespace vrz {

struct RecoveredEntry {
    std::uint64_t uncompressedSize = 0;
    std::uint64_t compressedSize = 0;

    // Where the scan accepted the entry, so that the writers copy exactly the
    // rows the scan found. The offset counts in the scan's source layout (all
    // parts of a split archive back to back); part is the index of the part
    // that holds the local header.
    std::uint64_t headerOffset = 0;
    // Local header, name, extra field, data and data descriptor.
    std::uint64_t entryLength = 0;

    // Filled by the scan or the verifier; read and set whole with
    // JobState::CheckOf and SetCheck.
    RowCheck check;

    // The row's names in the arena, as nameForm says: the table name (the
    // entry's path as the header's 8-bit name bytes, or "#Lost Files/" and
    // the last path component when its folder entry was not found before it)
    // and the name bytes the local header holds, what the repair writes.
    NameRef name;

    std::uint32_t crc32 = 0;
    std::uint32_t part = 0;
    std::uint32_t externalAttributes = 0;
    // Comment, central-only extra blocks and a rebuilt local header, in
    // JobState::extras; kNoExtras for the many rows without any.
    std::uint32_t extrasIndex = kNoExtras;

    // Compression method as the local header states it.
    std::uint16_t method = 0;
    // What a surviving central record said about the entry, for its rebuilt
    // central header. Without one, the host is inferred from the local extra
    // fields and the attributes are the defaults for that host.
    std::uint16_t versionMadeBy = 0;
    std::uint16_t internalAttributes = 0;
    bool hasCentralRecord = false;
    // 0 without a data descriptor, else 16 or 24.
    std::uint8_t descriptorLength = 0;
    bool zip64Local = false;
    RowNameForm nameForm = RowNameForm::kOne;
};

// A row a few more bytes wide costs megabytes on a table of millions of
// entries; widen this only on purpose.
static_assert(sizeof(RecoveredEntry) <= 80, "the entry table row grew");

inline bool IsFolderName(std::string_view name) { return !name.empty() && name.back() == '/'; }

}  // namespace vrz
