#include "controls/DialogMetrics.h"

#include <cstdint>
#include <cstdlib>

namespace vrz {

int TipNoteHeight(std::size_t chars) {
    if (chars < 50) return 40;
    if (chars < 100) return 60;
    if (chars < 150) return 80;
    if (chars < 200) return 100;
    if (chars < 250) return 140;
    if (chars < 300) return 160;
    return -1;
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t magnitude = (std::llabs(product) * 2 + std::llabs(static_cast<std::int64_t>(c))) /
                                   (2 * std::llabs(static_cast<std::int64_t>(c)));
    const bool negative = (product < 0) != (c < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int TextFontPixels(int pixelsPerInchY) {
    return MulDiv(10, pixelsPerInchY, 72);
}

int AboutFontPixels(int pixelsPerInchX, int pixelsPerInchY) {
    const auto within = [&](int low, int high) {
        return pixelsPerInchX >= low && pixelsPerInchX <= high && pixelsPerInchY >= low && pixelsPerInchY <= high;
    };
    int divisor = 72;
    if (within(97, 125)) {
        divisor = 92;
    } else if (within(127, 150)) {
        divisor = 102;
    }
    return MulDiv(10, pixelsPerInchY, divisor);
}

std::string FormatProgramVersion(const char* version) {
    if (version == nullptr || *version < '0' || *version > '9') return "2.0";
    unsigned long parts[4] = {0, 0, 0, 0};
    const char* cursor = version;
    for (int i = 0; i < 4 && *cursor != '\0'; ++i) {
        char* end = nullptr;
        parts[i] = std::strtoul(cursor, &end, 10);
        if (end == cursor) break;
        cursor = *end == '.' ? end + 1 : end;
        if (*end != '.') break;
    }
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}

}  // namespace vrz
