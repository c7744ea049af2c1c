// Entry names are stored as the archive's bytes. For display they are read
// as UTF-8, and bytes that are not valid UTF-8 as code page 437, the code
// page ZIP names use when they are not marked as UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vrz {

// Length of the valid multi-byte UTF-8 sequence at s[i], or 0 (also for ASCII).
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i);

std::string NameForDisplay(std::string_view nameBytes);
// The same, appended to out without a string of its own (for long listings).
void AppendNameForDisplay(std::string& out, std::string_view nameBytes);

}  // namespace vrz
