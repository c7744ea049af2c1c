#include "UiText.h"

#include "text/LanguageTexts.h"
#include "text/ProgramPaths.h"

namespace {
constexpr const char* kProgramFolderPlaceholder = "{programFolder}";
}

std::string ExpandProgramFolder(const std::string& text) {
    const std::string placeholder = kProgramFolderPlaceholder;
    std::string::size_type at = text.find(placeholder);
    if (at == std::string::npos) return text;
    const std::string folder = vrz::CurrentProgramPaths().programFolder;
    std::string expanded = text;
    while (at != std::string::npos) {
        expanded.replace(at, placeholder.size(), folder);
        at = expanded.find(placeholder, at + folder.size());
    }
    return expanded;
}

wxString LoadUiText(const std::string& key, std::size_t capacity) {
    return FromUtf8(ExpandProgramFolder(vrz::LoadText(key, capacity)));
}

std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer utf8 = text.utf8_str();
    return std::string(utf8.data(), utf8.length());
}

wxString FromUtf8(const std::string& text) { return wxString::FromUTF8(text.data(), text.size()); }

std::string ProgramFile(const std::string& relativePath) {
    return vrz::CurrentProgramPaths().programFolder + "/" + relativePath;
}
