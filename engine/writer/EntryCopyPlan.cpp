#include "writer/EntryCopyPlan.h"

namespace vrz {

bool PlanFreshHeaderCopy(const RecoveredEntry& row, const std::vector<std::uint8_t>& freshHeader,
                         EntryCopyPlan* plan) {
    plan->localRecord = freshHeader;
    plan->writeLocalRecord = true;
    plan->copyFrom = row.dataOffset;
    plan->copyLength = row.compressedSize;
    // The data must lie within the extent the scan accepted.
    return row.dataOffset >= row.headerOffset && row.dataOffset - row.headerOffset <= row.entryLength &&
           row.compressedSize <= row.entryLength - (row.dataOffset - row.headerOffset);
}

void PlanUnchangedCopy(const RecoveredEntry& row, EntryCopyPlan* plan) {
    plan->writeLocalRecord = false;
    // Header, name, extra field, data and any data descriptor, unchanged.
    plan->copyFrom = row.headerOffset;
    plan->copyLength = row.entryLength;
}

}  // namespace vrz
