// Writes a found local header afresh where the copy would mislead readers:
// a size the data refuted, a version-needed beyond what the entry needs,
// flag bits no reader accepts for it, or a malformed extra field. The data
// stay byte for byte; each field written sound is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <vector>

#include "io/SourceReader.h"
#include "records/LocalHeader.h"
#include "state/JobState.h"

namespace vrz {

struct FoundHeader {
    const LocalHeader* header = nullptr;  // as read, ZIP64 sizes applied
    std::string_view name;
    const std::uint8_t* extra = nullptr;
    std::size_t extraLength = 0;
    std::uint64_t dataStart = 0;
};

// row holds the values evidence settled on (sizes, CRC-32). Gives the row a
// rebuilt local header when any field differs from what is to be written.
// True when it did.
bool MendFoundHeader(JobState& state, const FoundHeader& found, RecoveredEntry& row);

// The local record a row is written with (30 bytes, name, extra field): its
// rebuilt one, else the source's. False when the source cannot be read.
bool WrittenLocalRecord(const JobState& state, SourceReader& reader, const RecoveredEntry& row,
                        std::vector<std::uint8_t>* record);
// Where the row's data start in the source.
std::uint64_t WrittenDataStart(const JobState& state, const RecoveredEntry& row);

}  // namespace vrz
