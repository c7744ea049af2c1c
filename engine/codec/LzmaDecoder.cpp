#include <algorithm>
#include <cstring>

#include "codec/LzmaStream.h"
#include "codec/MethodDecoders.h"
#include "records/ByteOrder.h"

namespace vrz {

namespace {

// ZIP's LZMA prefix: 2 bytes of encoder version, 2 bytes of properties
// length, then the properties (5 bytes for LZMA1).
constexpr std::size_t kPrefixFixed = 4;
constexpr std::size_t kLzma1PropertiesSize = 5;
constexpr std::uint16_t kFlagLzmaEndMarker = 0x0002;
// A decoder's dictionary can be up to 4 GiB; refuse more memory than this
// rather than let a crafted header take it.
constexpr std::uint64_t kMemoryLimit = std::uint64_t{1} << 31;

class LzmaDecoder final : public EntryDecoder {
public:
    LzmaDecoder(std::uint16_t flags, std::uint64_t expectedSize)
        : endMarker_((flags & kFlagLzmaEndMarker) != 0), expectedSize_(expectedSize) {}
    ~LzmaDecoder() override { delete[] static_cast<std::uint8_t*>(options_); }
    bool HasOwnEnd() const override { return true; }

protected:
    DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) override {
        *consumed = 0;
        if (!started_) {
            // Gather the prefix first; it may arrive in pieces.
            const std::size_t want = kPrefixFixed + kLzma1PropertiesSize;
            const std::size_t take = std::min(length, want - prefixLength_);
            std::memcpy(prefix_ + prefixLength_, in, take);
            prefixLength_ += take;
            *consumed = take;
            if (prefixLength_ < want) return DecodeResult::kNeedMore;
            if (!Start()) return DecodeResult::kCorrupt;
            started_ = true;
        }
        std::size_t used = 0;
        const char* failure = "";
        const DecodeResult result = stream_.Run(
            in + *consumed, length - *consumed, &used,
            [this](const std::uint8_t* data, std::size_t n) { return Emit(data, n); }, &failure);
        *consumed += used;
        if (failure[0]) Fail(failure);
        return result;
    }

private:
    bool Start() {
        if (ReadU16(prefix_ + 2) != kLzma1PropertiesSize) {
            Fail("unknown LZMA properties");
            return false;
        }
        lzma_filter filter{};
        filter.id = LZMA_FILTER_LZMA1;
        if (lzma_properties_decode(&filter, nullptr, prefix_ + kPrefixFixed, kLzma1PropertiesSize) != LZMA_OK) {
            Fail("invalid LZMA properties");
            return false;
        }
        // Decode as LZMA1EXT: the size tells where a stream without end
        // marker stops, and a marker is still accepted right at that size.
        lzma_options_lzma* options = static_cast<lzma_options_lzma*>(filter.options);
        lzma_options_lzma copy = *options;
        free(options);
        copy.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
        const std::uint64_t size = endMarker_ && expectedSize_ == kUnknownSize ? UINT64_MAX : expectedSize_;
        copy.ext_size_low = static_cast<std::uint32_t>(size);
        copy.ext_size_high = static_cast<std::uint32_t>(size >> 32);
        if (copy.dict_size > kMemoryLimit) {
            Fail("LZMA dictionary too large");
            return false;
        }
        auto* held = new std::uint8_t[sizeof copy];
        std::memcpy(held, &copy, sizeof copy);
        options_ = held;
        lzma_filter filters[2] = {{LZMA_FILTER_LZMA1EXT, options_}, {LZMA_VLI_UNKNOWN, nullptr}};
        if (lzma_raw_decoder(stream_.get(), filters) != LZMA_OK) {
            Fail("LZMA decoder could not start");
            return false;
        }
        return true;
    }

    const bool endMarker_;
    const std::uint64_t expectedSize_;
    std::uint8_t prefix_[kPrefixFixed + kLzma1PropertiesSize] = {};
    std::size_t prefixLength_ = 0;
    bool started_ = false;
    void* options_ = nullptr;
    LzmaStream stream_;
};

class XzDecoder final : public EntryDecoder {
public:
    XzDecoder() { ready_ = lzma_stream_decoder(stream_.get(), kMemoryLimit, 0) == LZMA_OK; }
    bool HasOwnEnd() const override { return true; }

protected:
    DecodeResult Step(const std::uint8_t* in, std::size_t length, std::size_t* consumed) override {
        *consumed = 0;
        if (!ready_) {
            Fail("xz decoder could not start");
            return DecodeResult::kCorrupt;
        }
        const char* failure = "";
        const DecodeResult result = stream_.Run(
            in, length, consumed, [this](const std::uint8_t* data, std::size_t n) { return Emit(data, n); },
            &failure);
        if (failure[0]) Fail(failure);
        return result;
    }

private:
    LzmaStream stream_;
    bool ready_ = false;
};

}  // namespace

std::unique_ptr<EntryDecoder> MakeLzmaDecoder(std::uint16_t flags, std::uint64_t expectedSize) {
    return std::make_unique<LzmaDecoder>(flags, expectedSize);
}

std::unique_ptr<EntryDecoder> MakeXzDecoder() { return std::make_unique<XzDecoder>(); }

}  // namespace vrz
