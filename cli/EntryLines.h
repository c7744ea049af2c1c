// The text listing of a scan, one line per entry, formatted by hand into one
// buffer: a listing of millions of entries must cost little beside the scan.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vrz::cli {

// One listing line: "CRC-32  Compressed  Size  [Status]  Name" as eight hex
// digits, two 14-wide right-aligned numbers, the status (when not null) left
// aligned in 11 columns, and the printable name, each two spaces apart.
void AppendEntryLine(std::string& out, std::uint32_t crc32, std::uint64_t compressedSize, std::uint64_t size,
                     const char* status, const std::string& name);

// Collects lines and writes them to a stream in large pieces.
class LineBuffer {
public:
    explicit LineBuffer(std::FILE* stream) : stream_(stream) {}
    ~LineBuffer() { Flush(); }
    LineBuffer(const LineBuffer&) = delete;
    LineBuffer& operator=(const LineBuffer&) = delete;

    std::string& Text() { return text_; }
    // Writes out when enough has collected.
    void MaybeFlush() {
        if (text_.size() >= kFlushAt) Flush();
    }
    void Flush();

private:
    static constexpr std::size_t kFlushAt = std::size_t{1} << 20;
    std::FILE* stream_;
    std::string text_;
};

}  // namespace vrz::cli
