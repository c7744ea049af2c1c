#include "records/LocalRecordRewrite.h"

#include "codec/EntryDecoder.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

constexpr std::uint16_t kFlagPatchedData = 0x0020;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::size_t kZip64LocalBlockData = 16;
// Above this, a version-needed is more than common writers ever put on an
// entry that needs no newer feature (4.5 is ZIP64's).
constexpr std::uint8_t kHighestCommonVersion = 45;

}  // namespace

LocalRecordValues ValuesFrom(const LocalHeader& header, std::uint32_t crc32, std::uint64_t compressedSize,
                             std::uint64_t uncompressedSize) {
    LocalRecordValues values;
    values.versionNeeded = header.versionNeeded;
    values.flags = header.flags;
    values.method = header.method;
    values.modTime = header.modTime;
    values.modDate = header.modDate;
    values.crc32 = crc32;
    values.compressedSize = compressedSize;
    values.uncompressedSize = uncompressedSize;
    return values;
}

std::uint16_t DroppedStreamFlag(std::uint16_t flags) {
    // Traditional encryption checks the password against the time instead
    // of the CRC-32 when bit 3 is set: such an entry keeps it.
    return (flags & zip::kFlagEncrypted) != 0 ? 0 : zip::kFlagDataDescriptor;
}

std::size_t WellFormedExtraLength(const std::uint8_t* extra, std::size_t length) {
    std::size_t pos = 0;
    while (length - pos >= zip::kExtraBlockHeaderSize) {
        const std::size_t block = zip::kExtraBlockHeaderSize + ReadU16(extra + pos + 2);
        if (block > length - pos) return pos;
        pos += block;
    }
    return length;
}

std::vector<std::uint8_t> BuildLocalRecord(const LocalRecordValues& values, std::string_view name,
                                           const std::uint8_t* extra, std::size_t extraLength) {
    const bool zip64 =
        values.compressedSize >= zip::kZip64Threshold || values.uncompressedSize >= zip::kZip64Threshold;
    std::vector<std::uint8_t> kept;
    ByteWriter<std::vector<std::uint8_t>> e(kept);
    if (zip64) {
        e.U16(zip::kExtraIdZip64);
        e.U16(static_cast<std::uint16_t>(kZip64LocalBlockData));
        e.U64(values.uncompressedSize);
        e.U64(values.compressedSize);
    }
    const std::size_t sound = extra != nullptr ? WellFormedExtraLength(extra, extraLength) : 0;
    std::size_t pos = 0;
    while (sound - pos >= zip::kExtraBlockHeaderSize) {
        const std::size_t block = zip::kExtraBlockHeaderSize + ReadU16(extra + pos + 2);
        if (ReadU16(extra + pos) != zip::kExtraIdZip64 && kept.size() + block <= zip::kMaxFieldLength)
            e.Bytes(extra + pos, block);
        pos += block;
    }
    const std::size_t nameLength = name.size() <= zip::kMaxFieldLength ? name.size() : zip::kMaxFieldLength;

    std::vector<std::uint8_t> out;
    out.reserve(zip::kLocalHeaderSize + nameLength + kept.size());
    ByteWriter<std::vector<std::uint8_t>> w(out);
    w.U32(zip::kLocalHeaderSignature);
    w.U16(values.versionNeeded);
    w.U16(values.flags & ~DroppedStreamFlag(values.flags));
    w.U16(values.method);
    w.U16(values.modTime);
    w.U16(values.modDate);
    w.U32(values.crc32);
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(values.compressedSize));
    w.U32(zip64 ? zip::kZip64Marker32 : static_cast<std::uint32_t>(values.uncompressedSize));
    w.U16(static_cast<std::uint16_t>(nameLength));
    w.U16(static_cast<std::uint16_t>(kept.size()));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(name.data()), nameLength);
    w.Bytes(kept.data(), kept.size());
    return out;
}

std::uint8_t VersionNeededFor(std::uint16_t method, std::uint16_t flags, bool zip64, bool folder) {
    std::uint8_t needed = 10;
    const auto atLeast = [&needed](std::uint8_t v) {
        if (v > needed) needed = v;
    };
    if (folder || (flags & zip::kFlagEncrypted) != 0) atLeast(20);
    switch (method) {
        case method::kStored: break;
        case method::kDeflate: atLeast(20); break;
        case method::kDeflate64: atLeast(21); break;
        case method::kImplode: atLeast(10); break;
        case method::kBzip2: atLeast(46); break;
        // LZMA, PPMd, xz, zstd, and AES whose inner method may be any of them: the newest.
        default: atLeast(63); break;
    }
    if ((flags & kFlagStrongEncryption) != 0) atLeast(50);
    if (zip64) atLeast(zip::kZip64Version);
    return needed;
}

bool VersionNeededIsDamaged(std::uint16_t versionNeeded, std::uint8_t needed) {
    const std::uint8_t low = static_cast<std::uint8_t>(versionNeeded & 0xFFu);
    const std::uint8_t high = static_cast<std::uint8_t>(versionNeeded >> 8);
    return low > needed && (low > kHighestCommonVersion || high != 0);
}

std::uint16_t UnreadableFlagBits(std::uint16_t flags) {
    std::uint16_t bits = flags & kFlagPatchedData;
    if ((flags & kFlagStrongEncryption) != 0 && (flags & zip::kFlagEncrypted) == 0) bits |= kFlagStrongEncryption;
    return bits;
}

}  // namespace vrz
