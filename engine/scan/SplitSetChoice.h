// Picks the split archive in a folder listing. The set is the one family and
// base name that has numbered parts; a lone .zip or .zipx beside it (another
// archive, or an earlier repair's "_fixed" output) is not one of its parts.
#pragma once

#include <string>
#include <vector>

#include "scan/PartNames.h"

namespace vrz {

struct SplitSetChoice {
    enum class Outcome { kFound, kNoParts, kMixedParts } outcome = Outcome::kNoParts;
    PartFamily family = PartFamily::kNone;
    std::string setKey;        // the parts' base name in lower case (PartName::setKey)
    std::string lastPartName;  // the set's last file in name order
};

// names: the folder's file names in name order. With family kNone any family
// may be chosen; otherwise only that family's files are looked at.
SplitSetChoice ChooseSplitSet(const std::vector<std::string>& names, PartFamily family = PartFamily::kNone);

}  // namespace vrz
