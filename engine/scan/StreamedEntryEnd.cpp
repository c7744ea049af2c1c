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
        if (result == DecodeResult::kCorrupt) return DecodeOutcome::kCorrupt;
        if (consumed == 0) return DecodeOutcome::kCorrupt;  // no progress: never loop
    }
    return DecodeOutcome::kRanOut;
}

// Every descriptor signature from dataStart on, until one agrees.
StreamedEnd SearchBySignature(SourceReader& reader, const LocalHeader& header, std::uint64_t dataStart,
                              std::uint64_t runEnd, const StreamedEndHooks& hooks) {
    StreamedEnd end;
    std::uint64_t from = dataStart;
    while (from < runEnd) {
        if (!hooks.mayContinue()) {
            end.outcome = StreamedEnd::Outcome::kCancelled;
            return end;
        }
        std::uint64_t at = 0;
        if (!reader.FindSignature(from, runEnd, kDescriptorSignature, 1, &at)) {
            hooks.passedOffset(at);
            if (at >= runEnd || at <= from) break;
            from = at;
            continue;
        }
        DescriptorExpectation expect = BaseExpectation(header);
        expect.dataLength = at - dataStart;
        if (ReadAgreeingDescriptor(reader, at, runEnd, expect, &end.descriptor)) {
            end.outcome = StreamedEnd::Outcome::kFound;
            return end;
        }
        from = at + 1;
    }
    end.outcome = StreamedEnd::Outcome::kNotFound;
    return end;
}

}  // namespace

StreamedEnd FindStreamedEntryEnd(SourceReader& reader, const LocalHeader& header, std::uint64_t dataStart,
                                 std::uint64_t runEnd, const StreamedEndHooks& hooks) {
    const bool encrypted = (header.flags & zip::kFlagEncrypted) != 0;
    std::unique_ptr<EntryDecoder> decoder;
    if (!encrypted) {
        const bool sizeKnown = header.uncompressedSize != 0 && header.uncompressedSize != zip::kZip64Marker32;
        decoder = EntryDecoder::Create(header.method, header.flags, sizeKnown ? header.uncompressedSize : kUnknownSize);
    }
    if (!decoder || !decoder->HasOwnEnd()) return SearchBySignature(reader, header, dataStart, runEnd, hooks);

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
    StreamedEnd searched = SearchBySignature(reader, header, dataStart, runEnd, hooks);
    searched.doesNotDecode = end.doesNotDecode;
    searched.failureOffset = end.failureOffset;
    return searched;
}

}  // namespace vrz
