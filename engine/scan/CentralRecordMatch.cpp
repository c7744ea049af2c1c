#include "scan/CentralRecordMatch.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/LocalRecordRewrite.h"
#include "records/ZipConstants.h"
#include "scan/NameStep.h"
#include "writer/DosFileTime.h"

namespace vrz {

namespace {


void AddFinding(JobState& state, FindingKind kind, std::uint64_t offset, const std::string& name,
                std::uint64_t value) {
    ScanFinding finding;
    finding.kind = kind;
    finding.offset = offset;
    finding.part = state.scanLayout.Empty() ? 0 : static_cast<std::uint32_t>(state.scanLayout.PartIndexAt(offset));
    finding.name = name;
    finding.value = value;
    state.findings.Add(std::move(finding));
}

// Extra blocks of area without those of id.
std::vector<std::uint8_t> WithoutBlock(const std::vector<std::uint8_t>& area, std::uint16_t id) {
    std::vector<std::uint8_t> kept;
    std::size_t pos = 0;
    while (area.size() - pos >= zip::kExtraBlockHeaderSize) {
        const std::uint16_t blockId = ReadU16(area.data() + pos);
        const std::size_t length = zip::kExtraBlockHeaderSize + ReadU16(area.data() + pos + 2);
        if (length > area.size() - pos) break;
        if (blockId != id) kept.insert(kept.end(), area.begin() + pos, area.begin() + pos + length);
        pos += length;
    }
    return kept;
}

bool HasBlock(const std::vector<std::uint8_t>& extra, std::uint16_t id) {
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    return FindExtraBlock(extra.data(), extra.size(), id, &data, &length);
}

// Index of the last row whose header is at or before offset; rows are in layout order.
template <typename Rows>
std::size_t RowAtOrBefore(const Rows& rows, std::uint64_t offset) {
    auto it = std::upper_bound(rows.begin(), rows.end(), offset,
                               [](std::uint64_t value, const RecoveredEntry& r) { return value < r.headerOffset; });
    return it == rows.begin() ? rows.size() : static_cast<std::size_t>(it - rows.begin()) - 1;
}

}  // namespace

void TakeCentralAttributes(const CentralRecord& record, const std::uint8_t* localExtra, std::size_t localExtraLength,
                           JobState& state, RecoveredEntry& row) {
    row.hasCentralRecord = true;
    row.versionMadeBy = record.versionMadeBy;
    row.internalAttributes = record.internalAttributes;
    row.externalAttributes = record.externalAttributes;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    const std::uint8_t* block = nullptr;
    if (FindExtraBlock(record.extra.data(), record.extra.size(), zip::kExtraIdStrongEncryption, &data, &length) &&
        !FindExtraBlock(localExtra, localExtraLength, zip::kExtraIdStrongEncryption, &data, &length)) {
        FindExtraBlock(record.extra.data(), record.extra.size(), zip::kExtraIdStrongEncryption, &data, &length);
        block = data - zip::kExtraBlockHeaderSize;
    }
    // Most rows have neither; they keep no side-table slot.
    if (record.comment.empty() && block == nullptr && row.extrasIndex == kNoExtras) return;
    EntryExtras& extras = state.ExtrasFor(row);
    extras.comment = record.comment;
    extras.centralOnlyExtra.clear();
    if (block != nullptr) extras.centralOnlyExtra.assign(block, block + zip::kExtraBlockHeaderSize + length);
}

std::vector<std::uint8_t> LocalRecordFromCentral(const CentralRecord& record) {
    const bool zip64 = record.compressedSize >= zip::kZip64Threshold || record.uncompressedSize >= zip::kZip64Threshold;
    std::vector<std::uint8_t> extra = WithoutBlock(WithoutBlock(record.extra, zip::kExtraIdZip64),
                                                   zip::kExtraIdStrongEncryption);
    std::vector<std::uint8_t> out;
    ByteWriter<std::vector<std::uint8_t>> w(out);
    if (zip64) {
        std::vector<std::uint8_t> block;
        ByteWriter<std::vector<std::uint8_t>> b(block);
        b.U16(zip::kExtraIdZip64);
        b.U16(16);
        b.U64(record.uncompressedSize);
        b.U64(record.compressedSize);
        extra.insert(extra.begin(), block.begin(), block.end());
    }
    if (extra.size() > 0xFFFF) extra.clear();
    w.U32(zip::kLocalHeaderSignature);
    w.U16(record.versionNeeded);
    w.U16(record.flags & ~DroppedStreamFlag(record.flags));
    w.U16(record.method);
    w.U16(record.modTime);
    w.U16(record.modDate);
    w.U32(record.crc32);
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(record.compressedSize));
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(record.uncompressedSize));
    w.U16(static_cast<std::uint16_t>(record.name.size()));
    w.U16(static_cast<std::uint16_t>(extra.size()));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(record.name.data()), record.name.size());
    w.Bytes(extra.data(), extra.size());
    return out;
}

std::vector<std::uint64_t> CentralRecordMatcher::HeaderOffsetsFor(const WalkedDirectory& directory,
                                                                 const CentralRecord& record) const {
    const SourceLayout& layout = state_.scanLayout;
    std::vector<std::uint64_t> offsets;
    const auto add = [&](std::uint64_t offset) {
        if (offset < layout.TotalSize() && std::find(offsets.begin(), offsets.end(), offset) == offsets.end())
            offsets.push_back(offset);
    };
    if (layout.Parts().size() > 1) {
        // A split archive counts offsets from the start of the part (disk) that holds the header.
        std::uint64_t at = 0;
        if (layout.OffsetOnDisk(record.diskStart, record.localHeaderOffset, &at)) add(at);
    } else if (directory.hasEndRecord) {
        // Bytes put in front of (or lost from) the archive move every offset alike.
        if (directory.start >= directory.statedOffset)
            add(record.localHeaderOffset + (directory.start - directory.statedOffset));
        else if (record.localHeaderOffset >= directory.statedOffset - directory.start)
            add(record.localHeaderOffset - (directory.statedOffset - directory.start));
    }
    add(record.localHeaderOffset);
    return offsets;
}

bool CentralRecordMatcher::NameBytesAre(std::uint64_t offset, const std::string& name) {
    const std::uint64_t total = state_.scanLayout.TotalSize();
    if (offset > total || total - offset < name.size()) return false;
    if (name.empty()) return true;
    nameBytes_.resize(name.size());
    return reader_.Copy(offset, name.size(), nameBytes_.data()) &&
           std::memcmp(nameBytes_.data(), name.data(), name.size()) == 0;
}

// The table name is the header's own unless the entry was filed under
// "#Lost Files/"; then the header's name the scan kept decides, and only a
// row without it has its header read again.
bool CentralRecordMatcher::RowNameIs(const RecoveredEntry& row, std::uint64_t headerOffset, const std::string& name) {
    const std::string tableName = state_.NameOf(row);
    if (tableName == name) return true;
    if (tableName.compare(0, std::string_view(kLostFilesFolder).size(), kLostFilesFolder) != 0) return false;
    if (row.check.headerRead) return state_.HeaderNameOf(row) == name;
    return HeaderNameIs(headerOffset, name);
}

bool CentralRecordMatcher::HeaderNameIs(std::uint64_t headerOffset, const std::string& name) {
    const std::uint64_t total = state_.scanLayout.TotalSize();
    if (total - headerOffset < zip::kLocalHeaderSize + name.size()) return false;
    std::uint8_t fixed[zip::kLocalHeaderSize];
    if (!reader_.Copy(headerOffset, sizeof fixed, fixed)) return false;
    if (std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0) return false;
    if (ReadU16(fixed + zip::lfh::kNameLength) != name.size()) return false;
    return NameBytesAre(headerOffset + zip::kLocalHeaderSize, name);
}

// Every check goes through the scan's memo: many records naming the same
// data decode it once. Checks that fail count against the scan's allowance
// for refused candidates, past which only data decoded before is checked.
bool CentralRecordMatcher::DataChecks(const CentralRecord& record, std::uint64_t dataOffset, bool* cancelled) {
    if ((record.flags & zip::kFlagEncrypted) != 0) return false;  // nothing to check without the password
    if (!EntryDecoder::SupportsMethod(record.method)) return false;
    ScanWork& work = memo_.Work();
    if (record.method == method::kStored) {
        if (record.compressedSize != record.uncompressedSize || !work.MayDecodeForCandidate()) return false;
        std::uint32_t crc = 0;
        if (!memo_.Crc32Of(dataOffset, record.compressedSize, &crc, cancelled)) return false;
        if (crc == record.crc32) return true;
        work.refusedBytes += record.compressedSize;
        return false;
    }
    const StreamDecode decoded = memo_.Decode(record.method, record.flags, record.uncompressedSize, dataOffset,
                                              dataOffset + record.compressedSize, work.MayDecodeForCandidate(),
                                              record.uncompressedSize);
    if (decoded.outcome == StreamDecode::Outcome::kCancelled) {
        *cancelled = true;
        return false;
    }
    if (decoded.outcome == StreamDecode::Outcome::kEnded && decoded.crc32 == record.crc32 &&
        decoded.decodedSize == record.uncompressedSize)
        return true;
    if (!decoded.remembered) work.refusedBytes += decoded.consumed;
    return false;
}

namespace {

// The local header names the record's method and encryption: the record's
// own flags may be what is damaged, and then its data cannot be checked.
bool LocalAgreesOnCoding(const std::uint8_t* local, const CentralRecord& record) {
    return ReadU16(local + zip::lfh::kMethod) == record.method &&
           ((ReadU16(local + zip::lfh::kFlags) ^ record.flags) & zip::kFlagEncrypted) == 0;
}

}  // namespace

bool CentralRecordMatcher::Recover(const CentralRecord& record, std::uint64_t headerOffset, RecoveredEntry* row,
                                   bool* cancelled, std::uint64_t dataEnd) {
    const SourceLayout& layout = state_.scanLayout;
    const std::uint64_t runEnd = layout.RunEndAt(headerOffset);
    const std::uint64_t nameEnd = headerOffset + zip::kLocalHeaderSize + record.name.size();
    if (nameEnd > runEnd) return false;
    // Where the damaged header still shows the record's name, its own extra
    // length may hold too; otherwise the data must be there after the
    // record's extra field or none, and must be more than nothing, for an
    // empty entry's CRC-32 checks anywhere.
    const bool nameInPlace = NameBytesAre(headerOffset + zip::kLocalHeaderSize, record.name);
    if (!nameInPlace && (record.compressedSize == 0 || record.uncompressedSize == 0)) return false;
    // A local header at the offset with a name of the record's length: only
    // name bytes of it are damaged, and its extra length may hold.
    const std::uint8_t* local = reader_.Bytes(headerOffset, zip::kLocalHeaderSize);
    const bool sameShape = local != nullptr && std::memcmp(local, zip::kSigLocalHeader, 4) == 0 &&
                           ReadU16(local + zip::lfh::kNameLength) == record.name.size();
    // Data nothing can check are only taken where the header still shows
    // the record's name or its shape: ending at a record alone is too weak a
    // proof when the record's offset itself may be damaged.
    if (!nameInPlace && !sameShape && !CanCheck(record)) return false;
    std::vector<std::uint64_t> extraLengths;
    if (nameInPlace || sameShape) {
        if (const std::uint8_t* fixed = reader_.Bytes(headerOffset, zip::kLocalHeaderSize))
            extraLengths.push_back(ReadU16(fixed + zip::lfh::kExtraLength));
    }
    extraLengths.push_back(record.extra.size());
    extraLengths.push_back(0);
    // Data that end where the span ends by construction prove their start
    // only when they verify.
    if (nameInPlace && CanCheck(record) && record.compressedSize <= dataEnd && dataEnd - record.compressedSize >= nameEnd &&
        dataEnd - record.compressedSize - nameEnd <= zip::kMaxFieldLength)
        extraLengths.push_back(dataEnd - nameEnd - record.compressedSize);
    for (std::size_t i = 0; i < extraLengths.size(); ++i) {
        if (std::find(extraLengths.begin(), extraLengths.begin() + i, extraLengths[i]) != extraLengths.begin() + i)
            continue;
        const std::uint64_t dataOffset = nameEnd + extraLengths[i];
        if (dataOffset > runEnd || record.compressedSize > runEnd - dataOffset) continue;
        // Data nothing can check (encrypted, or a method this build does
        // not decode) count when they end right where the next record begins.
        bool fits = CanCheck(record) ? DataChecks(record, dataOffset, cancelled)
                                     : EndsAtRecord(record, dataOffset + record.compressedSize);
        // Data that do not verify are still this record's, kept as found and
        // checked as damaged, where a sound header at its offset shows its name
        // and they end at the next record: a reader that stops at the stated
        // size may still read all of them.
        if (!fits && !*cancelled && CanCheck(record) && nameInPlace && sameShape && i == 0 &&
            record.compressedSize > 0 && LocalAgreesOnCoding(local, record))
            fits = EndsAtRecord(record, dataOffset + record.compressedSize);
        // Empty data check anywhere: only a record right after them places them.
        if (fits && record.compressedSize == 0) fits = EndsAtRecord(record, dataOffset);
        if (!fits) {
            if (*cancelled) return false;
            continue;
        }
        RecoveredEntry r;
        r.crc32 = record.crc32;
        r.compressedSize = record.compressedSize;
        r.uncompressedSize = record.uncompressedSize;
        r.headerOffset = headerOffset;
        r.part = static_cast<std::uint32_t>(layout.PartIndexAt(headerOffset));
        r.entryLength = dataOffset + record.compressedSize - headerOffset;
        EntryExtras& extras = state_.ExtrasFor(r);
        extras.dataOffset = dataOffset;
        extras.localRecordOverride = LocalRecordFromCentral(record);
        r.zip64Local = ReadU32(extras.localRecordOverride.data() + zip::lfh::kCompressedSize) == zip::kZip64Marker32;
        r.method = record.method;
        const auto madeReadable = [&](FindingField field, std::uint64_t won, std::uint64_t lost) {
            ScanFinding finding;
            finding.kind = FindingKind::kHeaderMadeReadable;
            finding.offset = headerOffset;
            finding.part = r.part;
            finding.name = record.name;
            finding.field = field;
            finding.basis = FindingBasis::kReadersRefuse;
            finding.won = won;
            finding.lost = lost;
            state_.findings.Add(std::move(finding));
        };
        // No data at all: readers refuse any method but stored for them.
        if (record.compressedSize == 0 && record.uncompressedSize == 0 && record.method != method::kStored &&
            (record.flags & zip::kFlagEncrypted) == 0) {
            WriteU16(extras.localRecordOverride.data() + zip::lfh::kMethod, method::kStored);
            r.method = method::kStored;
            madeReadable(FindingField::kMethod, method::kStored, record.method);
        }
        if (!DosDateTimeIsReadable(record.modDate, record.modTime)) {
            // Readers that convert the date report the archive's headers as damaged.
            std::uint8_t* stamp = extras.localRecordOverride.data();
            WriteU16(stamp + zip::lfh::kModTime, 0);
            WriteU16(stamp + zip::lfh::kModDate, kDosEpochDate);
            madeReadable(FindingField::kModTime, std::uint64_t{kDosEpochDate} << 16,
                         (std::uint64_t{record.modDate} << 16) | record.modTime);
        }
        *row = std::move(r);
        return true;
    }
    return false;
}

// Puts the recovered rows among the rows found, in layout order. Headers
// found inside a recovered entry's data were never entries of their own.
void CentralRecordMatcher::MergeRecovered(std::vector<RecoveredEntry> recovered) {
    // Nothing to put in: a copy of the whole table would only double its memory.
    if (recovered.empty()) return;
    EntryTable& rows = state_.entries;
    EntryTable merged;
    std::size_t next = 0;
    // The last recovered entry the sweep passed: its header and its end.
    std::uint64_t aroundStart = 0;
    std::uint64_t aroundEnd = 0;
    for (RecoveredEntry& row : rows) {
        while (next < recovered.size() && recovered[next].headerOffset < row.headerOffset) {
            aroundStart = recovered[next].headerOffset;
            aroundEnd = aroundStart + recovered[next].entryLength;
            merged.push_back(std::move(recovered[next++]));
        }
        if (row.headerOffset < aroundEnd) {
            AddFinding(state_, FindingKind::kInsideEntryData, row.headerOffset, std::string(state_.NameOf(row)),
                       aroundStart);
            continue;
        }
        merged.push_back(std::move(row));
    }
    while (next < recovered.size()) merged.push_back(std::move(recovered[next++]));
    rows = std::move(merged);
}

// Names follow the folders found before them in layout order; a recovered
// folder entry lets the entries after it keep their own names.
void CentralRecordMatcher::NameAgain() {
    NameStep names;
    std::vector<std::uint8_t> fixed(zip::kLocalHeaderSize);
    std::string tableName;
    for (RecoveredEntry& row : state_.entries) {
        std::string headerName(state_.NameOf(row));
        const std::vector<std::uint8_t>& rebuilt = state_.ExtrasOf(row).localRecordOverride;
        if (!rebuilt.empty()) {
            const std::uint16_t length = ReadU16(rebuilt.data() + zip::lfh::kNameLength);
            headerName.assign(reinterpret_cast<const char*>(rebuilt.data()) + zip::kLocalHeaderSize, length);
        } else if (headerName.compare(0, std::string(kLostFilesFolder).size(), kLostFilesFolder) == 0) {
            // Only the table name was kept; the header has the whole path.
            if (!reader_.Copy(row.headerOffset, fixed.size(), fixed.data())) continue;
            headerName.resize(ReadU16(fixed.data() + zip::lfh::kNameLength));
            if (!reader_.Copy(row.headerOffset + zip::kLocalHeaderSize, headerName.size(),
                              reinterpret_cast<std::uint8_t*>(&headerName[0])))
                continue;
        }
        names.Decide(headerName, &tableName);
        names.Remember(tableName);
        // Most names stay as they were; only a changed one takes new arena bytes.
        if (tableName != state_.NameOf(row)) state_.SetName(row, tableName);
    }
}

bool CentralRecordMatcher::DirectoryShowsDamage(const WalkedDirectory& directory,
                                                const std::unordered_map<std::uint64_t, std::size_t>& rowAt) {
    const auto& rows = state_.entries;
    std::uint8_t fixed[zip::kLocalHeaderSize];
    std::string localName;
    if (directory.lengthsCut) return true;
    for (const CentralRecord& record : directory.records) {
        // One part only: every record is on its first disk.
        if (record.diskStart != 0 || LooksDamaged(record, record.name)) return true;
        const auto found = rowAt.find(record.localHeaderOffset);
        if (found == rowAt.end()) continue;
        const RecoveredEntry& row = rows[found->second];
        if (!reader_.Copy(row.headerOffset, sizeof fixed, fixed) || ReadU32(fixed) != zip::kLocalHeaderSignature)
            continue;
        localName.resize(ReadU16(fixed + zip::lfh::kNameLength));
        if (!localName.empty() && !reader_.Copy(row.headerOffset + zip::kLocalHeaderSize, localName.size(),
                                                reinterpret_cast<std::uint8_t*>(&localName[0])))
            continue;
        if (localName != record.name && LooksDamaged(record, localName)) return true;
        // Sizes the local header's span refutes: it ends where the next record begins.
        if (localName == record.name && row.descriptorLength == 0 &&
            (row.compressedSize != record.compressedSize || row.uncompressedSize != record.uncompressedSize) &&
            RecordFollows(row.headerOffset + row.entryLength))
            return true;
    }
    return false;
}

bool CentralRecordMatcher::Apply(const std::vector<WalkedDirectory>& directories) {
    EntryTable& rows = state_.entries;
    bool cancelled = false;

    // Entries whose local header is lost but whose central record survives.
    std::vector<RecoveredEntry> recovered;
    const auto within = [](const auto& list, std::uint64_t offset) {
        const std::size_t before = RowAtOrBefore(list, offset);
        return before < list.size() && offset - list[before].headerOffset < list[before].entryLength ? before
                                                                                                      : list.size();
    };
    for (const WalkedDirectory& directory : directories) {
        for (const CentralRecord& record : directory.records) {
            for (const std::uint64_t offset : HeaderOffsetsFor(directory, record)) {
                const std::size_t found = within(rows, offset);
                if (found < rows.size()) {
                    // Inside an entry already found, or that entry itself.
                    if (rows[found].headerOffset == offset && !RowNameIs(rows[found], offset, record.name))
                        AddFinding(state_, FindingKind::kCentralRecordMismatch, offset, record.name, record.recordOffset);
                    break;
                }
                if (within(recovered, offset) < recovered.size()) break;
                RecoveredEntry row;
                if (!Recover(record, offset, &row, &cancelled)) {
                    if (cancelled) return false;
                    continue;
                }
                AddFinding(state_, FindingKind::kRecoveredFromCentral, offset, record.name, record.recordOffset);
                const auto at = std::upper_bound(
                    recovered.begin(), recovered.end(), row.headerOffset,
                    [](std::uint64_t value, const RecoveredEntry& r) { return value < r.headerOffset; });
                recovered.insert(at, std::move(row));
                break;
            }
        }
    }
    const bool anyRecovered = !recovered.empty();
    MergeRecovered(std::move(recovered));

    if (anyRecovered) NameAgain();

    // What the records say that local headers cannot.
    std::unordered_map<std::uint64_t, std::size_t> rowAt;
    for (std::size_t i = 0; i < rows.size(); ++i) rowAt[rows[i].headerOffset] = i;
    std::vector<std::uint8_t> localExtra;
    bool renamed = false;
    for (const WalkedDirectory& directory : directories) {
        if (directory.hasEndRecord) state_.archiveComment = directory.archiveComment;
        readersTakeRecord_ = directory.hasEndRecord && directory.statedOffset == directory.start &&
                             state_.scanLayout.Parts().size() == 1 && !DirectoryShowsDamage(directory, rowAt);
        for (const CentralRecord& record : directory.records) {
            for (const std::uint64_t offset : HeaderOffsetsFor(directory, record)) {
                const auto found = rowAt.find(offset);
                if (found == rowAt.end()) continue;
                RecoveredEntry& row = rows[found->second];
                const std::vector<std::uint8_t>& rebuilt = state_.ExtrasOf(row).localRecordOverride;
                bool sameName = false;
                if (!rebuilt.empty()) {
                    const std::size_t nameLength = ReadU16(rebuilt.data() + zip::lfh::kNameLength);
                    sameName = record.name.compare(0, std::string::npos,
                                                   reinterpret_cast<const char*>(rebuilt.data()) + zip::kLocalHeaderSize,
                                                   nameLength) == 0;
                } else {
                    sameName = RowNameIs(row, offset, record.name);
                }
                if (!sameName && !SameEntry(record, row, &cancelled)) {
                    if (cancelled) return false;
                    continue;
                }
                localExtra.clear();
                if (rebuilt.empty() && HasBlock(record.extra, zip::kExtraIdStrongEncryption)) {
                    // Only then does the local extra field matter: the block is
                    // added to the central header unless the local one has it.
                    std::uint8_t fixed[zip::kLocalHeaderSize];
                    if (!reader_.Copy(offset, sizeof fixed, fixed)) continue;
                    localExtra.resize(ReadU16(fixed + zip::lfh::kExtraLength));
                    if (!reader_.Copy(offset + zip::kLocalHeaderSize + ReadU16(fixed + zip::lfh::kNameLength),
                                      localExtra.size(), localExtra.data()))
                        continue;
                }
                TakeCentralAttributes(record, localExtra.data(), localExtra.size(), state_, row);
                if (!MendFromCentral(record, found->second, &renamed)) return false;
                break;
            }
        }
    }
    if (renamed) NameAgain();
    return true;
}

}  // namespace vrz
