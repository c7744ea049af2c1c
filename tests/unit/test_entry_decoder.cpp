// The decoder layer: each method decodes whole data fed in any piece size,
// says exactly where its stream ends when bytes follow it, and reports a
// broken or cut stream instead of a wrong end.
#include <bzlib.h>
#include <gtest/gtest.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec/EntryDecoder.h"

namespace vrz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Text-like data that compresses, with a varying tail so blocks differ.
Bytes SampleData(std::size_t size) {
    Bytes data(size);
    std::uint32_t state = 12345;
    static const char kAlphabet[] = "abcdefgh PK\x03\x04 zip\n";
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        data[i] = static_cast<std::uint8_t>(kAlphabet[(state >> 16) % (sizeof kAlphabet - 1)]);
    }
    return data;
}

Bytes Deflate(const Bytes& in) {
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&s, in.size()));
    s.next_in = const_cast<Bytef*>(in.data());
    s.avail_in = static_cast<uInt>(in.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// Blocks of 100 kB, so a cut stream still holds whole blocks to decode.
Bytes Bzip2(const Bytes& in) {
    unsigned length = static_cast<unsigned>(in.size() + in.size() / 100 + 700);
    Bytes out(length);
    EXPECT_EQ(BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &length,
                                       const_cast<char*>(reinterpret_cast<const char*>(in.data())),
                                       static_cast<unsigned>(in.size()), 1, 0, 0),
              BZ_OK);
    out.resize(length);
    return out;
}

Bytes Xz(const Bytes& in) {
    Bytes out(lzma_stream_buffer_bound(in.size()));
    std::size_t pos = 0;
    EXPECT_EQ(lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, in.data(), in.size(), out.data(), &pos,
                                      out.size()),
              LZMA_OK);
    out.resize(pos);
    return out;
}

// ZIP's LZMA form: version, properties length, properties, raw LZMA1 data.
Bytes ZipLzma(const Bytes& in, bool endMarker) {
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    lzma_filter filters[2] = {{endMarker ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA1EXT, &options},
                              {LZMA_VLI_UNKNOWN, nullptr}};
    options.ext_flags = 0;
    Bytes out(in.size() + in.size() / 2 + 1024);
    std::size_t pos = 0;
    EXPECT_EQ(lzma_raw_buffer_encode(filters, nullptr, in.data(), in.size(), out.data(), &pos, out.size()),
              LZMA_OK);
    out.resize(pos);
    std::uint32_t propsSize = 0;
    lzma_filter props{LZMA_FILTER_LZMA1, &options};
    lzma_properties_size(&propsSize, &props);
    Bytes header = {9, 20, static_cast<std::uint8_t>(propsSize), 0};
    header.resize(4 + propsSize);
    lzma_properties_encode(&props, header.data() + 4);
    header.insert(header.end(), out.begin(), out.end());
    return header;
}

Bytes Zstd(const Bytes& in) {
    Bytes out(ZSTD_compressBound(in.size()));
    const std::size_t n = ZSTD_compress(out.data(), out.size(), in.data(), in.size(), 3);
    EXPECT_FALSE(ZSTD_isError(n));
    out.resize(n);
    return out;
}

struct Case {
    const char* name;
    std::uint16_t method;
    std::uint16_t flags;
    bool passSize;
    Bytes (*encode)(const Bytes&);
};

Bytes LzmaWithMarker(const Bytes& in) { return ZipLzma(in, true); }
Bytes LzmaWithoutMarker(const Bytes& in) { return ZipLzma(in, false); }

const Case kCases[] = {
    {"deflate", method::kDeflate, 0, false, Deflate},
    {"bzip2", method::kBzip2, 0, false, Bzip2},
    {"xz", method::kXz, 0, false, Xz},
    {"zstd", method::kZstd, 0, false, Zstd},
    {"lzma-marker", method::kLzma, 2, false, LzmaWithMarker},
    {"lzma-sized", method::kLzma, 0, true, LzmaWithoutMarker},
};

struct FeedResult {
    DecodeResult last = DecodeResult::kNeedMore;
    std::size_t endAt = 0;  // input offset where the stream ended
};

FeedResult FeedInPieces(EntryDecoder& decoder, const Bytes& input, std::size_t piece) {
    FeedResult result;
    std::size_t at = 0;
    while (at < input.size()) {
        const std::size_t n = std::min(piece, input.size() - at);
        std::size_t consumed = 0;
        result.last = decoder.Feed(input.data() + at, n, &consumed);
        EXPECT_LE(consumed, n);
        at += consumed;
        if (result.last != DecodeResult::kNeedMore) break;
        EXPECT_EQ(consumed, n);
    }
    result.endAt = at;
    return result;
}

// Bytes that do not compress: deflate keeps them in stored blocks.
Bytes NoiseData(std::size_t size) {
    Bytes data(size);
    std::uint64_t state = 88172645463325252ull;
    for (auto& b : data) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        b = static_cast<std::uint8_t>(state);
    }
    return data;
}

void ExpectEachMethodFindsItsEnd(const Bytes& plain) {
    const std::uint32_t crc = UpdateCrc32(0, plain.data(), plain.size());
    // The fast CRC is the one zlib (and ZIP) computes.
    EXPECT_EQ(crc, static_cast<std::uint32_t>(crc32(0, plain.data(), static_cast<uInt>(plain.size()))));
    for (const Case& c : kCases) {
        Bytes input = c.encode(plain);
        const std::size_t streamLength = input.size();
        // What follows a streamed entry: a descriptor and the next header.
        const char trailer[] = "PK\x07\x08....PK\x03\x04 next entry";
        input.insert(input.end(), trailer, trailer + sizeof trailer);
        for (const std::size_t piece : {std::size_t{31}, std::size_t{4096}, input.size()}) {
            SCOPED_TRACE(std::string(c.name) + " piece " + std::to_string(piece));
            auto decoder = EntryDecoder::Create(c.method, c.flags, c.passSize ? plain.size() : kUnknownSize);
            ASSERT_TRUE(decoder);
            EXPECT_TRUE(decoder->HasOwnEnd());
            const FeedResult r = FeedInPieces(*decoder, input, piece);
            EXPECT_EQ(r.last, DecodeResult::kStreamEnd) << decoder->FailureText();
            EXPECT_EQ(r.endAt, streamLength);
            EXPECT_EQ(decoder->ConsumedSize(), streamLength);
            EXPECT_EQ(decoder->DecodedSize(), plain.size());
            EXPECT_EQ(decoder->Crc32(), crc);
        }
    }
}

TEST(EntryDecoder, EachMethodFindsItsEndExactlyInAnyPieceSize) {
    ExpectEachMethodFindsItsEnd(SampleData(300000));
    ExpectEachMethodFindsItsEnd(NoiseData(70000));
}

TEST(EntryDecoder, CutStreamWantsMoreAndBrokenStreamFails) {
    const Bytes plain = SampleData(300000);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const Bytes whole = c.encode(plain);
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 7 / 10));
        auto decoder = EntryDecoder::Create(c.method, c.flags, c.passSize ? plain.size() : kUnknownSize);
        const FeedResult r = FeedInPieces(*decoder, cut, 4096);
        EXPECT_EQ(r.last, DecodeResult::kNeedMore);
        // The decoded prefix is the original's prefix.
        EXPECT_GT(decoder->DecodedSize(), 0u);
        EXPECT_LT(decoder->DecodedSize(), plain.size());

        Bytes broken = whole;
        for (std::size_t i = broken.size() / 3; i < broken.size() / 3 + 64; ++i) broken[i] ^= 0x5A;
        auto second = EntryDecoder::Create(c.method, c.flags, c.passSize ? plain.size() : kUnknownSize);
        const FeedResult b = FeedInPieces(*second, broken, 4096);
        const bool noticed = b.last == DecodeResult::kCorrupt ||
                             second->Crc32() != UpdateCrc32(0, plain.data(), plain.size()) ||
                             second->DecodedSize() != plain.size();
        EXPECT_TRUE(noticed);
        if (b.last == DecodeResult::kCorrupt) {
            EXPECT_LE(second->FailureOffset(), broken.size());
            EXPECT_STRNE(second->FailureText(), "");
            std::size_t consumed = 0;
            EXPECT_EQ(second->Feed(broken.data(), broken.size(), &consumed), DecodeResult::kCorrupt);
        }
    }
}

// A small input can decode to far more than it holds: every method stops
// where its output passes the declared size, and a cancel is seen while one
// input block is still decoding.
TEST(EntryDecoder, OutputPastTheDeclaredSizeOrACancelStopsDecoding) {
    const Bytes plain = SampleData(300000);
    for (const Case& c : kCases) {
        if (c.passSize) continue;  // sized LZMA ends at its size by itself
        SCOPED_TRACE(c.name);
        const Bytes input = c.encode(plain);
        auto decoder = EntryDecoder::Create(c.method, c.flags);
        decoder->SetDeclaredSize(100000);
        std::uint64_t passedOn = 0;
        decoder->SetSink([&](const std::uint8_t*, std::size_t n) {
            passedOn += n;
            return true;
        });
        EXPECT_EQ(FeedInPieces(*decoder, input, input.size()).last, DecodeResult::kCorrupt);
        EXPECT_TRUE(decoder->PassedDeclaredSize());
        EXPECT_EQ(decoder->DecodedSize(), 100000u);
        EXPECT_EQ(passedOn, 100000u);
        EXPECT_EQ(decoder->Crc32(), UpdateCrc32(0, plain.data(), 100000));
    }

    const Bytes zeros(std::size_t{64} << 20, 0);
    const Bytes bomb = Bzip2(zeros);
    ASSERT_LT(bomb.size(), std::size_t{1} << 10);
    auto decoder = EntryDecoder::Create(method::kBzip2, 0);
    int asked = 0;
    decoder->SetMayContinue([&] { return ++asked < 2; });
    std::size_t consumed = 0;
    EXPECT_EQ(decoder->Feed(bomb.data(), bomb.size(), &consumed), DecodeResult::kCancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_LT(decoder->DecodedSize(), zeros.size() / 4);
    EXPECT_FALSE(decoder->PassedDeclaredSize());
    EXPECT_EQ(decoder->Feed(bomb.data(), bomb.size(), &consumed), DecodeResult::kCancelled);
}

TEST(EntryDecoder, StoredPassesBytesThroughWithoutAnEndOfItsOwn) {
    const Bytes plain = SampleData(100000);
    auto decoder = EntryDecoder::Create(method::kStored, 0);
    ASSERT_TRUE(decoder);
    EXPECT_FALSE(decoder->HasOwnEnd());
    Bytes seen;
    decoder->SetSink([&](const std::uint8_t* d, std::size_t n) {
        seen.insert(seen.end(), d, d + n);
        return true;
    });
    EXPECT_EQ(FeedInPieces(*decoder, plain, 999).last, DecodeResult::kNeedMore);
    EXPECT_EQ(seen, plain);
    EXPECT_EQ(decoder->Crc32(), UpdateCrc32(0, plain.data(), plain.size()));
}

TEST(EntryDecoder, SinkThatStopsEndsDecodingAndUnknownMethodsHaveNoDecoder) {
    const Bytes plain = SampleData(500000);
    auto decoder = EntryDecoder::Create(method::kDeflate, 0);
    std::size_t seen = 0;
    decoder->SetSink([&](const std::uint8_t*, std::size_t n) {
        seen += n;
        return seen < 100000;
    });
    const Bytes input = Deflate(plain);
    EXPECT_EQ(FeedInPieces(*decoder, input, input.size()).last, DecodeResult::kCorrupt);
    EXPECT_STREQ(decoder->FailureText(), "stopped");

    for (const std::uint16_t m : {method::kShrink, method::kImplode, method::kDeflate64, method::kPpmd, method::kAes}) {
        EXPECT_FALSE(EntryDecoder::SupportsMethod(m));
        EXPECT_EQ(EntryDecoder::Create(m, 0), nullptr);
    }
}

}  // namespace
}  // namespace vrz
