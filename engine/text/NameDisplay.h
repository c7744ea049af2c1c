// Entry names are stored as the archive's bytes. For display they are read
// as UTF-8, and bytes that are not valid UTF-8 as code page 437, the code
// page ZIP names use when they are not marked as UTF-8.
#pragma once

#include <string>

namespace vrz {

std::string NameForDisplay(const std::string& nameBytes);
// The same, appended to out without a string of its own (for long listings).
void AppendNameForDisplay(std::string& out, const std::string& nameBytes);

}  // namespace vrz
