#include "scan/PartDiscovery.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "io/FileIo.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"
#include "scan/PartNames.h"
#include "scan/SplitSetChoice.h"

namespace vrz {

namespace {

// The end of central directory record, when the final part still has one,
// names the final part's own disk number; 0-based, so it equals the number
// of parts before it. -1 when no record is found.
int FinalPartDiskNumber(const std::string& path) {
    InputFile file;
    std::uint64_t size = 0;
    if (!file.Open(path) || !file.Size(&size) || size < zip::kEndOfCentralDirSize) return -1;
    const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 65535 + zip::kEndOfCentralDirSize));
    std::vector<std::uint8_t> bytes(tail);
    if (file.ReadAt(size - tail, bytes.data(), tail) != tail) return -1;
    for (std::size_t i = tail - zip::kEndOfCentralDirSize + 1; i-- > 0;) {
        if (ReadU32(bytes.data() + i) == zip::kEndOfCentralDirSignature) {
            const std::uint16_t disk = ReadU16(bytes.data() + i + 4);
            return disk == zip::kZip64Marker16 ? -1 : disk;
        }
    }
    return -1;
}

}  // namespace

std::vector<DiscoveredPart> DiscoverParts(const std::string& folder, bool isZipx) {
    PartFamily family = isZipx ? PartFamily::kZipx : PartFamily::kZip;
    const std::vector<std::string> names = ListFilesSorted(folder);
    SplitSetChoice set = ChooseSplitSet(names, family);
    if (set.outcome != SplitSetChoice::Outcome::kFound) {
        // Byte-split volumes belong to neither family's flag.
        const SplitSetChoice volumes = ChooseSplitSet(names, PartFamily::kVolumes);
        if (volumes.outcome == SplitSetChoice::Outcome::kFound) {
            set = volumes;
            family = PartFamily::kVolumes;
        }
    }
    std::vector<DiscoveredPart> numbered;
    std::vector<DiscoveredPart> finals;
    for (const std::string& name : names) {
        const PartName part = ClassifyPartName(name);
        if (part.family != family || part.base != set.base) continue;
        DiscoveredPart found;
        found.path = JoinPath(folder, name);
        found.fileName = name;
        found.number = part.number;
        found.isFinal = part.isFinal;
        FileSize(found.path, &found.size);
        (part.isFinal ? finals : numbered).push_back(found);
    }
    std::stable_sort(numbered.begin(), numbered.end(),
                     [](const DiscoveredPart& a, const DiscoveredPart& b) { return a.number < b.number; });

    // Writers cut every part but the last at one size; a numbered part that
    // is shorter than the others has lost its end.
    std::uint64_t fullSize = 0;
    for (const DiscoveredPart& part : numbered) fullSize = std::max(fullSize, part.size);
    const auto whole = [fullSize](const DiscoveredPart& part) { return part.isFinal || part.size == fullSize; };

    std::vector<DiscoveredPart> ordered;
    int previous = 0;
    for (DiscoveredPart& part : numbered) {
        part.continuesPrevious = !ordered.empty() && part.number == previous + 1 && whole(ordered.back());
        previous = part.number;
        ordered.push_back(part);
    }
    for (DiscoveredPart& part : finals) {
        // The final part follows the highest numbered one unless its end
        // record says parts are missing in between. Disk 0 there means the
        // parts were cut from a plain archive, which also joins up.
        const int disk = FinalPartDiskNumber(part.path);
        part.continuesPrevious = !ordered.empty() && !ordered.back().isFinal && whole(ordered.back()) &&
                                 (disk <= 0 || disk == previous);
        ordered.push_back(part);
    }
    return ordered;
}

}  // namespace vrz
