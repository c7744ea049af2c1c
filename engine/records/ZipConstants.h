// Signatures, fixed record sizes, field offsets and limits of the ZIP records
// that the scans read and the writers emit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vrz::zip {

// Signatures as the four bytes that start each record ("PK" + two type bytes).
constexpr std::uint8_t kSigLocalHeader[4] = {0x50, 0x4B, 0x03, 0x04};
constexpr std::uint8_t kSigCentralHeader[4] = {0x50, 0x4B, 0x01, 0x02};
constexpr std::uint8_t kSigDataDescriptor[4] = {0x50, 0x4B, 0x07, 0x08};

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kDataDescriptorSignature = 0x08074B50;
constexpr std::uint32_t kEndOfCentralDirSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndOfCentralDirSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndOfCentralDirSize = 22;
constexpr std::size_t kZip64EndOfCentralDirSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kDataDescriptorSize = 16;
constexpr std::size_t kZip64DataDescriptorSize = 24;

// Local file header field offsets.
namespace lfh {
constexpr std::size_t kVersionNeeded = 4;
constexpr std::size_t kFlags = 6;
constexpr std::size_t kMethod = 8;
constexpr std::size_t kModTime = 10;
constexpr std::size_t kModDate = 12;
constexpr std::size_t kCrc32 = 14;
constexpr std::size_t kCompressedSize = 18;
constexpr std::size_t kUncompressedSize = 22;
constexpr std::size_t kNameLength = 26;
constexpr std::size_t kExtraLength = 28;
}  // namespace lfh

// Data descriptor field offsets (both forms).
namespace dd {
constexpr std::size_t kCrc32 = 4;
constexpr std::size_t kCompressedSize = 8;
constexpr std::size_t kUncompressedSize32 = 12;
constexpr std::size_t kUncompressedSize64 = 16;
}  // namespace dd

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

constexpr std::uint16_t kExtraIdZip64 = 0x0001;
constexpr std::uint16_t kExtraIdNtfs = 0x000A;
constexpr std::size_t kExtraBlockHeaderSize = 4;
constexpr std::size_t kNtfsExtraSize = 36;  // header + 32 bytes of data
constexpr std::uint16_t kNtfsAttributeTag = 0x0001;
constexpr std::uint16_t kNtfsAttributeSize = 24;

constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr std::uint16_t kZip64Marker16 = 0xFFFF;
constexpr std::uint64_t kZip64Threshold = 0xFFFFFFFF;  // values at or above go to ZIP64 fields
constexpr std::uint64_t kZip64EntryCountThreshold = 0x10000;
constexpr std::uint16_t kZip64Version = 45;

constexpr std::uint32_t kExternalAttributesArchive = 0x00000020;

// Names are accepted from 1 byte up to the longest path a Linux file system takes.
constexpr std::size_t kMinNameLength = 1;
constexpr std::size_t kMaxNameLength = 4096;

}  // namespace vrz::zip
