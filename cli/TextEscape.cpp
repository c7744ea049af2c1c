#include "TextEscape.h"

#include <cstdint>
#include <cstdio>

#include "text/NameDisplay.h"

namespace vrz::cli {

namespace {

// Length of the valid UTF-8 sequence at s[i] (1 for ASCII), or 0.
std::size_t SequenceLength(const std::string& s, std::size_t i) {
    if (static_cast<unsigned char>(s[i]) < 0x80) return 1;
    return Utf8SequenceLength(s, i);
}

void AppendFormatted(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

}  // namespace

std::string EscapeControls(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x20 || b == 0x7F) {
            AppendFormatted(out, "\\x%02x", b);
            ++i;
        } else if (b == '\\') {
            out += "\\\\";
            ++i;
        } else if (b == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            // C1 controls (CSI among them) are as dangerous as ESC.
            AppendFormatted(out, "\\u%04x", static_cast<unsigned char>(utf8[i + 1]));
            i += 2;
        } else {
            out.push_back(utf8[i]);
            ++i;
        }
    }
    return out;
}

bool IsValidUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string Utf8OrReplacement(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes, i, length);
            i += length;
        }
    }
    return out;
}

std::string HexBytes(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

}  // namespace vrz::cli
