#include "verify/SalvagePlan.h"

#include <algorithm>
#include <set>

#include "codec/EntryDecoder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "verify/RangeDecode.h"
#include "writer/LayoutBlockReader.h"
#include "writer/Recompressor.h"

namespace vrz {

namespace {

constexpr std::size_t kReadWindow = std::size_t{4} << 20;

bool IsCut(FindingKind kind) {
    return kind == FindingKind::kExtentPastEnd || kind == FindingKind::kDescriptorNotFound ||
           kind == FindingKind::kPartMissing;
}

// Rows are in file order: the one that starts last at or before offset is
// the only one that can hold it.
bool InsideAcceptedEntry(const EntryTable& rows, std::uint64_t offset) {
    auto after = std::upper_bound(rows.begin(), rows.end(), offset,
                                  [](std::uint64_t value, const RecoveredEntry& row) { return value < row.headerOffset; });
    if (after == rows.begin()) return false;
    const RecoveredEntry& row = *(after - 1);
    return offset < row.headerOffset + row.entryLength;
}

class Planner {
public:
    explicit Planner(JobState& state) : state_(state), reader_(state.scanLayout, kReadWindow) {}

    bool Run() {
        state_.partials.clear();
        std::set<std::uint64_t> seen;
        const bool ordered = std::is_sorted(state_.entries.begin(), state_.entries.end(),
                                            [](const RecoveredEntry& a, const RecoveredEntry& b) {
                                                return a.headerOffset < b.headerOffset;
                                            });
        // The scan goes on looking inside a cut entry's data, where bytes of
        // the file itself (a stored archive, say) can look like headers.
        std::uint64_t salvagedUpTo = 0;
        for (const ScanFinding& finding : state_.findings) {
            if (!IsCut(finding.kind) || !seen.insert(finding.offset).second) continue;
            if (ordered && InsideAcceptedEntry(state_.entries, finding.offset)) continue;
            if (finding.offset < salvagedUpTo) continue;
            if (!state_.ScanMayContinue()) return false;
            PartialEntry partial;
            if (!Plan(finding, &partial)) {
                if (!state_.ScanMayContinue()) return false;
                continue;
            }
            salvagedUpTo = std::max(salvagedUpTo, partial.dataStart + partial.dataAvailable);
            state_.partials.push_back(std::move(partial));
        }
        return true;
    }

private:
    bool Plan(const ScanFinding& finding, PartialEntry* partial) {
        const SourceLayout& layout = state_.scanLayout;
        const std::uint64_t at = finding.offset;
        if (at >= layout.TotalSize()) return false;
        const std::uint64_t runEnd = layout.RunEndAt(at);
        std::uint8_t fixed[zip::kLocalHeaderSize];
        if (runEnd - at < sizeof fixed || !reader_.Read(at, sizeof fixed, fixed) ||
            !std::equal(fixed, fixed + 4, zip::kSigLocalHeader))
            return false;
        LocalHeader header = ReadLocalHeaderFixed(fixed);
        if (header.nameLength < zip::kMinNameLength || header.nameLength > zip::kMaxNameLength ||
            header.HeaderLength() > runEnd - at)
            return false;
        if ((header.flags & zip::kFlagEncrypted) != 0 || !EntryDecoder::SupportsMethod(header.method)) return false;
        partial->headerName.resize(header.nameLength);
        if (!reader_.Read(at + zip::kLocalHeaderSize, header.nameLength,
                          reinterpret_cast<std::uint8_t*>(&partial->headerName[0])))
            return false;
        std::vector<std::uint8_t> extra(header.extraLength);
        if (!extra.empty() && !reader_.Read(at + zip::kLocalHeaderSize + header.nameLength, extra.size(), extra.data()))
            return false;
        ApplyZip64Extra(header, extra.data(), extra.size());

        partial->headerOffset = at;
        partial->part = finding.part;
        partial->method = header.method;
        partial->flags = header.flags;
        partial->modTime = header.modTime;
        partial->modDate = header.modDate;
        partial->cause = finding.kind;
        partial->dataStart = at + header.HeaderLength();
        partial->dataAvailable = runEnd - partial->dataStart;
        if (!header.HasDataDescriptor()) {
            partial->expectedSize = header.uncompressedSize;
            partial->dataAvailable = std::min(partial->dataAvailable, header.compressedSize);
        }

        const std::uint64_t expected = header.HasDataDescriptor() ? kUnknownSize : header.uncompressedSize;
        std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(header.method, header.flags, expected);
        if (!decoder) return false;
        // Past the size its header declares the data is damaged.
        decoder->SetDeclaredSize(expected);
        // Anything but stored data is written deflated again: count what
        // that takes, so the room a save needs is the room it uses.
        const bool stored = header.method == method::kStored;
        Recompressor counter([](const std::uint8_t*, std::size_t) { return true; });
        if (!stored) {
            if (!counter.Ready()) return false;
            decoder->SetSink([&counter](const std::uint8_t* data, std::size_t length) {
                return counter.Put(data, length, Z_NO_FLUSH);
            });
        }
        RangeDecodeHooks hooks;
        hooks.mayContinue = [this] { return state_.ScanMayContinue(); };
        const RangeDecodeEnd end = DecodeRange(reader_, partial->dataStart, partial->dataAvailable, *decoder, hooks);
        if (end == RangeDecodeEnd::kCancelled || end == RangeDecodeEnd::kUnreadable) return false;
        // What a broken stream gave before it broke is still the file's beginning.
        partial->recoveredSize = decoder->DecodedSize();
        partial->recoveredCrc = decoder->Crc32();
        if (stored) {
            partial->writtenSize = partial->recoveredSize;
        } else {
            if (!counter.Put(nullptr, 0, Z_FINISH)) return false;
            partial->writtenSize = counter.Written();
        }
        return partial->recoveredSize > 0;
    }

    JobState& state_;
    LayoutBlockReader reader_;
};

}  // namespace

bool PlanSalvage(JobState& state) {
    Planner planner(state);
    return planner.Run();
}

}  // namespace vrz
