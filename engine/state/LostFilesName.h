// The table name of an entry whose reference folder was not found before it:
// the last path component inside the virtual folder "#Lost Files/". The
// scan decides when it applies; the entry table makes it again from the
// header's name instead of storing it.
#pragma once

#include <string>
#include <string_view>

namespace vrz {

constexpr const char* kLostFilesFolder = "#Lost Files/";

// A folder keeps its own last component and its trailing '/'.
std::string LostFilesName(std::string_view headerName);

}  // namespace vrz
