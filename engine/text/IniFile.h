// Reads and writes INI files the way the program's settings and language
// files expect: section and key names match case-insensitively, a value in
// surrounding quotes loses them, and anything missing reads as empty.
#pragma once

#include <string>

namespace vrz {

// The value of key in section of the file at path; empty when the file, the
// section or the key is missing. At most capacity - 1 characters are returned.
std::string ReadIniString(const std::string& path, const std::string& section, const std::string& key,
                          std::size_t capacity);

// Sets key in section, creating the file, the section or the key as needed.
// False when the file cannot be written.
bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

// Reads a setting as a decimal integer: text that does not begin with a digit gives 0.
int ParseLeadingInt(const std::string& text);

// Cuts UTF-8 text to at most count characters without splitting one.
std::string TruncateCharacters(const std::string& text, std::size_t count);

}  // namespace vrz
