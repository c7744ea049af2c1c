// The text listing of a scan, one line per entry, formatted by hand into one
// buffer: a listing of millions of entries must cost little beside the scan.
#pragma once

#include <cstdio>
#include <string>

#include "state/JobState.h"

namespace vrz::cli {

// "CRC-32  Compressed  Size  Name" as eight hex digits, two 14-wide
// right-aligned numbers and the display name, each two spaces apart.
void AppendEntryLine(std::string& out, const JobState& state, const RecoveredEntry& entry);

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
