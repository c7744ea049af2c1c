#include "scan/SplitEndRecord.h"

#include <algorithm>
#include <cstring>

#include "io/FileIo.h"
#include "records/ByteOrder.h"
#include "records/CentralRecord.h"
#include "records/ZipConstants.h"
#include "scan/CentralDirectoryWalk.h"

namespace vrz {

namespace {

// The end record's comment is at most this long, so the record lies in the last bytes.
constexpr std::uint64_t kLongestComment = 65535;
// Reading a larger directory before the scan costs more than a stray file is worth.
constexpr std::uint64_t kLargestDirectoryRead = 16u << 20;

}  // namespace

SplitEndRecord ReadSplitEndRecord(const std::string& path) {
    SplitEndRecord end;
    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(&size) || size < zip::kEndOfCentralDirSize) return end;
    const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, kLongestComment + zip::kEndOfCentralDirSize));
    std::vector<std::uint8_t> bytes(tail);
    if (file.ReadAt(size - tail, bytes.data(), tail) != tail) return end;
    for (std::size_t i = tail - zip::kEndOfCentralDirSize + 1; i-- > 0;) {
        const std::uint8_t* p = bytes.data() + i;
        if (ReadU32(p) != zip::kEndOfCentralDirSignature) continue;
        const std::uint16_t disk = ReadU16(p + zip::eocd::kDisk);
        if (disk == zip::kZip64Marker16) return end;
        end.found = true;
        end.disk = disk;
        end.directoryDisk = ReadU16(p + zip::eocd::kDirectoryDisk);
        end.directorySize = ReadU32(p + zip::eocd::kDirectorySize);
        end.directoryOffset = ReadU32(p + zip::eocd::kDirectoryOffset);
        return end;
    }
    return end;
}

bool DirectoryWhereStated(const std::string& path, const SplitEndRecord& end, std::uint64_t fileStart) {
    if (!end.found || end.directoryDisk != end.disk || end.directorySize == 0) return true;
    if (end.directoryOffset == zip::kZip64Marker32 || end.directoryOffset < fileStart) return true;
    InputFile file;
    if (!file.Open(path)) return true;
    std::uint8_t signature[4];
    return file.ReadAt(end.directoryOffset - fileStart, signature, 4) == 4 &&
           std::memcmp(signature, zip::kSigCentralHeader, 4) == 0;
}

std::vector<HeaderSpot> ReadHeaderSpots(const std::string& path, const SplitEndRecord& end, std::uint64_t fileStart) {
    std::vector<HeaderSpot> spots;
    InputFile file;
    std::uint64_t size = 0;
    if (!end.found || end.directorySize == 0 || end.directorySize > kLargestDirectoryRead) return spots;
    if (end.directoryOffset == zip::kZip64Marker32 || end.directoryOffset < fileStart) return spots;
    const std::uint64_t inFile = end.directoryOffset - fileStart;
    if (!file.Open(path) || !file.Size(&size) || inFile > size || end.directorySize > size - inFile) return spots;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end.directorySize));
    if (file.ReadAt(inFile, bytes.data(), bytes.size()) != bytes.size()) return spots;
    const ByteFetch fetch = [&bytes](std::uint64_t offset, std::size_t length) -> const std::uint8_t* {
        return offset <= bytes.size() && length <= bytes.size() - offset ? bytes.data() + offset : nullptr;
    };
    for (const CentralRecord& record : WalkCentralDirectory(fetch, 0, bytes.size()).records) {
        spots.push_back(HeaderSpot{record.diskStart, record.localHeaderOffset, record.flags, record.method,
                                   record.crc32, record.compressedSize, record.uncompressedSize});
    }
    return spots;
}

}  // namespace vrz
