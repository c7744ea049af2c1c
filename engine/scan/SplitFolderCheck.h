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
    kUnlistable,  // "IDS_FOLDER_UNREADABLE": the folder itself cannot be listed
};

const char* TextKeyFor(SplitFolderVerdict verdict);

// Files that are not parts of either family are ignored, and so is a lone
// .zip or .zipx beside a set of numbered parts. On success sets
// *isZipx and *lastPartName ("/" + the name of the last part in name order).
// listError, when given, receives the errno of a folder that cannot be listed.
SplitFolderVerdict CheckSplitFolder(const std::string& folder, bool* isZipx, std::string* lastPartName,
                                    int* listError = nullptr);

// Sum of the sizes of the split archive's parts in the folder. Only files
// named like its parts are opened, so an unrelated file that cannot be read
// does not matter. *allReadable is false when a part cannot be opened (or
// the folder not listed); unreadablePath and reason then say which and why.
std::uint64_t SumPartSizes(const std::string& folder, bool* allReadable, std::string* unreadablePath = nullptr,
                           std::string* reason = nullptr);

}  // namespace vrz
