#include "scan/CentralDirectoryWalk.h"

#include <algorithm>
#include <cstring>

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

// A ZIP64 end record larger than this is not one: its extensible data is
// never more than a few records.
constexpr std::uint64_t kLargestZip64EndRecord = 1u << 16;
constexpr std::size_t kZip64EndRecordDirectoryOffset = 48;

bool SignatureAt(const ByteFetch& fetch, std::uint64_t at, std::uint64_t limit, const std::uint8_t (&sig)[4]) {
    if (at > limit || limit - at < 4) return false;
    const std::uint8_t* p = fetch(at, 4);
    return p && std::memcmp(p, sig, 4) == 0;
}

// Bytes before the first record signature in area: local, central, descriptor, end records.
std::size_t RecordFreeLength(const std::uint8_t* area, std::size_t length) {
    for (std::size_t i = 0; i + 4 <= length; ++i) {
        if (area[i] != 'P' || area[i + 1] != 'K') continue;
        const std::uint8_t a = area[i + 2];
        const std::uint8_t b = area[i + 3];
        if ((a == 1 && b == 2) || (a == 3 && b == 4) || (a == 5 && b == 6) || (a == 6 && (b == 6 || b == 7)) ||
            (a == 7 && b == 8))
            return i;
    }
    return length;
}

}  // namespace

WalkedDirectory WalkCentralDirectory(const ByteFetch& fetch, std::uint64_t start, std::uint64_t limit) {
    WalkedDirectory dir;
    dir.start = start;
    std::uint64_t at = start;
    while (SignatureAt(fetch, at, limit, zip::kSigCentralHeader) && limit - at >= zip::kCentralHeaderSize) {
        const std::uint8_t* fixed = fetch(at, zip::kCentralHeaderSize);
        if (!fixed) break;
        std::uint8_t copy[zip::kCentralHeaderSize];
        std::memcpy(copy, fixed, sizeof copy);
        const std::uint64_t room = limit - at - zip::kCentralHeaderSize;
        const std::size_t commentLength = ReadU16(copy + zip::cdh::kCommentLength);
        const std::size_t named = CentralRecordVariableLength(copy) - commentLength;
        if (named > room) break;
        // A comment that runs over the next record or past the bytes has a
        // damaged length: it ends before the record, which is read as one.
        const std::size_t reach = static_cast<std::size_t>(std::min<std::uint64_t>(commentLength, room - named));
        const std::uint8_t* comment = reach > 0 ? fetch(at + zip::kCentralHeaderSize + named, reach) : nullptr;
        if (reach > 0 && !comment) break;
        const std::size_t kept = reach > 0 ? RecordFreeLength(comment, reach) : 0;
        if (kept != commentLength) {
            WriteU16(copy + zip::cdh::kCommentLength, static_cast<std::uint16_t>(kept));
            dir.lengthsCut = true;
        }
        const std::size_t variable = named + kept;
        const std::uint8_t* rest = fetch(at + zip::kCentralHeaderSize, variable);
        if (!rest && variable > 0) break;
        CentralRecord record = ReadCentralRecord(copy, rest);
        record.recordOffset = at;
        dir.records.push_back(std::move(record));
        at += zip::kCentralHeaderSize + variable;
    }
    std::uint64_t zip64StatedOffset = 0;
    bool zip64EndRecord = false;
    if (SignatureAt(fetch, at, limit, zip::kSigZip64EndOfCentralDir) && limit - at >= zip::kZip64EndOfCentralDirSize) {
        const std::uint8_t* p = fetch(at, zip::kZip64EndOfCentralDirSize);
        const std::uint64_t rest = p ? ReadU64(p + zip::kZip64EndRecordSizeField) : 0;
        if (p && rest <= kLargestZip64EndRecord && rest + 12 <= limit - at) {
            zip64StatedOffset = ReadU64(p + kZip64EndRecordDirectoryOffset);
            zip64EndRecord = true;
            at += 12 + rest;
        }
    }
    if (SignatureAt(fetch, at, limit, zip::kSigZip64Locator) && limit - at >= zip::kZip64LocatorSize)
        at += zip::kZip64LocatorSize;
    if (SignatureAt(fetch, at, limit, zip::kSigEndOfCentralDir) && limit - at >= zip::kEndOfCentralDirSize) {
        const std::uint8_t* p = fetch(at, zip::kEndOfCentralDirSize);
        if (p) {
            dir.hasEndRecord = true;
            dir.statedOffset = ReadU32(p + zip::eocd::kDirectoryOffset);
            if (dir.statedOffset == zip::kZip64Marker32 && zip64EndRecord) dir.statedOffset = zip64StatedOffset;
            const std::size_t commentLength = ReadU16(p + zip::eocd::kCommentLength);
            at += zip::kEndOfCentralDirSize;
            // A comment cut by the end of the bytes keeps what survives; one
            // that runs over a record has a damaged length and ends before it,
            // so that the record is read as one.
            std::size_t kept = static_cast<std::size_t>(std::min<std::uint64_t>(commentLength, limit - at));
            const std::uint8_t* comment = kept > 0 ? fetch(at, kept) : nullptr;
            if (comment) {
                kept = RecordFreeLength(comment, kept);
                dir.archiveComment.assign(reinterpret_cast<const char*>(comment), kept);
            }
            at += kept;
        }
    }
    dir.end = at;
    return dir;
}

}  // namespace vrz
