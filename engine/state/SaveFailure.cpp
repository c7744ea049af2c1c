#include "state/SaveFailure.h"

#include <cerrno>

namespace vrz {

const char* TextKeyFor(SaveFailureCode code) {
    switch (code) {
        case SaveFailureCode::kSourceUnreadable: return "IDS_SAVE_READ_FAILED";
        case SaveFailureCode::kOutputNotCreated: return "IDS_SAVE_CREATE_FAILED";
        case SaveFailureCode::kDiskFull: return "IDS_SAVE_DISK_FULL";
        case SaveFailureCode::kWriteFailed: return "IDS_SAVE_WRITE_FAILED";
        case SaveFailureCode::kOutputNotNamed: return "IDS_SAVE_NAME_FAILED";
    }
    return "IDS_SAVE_WRITE_FAILED";
}

SaveFailureCode WriteFailureCodeFor(int error) {
    return error == ENOSPC || error == EDQUOT ? SaveFailureCode::kDiskFull : SaveFailureCode::kWriteFailed;
}

}  // namespace vrz
