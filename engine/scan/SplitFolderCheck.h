// Checks that a folder holds the parts of one split archive before a repair
// starts: at least one part, one base name, one family.
#pragma once

#include <cstdint>
#include <string>

namespace vrz {

enum class SplitFolderVerdict {
    kOk,
    kNoParts,     // "IDS_MTEXT3"
    kMixedParts,  // "IDS_MTEXT4": numbered parts of different names or families
};

const char* TextKeyFor(SplitFolderVerdict verdict);

// Files that are not parts of either family are ignored, and so is a lone
// .zip or .zipx beside a set of numbered parts. On success sets
// *isZipx and *lastPartName ("/" + the name of the last part in name order).
SplitFolderVerdict CheckSplitFolder(const std::string& folder, bool* isZipx, std::string* lastPartName);

// Sum of the sizes of the folder's files; *allReadable is false when one of
// them cannot be opened.
std::uint64_t SumPartSizes(const std::string& folder, bool* allReadable);

}  // namespace vrz
