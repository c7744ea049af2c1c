#include "scan/SpanEvidence.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/LocalRecordRewrite.h"
#include "records/ZipConstants.h"
#include "scan/ReadableHeader.h"

namespace vrz {

namespace {

// Where a stored entry's CRC-32 is tried before headers found in its data;
// past this many, the rest are not tried (a hostile span of signatures).
constexpr std::size_t kMostHeaderPlaces = 4096;
constexpr std::uint16_t kFlagLzmaEndMarker = 0x0002;

const std::uint8_t* const kHeaderSignatures[] = {zip::kSigLocalHeader, zip::kSigCentralHeader,
                                                 zip::kSigEndOfCentralDir};

bool IsRecordSignature(const std::uint8_t* p) {
    if (p[0] != 'P' || p[1] != 'K') return false;
    switch (p[2]) {
        case 1: return p[3] == 2;
        case 3: return p[3] == 4;
        case 5: return p[3] == 6;
        case 6: return p[3] == 6 || p[3] == 7;
        case 7: return p[3] == 8;
        default: return false;
    }
}

void AddFinding(JobState& state, FindingKind kind, const RecoveredEntry& row, std::uint64_t value) {
    ScanFinding finding;
    finding.kind = kind;
    finding.offset = row.headerOffset;
    finding.part = row.part;
    finding.name = std::string(state.NameOf(row));
    finding.value = value;
    state.findings.Add(std::move(finding));
}

}  // namespace

bool SpanEvidence::RecordFollows(std::uint64_t end, std::uint64_t runEnd) {
    if (end == runEnd) return true;
    if (end > runEnd || runEnd - end < 4) return false;
    // A look ahead that leaves the window where the walk reads: moving it
    // would make the walk read the same bytes again behind it.
    std::uint8_t signature[4];
    return reader_.Copy(end, sizeof signature, signature) && IsRecordSignature(signature);
}

SpanDecision SpanEvidence::Decide(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd) {
    const bool past = header.compressedSize > runEnd - dataStart;
    SpanDecision decision;
    decision.dataLength = header.compressedSize;
    if (!past && RecordFollows(dataStart + header.compressedSize, runEnd)) return decision;

    const bool encrypted = (header.flags & zip::kFlagEncrypted) != 0 || header.method == method::kAes;
    if (!encrypted && budget_ > 0) {
        const bool sizeKnown = header.uncompressedSize != zip::kZip64Marker32;
        std::unique_ptr<EntryDecoder> probe =
            EntryDecoder::Create(header.method, header.flags, sizeKnown ? header.uncompressedSize : kUnknownSize);
        if (probe && probe->HasOwnEnd()) return DecodeToStreamEnd(header, dataStart, runEnd, past);
        if (probe && header.method == method::kStored) return StoredLengths(header, dataStart, runEnd, past);
    }
    decision.verdict = past ? SpanDecision::Verdict::kCut : SpanDecision::Verdict::kDoubtful;
    return decision;
}

SpanDecision SpanEvidence::DecodeToStreamEnd(const LocalHeader& header, std::uint64_t dataStart,
                                             std::uint64_t runEnd, bool past) {
    SpanDecision decision;
    decision.dataLength = header.compressedSize;
    decision.verdict = past ? SpanDecision::Verdict::kCut : SpanDecision::Verdict::kDoubtful;
    const bool sizeKnown = header.uncompressedSize != zip::kZip64Marker32;
    std::unique_ptr<EntryDecoder> decoder =
        EntryDecoder::Create(header.method, header.flags, sizeKnown ? header.uncompressedSize : kUnknownSize);
    // A few bytes may decode to gigabytes: the cancel is also checked on
    // what comes out, and decoding stops once more came out than the header
    // declares, since such data can no longer verify.
    if (hooks_.mayContinue) decoder->SetMayContinue(hooks_.mayContinue);
    if (sizeKnown) decoder->SetDeclaredSize(header.uncompressedSize);
    std::uint64_t position = dataStart;
    bool ended = false;
    while (position < runEnd && budget_ > 0) {
        if (hooks_.mayContinue && !hooks_.mayContinue()) {
            decision.verdict = SpanDecision::Verdict::kCancelled;
            return decision;
        }
        const std::size_t want = static_cast<std::size_t>(
            std::min<std::uint64_t>({reader_.WindowSize(), runEnd - position, budget_}));
        const std::uint8_t* in = reader_.Bytes(position, want);
        if (!in) break;
        std::size_t consumed = 0;
        const DecodeResult result = decoder->Feed(in, want, &consumed);
        budget_ -= std::min<std::uint64_t>(budget_, want);
        position += consumed;
        if (result == DecodeResult::kStreamEnd) {
            ended = true;
            break;
        }
        if (result == DecodeResult::kCancelled) {
            decision.verdict = SpanDecision::Verdict::kCancelled;
            return decision;
        }
        if (result == DecodeResult::kCorrupt || consumed == 0) break;
    }
    if (!ended) return decision;

    const std::uint64_t length = decoder->ConsumedSize();
    decision.decoded = true;
    decision.decodedCrc = decoder->Crc32();
    decision.decodedSize = decoder->DecodedSize();
    decision.verifies = decision.decodedCrc == header.crc32 && decision.decodedSize == header.uncompressedSize;
    if (!past && length == header.compressedSize) {
        decision.verdict = SpanDecision::Verdict::kAsClaimed;
        return decision;
    }
    // An LZMA stream without end marker ends at the uncompressed size, which
    // may be the damaged field; every other stream ends by itself.
    const bool endsByItself = header.method != method::kLzma || (header.flags & kFlagLzmaEndMarker) != 0;
    const bool shorter = length < header.compressedSize;
    if (decision.verifies || (endsByItself && (shorter || RecordFollows(dataStart + length, runEnd)))) {
        decision.verdict = SpanDecision::Verdict::kCorrected;
        decision.dataLength = length;
        decision.basis = decision.verifies ? FindingBasis::kDataVerifies : FindingBasis::kStreamEnd;
        return decision;
    }
    decision.decoded = false;
    return decision;
}

std::vector<std::uint64_t> SpanEvidence::HeaderSignaturesIn(std::uint64_t from, std::uint64_t to, bool* cancelled) {
    const std::uint64_t limit = to + 1;
    if (limit - from > searchBudget_) return IndexedSignaturesIn(from, to, cancelled);
    searchBudget_ -= limit - from;
    work_.bytesSearched += limit - from;
    std::vector<std::uint64_t> places;
    std::uint64_t cursor = from;
    while (cursor < limit && places.size() < kMostHeaderPlaces) {
        if (hooks_.mayContinue && !hooks_.mayContinue()) {
            *cancelled = true;
            return places;
        }
        std::uint64_t at = 0;
        if (reader_.FindSignature(cursor, limit, kHeaderSignatures, 3, &at)) {
            places.push_back(at);
            cursor = at + 1;
        } else {
            if (at <= cursor) break;
            cursor = at;
        }
    }
    return places;
}

// The same places, from the index of every record signature in the input.
std::vector<std::uint64_t> SpanEvidence::IndexedSignaturesIn(std::uint64_t from, std::uint64_t to, bool* cancelled) {
    std::vector<std::uint64_t> places;
    std::uint64_t cursor = from;
    while (cursor <= to && places.size() < kMostHeaderPlaces) {
        std::uint64_t at = 0;
        if (!index_.NextRecord(cursor, &at)) {
            *cancelled = true;
            return places;
        }
        if (at > to) break;
        ++work_.headersTried;
        // The index also lists ZIP64 end records, which this search does not want.
        const std::uint8_t* sig = reader_.Bytes(at, 4);
        if (sig && std::memcmp(sig, zip::kSigZip64EndOfCentralDir, 4) != 0) places.push_back(at);
        cursor = at + 1;
    }
    return places;
}

SpanDecision SpanEvidence::StoredLengths(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd,
                                         bool past) {
    SpanDecision decision;
    decision.dataLength = header.compressedSize;
    decision.verdict = past ? SpanDecision::Verdict::kCut : SpanDecision::Verdict::kDoubtful;
    const std::uint64_t room = runEnd - dataStart;
    const std::uint64_t reach = std::min(room, std::max(header.compressedSize, header.uncompressedSize));

    // The lengths the data might have: either size field, or up to a header found in it.
    bool cancelled = false;
    std::vector<std::uint64_t> lengths;
    for (const std::uint64_t at : HeaderSignaturesIn(dataStart, dataStart + reach, &cancelled))
        lengths.push_back(at - dataStart);
    if (cancelled) {
        decision.verdict = SpanDecision::Verdict::kCancelled;
        return decision;
    }
    if (header.compressedSize <= room) lengths.push_back(header.compressedSize);
    if (header.uncompressedSize <= room) lengths.push_back(header.uncompressedSize);
    std::sort(lengths.begin(), lengths.end());
    lengths.erase(std::unique(lengths.begin(), lengths.end()), lengths.end());

    std::uint32_t crc = 0;
    std::uint64_t summed = 0;
    for (const std::uint64_t length : lengths) {
        while (summed < length) {
            if (hooks_.mayContinue && !hooks_.mayContinue()) {
                decision.verdict = SpanDecision::Verdict::kCancelled;
                return decision;
            }
            if (budget_ == 0) return decision;
            const std::size_t want = static_cast<std::size_t>(
                std::min<std::uint64_t>({reader_.WindowSize(), length - summed, budget_}));
            const std::uint8_t* in = reader_.Bytes(dataStart + summed, want);
            if (!in) return decision;
            crc = UpdateCrc32(crc, in, want);
            summed += want;
            budget_ -= want;
        }
        // No bytes check anywhere: they prove no span.
        if (crc != header.crc32 || length == 0) continue;
        decision.decoded = true;
        decision.decodedCrc = crc;
        decision.decodedSize = length;
        decision.verifies = length == header.uncompressedSize;
        decision.dataLength = length;
        const bool asClaimed = length == header.compressedSize;
        decision.verdict = asClaimed ? SpanDecision::Verdict::kAsClaimed : SpanDecision::Verdict::kCorrected;
        decision.basis = FindingBasis::kDataVerifies;
        return decision;
    }
    return decision;
}

void TakeScanDecode(JobState& state, const SpanDecision& span, const LocalHeader& header, RecoveredEntry& row) {
    if (!span.decoded) return;
    EntryCheck check = state.CheckOf(row);
    check.decodedByScan = true;
    check.decodedCrc = span.decodedCrc;
    check.decodedSize = span.decodedSize;
    check.method = header.method;
    check.flags = header.flags;
    check.headerRead = true;
    if (span.decodedSize != row.uncompressedSize) {
        check.status = EntryStatus::kDamaged;
        check.reason = CheckReason::kSizeMismatch;
    } else if (span.decodedCrc != row.crc32) {
        check.status = EntryStatus::kDamaged;
        check.reason = CheckReason::kCrcMismatch;
    } else {
        check.status = EntryStatus::kIntact;
        check.reason = CheckReason::kNone;
    }
    state.SetCheck(row, check);
}

void GiveWayToInnerEntries(JobState& state, SourceReader& reader, const std::vector<std::uint64_t>& doubtful) {
    if (doubtful.empty()) return;
    EntryTable& rows = state.entries;
    std::vector<bool> dropped(rows.size(), false);
    std::vector<std::uint8_t> record;
    // Backwards, so that a doubtful row inside another is settled first.
    std::size_t nextKept = rows.size();
    for (std::size_t i = rows.size(); i-- > 0;) {
        RecoveredEntry& row = rows[i];
        const bool isDoubtful = std::binary_search(doubtful.begin(), doubtful.end(), row.headerOffset);
        if (!isDoubtful || nextKept == rows.size() ||
            rows[nextKept].headerOffset - row.headerOffset >= row.entryLength) {
            nextKept = i;
            continue;
        }
        const std::uint64_t inner = rows[nextKept].headerOffset;
        const std::uint64_t dataStart = WrittenDataStart(state, row);
        if (inner < dataStart || !WrittenLocalRecord(state, reader, row, &record)) {
            // The header itself reaches over the entry found inside it.
            AddFinding(state, FindingKind::kSwallowingHeaderDropped, row, inner);
            dropped[i] = true;
            continue;
        }
        const LocalHeader fixed = ReadLocalHeaderFixed(record.data());
        const LocalRecordValues values = ValuesFrom(fixed, row.crc32, inner - dataStart, row.uncompressedSize);
        const std::string_view name(reinterpret_cast<const char*>(record.data()) + zip::kLocalHeaderSize,
                                    fixed.nameLength);
        const std::size_t extraAt = zip::kLocalHeaderSize + std::size_t{fixed.nameLength};
        const std::size_t extraLength = std::min<std::size_t>(fixed.extraLength, record.size() - extraAt);
        ScanFinding finding;
        finding.kind = FindingKind::kEntryCutAtHeader;
        finding.offset = row.headerOffset;
        finding.part = row.part;
        finding.name = std::string(state.NameOf(row));
        finding.value = inner;
        finding.field = FindingField::kCompressedSize;
        finding.basis = FindingBasis::kNextHeader;
        finding.won = values.compressedSize;
        finding.lost = row.compressedSize;
        state.findings.Add(std::move(finding));

        EntryExtras& extras = state.ExtrasFor(row);
        extras.localRecordOverride = BuildLocalRecord(values, name, record.data() + extraAt, extraLength);
        extras.dataOffset = dataStart;
        row.compressedSize = values.compressedSize;
        row.entryLength = inner - row.headerOffset;
        row.descriptorLength = 0;
        row.zip64Local =
            ReadU32(extras.localRecordOverride.data() + zip::lfh::kCompressedSize) == zip::kZip64Marker32;
        row.check = RowCheck{};
        nextKept = i;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (dropped[i]) continue;
        if (kept != i) rows[kept] = std::move(rows[i]);
        ++kept;
    }
    rows.resize(kept);
}

}  // namespace vrz
