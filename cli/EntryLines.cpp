#include "EntryLines.h"

#include <cstring>

namespace vrz::cli {

namespace {

constexpr int kNumberWidth = 14;
constexpr std::size_t kStatusWidth = 11;

void AppendHex8(std::string& out, std::uint32_t value) {
    static const char kDigits[] = "0123456789abcdef";
    char text[8];
    for (int i = 7; i >= 0; --i, value >>= 4) text[i] = kDigits[value & 0xF];
    out.append(text, sizeof text);
}

void AppendRightAligned(std::string& out, std::uint64_t value, int width) {
    char text[24];
    int start = sizeof text;
    do {
        text[--start] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    const int digits = static_cast<int>(sizeof text) - start;
    if (digits < width) out.append(static_cast<std::size_t>(width - digits), ' ');
    out.append(text + start, static_cast<std::size_t>(digits));
}

}  // namespace

void AppendEntryLine(std::string& out, std::uint32_t crc32, std::uint64_t compressedSize, std::uint64_t size,
                     const char* status, const std::string& name) {
    AppendHex8(out, crc32);
    out.append("  ");
    AppendRightAligned(out, compressedSize, kNumberWidth);
    out.append("  ");
    AppendRightAligned(out, size, kNumberWidth);
    out.append("  ");
    if (status) {
        const std::size_t length = std::strlen(status);
        out.append(status, length);
        out.append(length < kStatusWidth ? kStatusWidth - length : 0, ' ');
        out.append("  ");
    }
    out.append(name);
    out.push_back('\n');
}

void LineBuffer::Flush() {
    if (!text_.empty()) std::fwrite(text_.data(), 1, text_.size(), stream_);
    text_.clear();
}

}  // namespace vrz::cli
