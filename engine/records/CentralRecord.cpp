#include "records/CentralRecord.h"

#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

// Takes the ZIP64 values of the marked fields, in the order the format
// fixes: uncompressed size, compressed size, offset, disk.
void ApplyCentralZip64(CentralRecord& record, bool diskMarked) {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!FindExtraBlock(record.extra.data(), record.extra.size(), zip::kExtraIdZip64, &data, &size)) return;
    ByteCursor c(data, size);
    if (record.uncompressedSize == zip::kZip64Marker32) {
        const std::uint64_t v = c.U64();
        if (c.ok()) record.uncompressedSize = v;
    }
    if (record.compressedSize == zip::kZip64Marker32) {
        const std::uint64_t v = c.U64();
        if (c.ok()) record.compressedSize = v;
    }
    if (record.localHeaderOffset == zip::kZip64Marker32) {
        const std::uint64_t v = c.U64();
        if (c.ok()) record.localHeaderOffset = v;
    }
    if (diskMarked) {
        const std::uint32_t v = c.U32();
        if (c.ok()) record.diskStart = v;
    }
}

}  // namespace

std::size_t CentralRecordVariableLength(const std::uint8_t* fixed) {
    return std::size_t{ReadU16(fixed + zip::cdh::kNameLength)} + ReadU16(fixed + zip::cdh::kExtraLength) +
           ReadU16(fixed + zip::cdh::kCommentLength);
}

CentralRecord ReadCentralRecord(const std::uint8_t* fixed, const std::uint8_t* variable) {
    CentralRecord r;
    r.versionMadeBy = ReadU16(fixed + zip::cdh::kVersionMadeBy);
    r.versionNeeded = ReadU16(fixed + zip::cdh::kVersionNeeded);
    r.flags = ReadU16(fixed + zip::cdh::kFlags);
    r.method = ReadU16(fixed + zip::cdh::kMethod);
    r.modTime = ReadU16(fixed + zip::cdh::kModTime);
    r.modDate = ReadU16(fixed + zip::cdh::kModDate);
    r.crc32 = ReadU32(fixed + zip::cdh::kCrc32);
    r.compressedSize = ReadU32(fixed + zip::cdh::kCompressedSize);
    r.uncompressedSize = ReadU32(fixed + zip::cdh::kUncompressedSize);
    r.diskStart = ReadU16(fixed + zip::cdh::kDiskStart);
    r.internalAttributes = ReadU16(fixed + zip::cdh::kInternalAttributes);
    r.externalAttributes = ReadU32(fixed + zip::cdh::kExternalAttributes);
    r.localHeaderOffset = ReadU32(fixed + zip::cdh::kLocalHeaderOffset);
    const std::size_t nameLength = ReadU16(fixed + zip::cdh::kNameLength);
    const std::size_t extraLength = ReadU16(fixed + zip::cdh::kExtraLength);
    const std::size_t commentLength = ReadU16(fixed + zip::cdh::kCommentLength);
    r.name.assign(reinterpret_cast<const char*>(variable), nameLength);
    r.extra.assign(variable + nameLength, variable + nameLength + extraLength);
    r.comment.assign(reinterpret_cast<const char*>(variable + nameLength + extraLength), commentLength);
    ApplyCentralZip64(r, r.diskStart == zip::kZip64Marker16);
    return r;
}

}  // namespace vrz
