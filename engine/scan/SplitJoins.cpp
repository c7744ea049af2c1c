#include "scan/SplitJoins.h"

#include <algorithm>

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

// The header of the entry that runs past the end of layout part index: the
// first local header after the entries accepted in its run whose entry does
// not end inside the part. Its offset and its length with its data; false
// when there is none, or its length is not in the header (a streamed entry).
bool CrossingEntry(SourceReader& reader, const SourceLayout& layout, JobState& state, std::size_t index,
                   std::uint64_t* header, std::uint64_t* length, std::uint64_t* headerLength) {
    std::size_t first = index;
    while (first > 0 && layout.Parts()[first].continuesPrevious) --first;
    const SourcePart& part = layout.Parts()[index];
    const std::uint64_t partEnd = part.start + part.size;
    std::uint64_t at = LastEntryEndIn(state, layout.Parts()[first].start, partEnd);
    while (partEnd - std::min(at, partEnd) >= zip::kLocalHeaderSize) {
        if (!state.ScanMayContinue()) return false;
        std::uint64_t hit = 0;
        if (!reader.FindSignature(at, partEnd - 3, kLocalSignature, 1, &hit)) {
            if (reader.Failed() || hit <= at) return false;
            at = hit;
            continue;
        }
        at = hit + 1;
        if (partEnd - hit < zip::kLocalHeaderSize) return false;
        const std::uint8_t* fixed = reader.Bytes(hit, zip::kLocalHeaderSize);
        if (!fixed) return false;
        LocalHeader local = ReadLocalHeaderFixed(fixed);
        if (local.nameLength < zip::kMinNameLength || local.nameLength > zip::kMaxNameLength) continue;
        if (local.HeaderLength() > partEnd - hit) return false;  // the header itself is cut by the part's end
        const std::uint8_t* extra = reader.Bytes(hit + zip::kLocalHeaderSize + local.nameLength, local.extraLength);
        if (!extra && local.extraLength > 0) return false;
        ApplyZip64Extra(local, extra, local.extraLength);
        if (local.compressedSize <= partEnd - hit - local.HeaderLength()) continue;  // ends inside the part
        if (local.HasDataDescriptor()) return false;
        *header = hit;
        *length = local.LengthWithData();
        *headerLength = local.HeaderLength();
        return true;
    }
    return false;
}

}  // namespace

std::vector<EvidenceJoin> JoinsShownByEntries(JobState& state, const std::vector<DiscoveredPart>& parts) {
    std::vector<EvidenceJoin> joins;
    const SourceLayout& layout = state.scanLayout;
    if (layout.Parts().size() != parts.size()) return joins;
    SourceReader reader(layout);
    // The entry that runs past the end of each part whose successor does not
    // continue it yet; such a header is also the first record of its run.
    struct Crossing {
        bool found = false;
        std::uint64_t header = 0;
        std::uint64_t length = 0;
        std::uint64_t headerLength = 0;
    };
    std::vector<Crossing> crossing(parts.size());
    for (std::size_t next = 1; next < parts.size(); ++next) {
        if (!parts[next].follows || parts[next].continuesPrevious) continue;
        Crossing& c = crossing[next - 1];
        c.found = CrossingEntry(reader, layout, state, next - 1, &c.header, &c.length, &c.headerLength);
    }
    const auto pending = [&parts](std::size_t next) { return parts[next].follows && !parts[next].continuesPrevious; };
    const auto holdsNoRecord = [&](std::size_t index) {
        const SourcePart& part = layout.Parts()[index];
        return !crossing[index].found && FirstRecordIn(state, part.start, part.start + part.size) == part.start + part.size;
    };
    for (std::size_t next = 1; next < parts.size(); ++next) {
        if (!pending(next)) continue;
        // The entry that runs into part next: the one that runs past the end
        // of the part before, or, when that part holds no record at all, the
        // entry that spans it from an earlier part (those parts then join
        // whole, and only the last one's length is in question).
        std::size_t from = next - 1;
        while (from > 0 && holdsNoRecord(from) && pending(from)) --from;
        const Crossing& c = crossing[from];
        if (!c.found) continue;
        const SourcePart& before = layout.Parts()[next - 1];
        const SourcePart& after = layout.Parts()[next];
        const std::uint64_t runEnd = layout.RunEndAt(after.start);
        std::uint64_t record = FirstRecordIn(state, after.start, runEnd);
        const Crossing& last = crossing[layout.PartIndexAt(runEnd - 1)];
        if (last.found && last.header >= after.start) record = std::min(record, last.header);
        if (record == runEnd) continue;  // nothing in the later bytes to line the entry up with
        // The entry ends right where that record starts: header + length =
        // before.start + joined + (record - after.start).
        const std::uint64_t inAfter = record - after.start;
        if (c.length > layout.TotalSize() || c.header + c.length < before.start + inAfter) continue;
        const std::uint64_t joined = c.header + c.length - before.start - inAfter;
        if (joined > before.size || before.start + joined < c.header + c.headerLength) continue;
        for (std::size_t whole = from; whole + 1 < next; ++whole)
            joins.push_back(EvidenceJoin{whole, layout.Parts()[whole].size});
        joins.push_back(EvidenceJoin{next - 1, joined});
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
