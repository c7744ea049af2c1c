// Decodes compressed streams for the scan and remembers what each decode
// found by the offset where its data starts, so that any number of headers
// and central records pointing at the same data decode it once. Decoding
// polls the cancel point every few megabytes of output as well as of input:
// a small stream can decode to gigabytes.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

#include "codec/EntryDecoder.h"
#include "codec/WholeInflate.h"
#include "io/SourceReader.h"
#include "state/ScanWork.h"

namespace vrz {

struct StreamDecode {
    enum class Outcome {
        kEnded,      // the stream ended; consumed is its compressed length
        kRanOut,     // the limit came first
        kCorrupt,    // the data does not decode; failureOffset says where
        kCancelled,
        kNoDecoder,  // a method this build cannot decode
        kSkipped,    // not decoded before, and not to be decoded now
    } outcome = Outcome::kNoDecoder;
    // Answered from an earlier decode: no byte was read for it.
    bool remembered = false;
    // kCorrupt because more came out than the cap allowed.
    bool passedCap = false;
    std::uint64_t consumed = 0;
    std::uint64_t decodedSize = 0;
    std::uint64_t failureOffset = 0;
    std::uint32_t crc32 = 0;
};

struct DecodeHooks {
    std::function<bool()> mayContinue;                // cancel point
    std::function<void(std::uint64_t)> passedOffset;  // progress; may be empty
};

// One decode the scan asks for: the stream of method at dataStart, read up
// to limit, stopped past outputCap bytes of output.
struct StreamRequest {
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    std::uint64_t expectedSize = kUnknownSize;
    std::uint64_t dataStart = 0;
    std::uint64_t limit = 0;
    std::uint64_t outputCap = kUnknownSize;
};

// Decodes one stream through reader, counting what it spent into work. The
// outcome is kCancelled when hooks.mayContinue said stop. A deflate stream
// that ends within the first piece read is inflated whole by whole.
StreamDecode DecodeStream(SourceReader& reader, WholeInflater& whole, ScanWork& work, const DecodeHooks& hooks,
                          const StreamRequest& request);

// Decodes done before the scan asked for them (on other threads). Take
// hands over the result of exactly this request, with the work it cost;
// false when there is none and the caller must decode itself.
class DecodedAhead {
public:
    virtual ~DecodedAhead() = default;
    virtual bool Take(const StreamRequest& request, StreamDecode* result, ScanWork* spent) = 0;
};

class DecodeMemo {
public:
    DecodeMemo(SourceReader& reader, ScanWork& work, DecodeHooks hooks)
        : reader_(reader), work_(work), hooks_(std::move(hooks)) {}

    // Decodes the stream of method that starts at dataStart, reading no byte
    // at or past limit. expectedSize is the uncompressed size where known
    // (an LZMA stream without end marker needs it). Without mayRun only an
    // earlier decode can answer. Decoding stops once more than outputCap
    // bytes came out (kCorrupt, passedCap): data declared smaller is
    // damaged from there on.
    StreamDecode Decode(std::uint16_t method, std::uint16_t flags, std::uint64_t expectedSize,
                        std::uint64_t dataStart, std::uint64_t limit, bool mayRun = true,
                        std::uint64_t outputCap = kUnknownSize);

    // CRC-32 of [offset, offset + length); false when cancelled or unreadable.
    bool Crc32Of(std::uint64_t offset, std::uint64_t length, std::uint32_t* crc, bool* cancelled);

    // Decodes done ahead answer requests no earlier decode answers; may be null.
    void SetAhead(DecodedAhead* ahead) { ahead_ = ahead; }

    ScanWork& Work() { return work_; }
    bool Cancelled() const { return cancelled_; }

private:
    struct Key {
        std::uint64_t dataStart;
        std::uint16_t method;
        std::uint16_t flags;
        std::uint64_t expectedSize;
        bool operator<(const Key& o) const {
            return std::tie(dataStart, method, flags, expectedSize) <
                   std::tie(o.dataStart, o.method, o.flags, o.expectedSize);
        }
    };
    struct Remembered {
        StreamDecode result;
        std::uint64_t limit;
        std::uint64_t cap;  // the output cap it stopped at, or kUnknownSize
    };

    StreamDecode Run(const StreamRequest& request);
    static bool Answers(const Remembered& r, std::uint64_t dataStart, std::uint64_t limit, StreamDecode* out);

    SourceReader& reader_;
    ScanWork& work_;
    DecodeHooks hooks_;
    DecodedAhead* ahead_ = nullptr;
    WholeInflater whole_;
    // Only decodes that cost something are kept, so the map stays a small
    // fraction of the input whatever the input holds.
    std::map<Key, Remembered> remembered_;
    bool cancelled_ = false;
};

}  // namespace vrz
