// Inputs built to make a scan do more than linear work or keep more than a
// bounded amount of memory, each at a chosen scale (the input grows about
// linearly with it). Shared by the work-counting tests, the growth benchmark
// and the fuzzer's seeds.
#pragma once

#include <zlib.h>

#include <string>
#include <vector>

#include "ZipBytes.h"

namespace vrz::test::hostile {

constexpr std::uint16_t kStreamed = 0x0008;

inline Bytes Header(const std::string& name, std::uint16_t flags, std::uint16_t method, std::uint32_t compressed,
                    std::uint32_t crc = 0, std::uint16_t nameLength = 0xFFFF) {
    Bytes out;
    ByteWriter<Bytes> w(out);
    w.U32(0x04034B50);
    w.U16(20);
    w.U16(flags);
    w.U16(method);
    w.U32(0x21);  // time and date
    w.U32(crc);
    w.U32(compressed);
    w.U32(compressed);
    w.U16(nameLength == 0xFFFF ? static_cast<std::uint16_t>(name.size()) : nameLength);
    w.U16(0);
    Append(out, name);
    return out;
}

// A raw deflate stream of plain, as ZIP entries hold it.
inline std::string RawDeflate(const std::string& plain) {
    std::string packed(compressBound(static_cast<uLong>(plain.size())), '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = reinterpret_cast<Bytef*>(&packed[0]);
    z.avail_out = static_cast<uInt>(packed.size());
    deflate(&z, Z_FINISH);
    packed.resize(z.total_out);
    deflateEnd(&z);
    return packed;
}

// Data as deflate stored blocks, the last one final.
inline Bytes StoredBlocks(const Bytes& data) {
    Bytes out;
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(data.size() - at, 0xFFFF);
        const bool last = at + n == data.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(n & 0xFF));
        out.push_back(static_cast<std::uint8_t>(n >> 8));
        out.push_back(static_cast<std::uint8_t>(~n & 0xFF));
        out.push_back(static_cast<std::uint8_t>((~n >> 8) & 0xFF));
        out.insert(out.end(), data.begin() + at, data.begin() + at + n);
        at += n;
    } while (at < data.size());
    return out;
}

// Streamed stored entries whose data is strewn with descriptor signatures
// that never agree: each entry once looked for its descriptor through all
// the bytes after it.
inline Bytes UnmatchedDescriptors(std::size_t scale) {
    Bytes out;
    for (std::size_t i = 0; i < scale * 100; ++i) {
        Append(out, Header("s" + std::to_string(i), kStreamed, 0, 0));
        for (int k = 0; k < 4; ++k) {
            ByteWriter<Bytes> w(out);
            w.U32(0x08074B50);
            w.U32(0x11111111);
            w.U32(static_cast<std::uint32_t>(out.size() + 7));  // reaches back before the file
            w.U32(3);
            Append(out, Garbage(40, static_cast<std::uint8_t>(k)));
        }
    }
    return out;
}

// Streamed deflate entries without descriptors, each one's stored blocks
// quoting the next: every header decodes nearly all the bytes after it.
inline Bytes NestedQuotes(std::size_t scale) {
    Bytes inner = Garbage(16);
    for (std::size_t i = 0; i < scale * 400; ++i) {
        Bytes record = Header("n" + std::to_string(i), kStreamed, 8, 0);
        Append(record, StoredBlocks(inner));
        inner = std::move(record);
    }
    return inner;
}

// Central records over stored data whose local headers are gone: every
// record reaches to the end of the data with a CRC-32 that never matches.
inline Bytes CentralRecordsOverData(std::size_t scale) {
    const std::size_t records = scale * 64;
    Bytes out = Garbage(records * 1024, 5);
    const auto start = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < records; ++i) {
        LocalEntry e;
        e.name = "c" + std::to_string(i);
        e.data.assign((records - i) * 1024 - 30 - e.name.size(), 'x');
        Append(out, CentralRecordFor(e, static_cast<std::uint32_t>(i * 1024)));
    }
    Append(out, EndRecord(static_cast<std::uint16_t>(records), static_cast<std::uint32_t>(out.size() - start), start));
    return out;
}

// Many central records over one deflate stream of zeros that decodes to
// much more than it reads, with a CRC-32 that does not match.
inline Bytes CentralRecordsOverOneStream(std::size_t records, std::size_t zeros) {
    const std::string name = "one";
    Bytes out = Garbage(30 + name.size(), 9);  // the local header, damaged
    const std::string packed = RawDeflate(std::string(zeros, '\0'));
    Append(out, packed);
    const auto start = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < records; ++i) {
        Bytes r;
        ByteWriter<Bytes> w(r);
        w.U32(0x02014B50);
        w.U16(20);
        w.U16(20);
        w.U16(0);
        w.U16(8);
        w.U32(0x21);
        w.U32(0xBADC0DE0u + static_cast<std::uint32_t>(i));
        w.U32(static_cast<std::uint32_t>(packed.size()));
        w.U32(static_cast<std::uint32_t>(zeros));
        w.U16(static_cast<std::uint16_t>(name.size()));
        w.U16(0);
        w.U16(0);
        w.U16(0);
        w.U16(0);
        w.U32(0);
        w.U32(0);
        Append(r, name);
        Append(out, r);
    }
    Append(out, EndRecord(static_cast<std::uint16_t>(records), static_cast<std::uint32_t>(out.size() - start), start));
    return out;
}

// The local header signature over and over.
inline Bytes RepeatedSignature(std::size_t scale) {
    Bytes out;
    for (std::size_t i = 0; i < scale * 64 * 1024; ++i) Append(out, Bytes{0x50, 0x4B, 0x03, 0x04});
    return out;
}

// Headers that each name the 65 535 bytes after them and are refused for an
// extent past the end: refusals must not keep their names.
inline Bytes LongNamedRefusals(std::size_t scale) {
    Bytes out;
    for (std::size_t i = 0; i < scale * 2000; ++i) {
        Append(out, Header("", 0, 0, 0xFFFFFF00u, 0, 0xFFFF));
        Append(out, Garbage(32, static_cast<std::uint8_t>(i)));
    }
    return out;
}

struct Construction {
    const char* name;
    Bytes (*build)(std::size_t scale);
};

inline Bytes OneStreamByRecords(std::size_t scale) {
    return CentralRecordsOverOneStream(scale * 25, scale * (std::size_t{2} << 20));
}

inline const std::vector<Construction>& All() {
    static const std::vector<Construction> all = {
        {"unmatched-descriptors", UnmatchedDescriptors},
        {"nested-quotes", NestedQuotes},
        {"central-records-over-data", CentralRecordsOverData},
        {"central-records-over-one-stream", OneStreamByRecords},
        {"repeated-signature", RepeatedSignature},
        {"long-named-refusals", LongNamedRefusals},
    };
    return all;
}

}  // namespace vrz::test::hostile
