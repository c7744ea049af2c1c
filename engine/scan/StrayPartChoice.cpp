#include "scan/StrayPartChoice.h"

#include <cstring>
#include <string>
#include <tuple>

#include "io/FileIo.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"
#include "scan/EntrySpanCheck.h"

namespace vrz {

namespace {

// A stray file is told from its part by at most this many central records,
// and this many entries decoded across it.
constexpr std::size_t kSpotsTried = 64;
constexpr int kSpansTried = 4;
// Sizes beyond this are damaged fields; they would only overflow the sums below.
constexpr std::uint64_t kLargestSpan = std::uint64_t{1} << 62;

// Where the central directory puts a header: the part's number and the offset in it.
bool SpotInPart(const PartEvidence& evidence, const HeaderSpot& spot, int* number, std::uint64_t* offset) {
    if (!evidence.oneDisk) {
        *number = static_cast<int>(spot.disk) + 1;
        *offset = spot.offset;
        return true;
    }
    if (evidence.splitSize == 0) return false;
    *number = static_cast<int>(spot.offset / evidence.splitSize) + 1;
    *offset = spot.offset % evidence.splitSize;
    return true;
}

// How many of the local headers the central directory places in the part of
// this number the file holds.
int HeadersInPlace(const DiscoveredPart& part, const PartEvidence& evidence) {
    InputFile file;
    if (!file.Open(part.path)) return 0;
    int found = 0;
    std::size_t tried = 0;
    std::uint8_t signature[4];
    for (const HeaderSpot& spot : evidence.spots) {
        int number = 0;
        std::uint64_t offset = 0;
        if (!SpotInPart(evidence, spot, &number, &offset) || number != part.number) continue;
        if (++tried > kSpotsTried) break;
        if (file.ReadAt(offset, signature, 4) == 4 && std::memcmp(signature, zip::kSigLocalHeader, 4) == 0) ++found;
    }
    return found;
}

// How many entries that start in an earlier part and run through this one
// decode to their CRC-32 with the file taken as the part.
int EntriesVerifiedThrough(const DiscoveredPart& candidate, const PartEvidence& evidence, const ChosenPart& partFor) {
    int verified = 0;
    int tried = 0;
    for (const HeaderSpot& spot : evidence.spots) {
        if (tried == kSpansTried) break;
        int number = 0;
        std::uint64_t offset = 0;
        if (!SpotInPart(evidence, spot, &number, &offset) || number >= candidate.number) continue;
        if (spot.compressedSize > kLargestSpan) continue;
        const DiscoveredPart* first = partFor(number);
        if (!first) continue;
        InputFile file;
        std::uint8_t fixed[zip::kLocalHeaderSize];
        if (!file.Open(first->path) || file.ReadAt(offset, fixed, sizeof fixed) != sizeof fixed ||
            std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0)
            continue;
        const std::uint64_t dataStart =
            offset + zip::kLocalHeaderSize + ReadU16(fixed + zip::lfh::kNameLength) + ReadU16(fixed + zip::lfh::kExtraLength);
        // The files the entry's data runs through, with the candidate in its place.
        std::vector<std::string> paths{first->path};
        std::uint64_t covered = first->size;
        bool through = false;
        for (int next = number + 1; covered < dataStart + spot.compressedSize; ++next) {
            const DiscoveredPart* part = next == candidate.number ? &candidate : partFor(next);
            if (!part) break;
            paths.push_back(part->path);
            covered += part->size;
            through = through || part == &candidate;
        }
        if (!through || covered < dataStart + spot.compressedSize) continue;
        ++tried;
        if (EntryVerifiesAcross(paths, dataStart, spot)) ++verified;
    }
    return verified;
}

}  // namespace

std::size_t ChoosePart(const std::vector<DiscoveredPart>& sameNumber, const PartEvidence& evidence, bool last,
                       const ChosenPart& partFor) {
    std::size_t chosen = 0;
    std::tuple<int, int, bool, bool> best{-1, -1, false, false};
    for (std::size_t i = 0; i < sameNumber.size(); ++i) {
        const DiscoveredPart& part = sameNumber[i];
        const int verified = EntriesVerifiedThrough(part, evidence, partFor);
        const int hits = HeadersInPlace(part, evidence);
        const bool sized = evidence.splitSize > 0 &&
                           (part.size == evidence.splitSize || (last && part.size < evidence.splitSize));
        const bool named = part.fileName.size() - part.fileName.rfind('.') == evidence.usualExtension;
        const std::tuple<int, int, bool, bool> score{verified, hits, sized, named};
        if (score > best) {
            best = score;
            chosen = i;
        }
    }
    return chosen;
}

std::size_t ChooseFinal(const std::vector<DiscoveredPart>& finals, int highest) {
    std::size_t chosen = 0;
    int best = -1;
    for (std::size_t i = 0; i < finals.size(); ++i) {
        const SplitEndRecord end = ReadSplitEndRecord(finals[i].path);
        const int score = end.found ? (static_cast<int>(end.disk) == highest ? 2 : 1) : 0;
        if (score > best) {
            best = score;
            chosen = i;
        }
    }
    return chosen;
}

}  // namespace vrz
