#include "scan/StreamedEntryEnd.h"

#include <algorithm>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

DescriptorExpectation BaseExpectation(const LocalHeader& header) {
    DescriptorExpectation e;
    e.storedPlain = header.method == method::kStored && (header.flags & zip::kFlagEncrypted) == 0;
    e.zip64First = header.zip64Extra;
    return e;
}

}  // namespace

bool EndFoundByDecoding(const LocalHeader& header) {
    const bool encrypted = (header.flags & zip::kFlagEncrypted) != 0;
    return !encrypted && header.method != method::kStored && EntryDecoder::SupportsMethod(header.method);
}

StreamRequest EndDecodeRequest(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd) {
    const bool sizeKnown = header.uncompressedSize != 0 && header.uncompressedSize != zip::kZip64Marker32;
    StreamRequest request;
    request.method = header.method;
    request.flags = header.flags;
    request.expectedSize = sizeKnown ? header.uncompressedSize : kUnknownSize;
    request.dataStart = dataStart;
    request.limit = runEnd;
    return request;
}

bool StreamedEntryEndFinder::FindBareStored(std::uint64_t dataStart, std::uint64_t runEnd, StreamedEnd* end) {
    std::uint64_t next = 0;
    if (!index_.NextRecord(dataStart, &next)) return false;
    next = std::min(next, runEnd);
    ScanWork& work = memo_.Work();
    for (const std::size_t length : {zip::kBareDataDescriptorSize, zip::kBareZip64DataDescriptorSize}) {
        if (next - dataStart < length) continue;
        const std::uint64_t at = next - length;
        ++work.descriptorProbes;
        std::uint8_t d[zip::kBareZip64DataDescriptorSize];
        if (!reader_.Copy(at, length, d)) continue;
        const bool wide = length == zip::kBareZip64DataDescriptorSize;
        const std::uint64_t compressed = wide ? ReadU64(d + 4) : ReadU32(d + 4);
        const std::uint64_t uncompressed = wide ? ReadU64(d + 12) : ReadU32(d + 8);
        if (compressed != at - dataStart || uncompressed != compressed) continue;
        if (!work.MayDecodeForCandidate()) continue;
        std::uint32_t crc = 0;
        bool cancelled = false;
        if (!memo_.Crc32Of(dataStart, compressed, &crc, &cancelled)) {
            if (cancelled) return false;
            continue;
        }
        if (crc != ReadU32(d)) {
            work.refusedBytes += compressed;
            continue;
        }
        end->outcome = StreamedEnd::Outcome::kFound;
        end->descriptor = DescriptorValues{at, length, crc, compressed, uncompressed};
        end->decodedWhole = true;
        end->decodedCrc = crc;
        end->decodedSize = compressed;
        return true;
    }
    return false;
}

StreamedEnd StreamedEntryEndFinder::SearchByIndex(const LocalHeader& header, std::uint64_t dataStart,
                                                  std::uint64_t runEnd) {
    StreamedEnd end;
    if (!index_.SignedFor(dataStart, &positions_)) {
        end.outcome = StreamedEnd::Outcome::kCancelled;
        return end;
    }
    DescriptorExpectation expect = BaseExpectation(header);
    for (const std::uint64_t at : positions_) {
        if (at >= runEnd) break;
        ++memo_.Work().descriptorProbes;
        expect.dataLength = at - dataStart;
        if (ReadAgreeingDescriptor(reader_, at, runEnd, expect, &end.descriptor)) {
            end.outcome = StreamedEnd::Outcome::kFound;
            return end;
        }
    }
    if (expect.storedPlain && FindBareStored(dataStart, runEnd, &end)) return end;
    end.outcome = memo_.Cancelled() ? StreamedEnd::Outcome::kCancelled : StreamedEnd::Outcome::kNotFound;
    return end;
}

StreamedEnd StreamedEntryEndFinder::Find(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd) {
    if (!EndFoundByDecoding(header)) return SearchByIndex(header, dataStart, runEnd);

    ScanWork& work = memo_.Work();
    const StreamRequest request = EndDecodeRequest(header, dataStart, runEnd);
    // Candidates that end up refused may only decode so much in all: headers
    // quoted inside each other's stored deflate blocks would otherwise have
    // every one of them decode nearly the rest of the file. Past that
    // allowance only descriptors decide, which costs a lookup per candidate.
    const StreamDecode decoded = memo_.Decode(request.method, request.flags, request.expectedSize, dataStart,
                                              runEnd, work.MayDecodeForCandidate());
    StreamedEnd end;
    const std::uint64_t spent = decoded.remembered ? 0 : decoded.consumed;
    switch (decoded.outcome) {
        case StreamDecode::Outcome::kCancelled:
            end.outcome = StreamedEnd::Outcome::kCancelled;
            return end;
        case StreamDecode::Outcome::kEnded: {
            DescriptorExpectation expect = BaseExpectation(header);
            expect.dataLength = decoded.consumed;
            expect.decoded = true;
            expect.decodedCrc = decoded.crc32;
            expect.decodedSize = decoded.decodedSize;
            expect.allowBare = true;
            ++work.descriptorProbes;
            if (ReadAgreeingDescriptor(reader_, dataStart + expect.dataLength, runEnd, expect, &end.descriptor)) {
                end.outcome = StreamedEnd::Outcome::kFound;
                end.decodedWhole = true;
                end.decodedCrc = decoded.crc32;
                end.decodedSize = decoded.decodedSize;
                return end;
            }
            // No descriptor at all, but the next record begins right where
            // the stream ends: a writer that left the descriptor out. The
            // stream's end and what it decoded to are the entry's sizes.
            std::uint64_t next = 0;
            const std::uint64_t streamEnd = dataStart + decoded.consumed;
            if (!index_.NextRecord(streamEnd, &next)) {
                end.outcome = StreamedEnd::Outcome::kCancelled;
                return end;
            }
            if (next == streamEnd && next < runEnd) {
                end.outcome = StreamedEnd::Outcome::kFound;
                end.descriptor = DescriptorValues{streamEnd, 0, decoded.crc32, decoded.consumed, decoded.decodedSize};
                return end;
            }
            // The data decoded whole but no descriptor agrees after it and no
            // record follows: the descriptor is damaged or cut, and nothing
            // else can say where the entry ends.
            work.refusedBytes += spent;
            end.outcome = StreamedEnd::Outcome::kNotFound;
            return end;
        }
        case StreamDecode::Outcome::kCorrupt:
            work.refusedBytes += spent;
            end.doesNotDecode = true;
            end.failureOffset = decoded.failureOffset;
            break;
        case StreamDecode::Outcome::kRanOut:
            work.refusedBytes += spent;
            // Cut short: an LZMA stream without end marker never ends by itself.
            if (header.method != method::kLzma) {
                end.outcome = StreamedEnd::Outcome::kNotFound;
                return end;
            }
            break;
        case StreamDecode::Outcome::kNoDecoder:
        case StreamDecode::Outcome::kSkipped:
            break;
    }
    StreamedEnd searched = SearchByIndex(header, dataStart, runEnd);
    searched.doesNotDecode = end.doesNotDecode;
    searched.failureOffset = end.failureOffset;
    return searched;
}

}  // namespace vrz
