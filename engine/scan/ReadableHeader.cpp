#include "scan/ReadableHeader.h"

#include <string>

#include "records/ByteOrder.h"
#include "records/LocalRecordRewrite.h"
#include "records/ZipConstants.h"
#include "writer/DosFileTime.h"

namespace vrz {

namespace {


void AddMend(JobState& state, const RecoveredEntry& row, std::string_view name, FindingField field,
             std::uint64_t won, std::uint64_t lost) {
    ScanFinding finding;
    finding.kind = FindingKind::kHeaderMadeReadable;
    finding.offset = row.headerOffset;
    finding.part = row.part;
    finding.name = std::string(name);
    finding.field = field;
    finding.basis = FindingBasis::kReadersRefuse;
    finding.won = won;
    finding.lost = lost;
    state.findings.Add(std::move(finding));
}

}  // namespace

bool MendFoundHeader(JobState& state, const FoundHeader& found, RecoveredEntry& row) {
    const LocalHeader& header = *found.header;
    LocalRecordValues values = ValuesFrom(header, row.crc32, row.compressedSize, row.uncompressedSize);
    // A streamed entry's sizes come from its descriptor; its header's are not compared.
    bool rebuild = !header.HasDataDescriptor() && (row.compressedSize != header.compressedSize ||
                                                   row.uncompressedSize != header.uncompressedSize);

    const bool folder = !found.name.empty() && found.name.back() == '/';
    const std::uint8_t needed = VersionNeededFor(header.method, header.flags, header.zip64Extra, folder);
    if (VersionNeededIsDamaged(header.versionNeeded, needed)) {
        values.versionNeeded = needed;
        AddMend(state, row, found.name, FindingField::kVersionNeeded, needed, header.versionNeeded);
        rebuild = true;
    }
    const std::uint16_t refused = UnreadableFlagBits(header.flags);
    if (refused != 0) {
        values.flags = static_cast<std::uint16_t>(header.flags & ~refused);
        AddMend(state, row, found.name, FindingField::kFlags, values.flags, header.flags);
        rebuild = true;
    }
    // No data at all: a compressed stream needs at least its end, so readers
    // refuse any method but stored for it.
    if (row.compressedSize == 0 && row.uncompressedSize == 0 && header.method != 0 &&
        (header.flags & zip::kFlagEncrypted) == 0) {
        values.method = 0;
        AddMend(state, row, found.name, FindingField::kMethod, 0, header.method);
        row.method = 0;
        rebuild = true;
    }
    // Readers that convert the date report the archive's headers as damaged.
    if (!DosDateTimeIsReadable(header.modDate, header.modTime)) {
        values.modTime = 0;
        values.modDate = kDosEpochDate;
        AddMend(state, row, found.name, FindingField::kModTime, std::uint64_t{kDosEpochDate} << 16,
                (std::uint64_t{header.modDate} << 16) | header.modTime);
        rebuild = true;
    }
    const std::size_t sound = WellFormedExtraLength(found.extra, found.extraLength);
    if (sound != found.extraLength) {
        AddMend(state, row, found.name, FindingField::kExtraField, sound, found.extraLength);
        rebuild = true;
    }
    if (!rebuild) return false;

    EntryExtras& extras = state.ExtrasFor(row);
    extras.localRecordOverride = BuildLocalRecord(values, found.name, found.extra, found.extraLength);
    extras.dataOffset = found.dataStart;
    row.descriptorLength = 0;
    row.zip64Local = ReadU32(extras.localRecordOverride.data() + zip::lfh::kCompressedSize) == zip::kZip64Marker32;
    return true;
}

bool WrittenLocalRecord(const JobState& state, SourceReader& reader, const RecoveredEntry& row,
                        std::vector<std::uint8_t>* record) {
    const EntryExtras& extras = state.ExtrasOf(row);
    if (!extras.localRecordOverride.empty()) {
        *record = extras.localRecordOverride;
        return true;
    }
    record->resize(zip::kLocalHeaderSize);
    if (!reader.Copy(row.headerOffset, zip::kLocalHeaderSize, record->data())) return false;
    const std::size_t variable = std::size_t{ReadU16(record->data() + zip::lfh::kNameLength)} +
                                 ReadU16(record->data() + zip::lfh::kExtraLength);
    record->resize(zip::kLocalHeaderSize + variable);
    return reader.Copy(row.headerOffset + zip::kLocalHeaderSize, variable, record->data() + zip::kLocalHeaderSize);
}

std::uint64_t WrittenDataStart(const JobState& state, const RecoveredEntry& row) {
    const EntryExtras& extras = state.ExtrasOf(row);
    if (!extras.localRecordOverride.empty()) return extras.dataOffset;
    return row.headerOffset + row.entryLength - row.descriptorLength - row.compressedSize;
}

}  // namespace vrz
