#include "scan/SplitFolderCheck.h"

#include <cstring>
#include <vector>

#include "io/FileIo.h"
#include "scan/PartNames.h"
#include "scan/SplitSetChoice.h"

namespace vrz {

const char* TextKeyFor(SplitFolderVerdict verdict) {
    switch (verdict) {
        case SplitFolderVerdict::kNoParts: return "IDS_MTEXT3";
        case SplitFolderVerdict::kMixedParts: return "IDS_MTEXT4";
        case SplitFolderVerdict::kUnlistable: return "IDS_FOLDER_UNREADABLE";
        case SplitFolderVerdict::kOk: break;
    }
    return "";
}

SplitFolderVerdict CheckSplitFolder(const std::string& folder, bool* isZipx, std::string* lastPartName,
                                    int* listError) {
    std::vector<std::string> names;
    int error = 0;
    if (!ListFolderFiles(folder, &names, &error)) {
        if (listError) *listError = error;
        return SplitFolderVerdict::kUnlistable;
    }
    const SplitSetChoice choice = ChooseSplitSet(names);
    switch (choice.outcome) {
        case SplitSetChoice::Outcome::kNoParts: return SplitFolderVerdict::kNoParts;
        case SplitSetChoice::Outcome::kMixedParts: return SplitFolderVerdict::kMixedParts;
        case SplitSetChoice::Outcome::kFound: break;
    }
    *isZipx = choice.family == PartFamily::kZipx;
    *lastPartName = "/" + choice.lastPartName;
    return SplitFolderVerdict::kOk;
}

std::uint64_t SumPartSizes(const std::string& folder, bool* allReadable, std::string* unreadablePath,
                           std::string* reason) {
    *allReadable = true;
    std::vector<std::string> names;
    int error = 0;
    if (!ListFolderFiles(folder, &names, &error)) {
        *allReadable = false;
        if (unreadablePath) *unreadablePath = folder;
        if (reason) *reason = std::strerror(error);
        return 0;
    }
    const SplitSetChoice set = ChooseSplitSet(names);
    std::uint64_t total = 0;
    for (const std::string& name : names) {
        const PartName part = ClassifyPartName(name);
        if (part.family != set.family || part.setKey != set.setKey) continue;
        InputFile file;
        std::uint64_t size = 0;
        if (!file.Open(JoinPath(folder, name)) || !file.Size(&size)) {
            if (*allReadable) {
                if (unreadablePath) *unreadablePath = JoinPath(folder, name);
                if (reason) *reason = file.LastError();
            }
            *allReadable = false;
            continue;
        }
        total += size;
    }
    return total;
}

}  // namespace vrz
