// Why a save failed, as a code with its values: the front ends turn the code
// into their language text and show the path and the system's reason with it.
#pragma once

#include <string>

namespace vrz {

enum class SaveFailureCode {
    kSourceUnreadable,  // path: the part that could not be read, or changed since the scan
    kOutputNotCreated,  // path: the destination folder
    kDiskFull,          // path: the output; the volume or the quota ran out while writing
    kWriteFailed,       // path: the output; any other write failure (a file-size limit, an I/O error)
    kOutputNotNamed,    // path: the final name that could not be given
};

struct SaveFailure {
    SaveFailureCode code = SaveFailureCode::kWriteFailed;
    std::string path;
    std::string reason;  // the system's text for the error; may be empty
};

// The language key of each code.
const char* TextKeyFor(SaveFailureCode code);

// The code for a failed write by its errno: full volumes and quotas are told apart.
SaveFailureCode WriteFailureCodeFor(int error);

}  // namespace vrz
