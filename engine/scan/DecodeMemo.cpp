#include "scan/DecodeMemo.h"

#include <algorithm>
#include <memory>

#include "codec/EntryDecoder.h"

namespace vrz {

namespace {

// Decodes that read less than this and wrote less than kRememberOutput are
// cheaper to repeat than to keep.
constexpr std::uint64_t kRememberInput = 1024;
constexpr std::uint64_t kRememberOutput = std::uint64_t{1} << 20;

// Most deflate streams end within the first piece and decode to a few
// megabytes at most: one call inflates those. Anything else, a failure
// included, is decoded again by the streaming decoder, which says where it
// failed; the counts are those the streaming decode would have made.
bool InflatedWhole(WholeInflater& whole, const std::uint8_t* in, std::size_t length, const StreamRequest& request,
                   ScanWork& work, StreamDecode* result) {
    const std::size_t limit =
        static_cast<std::size_t>(std::min<std::uint64_t>(request.outputCap, WholeInflater::kMaxOutput));
    WholeInflater::Result inflated;
    if (!whole.Inflate(in, length, limit, &inflated)) return false;
    ++work.decoderCalls;
    work.bytesDecoded += inflated.consumed;
    work.bytesProduced += inflated.produced;
    result->outcome = StreamDecode::Outcome::kEnded;
    result->consumed = inflated.consumed;
    result->decodedSize = inflated.produced;
    result->crc32 = inflated.crc32;
    return true;
}

}  // namespace

bool DecodeMemo::Answers(const Remembered& r, std::uint64_t dataStart, std::uint64_t limit, StreamDecode* out) {
    const std::uint64_t room = limit > dataStart ? limit - dataStart : 0;
    if (r.result.outcome == StreamDecode::Outcome::kRanOut) {
        if (limit > r.limit) return false;  // more room than last time: decode again
        *out = r.result;
        out->consumed = room;
        return true;
    }
    *out = r.result;
    if (r.result.consumed > room) {
        // Decoding stopped earlier within this smaller room.
        out->outcome = StreamDecode::Outcome::kRanOut;
        out->consumed = room;
    }
    return true;
}

StreamDecode DecodeMemo::Decode(std::uint16_t method, std::uint16_t flags, std::uint64_t expectedSize,
                                std::uint64_t dataStart, std::uint64_t limit, bool mayRun, std::uint64_t outputCap) {
    // Only LZMA reads the flags (its end-marker bit) and the expected size.
    const bool lzma = method == ::vrz::method::kLzma;
    const Key key{dataStart, method, static_cast<std::uint16_t>(lzma ? flags & 2u : 0u),
                  lzma ? expectedSize : 0};
    const auto found = remembered_.find(key);
    StreamDecode answer;
    // A decode stopped at a smaller cap cannot answer for a larger one; the
    // second decode then goes to the end, so no data decodes more than twice.
    const bool capTooSmall = found != remembered_.end() && found->second.cap < outputCap;
    if (capTooSmall) outputCap = kUnknownSize;
    if (found != remembered_.end() && !capTooSmall && Answers(found->second, dataStart, limit, &answer)) {
        ++work_.decodesRemembered;
        answer.remembered = true;
        return answer;
    }
    if (!mayRun) {
        answer.outcome = StreamDecode::Outcome::kSkipped;
        return answer;
    }
    answer = Run(StreamRequest{method, flags, expectedSize, dataStart, limit, outputCap});
    if (answer.outcome != StreamDecode::Outcome::kCancelled && answer.outcome != StreamDecode::Outcome::kNoDecoder &&
        (answer.consumed >= kRememberInput || answer.decodedSize >= kRememberOutput))
        remembered_[key] = Remembered{answer, limit, answer.passedCap ? outputCap : kUnknownSize};
    return answer;
}

StreamDecode DecodeMemo::Run(const StreamRequest& request) {
    StreamDecode result;
    ScanWork spent;
    if (ahead_ && ahead_->Take(request, &result, &spent)) {
        work_.decoderCalls += spent.decoderCalls;
        work_.bytesDecoded += spent.bytesDecoded;
        work_.bytesProduced += spent.bytesProduced;
        return result;
    }
    result = DecodeStream(reader_, whole_, work_, hooks_, request);
    if (result.outcome == StreamDecode::Outcome::kCancelled) cancelled_ = true;
    return result;
}

StreamDecode DecodeStream(SourceReader& reader, WholeInflater& whole, ScanWork& work, const DecodeHooks& hooks,
                          const StreamRequest& request) {
    StreamDecode result;
    std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(request.method, request.flags, request.expectedSize);
    if (!decoder) return result;
    // The decoder also asks every few MiB of what comes out: one window of
    // a bomb can decode to terabytes.
    decoder->SetMayContinue(hooks.mayContinue);
    decoder->SetDeclaredSize(request.outputCap);
    bool stopped = false;
    const std::uint64_t dataStart = request.dataStart;
    const std::uint64_t limit = request.limit;
    std::uint64_t position = dataStart;
    result.outcome = StreamDecode::Outcome::kRanOut;
    const std::uint64_t window = reader.WindowSize();
    while (position < limit) {
        if (!hooks.mayContinue()) {
            stopped = true;
            break;
        }
        // Pieces end on multiples of the window size, whichever reader reads
        // them: the window that holds one entry's data then mostly holds the
        // next entry's too (small entries read the file once, not a window
        // each), and every thread feeds the decoder the same pieces, so the
        // counts and failure offsets do not depend on who decoded.
        const std::uint64_t pieceEnd = std::min(limit, position - position % window + window);
        const auto want = static_cast<std::size_t>(pieceEnd - position);
        const std::uint8_t* in = reader.Bytes(position, want);
        if (!in) break;
        if (position == dataStart && request.method == method::kDeflate && InflatedWhole(whole, in, want, request,
                                                                                        work, &result)) {
            if (hooks.passedOffset) hooks.passedOffset(dataStart + result.consumed);
            return result;
        }
        std::size_t consumed = 0;
        ++work.decoderCalls;
        const DecodeResult step = decoder->Feed(in, want, &consumed);
        work.bytesDecoded += consumed;
        position += consumed;
        if (hooks.passedOffset) hooks.passedOffset(position);
        if (step == DecodeResult::kCancelled) {
            stopped = true;
            break;
        }
        if (step == DecodeResult::kStreamEnd) {
            result.outcome = StreamDecode::Outcome::kEnded;
            break;
        }
        if (step == DecodeResult::kCorrupt || consumed == 0) {  // no progress: never loop
            result.outcome = StreamDecode::Outcome::kCorrupt;
            result.failureOffset = decoder->FailureOffset();
            result.passedCap = decoder->PassedDeclaredSize();
            break;
        }
    }
    if (stopped) result.outcome = StreamDecode::Outcome::kCancelled;
    result.consumed = position - dataStart;
    if (result.outcome == StreamDecode::Outcome::kEnded) result.consumed = decoder->ConsumedSize();
    result.decodedSize = decoder->DecodedSize();
    work.bytesProduced += result.decodedSize;
    result.crc32 = decoder->Crc32();
    return result;
}

bool DecodeMemo::Crc32Of(std::uint64_t offset, std::uint64_t length, std::uint32_t* crc, bool* cancelled) {
    std::uint32_t value = 0;
    while (length > 0) {
        if (!hooks_.mayContinue()) {
            cancelled_ = true;
            *cancelled = true;
            return false;
        }
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(reader_.WindowSize(), length));
        const std::uint8_t* in = reader_.Bytes(offset, want);
        if (!in) return false;
        value = UpdateCrc32(value, in, want);
        work_.bytesChecked += want;
        offset += want;
        length -= want;
    }
    *crc = value;
    return true;
}

}  // namespace vrz
