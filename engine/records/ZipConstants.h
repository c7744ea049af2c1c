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
constexpr std::uint8_t kSigEndOfCentralDir[4] = {0x50, 0x4B, 0x05, 0x06};
constexpr std::uint8_t kSigZip64EndOfCentralDir[4] = {0x50, 0x4B, 0x06, 0x06};
constexpr std::uint8_t kSigZip64Locator[4] = {0x50, 0x4B, 0x06, 0x07};
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
// The same descriptors written without their optional signature.
constexpr std::size_t kBareDataDescriptorSize = 12;
constexpr std::size_t kBareZip64DataDescriptorSize = 20;

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

// Central directory header field offsets.
namespace cdh {
constexpr std::size_t kVersionMadeBy = 4;
constexpr std::size_t kVersionNeeded = 6;
constexpr std::size_t kFlags = 8;
constexpr std::size_t kMethod = 10;
constexpr std::size_t kModTime = 12;
constexpr std::size_t kModDate = 14;
constexpr std::size_t kCrc32 = 16;
constexpr std::size_t kCompressedSize = 20;
constexpr std::size_t kUncompressedSize = 24;
constexpr std::size_t kNameLength = 28;
constexpr std::size_t kExtraLength = 30;
constexpr std::size_t kCommentLength = 32;
constexpr std::size_t kDiskStart = 34;
constexpr std::size_t kInternalAttributes = 36;
constexpr std::size_t kExternalAttributes = 38;
constexpr std::size_t kLocalHeaderOffset = 42;
}  // namespace cdh

// End of central directory record field offsets.
namespace eocd {
constexpr std::size_t kDisk = 4;
constexpr std::size_t kDirectoryDisk = 6;
constexpr std::size_t kDirectorySize = 12;
constexpr std::size_t kDirectoryOffset = 16;
constexpr std::size_t kCommentLength = 20;
}  // namespace eocd
constexpr std::size_t kZip64EndRecordSizeField = 4;  // size of the rest, 8 bytes

// Data descriptor field offsets (both forms).
namespace dd {
constexpr std::size_t kCrc32 = 4;
constexpr std::size_t kCompressedSize = 8;
constexpr std::size_t kUncompressedSize32 = 12;
constexpr std::size_t kUncompressedSize64 = 16;
}  // namespace dd

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
constexpr std::uint16_t kFlagUtf8 = 0x0800;

constexpr std::uint16_t kExtraIdZip64 = 0x0001;
constexpr std::uint16_t kExtraIdNtfs = 0x000A;
constexpr std::uint16_t kExtraIdStrongEncryption = 0x0017;
constexpr std::uint16_t kExtraIdAes = 0x9901;  // AE-x: the key strength and the method under the encryption
constexpr std::uint16_t kExtraIdExtendedTimestamp = 0x5455;  // "UT"
constexpr std::uint16_t kExtraIdUnixOld = 0x5855;            // "UX"
constexpr std::uint16_t kExtraIdUnixUidGid = 0x7875;         // "ux"
constexpr std::uint16_t kExtraIdUnixNew = 0x7855;            // "Ux"
constexpr std::size_t kExtraBlockHeaderSize = 4;
constexpr std::size_t kNtfsExtraSize = 36;  // header + 32 bytes of data
constexpr std::uint16_t kNtfsAttributeTag = 0x0001;
constexpr std::uint16_t kNtfsAttributeSize = 24;

constexpr std::size_t kMaxFieldLength = 0xFFFF;  // longest name, extra field or comment
constexpr std::uint32_t kZip64Marker32 = 0xFFFFFFFF;
constexpr std::uint16_t kZip64Marker16 = 0xFFFF;
constexpr std::uint64_t kZip64Threshold = 0xFFFFFFFF;  // values at or above go to ZIP64 fields
constexpr std::uint64_t kZip64EntryCountThreshold = 0x10000;
constexpr std::uint16_t kZip64Version = 45;

constexpr std::uint32_t kExternalAttributesArchive = 0x00000020;
// Hosts in the high byte of "version made by".
constexpr std::uint8_t kHostMsDos = 0;
constexpr std::uint8_t kHostUnix = 3;
// Unix modes sit in the high 16 bits of the external attributes.
constexpr std::uint32_t kUnixFileMode = 0100644;
constexpr std::uint32_t kUnixFolderMode = 040755;
constexpr std::uint32_t kMsDosFolderAttribute = 0x10;

// Names are accepted at any length the 16-bit field allows, from 1 byte.
constexpr std::size_t kMinNameLength = 0;
constexpr std::size_t kMaxNameLength = 65535;

}  // namespace vrz::zip
