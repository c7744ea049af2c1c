// The two orders of the styled list's columns: names compare naturally
// ("file9" before "file10") without regard to case, sizes compare as numbers.
#pragma once

#include <string>

namespace vrz {

// Negative, zero or positive like strcmp. Runs of digits compare by value,
// other characters by their lower-case form.
int CompareNatural(const std::wstring& a, const std::wstring& b);

// Decimal numbers; an empty or non-numeric text counts as less than any
// number (folder rows have no size).
int CompareNumeric(const std::wstring& a, const std::wstring& b);

}  // namespace vrz
