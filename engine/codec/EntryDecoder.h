// Streaming decoders for the compression methods an entry's data may use.
// One layer for everything that needs to read inside entry data: finding
// where a streamed entry's data ends (its compressed stream ends there) and
// verifying an entry's CRC-32 and size. Fixed buffers, so memory stays flat
// whatever the entry's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace vrz {

namespace method {
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kShrink = 1;
constexpr std::uint16_t kImplode = 6;
constexpr std::uint16_t kDeflate = 8;
constexpr std::uint16_t kDeflate64 = 9;
constexpr std::uint16_t kBzip2 = 12;
constexpr std::uint16_t kLzma = 14;
constexpr std::uint16_t kZstd = 93;
constexpr std::uint16_t kXz = 95;
constexpr std::uint16_t kPpmd = 98;
constexpr std::uint16_t kAes = 99;
}  // namespace method

constexpr std::uint64_t kUnknownSize = ~std::uint64_t{0};

enum class DecodeResult {
    kNeedMore,   // all input taken; the stream goes on
    kStreamEnd,  // the compressed stream ended inside this input; see consumed
    kCorrupt,    // the data does not decode, or its output passed the declared size (see FailureOffset)
    kCancelled,  // the may-continue check said stop
};

class EntryDecoder {
public:
    // Receives decoded bytes; returning false stops decoding (Feed then
    // reports kCorrupt with FailureText() "stopped").
    using Sink = std::function<bool(const std::uint8_t* data, std::size_t length)>;

    // Methods this build decodes: stored, deflate, bzip2, LZMA, zstd, xz.
    static bool SupportsMethod(std::uint16_t method);

    // A decoder for one entry's data, or nullptr for a method it cannot
    // decode. flags are the general purpose flags (bit 1 tells whether an
    // LZMA stream carries its end marker); expectedSize is the uncompressed
    // size where known, which an LZMA stream without end marker needs to end.
    static std::unique_ptr<EntryDecoder> Create(std::uint16_t method, std::uint16_t flags,
                                                std::uint64_t expectedSize = kUnknownSize);

    virtual ~EntryDecoder() = default;

    // Decodes from in[0, length). *consumed is the input taken; after
    // kStreamEnd the rest of the input lies past the entry's data.
    DecodeResult Feed(const std::uint8_t* in, std::size_t length, std::size_t* consumed);

    // Stored data has no end of its own: Feed never reports kStreamEnd.
    virtual bool HasOwnEnd() const = 0;

    void SetSink(Sink sink) { sink_ = std::move(sink); }

    // Asked every few MiB of decoded output, not only between input blocks:
    // a few kB of input can decode to terabytes. false makes Feed report
    // kCancelled (and keep reporting it).
    void SetMayContinue(std::function<bool()> mayContinue) { mayContinue_ = std::move(mayContinue); }

    // The uncompressed size the entry declares. Output beyond it is damage:
    // decoding stops there (the bytes within it are still decoded, counted
    // and passed on) and Feed reports kCorrupt with PassedDeclaredSize().
    void SetDeclaredSize(std::uint64_t size) { declaredSize_ = size; }
    bool PassedDeclaredSize() const { return passedDeclared_; }

    std::uint32_t Crc32() const { return crc_; }
    std::uint64_t DecodedSize() const { return decoded_; }
    std::uint64_t ConsumedSize() const { return consumed_; }
    // For kCorrupt: how far into the compressed data decoding failed, as far
    // as the decoder can tell, and a short reason in English for logs.
    std::uint64_t FailureOffset() const { return failureOffset_; }
    const char* FailureText() const { return failureText_; }
    bool Ended() const { return ended_; }

protected:
    EntryDecoder() = default;
    // One step of the method's decoder over in; writes decoded bytes through Emit.
    virtual DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) = 0;
    // Counts, checksums and forwards decoded bytes; false when the sink
    // stopped, the declared size was passed or the job was cancelled.
    bool Emit(const std::uint8_t* data, std::size_t length);
    void Fail(const char* text) { failureText_ = text; }

private:
    Sink sink_;
    std::function<bool()> mayContinue_;
    std::uint64_t declaredSize_ = kUnknownSize;
    std::uint64_t sinceCancelCheck_ = 0;
    std::uint32_t crc_ = 0;
    std::uint64_t decoded_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t failureOffset_ = 0;
    const char* failureText_ = "";
    bool ended_ = false;
    bool sinkStopped_ = false;
    bool passedDeclared_ = false;
    bool cancelled_ = false;
};

// CRC-32 as ZIP stores it (the gzip one), continued from crc over data.
std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t length);

}  // namespace vrz
