#include "scan/PartDiscovery.h"

#include <algorithm>
#include <map>

#include "io/FileIo.h"
#include "records/ZipConstants.h"
#include "scan/PartNames.h"
#include "scan/SplitEndRecord.h"
#include "scan/SplitSetChoice.h"
#include "scan/StrayPartChoice.h"

namespace vrz {

namespace {

// The size most of the given parts share; 0 when two sizes are equally common.
std::uint64_t CommonSize(const std::vector<DiscoveredPart>& parts) {
    std::map<std::uint64_t, int> counts;
    for (const DiscoveredPart& part : parts) ++counts[part.size];
    std::uint64_t size = 0;
    int best = 0;
    bool tie = false;
    for (const auto& [value, count] : counts) {
        if (count > best) {
            size = value;
            best = count;
            tie = false;
        } else if (count == best) {
            tie = true;
        }
    }
    return tie ? 0 : size;
}

// The extension length most numbered parts are written with (.z02, not .z2).
std::size_t UsualExtensionLength(const std::vector<DiscoveredPart>& numbered) {
    std::map<std::size_t, int> counts;
    for (const DiscoveredPart& part : numbered) ++counts[part.fileName.size() - part.fileName.rfind('.')];
    std::size_t usual = 0;
    int best = 0;
    for (const auto& [length, count] : counts) {
        if (count > best) {
            usual = length;
            best = count;
        }
    }
    return usual;
}

// The number of the volume that holds the archive's end record where it
// says it stands (right after the central directory); highest when none does.
int LastVolumeNumber(const std::vector<DiscoveredPart>& volumes, std::uint64_t splitSize, int highest) {
    for (auto it = volumes.rbegin(); it != volumes.rend(); ++it) {
        const SplitEndRecord end = ReadSplitEndRecord(it->path);
        if (!end.found || end.directoryOffset == zip::kZip64Marker32) continue;
        if ((end.directoryOffset + end.directorySize) / splitSize + 1 == static_cast<std::uint64_t>(it->number))
            return it->number;
    }
    return highest;
}

}  // namespace

DiscoveredSet DiscoverSplitSet(const std::string& folder, bool isZipx) {
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
        if (part.family != family || part.setKey != set.setKey) continue;
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

    DiscoveredSet result;
    PartEvidence evidence;
    const bool volumes = family == PartFamily::kVolumes;
    evidence.usualExtension = UsualExtensionLength(numbered);
    int highest = numbered.empty() ? 0 : numbered.back().number;
    // Writers cut every part but the last at one size. Volumes have no final
    // part of their own: the highest one is the last.
    std::vector<DiscoveredPart> cut;
    for (const DiscoveredPart& part : numbered)
        if (!volumes || part.number != highest) cut.push_back(part);
    evidence.splitSize = CommonSize(cut);
    result.splitSize = evidence.splitSize;

    std::vector<DiscoveredPart> ordered;
    if (finals.size() > 1) {
        const std::size_t keep = ChooseFinal(finals, highest);
        for (std::size_t i = 0; i < finals.size(); ++i)
            if (i != keep) result.strays.push_back(finals[i]);
        finals = {finals[keep]};
    }
    const SplitEndRecord end = finals.empty() ? SplitEndRecord{} : ReadSplitEndRecord(finals[0].path);
    evidence.oneDisk = volumes || (end.found && end.disk == 0 && highest > 0);
    // Files numbered past the set's last part (left from another set) are
    // none of its parts. The final part's end record counts the parts before
    // it; the last volume is the one that ends with the archive's end record.
    int lastNumber = highest;
    if (!evidence.oneDisk && end.found && end.disk > 0) lastNumber = std::min(highest, static_cast<int>(end.disk));
    if (volumes && evidence.splitSize > 0) lastNumber = LastVolumeNumber(numbered, evidence.splitSize, highest);
    const auto beyond = std::stable_partition(numbered.begin(), numbered.end(), [lastNumber](const DiscoveredPart& p) {
        return p.number <= lastNumber;
    });
    result.strays.insert(result.strays.end(), beyond, numbered.end());
    numbered.erase(beyond, numbered.end());
    highest = numbered.empty() ? 0 : numbered.back().number;
    const auto readSpots = [&] {
        if (volumes) {
            // The last volume's end record counts offsets from the first volume's first byte.
            for (const DiscoveredPart& last : numbered) {
                const SplitEndRecord volumeEnd = ReadSplitEndRecord(last.path);
                if (last.number != highest || !volumeEnd.found || evidence.splitSize == 0) continue;
                evidence.spots = ReadHeaderSpots(last.path, volumeEnd, (highest - 1) * evidence.splitSize);
                return;
            }
            return;
        }
        if (!end.found || end.directoryDisk != end.disk) return;
        if (!evidence.oneDisk)
            evidence.spots = ReadHeaderSpots(finals[0].path, end, 0);
        else if (evidence.splitSize > 0)
            evidence.spots = ReadHeaderSpots(finals[0].path, end, highest * evidence.splitSize);
    };
    // The part of a number: chosen already, or the only file that has it.
    const ChosenPart partFor = [&](int number) -> const DiscoveredPart* {
        for (const DiscoveredPart& part : ordered)
            if (part.number == number) return &part;
        if (number == highest + 1 && !finals.empty()) return &finals[0];
        const DiscoveredPart* only = nullptr;
        for (const DiscoveredPart& part : numbered) {
            if (part.number != number) continue;
            if (only) return nullptr;
            only = &part;
        }
        return only;
    };
    for (std::size_t from = 0; from < numbered.size();) {
        std::size_t to = from + 1;
        while (to < numbered.size() && numbered[to].number == numbered[from].number) ++to;
        const std::vector<DiscoveredPart> sameNumber(numbered.begin() + from, numbered.begin() + to);
        std::size_t keep = 0;
        if (sameNumber.size() > 1) {
            if (evidence.spots.empty()) readSpots();
            keep = ChoosePart(sameNumber, evidence, volumes && sameNumber[0].number == highest, partFor);
            for (std::size_t i = 0; i < sameNumber.size(); ++i)
                if (i != keep) result.strays.push_back(sameNumber[i]);
        }
        ordered.push_back(sameNumber[keep]);
        from = to;
    }
    const std::size_t numberedCount = ordered.size();
    for (DiscoveredPart& part : finals) ordered.push_back(part);

    // The last part's size says nothing; its end record says where its
    // central directory starts, which holds only while its start is in place.
    bool lastInPlace = true;
    if (!ordered.empty()) {
        const DiscoveredPart& last = ordered.back();
        const SplitEndRecord lastEnd = last.isFinal ? end : ReadSplitEndRecord(last.path);
        const std::uint64_t pieces = last.isFinal ? highest : last.number - 1;  // pieces before it
        if (!evidence.oneDisk)
            lastInPlace = DirectoryWhereStated(last.path, lastEnd, 0);
        else if (evidence.splitSize > 0)
            lastInPlace = DirectoryWhereStated(last.path, lastEnd, pieces * evidence.splitSize);
    }
    std::uint64_t pieceOffset = 0;
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        DiscoveredPart& part = ordered[i];
        if (evidence.oneDisk) {
            const std::uint64_t number = part.isFinal ? highest + 1 : part.number;
            part.disk = 0;
            part.diskOffset = evidence.splitSize > 0 ? (number - 1) * evidence.splitSize : pieceOffset;
            pieceOffset += part.size;
        } else {
            part.disk = part.isFinal ? (end.found ? end.disk : static_cast<std::uint32_t>(highest))
                                     : static_cast<std::uint32_t>(part.number - 1);
        }
        if (i == 0) continue;
        const DiscoveredPart& before = ordered[i - 1];
        if (part.isFinal) {
            // The final part follows the highest numbered one unless its end
            // record says parts are missing in between. Disk 0 there means
            // the parts were cut from a plain archive, which also joins up.
            part.follows = i == numberedCount && (!end.found || end.disk == 0 ||
                                                  static_cast<int>(end.disk) == before.number);
        } else {
            part.follows = part.number == before.number + 1;
        }
        const bool last = i + 1 == ordered.size();
        part.continuesPrevious = part.follows && evidence.splitSize > 0 && before.size == evidence.splitSize &&
                                 (last ? lastInPlace : part.size == evidence.splitSize);
    }
    result.parts = std::move(ordered);
    return result;
}

std::vector<DiscoveredPart> DiscoverParts(const std::string& folder, bool isZipx) {
    return DiscoverSplitSet(folder, isZipx).parts;
}

}  // namespace vrz
