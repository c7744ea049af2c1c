#include "scan/SplitFolderCheck.h"

#include "io/FileIo.h"
#include "scan/SplitSetChoice.h"

namespace vrz {

const char* TextKeyFor(SplitFolderVerdict verdict) {
    switch (verdict) {
        case SplitFolderVerdict::kNoParts: return "IDS_MTEXT3";
        case SplitFolderVerdict::kMixedParts: return "IDS_MTEXT4";
        case SplitFolderVerdict::kOk: break;
    }
    return "";
}

SplitFolderVerdict CheckSplitFolder(const std::string& folder, bool* isZipx, std::string* lastPartName) {
    const SplitSetChoice choice = ChooseSplitSet(ListFilesSorted(folder));
    switch (choice.outcome) {
        case SplitSetChoice::Outcome::kNoParts: return SplitFolderVerdict::kNoParts;
        case SplitSetChoice::Outcome::kMixedParts: return SplitFolderVerdict::kMixedParts;
        case SplitSetChoice::Outcome::kFound: break;
    }
    *isZipx = choice.family == PartFamily::kZipx;
    *lastPartName = "/" + choice.lastPartName;
    return SplitFolderVerdict::kOk;
}

std::uint64_t SumPartSizes(const std::string& folder, bool* allReadable) {
    *allReadable = true;
    std::uint64_t total = 0;
    for (const std::string& name : ListFilesSorted(folder)) {
        InputFile file;
        std::uint64_t size = 0;
        if (!file.Open(JoinPath(folder, name)) || !file.Size(&size)) {
            *allReadable = false;
            continue;
        }
        total += size;
    }
    return total;
}

}  // namespace vrz
