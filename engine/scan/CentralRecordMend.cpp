// The part of the central record matching that settles conflicts between a
// found local header and the intact central record of the same entry.
#include <string>

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/LocalRecordRewrite.h"
#include "records/ZipConstants.h"
#include "scan/CentralRecordMatch.h"
#include "scan/ReadableHeader.h"
#include "writer/DosFileTime.h"

namespace vrz {

namespace {

constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
// Flags that change how the data read: which is the key to decoding them.
constexpr std::uint16_t kDataFlags = zip::kFlagEncrypted | kFlagStrongEncryption;
// Flag bits no writer sets: unused, or reserved for features nobody writes.
constexpr std::uint16_t kUnusedFlagBits = 0xD780;

ScanFinding FieldFinding(const JobState& state, FindingKind kind, const RecoveredEntry& row, const std::string& name,
                         FindingField field, FindingBasis basis, std::uint64_t won, std::uint64_t lost) {
    ScanFinding finding;
    finding.kind = kind;
    finding.offset = row.headerOffset;
    finding.part = row.part;
    finding.name = name;
    finding.field = field;
    finding.basis = basis;
    finding.won = won;
    finding.lost = lost;
    (void)state;
    return finding;
}

// The extra block id's whole bytes (header included) in area; empty when absent.
std::vector<std::uint8_t> BlockBytes(const std::uint8_t* area, std::size_t length, std::uint16_t id) {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!FindExtraBlock(area, length, id, &data, &size)) return {};
    return std::vector<std::uint8_t>(data - zip::kExtraBlockHeaderSize, data + size);
}

// area without the blocks of id, then block.
std::vector<std::uint8_t> WithBlock(const std::uint8_t* area, std::size_t length, std::uint16_t id,
                                    const std::vector<std::uint8_t>& block) {
    std::vector<std::uint8_t> out;
    std::size_t pos = 0;
    while (length - pos >= zip::kExtraBlockHeaderSize) {
        const std::size_t size = zip::kExtraBlockHeaderSize + ReadU16(area + pos + 2);
        if (size > length - pos) break;
        if (ReadU16(area + pos) != id) out.insert(out.end(), area + pos, area + pos + size);
        pos += size;
    }
    out.insert(out.end(), block.begin(), block.end());
    return out;
}

// Methods 0 to 20 and 93 to 99 are assigned; a writer uses no other.
bool MethodIsKnown(std::uint16_t value) { return value <= 20 || (value >= 93 && value <= 99); }

bool IsPlainAscii(const std::string& name) {
    for (const char c : name)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool IsUtf8(const std::string& name) {
    std::size_t i = 0;
    while (i < name.size()) {
        const unsigned char lead = static_cast<unsigned char>(name[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || name.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// Control bytes in a name, a name that is not the UTF-8 its flags claim, or
// one that is not UTF-8 at all where the other record's is plain ASCII:
// what a damaged length or byte leaves, never what a writer puts there.
bool NameLooksDamaged(const std::string& name, std::uint16_t flags, const std::string& otherName) {
    for (const char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    if (IsPlainAscii(name)) return false;
    return !IsUtf8(name) && ((flags & zip::kFlagUtf8) != 0 || IsPlainAscii(otherName));
}

// Fields of a record (its name aside) that no writer leaves as they stand.
bool FieldsLookDamaged(std::uint16_t flags, std::uint16_t method, std::uint16_t versionNeeded, std::uint8_t needed,
                       std::uint16_t modTime, std::uint16_t modDate, const std::uint8_t* extra,
                       std::size_t extraLength) {
    // Strong encryption is announced by its own extra block as well.
    const std::uint8_t* block = nullptr;
    std::size_t blockLength = 0;
    const bool strongWithoutBlock =
        (flags & kFlagStrongEncryption) != 0 &&
        !FindExtraBlock(extra, WellFormedExtraLength(extra, extraLength), zip::kExtraIdStrongEncryption, &block,
                        &blockLength);
    return (flags & kUnusedFlagBits) != 0 || strongWithoutBlock || !MethodIsKnown(method) || VersionNeededIsDamaged(versionNeeded, needed) ||
           !DosDateTimeIsReadable(modDate, modTime) || WellFormedExtraLength(extra, extraLength) != extraLength;
}

std::uint64_t DosStamp(std::uint16_t modDate, std::uint16_t modTime) {
    return (std::uint64_t{modDate} << 16) | modTime;
}

// An AE-x block as writers make it: 7 bytes of vendor version 1 or 2,
// "AE", a key strength of 1 to 3 and the method under the encryption.
bool AesBlockIsSound(const std::vector<std::uint8_t>& block) {
    if (block.size() != zip::kExtraBlockHeaderSize + 7) return false;
    const std::uint8_t* d = block.data() + zip::kExtraBlockHeaderSize;
    const unsigned version = d[0] | (d[1] << 8);
    const std::uint16_t inner = static_cast<std::uint16_t>(d[5] | (d[6] << 8));
    return (version == 1 || version == 2) && d[2] == 'A' && d[3] == 'E' && d[4] >= 1 && d[4] <= 3 &&
           MethodIsKnown(inner) && inner != method::kAes;
}

struct FieldPair {
    FindingField field;
    std::uint64_t central;
    std::uint64_t local;
};

}  // namespace

bool CentralRecordMatcher::LooksDamaged(const CentralRecord& record, const std::string& localName) {
    const bool folder = !record.name.empty() && record.name.back() == '/';
    const bool zip64 = record.compressedSize >= zip::kZip64Threshold || record.uncompressedSize >= zip::kZip64Threshold;
    return FieldsLookDamaged(record.flags, record.method, record.versionNeeded,
                             VersionNeededFor(record.method, record.flags, zip64, folder), record.modTime,
                             record.modDate, record.extra.data(), record.extra.size()) ||
           NameLooksDamaged(record.name, record.flags, localName);
}

bool CentralRecordMatcher::CanCheck(const CentralRecord& record) {
    return (record.flags & kDataFlags) == 0 && record.method != method::kAes &&
           EntryDecoder::SupportsMethod(record.method);
}

bool CentralRecordMatcher::RecordFollows(std::uint64_t end) {
    const SourceLayout& layout = state_.scanLayout;
    const std::uint64_t total = layout.TotalSize();
    if (end > total) return false;
    if (end == total) return true;
    if (total - end < 4) return false;
    const std::uint8_t* p = reader_.Bytes(end, 4);
    if (p == nullptr || p[0] != 'P' || p[1] != 'K') return false;
    return (p[2] == 3 && p[3] == 4) || (p[2] == 1 && p[3] == 2) || (p[2] == 5 && p[3] == 6) ||
           (p[2] == 6 && (p[3] == 6 || p[3] == 7)) || (p[2] == 7 && p[3] == 8);
}

bool CentralRecordMatcher::EndsAtRecord(const CentralRecord& record, std::uint64_t end) {
    if (RecordFollows(end)) return true;
    if ((record.flags & zip::kFlagDataDescriptor) == 0) return false;
    for (const std::size_t length : {zip::kDataDescriptorSize, zip::kBareDataDescriptorSize,
                                     zip::kZip64DataDescriptorSize, zip::kBareZip64DataDescriptorSize}) {
        if (end + length != state_.scanLayout.TotalSize() && RecordFollows(end + length)) return true;
    }
    return false;
}

bool CentralRecordMatcher::SameEntry(const CentralRecord& record, const RecoveredEntry& row, bool* cancelled) {
    // The header at the record's offset with the record's CRC-32 is the
    // record's entry. Empty data check anywhere: two empty entries are one
    // only under names of one length (one byte of either damaged).
    if (record.compressedSize == 0 || record.uncompressedSize == 0) {
        return record.crc32 == row.crc32 && row.compressedSize == 0 && row.uncompressedSize == 0 &&
               record.name.size() == state_.HeaderNameOf(row).size();
    }
    if (record.crc32 == row.crc32) return true;
    return CanCheck(record) && DataChecks(record, WrittenDataStart(state_, row), cancelled);
}

bool CentralRecordMatcher::MendFromCentral(const CentralRecord& record, std::size_t index, bool* renamed) {
    EntryTable& rows = state_.entries;
    RecoveredEntry& row = rows[index];
    if (!WrittenLocalRecord(state_, reader_, row, &localRecord_)) return true;
    const LocalHeader local = ReadLocalHeaderFixed(localRecord_.data());
    const std::size_t extraAt = zip::kLocalHeaderSize + std::size_t{local.nameLength};
    if (localRecord_.size() < extraAt) return true;
    const std::string localName(reinterpret_cast<const char*>(localRecord_.data()) + zip::kLocalHeaderSize,
                                local.nameLength);

    const bool dataDiffers = row.crc32 != record.crc32 || row.compressedSize != record.compressedSize ||
                             row.uncompressedSize != record.uncompressedSize || row.method != record.method ||
                             ((local.flags ^ record.flags) & kDataFlags) != 0;
    const bool nameDiffers = localName != record.name;
    const std::size_t localExtraLength = std::min<std::size_t>(local.extraLength, localRecord_.size() - extraAt);
    // An AES entry's key strength and inner method stand in its extra block:
    // readers take the local one, so a damaged copy is replaced by the central one.
    std::vector<std::uint8_t> aesBlock;
    if (record.method == method::kAes) {
        aesBlock = BlockBytes(record.extra.data(), record.extra.size(), zip::kExtraIdAes);
        const std::vector<std::uint8_t> localAes =
            BlockBytes(localRecord_.data() + extraAt, localExtraLength, zip::kExtraIdAes);
        // Nothing can check an encrypted entry's data, so the block only
        // replaces a local one that no writer could have made.
        if (aesBlock == localAes || AesBlockIsSound(localAes) || !AesBlockIsSound(aesBlock)) aesBlock.clear();
    }
    // The date and time the data were written with, even where the scan
    // already wrote them sound.
    std::uint16_t localTime = local.modTime;
    std::uint16_t localDate = local.modDate;
    if (const std::uint8_t* source = reader_.Bytes(row.headerOffset, zip::kLocalHeaderSize)) {
        if (ReadU32(source) == zip::kLocalHeaderSignature) {
            localTime = ReadU16(source + zip::lfh::kModTime);
            localDate = ReadU16(source + zip::lfh::kModDate);
        }
    }
    const bool folder = !record.name.empty() && record.name.back() == '/';
    const bool zip64 = record.compressedSize >= zip::kZip64Threshold || record.uncompressedSize >= zip::kZip64Threshold;
    const std::uint8_t needed = VersionNeededFor(record.method, record.flags, zip64, folder);
    // Nothing checks a name, flags beyond the key, a version or a date: the
    // local header the data were written with keeps them, unless it holds
    // what no writer makes and the central record does not.
    const bool centralOdd = FieldsLookDamaged(record.flags, record.method, record.versionNeeded, needed,
                                              record.modTime, record.modDate, record.extra.data(), record.extra.size());
    const bool localOdd = FieldsLookDamaged(local.flags, local.method, local.versionNeeded, needed, localTime,
                                            localDate, localRecord_.data() + extraAt, localExtraLength);
    // Of two names, a damaged-looking one loses; else the central record's
    // is kept, as every reader of the directory does, unless its record is
    // the one that shows damage.
    // A folder's name on an entry with data is no writer's either.
    const bool hasData = row.uncompressedSize > 0 || row.compressedSize > 0;
    const auto folderName = [](const std::string& name) { return !name.empty() && name.back() == '/'; };
    const bool centralNameBad = NameLooksDamaged(record.name, record.flags, localName) ||
                                (hasData && folderName(record.name) && !folderName(localName));
    const bool localNameBad = NameLooksDamaged(localName, local.flags, record.name) ||
                              (hasData && folderName(localName) && !folderName(record.name));
    const bool localNameWins = nameDiffers && !localNameBad && (centralNameBad || (centralOdd && !localOdd));
    const std::string& keptName = localNameWins ? localName : record.name;
    if (localNameWins) {
        ScanFinding finding = FieldFinding(
            state_, FindingKind::kNameConflictDecided, row, localName, FindingField::kName,
            centralNameBad ? FindingBasis::kReadersRefuse : FindingBasis::kOtherRecordDamaged, 0, 0);
        finding.otherName = record.name;
        state_.findings.Add(std::move(finding));
    }
    constexpr std::uint16_t kKeyFlags = kDataFlags | zip::kFlagDataDescriptor;
    const bool localFlagsWin = (local.flags & kUnusedFlagBits) == 0 || (record.flags & kUnusedFlagBits) != 0;
    const std::uint16_t keptFlags = localFlagsWin
                                        ? static_cast<std::uint16_t>((local.flags & ~kKeyFlags) | (record.flags & kKeyFlags))
                                        : record.flags;
    std::uint16_t keptVersion = local.versionNeeded;
    if (VersionNeededIsDamaged(local.versionNeeded, needed))
        keptVersion = VersionNeededIsDamaged(record.versionNeeded, needed) ? needed : record.versionNeeded;
    std::uint16_t keptTime = localTime;
    std::uint16_t keptDate = localDate;
    // A streamed entry under traditional encryption checks its password
    // against the time: nothing but the readers' directory can tell which.
    const bool timeIsKey = (record.flags & zip::kFlagEncrypted) != 0 && record.method != method::kAes &&
                           ((record.flags | local.flags) & zip::kFlagDataDescriptor) != 0;
    if (timeIsKey && readersTakeRecord_ && localTime != record.modTime &&
        DosDateTimeIsReadable(record.modDate, record.modTime)) {
        keptTime = record.modTime;
        keptDate = record.modDate;
    } else if (!DosDateTimeIsReadable(localDate, localTime)) {
        const bool centralValid = DosDateTimeIsReadable(record.modDate, record.modTime);
        keptTime = centralValid ? record.modTime : 0;
        keptDate = centralValid ? record.modDate : kDosEpochDate;
    }
    const bool flagsDiffer = ((local.flags ^ keptFlags) & ~zip::kFlagDataDescriptor) != 0;
    const bool stampDiffers = keptTime != local.modTime || keptDate != local.modDate;
    if (!dataDiffers && (!nameDiffers || localNameWins) && !flagsDiffer && aesBlock.empty() &&
        local.versionNeeded == keptVersion && !stampDiffers) {
        // The local header stands; what the central record said instead is told.
        const FindingBasis basis = centralOdd ? FindingBasis::kOtherRecordDamaged : FindingBasis::kNone;
        const std::vector<FieldPair> kept = {
            {FindingField::kFlags, record.flags, local.flags},
            {FindingField::kVersionNeeded, record.versionNeeded, local.versionNeeded},
        };
        for (const FieldPair& f : kept) {
            if (f.field == FindingField::kFlags && ((f.central ^ f.local) & ~zip::kFlagDataDescriptor) == 0) continue;
            if (f.central == f.local) continue;
            ScanFinding finding = FieldFinding(state_, FindingKind::kCentralRecordMismatch, row, localName, f.field,
                                               basis, f.local, f.central);
            finding.value = record.recordOffset;
            state_.findings.Add(std::move(finding));
        }
        return true;
    }

    const std::uint64_t dataStart = WrittenDataStart(state_, row);
    const std::uint64_t limit =
        index + 1 < rows.size() ? rows[index + 1].headerOffset : state_.scanLayout.TotalSize();
    const std::vector<FieldPair> fields = {
        {FindingField::kCrc32, record.crc32, row.crc32},
        {FindingField::kCompressedSize, record.compressedSize, row.compressedSize},
        {FindingField::kUncompressedSize, record.uncompressedSize, row.uncompressedSize},
        {FindingField::kMethod, record.method, row.method},
        {FindingField::kFlags, record.flags, local.flags},
        {FindingField::kVersionNeeded, record.versionNeeded, local.versionNeeded},
        {FindingField::kModTime, DosStamp(record.modDate, record.modTime), DosStamp(localDate, localTime)},
    };
    FindingBasis basis = FindingBasis::kCentralRecord;
    bool readersDecide = false;
    bool cancelled = false;
    // The values written: the central record's, or a mix the data confirm.
    CentralRecord settled = record;
    if (dataDiffers) {
        bool localVerifies = false;
        if (row.check.decodedByScan) {
            localVerifies = row.check.status == EntryStatus::kIntact;
        } else {
            CentralRecord asLocal = record;
            asLocal.crc32 = row.crc32;
            asLocal.compressedSize = row.compressedSize;
            asLocal.uncompressedSize = row.uncompressedSize;
            asLocal.method = row.method;
            asLocal.flags = local.flags;
            localVerifies = CanCheck(asLocal) && DataChecks(asLocal, dataStart, &cancelled);
            if (cancelled) return false;
        }
        // No data verify against anything: an empty reading proves nothing
        // against a record that says there are data.
        if (row.compressedSize == 0 && record.compressedSize > 0) localVerifies = false;
        const bool fits = dataStart <= limit && record.compressedSize <= limit - dataStart;
        // Empty data check anywhere: they prove where they begin only where
        // the record's own name puts them.
        const bool emptyProvesNothing = localName.size() != record.name.size();
        bool centralVerifies = !localVerifies && fits && !(record.compressedSize == 0 && emptyProvesNothing) &&
                               CanCheck(record) && DataChecks(record, dataStart, &cancelled);
        if (cancelled) return false;
        // One field damaged in each record: the central CRC-32 with the local
        // sizes, or the other way round.
        for (int mix = 0; mix < 2 && !localVerifies && !centralVerifies && CanCheck(record); ++mix) {
            CentralRecord mixed = record;
            if (mix == 0) {
                mixed.compressedSize = row.compressedSize;
                mixed.uncompressedSize = row.uncompressedSize;
            } else {
                mixed.crc32 = row.crc32;
            }
            if (mixed.crc32 == record.crc32 && mixed.compressedSize == record.compressedSize &&
                mixed.uncompressedSize == record.uncompressedSize)
                continue;
            if (mixed.compressedSize > limit - std::min(limit, dataStart)) continue;
            if (mixed.compressedSize == 0 && emptyProvesNothing) continue;
            if (DataChecks(mixed, dataStart, &cancelled)) {
                settled = mixed;
                centralVerifies = true;
            }
            if (cancelled) return false;
        }
        // Data nothing can decode (encrypted, or a method this build lacks):
        // when the local reading ends where the next record begins, the
        // header the data were written with is kept over a record that
        // cannot prove it better.
        const bool undecodable = !CanCheck(record) && row.check.status != EntryStatus::kIntact;
        // Such data ending in the same place under both readings: nothing
        // tells them apart, and readers take the CRC-32, method and key flags
        // of the directory the end record points at, so those are kept unless
        // the local header and a descriptor both give another CRC-32.
        const bool sameSpan = row.compressedSize == record.compressedSize &&
                              row.uncompressedSize == record.uncompressedSize;
        CentralRecord localReading = record;
        localReading.method = row.method;
        localReading.flags = local.flags;
        const bool neitherDecodes = undecodable && !CanCheck(localReading);
        if (!centralVerifies && neitherDecodes && sameSpan && readersTakeRecord_) {
            const std::uint8_t* source = reader_.Bytes(row.headerOffset, zip::kLocalHeaderSize);
            const bool saidTwice = row.crc32 != record.crc32 && row.descriptorLength > 0 && source != nullptr &&
                                   ReadU32(source) == zip::kLocalHeaderSignature &&
                                   ReadU32(source + zip::lfh::kCrc32) == row.crc32;
            centralVerifies = !saidTwice;
            readersDecide = !saidTwice;
        }
        const bool localFits = !centralVerifies && undecodable && RecordFollows(row.headerOffset + row.entryLength);
        if (!centralVerifies) {
            RecoveredEntry recovered;
            // The data may begin elsewhere: a damaged name or extra length moved them.
            if (!localVerifies && !localFits && Recover(record, row.headerOffset, &recovered, &cancelled, limit) &&
                recovered.entryLength <= limit - row.headerOffset) {
                state_.findings.Add(FieldFinding(state_, FindingKind::kRecoveredFromCentral, recovered, record.name,
                                                 FindingField::kNone, FindingBasis::kDataVerifies, 0, 0));
                recovered.name = row.name;
                recovered.nameForm = row.nameForm;
                TakeCentralAttributes(record, nullptr, 0, state_, recovered);
                rows[index] = std::move(recovered);
                *renamed = true;
                return true;
            }
            if (cancelled) return false;
        }
        // The local header's span holds, but its key flags are ones no writer
        // makes and the central record's are sound: the span is kept with those.
        const bool keyFlagsDiffer = ((local.flags ^ record.flags) & kDataFlags) != 0;
        if (!centralVerifies && neitherDecodes && localFits && keyFlagsDiffer && localOdd && !centralOdd) {
            settled.crc32 = row.crc32;
            settled.compressedSize = row.compressedSize;
            settled.uncompressedSize = row.uncompressedSize;
            settled.method = row.method;
            centralVerifies = true;
            readersDecide = true;
            basis = FindingBasis::kOtherRecordDamaged;
        }
        if (!centralVerifies) {
            // The local reading stands: it verifies, or nothing does.
            const FindingBasis kept = localVerifies ? FindingBasis::kDataVerifies
                                      : localFits   ? FindingBasis::kNextHeader
                                                    : FindingBasis::kNone;
            if (nameDiffers && !localNameWins) {
                ScanFinding finding = FieldFinding(state_, FindingKind::kNameConflictDecided, row, localName,
                                                   FindingField::kName, kept, 0, 0);
                finding.otherName = record.name;
                state_.findings.Add(std::move(finding));
            }
            for (const FieldPair& f : fields) {
                if (f.central == f.local) continue;
                ScanFinding finding = FieldFinding(state_, FindingKind::kCentralRecordMismatch, row, localName,
                                                   f.field, kept, f.local, f.central);
                finding.value = record.recordOffset;
                state_.findings.Add(std::move(finding));
            }
            return true;
        }
        if (!readersDecide) basis = FindingBasis::kDataVerifies;
    }

    LocalRecordValues values;
    values.versionNeeded = keptVersion;
    values.flags = static_cast<std::uint16_t>(keptFlags & ~UnreadableFlagBits(keptFlags));
    values.method = settled.method;
    values.modTime = keptTime;
    values.modDate = keptDate;
    values.crc32 = settled.crc32;
    values.compressedSize = settled.compressedSize;
    values.uncompressedSize = settled.uncompressedSize;
    std::vector<std::uint8_t> extra(localRecord_.begin() + static_cast<std::ptrdiff_t>(extraAt),
                                    localRecord_.begin() + static_cast<std::ptrdiff_t>(extraAt + localExtraLength));
    if (!aesBlock.empty()) {
        extra = WithBlock(extra.data(), extra.size(), zip::kExtraIdAes, aesBlock);
        state_.findings.Add(FieldFinding(state_, FindingKind::kLocalFieldFromCentral, row, record.name,
                                         FindingField::kExtraField, basis, aesBlock.size(), localExtraLength));
    }

    for (const FieldPair& f : fields) {
        std::uint64_t won = f.central;
        switch (f.field) {
            case FindingField::kVersionNeeded: won = values.versionNeeded; break;
            case FindingField::kFlags: won = values.flags; break;
            case FindingField::kCrc32: won = values.crc32; break;
            case FindingField::kCompressedSize: won = values.compressedSize; break;
            case FindingField::kUncompressedSize: won = values.uncompressedSize; break;
            case FindingField::kModTime: won = DosStamp(values.modDate, values.modTime); break;
            default: break;
        }
        if (won == f.local) continue;
        // Neither record's value could be written: a sound one stands in.
        const bool sound =
            won != f.central && (f.field == FindingField::kVersionNeeded || f.field == FindingField::kModTime);
        state_.findings.Add(FieldFinding(state_,
                                         sound ? FindingKind::kHeaderMadeReadable : FindingKind::kLocalFieldFromCentral,
                                         row, record.name, f.field, sound ? FindingBasis::kReadersRefuse : basis, won,
                                         f.local));
    }
    if (nameDiffers && !localNameWins) {
        ScanFinding finding = FieldFinding(state_, FindingKind::kNameConflictDecided, row, record.name,
                                           FindingField::kName, basis, 0, 0);
        finding.otherName = localName;
        state_.findings.Add(std::move(finding));
        *renamed = true;
    }

    std::vector<std::uint8_t> rebuilt =
        BuildLocalRecord(values, keptName, extra.data(), extra.size());
    EntryExtras& extras = state_.ExtrasFor(row);
    extras.localRecordOverride = std::move(rebuilt);
    extras.dataOffset = dataStart;
    row.crc32 = settled.crc32;
    row.compressedSize = settled.compressedSize;
    row.uncompressedSize = settled.uncompressedSize;
    row.method = settled.method;
    row.descriptorLength = 0;
    row.entryLength = std::max(row.entryLength, dataStart + settled.compressedSize - row.headerOffset);
    row.zip64Local = ReadU32(extras.localRecordOverride.data() + zip::lfh::kCompressedSize) == zip::kZip64Marker32;
    row.check = RowCheck{};
    return true;
}

}  // namespace vrz
