// Builds ZIP record bytes for tests that need exact control over a damaged
// archive's layout (real writers are used by the end-to-end tests).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/ByteOrder.h"

namespace vrz::test {

using Bytes = std::vector<std::uint8_t>;

struct LocalEntry {
    std::string name;
    std::string data;
    std::uint32_t crc = 0x12345678;
    std::uint16_t flags = 0;
    Bytes extra;
    // Sizes written into the header; default: the data's length.
    std::int64_t headerCompressed = -1;
    std::int64_t headerUncompressed = -1;
    // With flag bit 3: append a descriptor of this form (0: none; 16 and 24
    // with signature, 12 and 20 without).
    int descriptor = 0;
    std::int64_t descriptorCompressed = -1;  // default: the data's length
    std::uint16_t method = 0;                // stored
    // Uncompressed size where data is compressed (default: the data's length).
    std::int64_t realSize = -1;
};

inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
inline void Append(Bytes& out, const std::string& more) { out.insert(out.end(), more.begin(), more.end()); }

inline Bytes LocalRecord(const LocalEntry& e) {
    Bytes out;
    ByteWriter<Bytes> w(out);
    const auto size = static_cast<std::uint32_t>(e.data.size());
    w.U32(0x04034B50);
    w.U16(20);
    w.U16(e.flags);
    w.U16(e.method);
    w.U16(0);
    w.U16(0x21);
    w.U32(e.crc);
    w.U32(e.headerCompressed >= 0 ? static_cast<std::uint32_t>(e.headerCompressed) : size);
    w.U32(e.headerUncompressed >= 0 ? static_cast<std::uint32_t>(e.headerUncompressed) : size);
    w.U16(static_cast<std::uint16_t>(e.name.size()));
    w.U16(static_cast<std::uint16_t>(e.extra.size()));
    Append(out, e.name);
    Append(out, e.extra);
    Append(out, e.data);
    const std::uint64_t described = e.descriptorCompressed >= 0 ? static_cast<std::uint64_t>(e.descriptorCompressed) : size;
    const std::uint64_t real = e.realSize >= 0 ? static_cast<std::uint64_t>(e.realSize) : size;
    if (e.descriptor == 16 || e.descriptor == 24) w.U32(0x08074B50);
    if (e.descriptor != 0) w.U32(e.crc);
    if (e.descriptor == 16 || e.descriptor == 12) {
        w.U32(static_cast<std::uint32_t>(described));
        w.U32(static_cast<std::uint32_t>(real));
    } else if (e.descriptor == 24 || e.descriptor == 20) {
        w.U64(described);
        w.U64(real);
    }
    return out;
}

// The central record of an entry written by LocalRecord at offset.
inline Bytes CentralRecordFor(const LocalEntry& e, std::uint32_t offset, std::uint32_t externalAttributes = 0,
                              std::uint16_t versionMadeBy = 20, const Bytes& extra = {}) {
    Bytes out;
    ByteWriter<Bytes> w(out);
    const auto size = static_cast<std::uint32_t>(e.data.size());
    w.U32(0x02014B50);
    w.U16(versionMadeBy);
    w.U16(20);
    w.U16(e.flags);
    w.U16(e.method);
    w.U16(0);
    w.U16(0x21);
    w.U32(e.crc);
    w.U32(size);
    w.U32(e.realSize >= 0 ? static_cast<std::uint32_t>(e.realSize) : size);
    w.U16(static_cast<std::uint16_t>(e.name.size()));
    w.U16(static_cast<std::uint16_t>(extra.size()));
    w.U16(0);  // comment
    w.U16(0);  // disk
    w.U16(0);  // internal attributes
    w.U32(externalAttributes);
    w.U32(offset);
    Append(out, e.name);
    Append(out, extra);
    return out;
}

inline Bytes EndRecord(std::uint16_t count, std::uint32_t size, std::uint32_t offset, const std::string& comment = {}) {
    Bytes out;
    ByteWriter<Bytes> w(out);
    w.U32(0x06054B50);
    w.U16(0);
    w.U16(0);
    w.U16(count);
    w.U16(count);
    w.U32(size);
    w.U32(offset);
    w.U16(static_cast<std::uint16_t>(comment.size()));
    Append(out, comment);
    return out;
}

// A whole archive: local records, central directory, end record.
inline Bytes WholeArchive(const std::vector<LocalEntry>& entries, std::vector<std::uint32_t> attributes = {}) {
    Bytes out;
    std::vector<std::uint32_t> offsets;
    for (const auto& e : entries) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        Append(out, LocalRecord(e));
    }
    const auto start = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        Append(out, CentralRecordFor(entries[i], offsets[i], i < attributes.size() ? attributes[i] : 0));
    const auto size = static_cast<std::uint32_t>(out.size() - start);
    Append(out, EndRecord(static_cast<std::uint16_t>(entries.size()), size, start));
    return out;
}

// Data as one stored deflate block: a valid deflate stream that ends exactly
// after data, without a compressor.
inline std::string DeflateStoredBlock(const std::string& data) {
    std::string out;
    const auto n = static_cast<std::uint16_t>(data.size());
    out.push_back('\x01');  // final block, stored
    out.push_back(static_cast<char>(n & 0xFF));
    out.push_back(static_cast<char>(n >> 8));
    out.push_back(static_cast<char>(~n & 0xFF));
    out.push_back(static_cast<char>((~n >> 8) & 0xFF));
    return out + data;
}

// A ZIP64 extended information block holding the given 64-bit values.
inline Bytes Zip64Extra(std::initializer_list<std::uint64_t> values) {
    Bytes out;
    ByteWriter<Bytes> w(out);
    w.U16(0x0001);
    w.U16(static_cast<std::uint16_t>(values.size() * 8));
    for (const std::uint64_t v : values) w.U64(v);
    return out;
}

// Some other extra block (an extended timestamp), to put before a ZIP64 one.
inline Bytes TimestampExtra() {
    Bytes out;
    ByteWriter<Bytes> w(out);
    w.U16(0x5455);
    w.U16(5);
    out.push_back(1);
    w.U32(0x5F000000);
    return out;
}

// A central directory header stub: enough for scans, which stop at its signature.
inline Bytes CentralStub() {
    Bytes out = {0x50, 0x4B, 0x01, 0x02};
    out.resize(46 + 8, 0);
    return out;
}

inline Bytes Garbage(std::size_t n, std::uint8_t seed = 7) {
    Bytes out(n);
    std::uint32_t x = seed;
    for (auto& b : out) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
        if (b == 0x50) b = 0x51;  // no stray signatures
    }
    return out;
}

}  // namespace vrz::test
