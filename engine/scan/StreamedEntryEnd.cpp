#include "scan/StreamedEntryEnd.h"

#include <algorithm>

#include "codec/EntryDecoder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

const std::uint8_t* const kDescriptorSignature[] = {zip::kSigDataDescriptor};

// Bytes decoded per step; a window read, so the scan keeps its large reads.
std::size_t DecodeStep(const SourceReader& reader) { return reader.WindowSize(); }

DescriptorExpectation BaseExpectation(const LocalHeader& header) {
    DescriptorExpectation e;
    e.storedPlain = header.method == method::kStored && (header.flags & zip::kFlagEncrypted) == 0;
    e.zip64First = header.zip64Extra;
    return e;
}

enum class DecodeOutcome { kEnded, kRanOut, kCorrupt, kCancelled };

DecodeOutcome DecodeToStreamEnd(SourceReader& reader, EntryDecoder& decoder, std::uint64_t dataStart,
                                std::uint64_t runEnd, const StreamedEndHooks& hooks) {
    std::uint64_t position = dataStart;
    decoder.SetMayContinue(hooks.mayContinue);
    while (position < runEnd) {
        if (!hooks.mayContinue()) return DecodeOutcome::kCancelled;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(DecodeStep(reader), runEnd - position));
        const std::uint8_t* in = reader.Bytes(position, want);
        if (!in) return DecodeOutcome::kRanOut;
        std::size_t consumed = 0;
        const DecodeResult result = decoder.Feed(in, want, &consumed);
        position += consumed;
        hooks.passedOffset(position);
        if (result == DecodeResult::kStreamEnd) return DecodeOutcome::kEnded;
        if (result == DecodeResult::kCancelled) return DecodeOutcome::kCancelled;
        if (result == DecodeResult::kCorrupt) return DecodeOutcome::kCorrupt;
        if (consumed == 0) return DecodeOutcome::kCorrupt;  // no progress: never loop
    }
    return DecodeOutcome::kRanOut;
}

}  // namespace

// Every descriptor signature from dataStart on, until one agrees.
StreamedEnd StreamedEntryEndFinder::SearchBySignature(const LocalHeader& header, std::uint64_t dataStart,
                                                      std::uint64_t runEnd) {
    StreamedEnd end;
    DescriptorExpectation expect = BaseExpectation(header);
    const auto agrees = [&](std::uint64_t at) {
        expect.dataLength = at - dataStart;
        return ReadAgreeingDescriptor(reader_, at, runEnd, expect, &end.descriptor);
    };
    if (Cached(dataStart, runEnd)) {
        auto it = std::lower_bound(cachedSignatures_.begin(), cachedSignatures_.end(), dataStart);
        for (; it != cachedSignatures_.end(); ++it) {
            if (!hooks_.mayContinue()) {
                end.outcome = StreamedEnd::Outcome::kCancelled;
                return end;
            }
            if (agrees(*it)) {
                end.outcome = StreamedEnd::Outcome::kFound;
                return end;
            }
        }
        end.outcome = StreamedEnd::Outcome::kNotFound;
        return end;
    }
    std::vector<std::uint64_t> seen;
    std::uint64_t from = dataStart;
    while (from < runEnd) {
        if (!hooks_.mayContinue()) {
            end.outcome = StreamedEnd::Outcome::kCancelled;
            return end;
        }
        std::uint64_t at = 0;
        if (!reader_.FindSignature(from, runEnd, kDescriptorSignature, 1, &at)) {
            hooks_.passedOffset(at);
            if (at >= runEnd || at <= from) break;
            from = at;
            continue;
        }
        if (agrees(at)) {
            end.outcome = StreamedEnd::Outcome::kFound;
            return end;
        }
        seen.push_back(at);
        from = at + 1;
    }
    // Searched to the end: later searches from here on need only these places.
    cacheValid_ = true;
    cacheFrom_ = dataStart;
    cacheRunEnd_ = runEnd;
    cachedSignatures_ = std::move(seen);
    end.outcome = StreamedEnd::Outcome::kNotFound;
    return end;
}

StreamedEnd StreamedEntryEndFinder::Find(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd) {
    SourceReader& reader = reader_;
    const StreamedEndHooks& hooks = hooks_;
    const bool encrypted = (header.flags & zip::kFlagEncrypted) != 0;
    std::unique_ptr<EntryDecoder> decoder;
    if (!encrypted) {
        const bool sizeKnown = header.uncompressedSize != 0 && header.uncompressedSize != zip::kZip64Marker32;
        decoder = EntryDecoder::Create(header.method, header.flags, sizeKnown ? header.uncompressedSize : kUnknownSize);
    }
    if (!decoder || !decoder->HasOwnEnd()) return SearchBySignature(header, dataStart, runEnd);

    StreamedEnd end;
    switch (DecodeToStreamEnd(reader, *decoder, dataStart, runEnd, hooks)) {
        case DecodeOutcome::kCancelled:
            end.outcome = StreamedEnd::Outcome::kCancelled;
            return end;
        case DecodeOutcome::kEnded: {
            DescriptorExpectation expect = BaseExpectation(header);
            expect.dataLength = decoder->ConsumedSize();
            expect.decoded = true;
            expect.decodedCrc = decoder->Crc32();
            expect.decodedSize = decoder->DecodedSize();
            expect.allowBare = true;
            if (ReadAgreeingDescriptor(reader, dataStart + expect.dataLength, runEnd, expect, &end.descriptor)) {
                end.outcome = StreamedEnd::Outcome::kFound;
                return end;
            }
            // The data decoded whole but no descriptor agrees after it: the
            // descriptor is damaged or cut, and nothing else can say where
            // the entry ends.
            end.outcome = StreamedEnd::Outcome::kNotFound;
            return end;
        }
        case DecodeOutcome::kCorrupt:
            end.doesNotDecode = true;
            end.failureOffset = decoder->FailureOffset();
            break;
        case DecodeOutcome::kRanOut:
            // Cut short: an LZMA stream without end marker never ends by itself.
            if (header.method != method::kLzma) {
                end.outcome = StreamedEnd::Outcome::kNotFound;
                return end;
            }
            break;
    }
    StreamedEnd searched = SearchBySignature(header, dataStart, runEnd);
    searched.doesNotDecode = end.doesNotDecode;
    searched.failureOffset = end.failureOffset;
    return searched;
}

}  // namespace vrz
