// Makes names and paths safe to print: a terminal never receives a control
// character from an archive, and JSON always gets valid UTF-8.
#pragma once

#include <string>

namespace vrz::cli {

// Control characters (C0, DEL, C1) as \xNN or \u00NN, and the backslash
// doubled, so a name can neither forge a listing line nor drive the terminal.
std::string EscapeControls(const std::string& utf8);

bool IsValidUtf8(const std::string& bytes);

// Invalid UTF-8 bytes replaced by U+FFFD.
std::string Utf8OrReplacement(const std::string& bytes);

std::string HexBytes(const std::string& bytes);

}  // namespace vrz::cli
