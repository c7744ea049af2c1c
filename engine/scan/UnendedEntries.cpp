#include "scan/UnendedEntries.h"

#include <algorithm>
#include <limits>
#include <string>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/LocalRecordRewrite.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

// The row at or before offset that holds it, if any.
bool HeldByRow(const EntryTable& rows, std::uint64_t offset) {
    auto after = std::upper_bound(rows.begin(), rows.end(), offset,
                                  [](std::uint64_t value, const RecoveredEntry& r) { return value < r.headerOffset; });
    if (after == rows.begin()) return false;
    const RecoveredEntry& row = *(after - 1);
    return offset - row.headerOffset < std::max<std::uint64_t>(row.entryLength, 1);
}

std::uint64_t NextRowAfter(const EntryTable& rows, std::uint64_t offset) {
    auto at = std::lower_bound(rows.begin(), rows.end(), offset,
                               [](const RecoveredEntry& r, std::uint64_t value) { return r.headerOffset < value; });
    return at == rows.end() ? std::numeric_limits<std::uint64_t>::max() : at->headerOffset;
}

}  // namespace

void EndAtNextHeader(JobState& state, SourceReader& reader, NameStep& names, const std::vector<std::uint64_t>& unended,
                     std::vector<std::uint64_t> directoryStarts) {
    if (unended.empty()) return;
    std::sort(directoryStarts.begin(), directoryStarts.end());
    EntryTable& rows = state.entries;
    const SourceLayout& layout = state.scanLayout;
    std::vector<RecoveredEntry> added;
    std::uint64_t addedEnd = 0;
    std::uint8_t fixed[zip::kLocalHeaderSize];
    std::string name;
    std::vector<std::uint8_t> extra;
    std::string tableName;
    for (const std::uint64_t at : unended) {
        if (at < addedEnd || HeldByRow(rows, at)) continue;
        if (!reader.Copy(at, sizeof fixed, fixed)) continue;
        LocalHeader header = ReadLocalHeaderFixed(fixed);
        const std::uint64_t dataStart = at + header.HeaderLength();
        name.resize(header.nameLength);
        extra.resize(header.extraLength);
        if ((!name.empty() &&
             !reader.Copy(at + zip::kLocalHeaderSize, name.size(), reinterpret_cast<std::uint8_t*>(&name[0]))) ||
            (!extra.empty() && !reader.Copy(at + zip::kLocalHeaderSize + name.size(), extra.size(), extra.data())))
            continue;
        ApplyZip64Extra(header, extra.data(), extra.size());
        std::uint64_t end = NextRowAfter(rows, dataStart);
        const auto directory = std::lower_bound(directoryStarts.begin(), directoryStarts.end(), dataStart);
        if (directory != directoryStarts.end()) end = std::min(end, *directory);
        // Data run on through no part's end: a later part may begin elsewhere.
        if (end == std::numeric_limits<std::uint64_t>::max() || end > layout.RunEndAt(at)) continue;

        RecoveredEntry row;
        row.headerOffset = at;
        row.part = static_cast<std::uint32_t>(layout.PartIndexAt(at));
        row.method = header.method;
        row.crc32 = header.crc32;
        row.compressedSize = end - dataStart;
        row.uncompressedSize = row.compressedSize;
        row.entryLength = end - at;
        const LocalRecordValues values = ValuesFrom(header, header.crc32, row.compressedSize, row.uncompressedSize);
        EntryExtras& extras = state.ExtrasFor(row);
        extras.localRecordOverride = BuildLocalRecord(values, name, extra.data(), extra.size());
        extras.dataOffset = dataStart;
        row.zip64Local = ReadU32(extras.localRecordOverride.data() + zip::lfh::kCompressedSize) == zip::kZip64Marker32;

        ScanFinding finding;
        finding.kind = FindingKind::kEntryCutAtHeader;
        finding.offset = at;
        finding.part = row.part;
        finding.name = name;
        finding.value = end;
        finding.field = FindingField::kCompressedSize;
        finding.basis = FindingBasis::kNextHeader;
        finding.won = row.compressedSize;
        finding.lost = header.compressedSize;
        state.findings.Add(std::move(finding));

        names.Decide(name, &tableName);
        names.Remember(tableName);
        state.SetNames(row, tableName, name);
        row.check.headerRead = true;
        row.check.method = header.method;
        row.check.flags = header.flags;
        addedEnd = end;
        added.push_back(std::move(row));
    }
    if (added.empty()) return;
    EntryTable merged;
    std::size_t next = 0;
    for (RecoveredEntry& row : rows) {
        while (next < added.size() && added[next].headerOffset < row.headerOffset) merged.push_back(std::move(added[next++]));
        merged.push_back(std::move(row));
    }
    while (next < added.size()) merged.push_back(std::move(added[next++]));
    rows = std::move(merged);
}

}  // namespace vrz
