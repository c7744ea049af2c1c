#include "scan/SplitSetOfFile.h"

#include "io/FileIo.h"
#include "scan/PartNames.h"
#include "scan/SplitSetChoice.h"

namespace vrz {

bool SplitSetBesideFile(const std::string& filePath, std::string* folder) {
    const std::string fileName = FileNameOf(filePath);
    const PartName part = ClassifyPartName(fileName);
    if (part.family == PartFamily::kNone) return false;
    const std::string parent = FolderOf(filePath);
    // The folder's split set must be this file's: numbered parts of the same
    // name and family, and no second set beside them.
    const SplitSetChoice set = ChooseSplitSet(ListFilesSorted(parent));
    if (set.outcome != SplitSetChoice::Outcome::kFound || set.family != part.family || set.setKey != part.setKey)
        return false;
    bool numbered = false;
    for (const std::string& name : ListFilesSorted(parent)) {
        const PartName other = ClassifyPartName(name);
        numbered = numbered || (other.family == part.family && other.setKey == part.setKey && !other.isFinal);
    }
    if (!numbered) return false;
    *folder = parent;
    return true;
}

}  // namespace vrz
