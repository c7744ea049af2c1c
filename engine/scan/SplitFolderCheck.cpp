#include "scan/SplitFolderCheck.h"

#include "io/FileIo.h"
#include "scan/PartNames.h"

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
    bool found = false;
    PartName first;
    for (const std::string& name : ListFilesSorted(folder)) {
        const PartName part = ClassifyPartName(name);
        if (part.family == PartFamily::kNone) continue;
        if (!found) {
            first = part;
            found = true;
        } else if (part.family != first.family || part.base != first.base) {
            return SplitFolderVerdict::kMixedParts;
        }
        *lastPartName = "/" + name;
    }
    if (!found) return SplitFolderVerdict::kNoParts;
    *isZipx = first.family == PartFamily::kZipx;
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
