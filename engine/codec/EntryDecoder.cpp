#include "codec/EntryDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

#include "codec/MethodDecoders.h"

namespace vrz {

std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t length) {
    // zlib takes lengths as uInt; feed it in pieces that fit.
    while (length > 0) {
        const uInt piece = static_cast<uInt>(std::min<std::size_t>(length, UINT_MAX));
        crc = static_cast<std::uint32_t>(crc32(crc, data, piece));
        data += piece;
        length -= piece;
    }
    return crc;
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
    crc_ = UpdateCrc32(crc_, data, length);
    decoded_ += length;
    if (sink_ && !sink_(data, length)) {
        sinkStopped_ = true;
        return false;
    }
    return true;
}

DecodeResult EntryDecoder::Feed(const std::uint8_t* in, std::size_t length, std::size_t* consumed) {
    *consumed = 0;
    if (ended_) return DecodeResult::kStreamEnd;
    if (failureText_[0]) return DecodeResult::kCorrupt;  // a failed stream stays failed
    std::size_t taken = 0;
    const DecodeResult result = Step(in, length, &taken);
    *consumed = taken;
    consumed_ += taken;
    if (sinkStopped_) {
        failureOffset_ = consumed_;
        failureText_ = "stopped";
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
