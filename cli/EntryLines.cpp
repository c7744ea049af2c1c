#include "EntryLines.h"

#include <cstdint>

#include "text/NameDisplay.h"

namespace vrz::cli {

namespace {

constexpr int kNumberWidth = 14;

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

void AppendEntryLine(std::string& out, const JobState& state, const RecoveredEntry& entry) {
    AppendHex8(out, entry.crc32);
    out.append("  ");
    AppendRightAligned(out, entry.compressedSize, kNumberWidth);
    out.append("  ");
    AppendRightAligned(out, entry.uncompressedSize, kNumberWidth);
    out.append("  ");
    AppendNameForDisplay(out, state.NameOf(entry));
    out.push_back('\n');
}

void LineBuffer::Flush() {
    if (!text_.empty()) std::fwrite(text_.data(), 1, text_.size(), stream_);
    text_.clear();
}

}  // namespace vrz::cli
