// MS-DOS date and time words as a Windows FILETIME, for the NTFS extra field.
#pragma once

#include <cstdint>

namespace vrz {

// 1980-01-01 as an MS-DOS date word: with time 0, what a date and time that
// name no real moment are written as.
constexpr std::uint16_t kDosEpochDate = 0x0021;

// 100-nanosecond units since 1601-01-01 00:00, taking the DOS fields as they
// stand (no time-zone conversion). A date or time that names no real moment
// (month 0, 31 February, hour 24, ...) gives the DOS epoch, 1980-01-01 00:00.
std::uint64_t DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime);

// Whether the words name a real moment.
bool DosDateTimeIsValid(std::uint16_t dosDate, std::uint16_t dosTime);

// A real moment or both words 0 (no time at all, as some writers leave it);
// readers that convert the words report the archive's headers as damaged
// for anything else.
inline bool DosDateTimeIsReadable(std::uint16_t dosDate, std::uint16_t dosTime) {
    return (dosDate == 0 && dosTime == 0) || DosDateTimeIsValid(dosDate, dosTime);
}

}  // namespace vrz
