// Language texts as the wizard shows them: looked up by key, with the
// program folder filled in where a text names a file shipped beside it.
#pragma once

#include <cstddef>
#include <string>

#include <wx/string.h>

// Replaces every "{programFolder}" in text with the program folder.
std::string ExpandProgramFolder(const std::string& text);

// LoadText(key, capacity), expanded and converted for display.
wxString LoadUiText(const std::string& key, std::size_t capacity);

// Paths in the engine's UTF-8 form and back.
std::string ToUtf8(const wxString& text);
wxString FromUtf8(const std::string& text);

// A path below the program folder, e.g. ProgramFile("help/faq.html").
std::string ProgramFile(const std::string& relativePath);
