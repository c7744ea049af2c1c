#include "writer/DosFileTime.h"

namespace vrz {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
constexpr std::uint64_t kSecondsPerDay = 86400;

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Whole days from 1601-01-01 to the given date (proleptic Gregorian calendar).
std::uint64_t DaysSince1601(unsigned year, unsigned month, unsigned day) {
    const unsigned yearsBefore = year - 1601;
    std::uint64_t days = std::uint64_t{yearsBefore} * 365 + yearsBefore / 4 - yearsBefore / 100 + yearsBefore / 400;
    for (unsigned m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + (day - 1);
}

}  // namespace

bool DosDateTimeIsValid(std::uint16_t dosDate, std::uint16_t dosTime) {
    const unsigned year = 1980u + (dosDate >> 9);
    const unsigned month = (dosDate >> 5) & 0x0Fu;
    const unsigned day = dosDate & 0x1Fu;
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) && (dosTime >> 11) <= 23 &&
           ((dosTime >> 5) & 0x3Fu) <= 59 && (dosTime & 0x1Fu) * 2 <= 59;
}

std::uint64_t DosDateTimeToFileTime(std::uint16_t dosDate, std::uint16_t dosTime) {
    unsigned year = 1980u + (dosDate >> 9);
    unsigned month = (dosDate >> 5) & 0x0Fu;
    unsigned day = dosDate & 0x1Fu;
    unsigned hour = dosTime >> 11;
    unsigned minute = (dosTime >> 5) & 0x3Fu;
    unsigned second = (dosTime & 0x1Fu) * 2;
    if (!DosDateTimeIsValid(dosDate, dosTime)) {
        year = 1980;
        month = 1;
        day = 1;
        hour = minute = second = 0;
    }
    const std::uint64_t seconds = DaysSince1601(year, month, day) * kSecondsPerDay + hour * 3600u + minute * 60u + second;
    return seconds * kTicksPerSecond;
}

}  // namespace vrz
