#include "writer/CentralHeaderBuilder.h"

#include <algorithm>

#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "writer/DosFileTime.h"

namespace vrz {

namespace {

using Writer = ByteWriter<std::vector<std::uint8_t>>;

// A 32-bit field that must move to the ZIP64 block.
bool NeedsZip64(std::uint64_t value) { return value >= zip::kZip64Threshold; }

std::uint32_t Field32(std::uint64_t value, bool marked) {
    return marked ? zip::kZip64Marker32 : static_cast<std::uint32_t>(value);
}

void AppendNtfsBlock(Writer& w, std::uint16_t dosDate, std::uint16_t dosTime) {
    const std::uint64_t fileTime = DosDateTimeToFileTime(dosDate, dosTime);
    w.U16(zip::kExtraIdNtfs);
    w.U16(static_cast<std::uint16_t>(zip::kNtfsExtraSize - zip::kExtraBlockHeaderSize));
    w.U32(0);  // reserved
    w.U16(zip::kNtfsAttributeTag);
    w.U16(zip::kNtfsAttributeSize);
    w.U64(fileTime);  // modification
    w.U64(fileTime);  // last access
    w.U64(fileTime);  // creation
}

bool HasBlock(const std::uint8_t* extra, std::size_t length, std::uint16_t id) {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    return FindExtraBlock(extra, length, id, &data, &size);
}

}  // namespace

EntryHost HostFor(const RecoveredEntry& row, const std::uint8_t* localRecord, const std::uint8_t* name,
                  std::size_t nameLength, const std::uint8_t* localExtra, std::size_t extraLength) {
    const std::uint16_t versionNeeded = ReadU16(localRecord + zip::lfh::kVersionNeeded);
    const std::uint8_t* flagsField = localRecord + zip::lfh::kFlags;
    EntryHost host;
    if (row.hasCentralRecord) {
        host.versionMadeBy = row.versionMadeBy;
        host.externalAttributes = row.externalAttributes;
        host.internalAttributes = row.internalAttributes;
        return host;
    }
    // Fields only Unix writers put in local headers tell the host; a mode
    // that every reader can use then keeps files readable and folders open.
    const bool unixFields = HasBlock(localExtra, extraLength, zip::kExtraIdExtendedTimestamp) ||
                            HasBlock(localExtra, extraLength, zip::kExtraIdUnixUidGid) ||
                            HasBlock(localExtra, extraLength, zip::kExtraIdUnixNew) ||
                            HasBlock(localExtra, extraLength, zip::kExtraIdUnixOld);
    // A UTF-8 name under an MS-DOS host is read as code page 437 by some
    // readers; a Unix host makes them take the bytes as they are.
    const bool utf8Name = (ReadU16(flagsField) & zip::kFlagUtf8) != 0;
    if ((unixFields || utf8Name) && !HasBlock(localExtra, extraLength, zip::kExtraIdNtfs)) {
        const bool folder = nameLength > 0 && name[nameLength - 1] == '/';
        host.versionMadeBy = static_cast<std::uint16_t>((zip::kHostUnix << 8) | (versionNeeded & 0xFFu));
        host.externalAttributes = ((folder ? zip::kUnixFolderMode : zip::kUnixFileMode) << 16) |
                                  (folder ? zip::kMsDosFolderAttribute : 0u);
        return host;
    }
    host.versionMadeBy = versionNeeded;
    host.externalAttributes = zip::kExternalAttributesArchive;
    return host;
}

bool ExtraFieldIsWellFormed(const std::uint8_t* extra, std::size_t length) {
    std::size_t pos = 0;
    while (length - pos >= zip::kExtraBlockHeaderSize) {
        const std::size_t blockSize = ReadU16(extra + pos + 2);
        pos += zip::kExtraBlockHeaderSize;
        if (blockSize > length - pos) return false;
        pos += blockSize;
    }
    return true;
}

bool AppendCentralHeader(const CentralHeaderInput& input, std::vector<std::uint8_t>* out) {
    const std::uint8_t* local = input.localRecord;
    if (input.localRecordLength < zip::kLocalHeaderSize) return false;
    const std::uint16_t nameLength = ReadU16(local + zip::lfh::kNameLength);
    const std::uint16_t extraLength = ReadU16(local + zip::lfh::kExtraLength);
    if (input.localRecordLength < zip::kLocalHeaderSize + std::size_t{nameLength} + extraLength) return false;
    const std::uint8_t* name = local + zip::kLocalHeaderSize;
    const std::uint8_t* localExtra = name + nameLength;
    const RecoveredEntry& row = *input.row;

    // Which values go to the ZIP64 block: a size the local header already
    // kept in its own ZIP64 field stays there, anything else that does not
    // fit 32 bits moves too.
    const bool uncompressedMarked = row.zip64Local || NeedsZip64(row.uncompressedSize);
    const bool compressedMarked = NeedsZip64(row.compressedSize);
    const bool offsetMarked = NeedsZip64(input.outputOffset);
    const bool freshExtra = input.largeArchive || row.zip64Local || uncompressedMarked || compressedMarked ||
                            offsetMarked;
    // A damaged extra area would make strict readers refuse the whole
    // directory; the entry's own copy keeps it, the central header drops it.
    const bool copyLocalExtra = !freshExtra && ExtraFieldIsWellFormed(localExtra, extraLength);

    std::vector<std::uint8_t> extra;
    if (freshExtra) {
        Writer e(extra);
        AppendNtfsBlock(e, ReadU16(local + zip::lfh::kModDate), ReadU16(local + zip::lfh::kModTime));
        const std::uint16_t zip64Data = static_cast<std::uint16_t>(
            8 * (int{uncompressedMarked} + int{compressedMarked} + int{offsetMarked}));
        if (zip64Data > 0) {
            e.U16(zip::kExtraIdZip64);
            e.U16(zip64Data);
            if (uncompressedMarked) e.U64(row.uncompressedSize);
            if (compressedMarked) e.U64(row.compressedSize);
            if (offsetMarked) e.U64(input.outputOffset);
        }
    } else if (copyLocalExtra) {
        extra.assign(localExtra, localExtra + extraLength);
    }
    static const EntryExtras kNoExtrasAtAll;
    const EntryExtras& rare = input.extras != nullptr ? *input.extras : kNoExtrasAtAll;
    if (extra.size() + rare.centralOnlyExtra.size() <= zip::kMaxFieldLength)
        extra.insert(extra.end(), rare.centralOnlyExtra.begin(), rare.centralOnlyExtra.end());
    const std::size_t commentLength = std::min<std::size_t>(rare.comment.size(), zip::kMaxFieldLength);
    const EntryHost host = HostFor(row, local, name, nameLength, localExtra, extraLength);

    Writer w(*out);
    w.U32(zip::kCentralHeaderSignature);
    w.U16(host.versionMadeBy);
    // Version needed, flags, method, time and date stand as in the local header.
    w.Bytes(local + zip::lfh::kVersionNeeded, zip::lfh::kCrc32 - zip::lfh::kVersionNeeded);
    w.U32(row.crc32);
    w.U32(Field32(row.compressedSize, compressedMarked));
    w.U32(Field32(row.uncompressedSize, uncompressedMarked));
    w.U16(nameLength);
    w.U16(static_cast<std::uint16_t>(extra.size()));
    w.U16(static_cast<std::uint16_t>(commentLength));
    w.U16(0);  // disk number start
    w.U16(host.internalAttributes);
    w.U32(host.externalAttributes);
    w.U32(Field32(input.outputOffset, offsetMarked));
    w.Bytes(name, nameLength);
    w.Bytes(extra.data(), extra.size());
    w.Bytes(reinterpret_cast<const std::uint8_t*>(rare.comment.data()), commentLength);
    return true;
}

}  // namespace vrz
