// MS-DOS date and time words as a Windows FILETIME, for the NTFS extra field.
#pragma once

#include <cstdint>

namespace vrz {

// 100-nanosecond units since 1601-01-01 00:00, taking the DOS fields as they
// stand (no time-zone conversion). A date or time that names no real moment
// (month 0, 31 February, hour 24, ...) gives the DOS epoch, 1980-01-01 00:00.
std::uint64_t DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime);

}  // namespace vrz
