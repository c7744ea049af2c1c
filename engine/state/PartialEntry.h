// An entry cut off by the end of the surviving bytes whose data still
// decodes from its start: what a salvage can save of it.
#pragma once

#include <cstdint>
#include <string>

#include "state/ScanFinding.h"

namespace vrz {

constexpr const char* kPartialFilesFolder = "#Partial Files/";

struct PartialEntry {
    // The cut entry's local header in the scan's layout, and the part holding it.
    std::uint64_t headerOffset = 0;
    std::uint32_t part = 0;
    std::string headerName;  // its full name as the header holds it
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint16_t modTime = 0;
    std::uint16_t modDate = 0;
    FindingKind cause = FindingKind::kExtentPastEnd;
    // Where its data starts and how many of its bytes survive.
    std::uint64_t dataStart = 0;
    std::uint64_t dataAvailable = 0;
    // The size the header promised, 0 when unknown (streamed entries).
    std::uint64_t expectedSize = 0;
    // The decodable beginning: its length and CRC-32.
    std::uint64_t recoveredSize = 0;
    std::uint32_t recoveredCrc = 0;
    // The data bytes the save writes for it: the bytes present for stored
    // data, else the recovered bytes as the writer deflates them.
    std::uint64_t writtenSize = 0;

    // A file's name even when the header's is empty or a folder's: a reader
    // would take "#Partial Files/" alone for a folder and drop the data.
    std::string WrittenName() const {
        std::string name = kPartialFilesFolder + headerName;
        if (headerName.empty() || headerName.back() == '/') name += "unnamed at " + std::to_string(headerOffset);
        return name;
    }
};

}  // namespace vrz
