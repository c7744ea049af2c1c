#include "writer/EndRecords.h"

#include <algorithm>

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

constexpr std::uint64_t kZip64EndRecordRestSize = zip::kZip64EndOfCentralDirSize - 12;
constexpr std::uint16_t kVersion63 = 63;

}  // namespace

bool NeedsZip64EndRecords(const CentralDirectorySummary& directory) {
    return directory.entryCount >= zip::kZip64EntryCountThreshold || directory.size >= zip::kZip64Threshold ||
           directory.offset >= zip::kZip64Threshold;
}

void AppendEndRecords(const CentralDirectorySummary& directory, std::vector<std::uint8_t>* out) {
    ByteWriter<std::vector<std::uint8_t>> w(*out);
    if (NeedsZip64EndRecords(directory)) {
        w.U32(zip::kZip64EndOfCentralDirSignature);
        w.U64(kZip64EndRecordRestSize);
        w.U16(directory.zip64Version);  // version made by
        w.U16(directory.zip64Version);  // version needed
        w.U32(0);                       // this disk
        w.U32(0);                       // disk with the central directory
        w.U64(directory.entryCount);    // on this disk
        w.U64(directory.entryCount);    // in total
        w.U64(directory.size);
        w.U64(directory.offset);

        w.U32(zip::kZip64LocatorSignature);
        w.U32(0);  // disk with the ZIP64 end record
        w.U64(directory.offset + directory.size);
        w.U32(1);  // total number of disks
    }
    const std::uint16_t count = directory.entryCount >= zip::kZip64EntryCountThreshold
                                    ? zip::kZip64Marker16
                                    : static_cast<std::uint16_t>(directory.entryCount);
    w.U32(zip::kEndOfCentralDirSignature);
    w.U16(0);  // this disk
    w.U16(0);  // disk with the central directory
    w.U16(count);
    w.U16(count);
    w.U32(directory.size >= zip::kZip64Threshold ? zip::kZip64Marker32 : static_cast<std::uint32_t>(directory.size));
    w.U32(directory.offset >= zip::kZip64Threshold ? zip::kZip64Marker32
                                                   : static_cast<std::uint32_t>(directory.offset));
    const std::size_t commentLength = std::min<std::size_t>(directory.comment.size(), zip::kMaxFieldLength);
    w.U16(static_cast<std::uint16_t>(commentLength));
    w.Bytes(reinterpret_cast<const std::uint8_t*>(directory.comment.data()), commentLength);
}

std::uint16_t SplitArchiveZip64Version(std::uint16_t versionNeeded) {
    if ((versionNeeded & 0xFFu) != kVersion63) return versionNeeded;
    return static_cast<std::uint16_t>((versionNeeded & 0xFF00u) | zip::kZip64Version);
}

}  // namespace vrz
