#include "codec/EntryDecoder.h"

#include <isa-l/crc.h>

#include "codec/MethodDecoders.h"

namespace vrz {

namespace {

// Often enough that a cancel is seen within a fraction of a second whatever
// the method's speed, rarely enough that the check costs nothing.
constexpr std::uint64_t kCancelCheckInterval = std::uint64_t{4} << 20;

}  // namespace

// ISA-L's folding CRC: several times zlib's speed on the same data, and
// every byte the engine verifies passes through it.
std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t length) {
    return length == 0 ? crc : crc32_gzip_refl(crc, data, length);
}

bool EntryDecoder::SupportsMethod(std::uint16_t m) {
    switch (m) {
        case method::kStored:
        case method::kDeflate:
        case method::kBzip2:
        case method::kLzma:
        case method::kZstd:
        case method::kXz:
            return true;
        default:
            return false;
    }
}

std::unique_ptr<EntryDecoder> EntryDecoder::Create(std::uint16_t m, std::uint16_t flags, std::uint64_t expectedSize) {
    switch (m) {
        case method::kStored: return MakeStoredDecoder();
        case method::kDeflate: return MakeDeflateDecoder();
        case method::kBzip2: return MakeBzip2Decoder();
        case method::kLzma: return MakeLzmaDecoder(flags, expectedSize);
        case method::kZstd: return MakeZstdDecoder();
        case method::kXz: return MakeXzDecoder();
        default: return nullptr;
    }
}

bool EntryDecoder::Emit(const std::uint8_t* data, std::size_t length) {
    if (length == 0) return true;
    // decoded_ never passes declaredSize_, so the difference cannot wrap.
    if (length > declaredSize_ - decoded_) {
        length = static_cast<std::size_t>(declaredSize_ - decoded_);
        passedDeclared_ = true;
    }
    crc_ = UpdateCrc32(crc_, data, length);
    decoded_ += length;
    if (sink_ && length > 0 && !sink_(data, length)) {
        sinkStopped_ = true;
        return false;
    }
    if (passedDeclared_) return false;
    sinceCancelCheck_ += length;
    if (mayContinue_ && sinceCancelCheck_ >= kCancelCheckInterval) {
        sinceCancelCheck_ = 0;
        if (!mayContinue_()) {
            cancelled_ = true;
            return false;
        }
    }
    return true;
}

DecodeResult EntryDecoder::Feed(const std::uint8_t* in, std::size_t length, std::size_t* consumed) {
    *consumed = 0;
    if (ended_) return DecodeResult::kStreamEnd;
    if (cancelled_) return DecodeResult::kCancelled;
    if (failureText_[0]) return DecodeResult::kCorrupt;  // a failed stream stays failed
    std::size_t taken = 0;
    const DecodeResult result = Step(in, length, &taken);
    *consumed = taken;
    consumed_ += taken;
    if (cancelled_) return DecodeResult::kCancelled;
    if (sinkStopped_ || passedDeclared_) {
        failureOffset_ = consumed_;
        failureText_ = sinkStopped_ ? "stopped" : "longer than its declared size";
        return DecodeResult::kCorrupt;
    }
    if (result == DecodeResult::kCorrupt) {
        failureOffset_ = consumed_;
        if (!failureText_[0]) failureText_ = "data does not decode";
    }
    if (result == DecodeResult::kStreamEnd) ended_ = true;
    return result;
}

}  // namespace vrz
