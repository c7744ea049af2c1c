#include "writer/OutputNaming.h"

#include <cstdint>

#include "io/FileIo.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

constexpr const char* kFixedSuffix = "_fixed";

std::string WithLeadingSlash(const std::string& name) { return !name.empty() && name[0] == '/' ? name : "/" + name; }

// The dot that starts the extension: the last one in the file name, but not
// the first character of a hidden name such as ".zip".
std::string::size_type ExtensionDot(const std::string& slashName) {
    const auto dot = slashName.find_last_of('.');
    if (dot == std::string::npos || dot <= 1) return std::string::npos;
    return dot;
}

}  // namespace

std::string ArchiveFileNameFor(const JobState& state) {
    if (!state.splitMode && !state.scannedSplit) return "/" + FileNameOf(state.scanSourcePath);
    // Without a last part's name, the folder of the parts names the output.
    std::string name = WithLeadingSlash(FileNameOf(state.lastPartName.empty() ? state.scanSourcePath : state.lastPartName));
    const auto dot = state.lastPartName.empty() ? std::string::npos : ExtensionDot(name);
    if (dot != std::string::npos) name.erase(dot);
    return name + (state.splitIsZipx ? ".zipx" : ".zip");
}

std::string ChooseOutputPath(const std::string& folder, const std::string& archiveFileName) {
    const std::string slashName = WithLeadingSlash(archiveFileName);
    const auto dot = ExtensionDot(slashName);
    const std::string base = dot == std::string::npos ? slashName : slashName.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string() : slashName.substr(dot);
    std::string prefix = folder;
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix == "/") prefix.clear();
    prefix += base + kFixedSuffix;

    std::string candidate = prefix + extension;
    for (std::uint64_t n = 1; FileExists(candidate); ++n) candidate = prefix + std::to_string(n) + extension;
    return candidate;
}

SpaceCheck CheckFreeSpace(const std::string& folder, float recoveredSizeKB) {
    std::uint64_t bytes = 0;
    if (!FreeSpace(folder, &bytes)) return SpaceCheck::kUnknown;
    const float freeKB = static_cast<float>(bytes) * (1.0f / 1024.0f);
    return recoveredSizeKB > freeKB ? SpaceCheck::kTooLittle : SpaceCheck::kEnough;
}

std::uint64_t ExpectedOutputBytes(const JobState& state) {
    // A fresh central extra field holds at most the ZIP64 block and the NTFS times.
    constexpr std::uint64_t kFreshExtraBytes = zip::kExtraBlockHeaderSize + 3 * 8 + zip::kNtfsExtraSize;
    std::uint64_t total = zip::kZip64EndOfCentralDirSize + zip::kZip64LocatorSize + zip::kEndOfCentralDirSize;
    for (const RecoveredEntry& entry : state.entries) {
        total += entry.entryLength + zip::kCentralHeaderSize + entry.name.size() + kFreshExtraBytes;
    }
    return total;
}

SpaceCheck CheckFreeSpaceForOutput(const std::string& folder, std::uint64_t outputBytes) {
    std::uint64_t bytes = 0;
    if (!FreeSpace(folder, &bytes)) return SpaceCheck::kUnknown;
    return outputBytes > bytes ? SpaceCheck::kTooLittle : SpaceCheck::kEnough;
}

}  // namespace vrz
