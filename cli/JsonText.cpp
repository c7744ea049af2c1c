#include "JsonText.h"

#include <cstdio>

#include "TextEscape.h"

namespace vrz::cli {

std::string JsonQuote(const std::string& raw) {
    const std::string text = Utf8OrReplacement(raw);
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonTextField(const std::string& key, const std::string& bytes) {
    std::string out = JsonQuote(key) + ": " + JsonQuote(bytes);
    if (!IsValidUtf8(bytes)) out += ", " + JsonQuote(key + "Bytes") + ": " + JsonQuote(HexBytes(bytes));
    return out;
}

}  // namespace vrz::cli
