#include "writer/OutputNaming.h"

#include <strings.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

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

// Longer "extensions" are no archive's; the whole name is then the base.
constexpr std::size_t kLongestExtension = 32;
constexpr std::size_t kDefaultNameMax = 255;

std::size_t NameMaxOf(const std::string& folder) {
    const long limit = ::pathconf(folder.empty() ? "/" : folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<std::size_t>(limit) : kDefaultNameMax;
}

// base (without its slash) cut so that base + suffix fits in nameMax bytes;
// the cut never splits a UTF-8 character.
std::string FittedBase(const std::string& base, std::size_t suffixLength, std::size_t nameMax) {
    if (base.size() + suffixLength <= nameMax) return base;
    std::size_t cut = nameMax > suffixLength ? nameMax - suffixLength : 0;
    while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
    return base.substr(0, cut);
}

}  // namespace

std::string ArchiveFileNameFor(const JobState& state) {
    if (!state.splitMode && !state.scannedSplit) return "/" + FileNameOf(state.scanSourcePath);
    // Without a last part's name, the folder of the parts names the output.
    std::string name = WithLeadingSlash(FileNameOf(state.lastPartName.empty() ? state.scanSourcePath : state.lastPartName));
    const auto dot = state.lastPartName.empty() ? std::string::npos : ExtensionDot(name);
    if (dot != std::string::npos) name.erase(dot);
    // Volumes (name.zip.001) keep the archive's own extension under the
    // number, in the case it is written in (SET.ZIP.001 gives SET.ZIP).
    for (const char* own : {".zipx", ".zip"}) {
        const std::size_t length = std::strlen(own);
        if (name.size() > length + 1 && ::strncasecmp(name.c_str() + name.size() - length, own, length) == 0)
            return name;
    }
    return name + (state.splitIsZipx ? ".zipx" : ".zip");
}

std::string ChooseOutputPath(const std::string& folder, const std::string& archiveFileName) {
    const std::string slashName = WithLeadingSlash(archiveFileName);
    auto dot = ExtensionDot(slashName);
    if (dot != std::string::npos && slashName.size() - dot > kLongestExtension) dot = std::string::npos;
    // Without its leading slash.
    const std::string base = dot == std::string::npos ? slashName.substr(1) : slashName.substr(1, dot - 1);
    const std::string extension = dot == std::string::npos ? std::string() : slashName.substr(dot);
    std::string prefix = folder;
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (prefix == "/") prefix.clear();
    prefix += "/";

    // A source whose name is near the limit would otherwise be written in
    // full and then fail on its name: the base gives way, the suffix stays.
    const std::size_t nameMax = NameMaxOf(folder);
    const auto candidateFor = [&](const std::string& number) {
        const std::string suffix = kFixedSuffix + number + extension;
        return prefix + FittedBase(base, suffix.size(), nameMax) + suffix;
    };
    std::string candidate = candidateFor("");
    for (std::uint64_t n = 1; FileExists(candidate); ++n) candidate = candidateFor(std::to_string(n));
    return candidate;
}

std::uint64_t ExpectedOutputBytes(const JobState& state) {
    // A fresh central extra field holds at most the ZIP64 block and the NTFS times.
    constexpr std::uint64_t kFreshExtraBytes = zip::kExtraBlockHeaderSize + 3 * 8 + zip::kNtfsExtraSize;
    std::uint64_t total = zip::kZip64EndOfCentralDirSize + zip::kZip64LocatorSize + zip::kEndOfCentralDirSize;
    for (const RecoveredEntry& entry : state.entries) {
        if (state.skipDamaged && entry.check.status == EntryStatus::kDamaged) continue;
        total += entry.entryLength + zip::kCentralHeaderSize + state.HeaderNameOf(entry).size() + kFreshExtraBytes;
        // What a surviving central record adds to the rebuilt header.
        const EntryExtras& extras = state.ExtrasOf(entry);
        total += extras.comment.size() + extras.centralOnlyExtra.size() + extras.localRecordOverride.size();
    }
    // A salvaged beginning goes out under a longer name, with a descriptor;
    // its data takes what the plan counted the writer writes (deflated, for
    // any method but stored), not what it holds once unpacked.
    constexpr std::uint64_t kPartialOverhead = 2 * (sizeof "#Partial Files/" - 1) + zip::kLocalHeaderSize +
                                               zip::kCentralHeaderSize + zip::kZip64DataDescriptorSize +
                                               2 * kFreshExtraBytes;
    for (const PartialEntry& partial : state.partials)
        total += partial.writtenSize + 2 * partial.headerName.size() + kPartialOverhead;
    return total;
}

SpaceCheck CheckFreeSpaceForOutput(const std::string& folder, std::uint64_t outputBytes) {
    std::uint64_t bytes = 0;
    if (!FreeSpace(folder, &bytes)) return SpaceCheck::kUnknown;
    return outputBytes > bytes ? SpaceCheck::kTooLittle : SpaceCheck::kEnough;
}

}  // namespace vrz
