#include "scan/SplitJoins.h"

#include <algorithm>
#include <cstring>

#include "io/SourceReader.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

const std::uint8_t* const kLocalSignature[] = {zip::kSigLocalHeader};

// Layout offset of the first record the scan met in [from, to): an entry's
// header or a central directory. to when there is none.
std::uint64_t FirstRecordIn(const JobState& state, std::uint64_t from, std::uint64_t to) {
    std::uint64_t first = to;
    const auto row = std::lower_bound(state.entries.begin(), state.entries.end(), from,
                                      [](const RecoveredEntry& r, std::uint64_t value) { return r.headerOffset < value; });
    if (row != state.entries.end() && row->headerOffset < to) first = row->headerOffset;
    for (const ScanFinding& finding : state.findings) {
        if (finding.kind == FindingKind::kCentralDirectorySkipped && finding.offset >= from && finding.offset < first)
            first = finding.offset;
    }
    return first;
}

// End of the last entry the scan accepted with its header in [from, to); from when none.
std::uint64_t LastEntryEndIn(const JobState& state, std::uint64_t from, std::uint64_t to) {
    std::uint64_t end = from;
    auto row = std::lower_bound(state.entries.begin(), state.entries.end(), from,
                                [](const RecoveredEntry& r, std::uint64_t value) { return r.headerOffset < value; });
    for (; row != state.entries.end() && row->headerOffset < to; ++row)
        end = std::max(end, row->headerOffset + row->entryLength);
    return end;
}

// Copies [at, at + length) of a part that ends at joinEnd and goes on at
// nextStart (the next part's first byte): what a join there would read.
bool ReadJoined(SourceReader& reader, std::uint64_t at, std::uint64_t joinEnd, std::uint64_t nextStart,
                std::size_t length, std::uint8_t* out) {
    const std::size_t before = at >= joinEnd ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(length, joinEnd - at));
    if (before > 0 && !reader.Copy(at, before, out)) return false;
    if (before == length) return true;
    const std::uint64_t from = nextStart + (at + before - joinEnd);
    return reader.Copy(from, length - before, out + before);
}

// The length with its data of the entry whose local header is at `at`, and
// of the header alone, read as if its part ended at joinEnd and the next one
// began at nextStart. False for a header that is no sound one, or whose
// length is not in it (a streamed entry).
bool EntryLengthJoined(SourceReader& reader, std::uint64_t at, std::uint64_t joinEnd, std::uint64_t nextStart,
                       std::uint64_t* length, std::uint64_t* headerLength) {
    std::uint8_t fixed[zip::kLocalHeaderSize];
    if (!ReadJoined(reader, at, joinEnd, nextStart, sizeof fixed, fixed)) return false;
    if (std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0) return false;
    LocalHeader local = ReadLocalHeaderFixed(fixed);
    if (local.nameLength < zip::kMinNameLength || local.nameLength > zip::kMaxNameLength) return false;
    if (local.HasDataDescriptor()) return false;
    std::vector<std::uint8_t> extra(local.extraLength);
    if (!ReadJoined(reader, at + zip::kLocalHeaderSize + local.nameLength, joinEnd, nextStart, extra.size(),
                    extra.data()))
        return false;
    ApplyZip64Extra(local, extra.data(), extra.size());
    *length = local.LengthWithData();
    *headerLength = local.HeaderLength();
    return true;
}

// The local header of the entry that runs past the end of layout part
// index: the first one after the entries accepted in its run whose entry
// does not end inside the part (or whose header the part's end cuts).
bool CrossingHeader(SourceReader& reader, const SourceLayout& layout, JobState& state, std::size_t index,
                    std::uint64_t* header) {
    std::size_t first = index;
    while (first > 0 && layout.Parts()[first].continuesPrevious) --first;
    const SourcePart& part = layout.Parts()[index];
    const std::uint64_t partEnd = part.start + part.size;
    std::uint64_t at = LastEntryEndIn(state, layout.Parts()[first].start, partEnd);
    while (partEnd - std::min(at, partEnd) >= 4) {
        if (!state.ScanMayContinue()) return false;
        std::uint64_t hit = 0;
        if (!reader.FindSignature(at, partEnd - 3, kLocalSignature, 1, &hit)) {
            if (reader.Failed() || hit <= at) return false;
            at = hit;
            continue;
        }
        at = hit + 1;
        if (partEnd - hit >= zip::kLocalHeaderSize) {
            const std::uint8_t* fixed = reader.Bytes(hit, zip::kLocalHeaderSize);
            if (!fixed) return false;
            const LocalHeader local = ReadLocalHeaderFixed(fixed);
            if (local.nameLength < zip::kMinNameLength || local.nameLength > zip::kMaxNameLength) continue;
            if (local.HasDataDescriptor()) return false;  // its length is not in its header
            std::uint64_t length = 0;
            std::uint64_t headerLength = 0;
            if (local.HeaderLength() <= partEnd - hit &&
                (!EntryLengthJoined(reader, hit, partEnd, partEnd, &length, &headerLength) || length <= partEnd - hit))
                continue;  // no sound header, or its entry ends inside the part
        }
        *header = hit;
        return true;
    }
    return false;
}

}  // namespace

std::vector<EvidenceJoin> JoinsShownByEntries(JobState& state, const DiscoveredSet& set) {
    const std::vector<DiscoveredPart>& parts = set.parts;
    std::vector<EvidenceJoin> joins;
    const SourceLayout& layout = state.scanLayout;
    if (layout.Parts().size() != parts.size()) return joins;
    SourceReader reader(layout);
    const auto pending = [&parts](std::size_t next) { return parts[next].follows && !parts[next].continuesPrevious; };
    // The header of the entry that runs past the end of each part whose
    // successor does not continue it yet; such a header is also the first
    // record of its run.
    constexpr std::uint64_t kNone = ~std::uint64_t{0};
    std::vector<std::uint64_t> crossing(parts.size(), kNone);
    for (std::size_t next = 1; next < parts.size(); ++next) {
        std::uint64_t header = 0;
        if (pending(next) && CrossingHeader(reader, layout, state, next - 1, &header)) crossing[next - 1] = header;
    }
    const auto holdsNoRecord = [&](std::size_t index) {
        const SourcePart& part = layout.Parts()[index];
        return crossing[index] == kNone &&
               FirstRecordIn(state, part.start, part.start + part.size) == part.start + part.size;
    };
    for (std::size_t next = 1; next < parts.size(); ++next) {
        if (!pending(next)) continue;
        // The entry that runs into part next: the one that runs past the end
        // of the part before, or, when that part holds no record at all, the
        // entry that spans it from an earlier part (those parts then join
        // whole, and only the last one's length is in question).
        std::size_t from = next - 1;
        while (from > 0 && holdsNoRecord(from) && pending(from)) --from;
        const std::uint64_t header = crossing[from];
        if (header == kNone) continue;
        const SourcePart& before = layout.Parts()[next - 1];
        const SourcePart& after = layout.Parts()[next];
        const std::uint64_t runEnd = layout.RunEndAt(after.start);
        std::uint64_t record = FirstRecordIn(state, after.start, runEnd);
        const std::uint64_t last = crossing[layout.PartIndexAt(runEnd - 1)];
        if (last != kNone && last >= after.start) record = std::min(record, last);
        if (record == runEnd) continue;  // nothing in the later bytes to line the entry up with
        const std::uint64_t inAfter = record - after.start;
        // The entry ends right where that record starts: header + length =
        // before.start + joined + inAfter. Where the join cuts the header
        // itself, its fields depend on the join too: the part's own size and
        // the set's split size are the joins tried, and one holds only if the
        // header read across it asks for that very join.
        std::vector<std::uint64_t> tried{before.size};
        if (set.splitSize > 0 && set.splitSize < before.size) tried.push_back(set.splitSize);
        for (const std::uint64_t guess : tried) {
            std::uint64_t length = 0;
            std::uint64_t headerLength = 0;
            const std::uint64_t joinEnd = before.start + guess;
            if (joinEnd <= header || !EntryLengthJoined(reader, header, joinEnd, after.start, &length, &headerLength))
                continue;
            if (length > layout.TotalSize() || header + length < before.start + inAfter) continue;
            const std::uint64_t joined = header + length - before.start - inAfter;
            const bool headerBefore = header + headerLength <= before.start + std::min(joined, guess);
            if (joined > before.size || (!headerBefore && joined != guess)) continue;
            for (std::size_t whole = from; whole + 1 < next; ++whole)
                joins.push_back(EvidenceJoin{whole, layout.Parts()[whole].size});
            joins.push_back(EvidenceJoin{next - 1, joined});
            break;
        }
    }
    return joins;
}

void LayOutSplitSet(SourceLayout& layout, const std::vector<DiscoveredPart>& parts,
                    const std::vector<EvidenceJoin>& joins) {
    layout.Clear();
    std::vector<SourcePart> tails;
    bool joinedToPrevious = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const DiscoveredPart& found = parts[i];
        SourcePart part;
        part.path = found.path;
        part.size = found.size;
        part.fileSize = found.size;
        part.disk = found.disk;
        part.diskOffset = found.diskOffset;
        part.continuesPrevious = found.continuesPrevious || joinedToPrevious;
        const auto join = std::find_if(joins.begin(), joins.end(), [i](const EvidenceJoin& j) { return j.part == i; });
        joinedToPrevious = join != joins.end();
        if (joinedToPrevious && join->length < found.size) {
            SourcePart tail = part;
            tail.fileOffset = join->length;
            tail.size = found.size - join->length;
            tail.disk = kNoDisk;
            tail.continuesPrevious = false;
            tails.push_back(std::move(tail));
            part.size = join->length;
        }
        layout.AddSegment(std::move(part));
    }
    for (SourcePart& tail : tails) layout.AddSegment(std::move(tail));
}

}  // namespace vrz
