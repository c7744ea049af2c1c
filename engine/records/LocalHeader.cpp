#include "records/LocalHeader.h"

#include "records/ByteOrder.h"

namespace vrz {

LocalHeader ReadLocalHeaderFixed(const std::uint8_t* p) {
    LocalHeader h;
    h.versionNeeded = ReadU16(p + zip::lfh::kVersionNeeded);
    h.flags = ReadU16(p + zip::lfh::kFlags);
    h.method = ReadU16(p + zip::lfh::kMethod);
    h.modTime = ReadU16(p + zip::lfh::kModTime);
    h.modDate = ReadU16(p + zip::lfh::kModDate);
    h.crc32 = ReadU32(p + zip::lfh::kCrc32);
    h.compressedSize = ReadU32(p + zip::lfh::kCompressedSize);
    h.uncompressedSize = ReadU32(p + zip::lfh::kUncompressedSize);
    h.nameLength = ReadU16(p + zip::lfh::kNameLength);
    h.extraLength = ReadU16(p + zip::lfh::kExtraLength);
    return h;
}

bool FindExtraBlock(const std::uint8_t* extra, std::size_t extraLength, std::uint16_t id,
                    const std::uint8_t** data, std::size_t* dataLength) {
    std::size_t pos = 0;
    while (extraLength - pos >= zip::kExtraBlockHeaderSize) {
        const std::uint16_t blockId = ReadU16(extra + pos);
        const std::size_t blockSize = ReadU16(extra + pos + 2);
        pos += zip::kExtraBlockHeaderSize;
        if (blockSize > extraLength - pos) return false;  // malformed: the block runs past the area
        if (blockId == id) {
            *data = extra + pos;
            *dataLength = blockSize;
            return true;
        }
        pos += blockSize;
    }
    return false;
}

void ApplyZip64Extra(LocalHeader& header, const std::uint8_t* extra, std::size_t extraLength) {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    if (!FindExtraBlock(extra, extraLength, zip::kExtraIdZip64, &data, &size)) return;
    header.zip64Extra = true;
    const bool uncompressedMarked = header.uncompressedSize == zip::kZip64Marker32;
    const bool compressedMarked = header.compressedSize == zip::kZip64Marker32;
    if (size >= 16) {
        if (uncompressedMarked) header.uncompressedSize = ReadU64(data);
        if (compressedMarked) header.compressedSize = ReadU64(data + 8);
    } else if (size >= 8) {
        // A short field holds only the first marked value.
        if (uncompressedMarked)
            header.uncompressedSize = ReadU64(data);
        else if (compressedMarked)
            header.compressedSize = ReadU64(data);
    }
}

}  // namespace vrz
