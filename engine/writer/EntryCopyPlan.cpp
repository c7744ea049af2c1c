#include "writer/EntryCopyPlan.h"

namespace vrz {

bool PlanFreshHeaderCopy(const RecoveredEntry& row, const EntryExtras& fresh, EntryCopyPlan* plan) {
    plan->localRecord = fresh.localRecordOverride;
    plan->writeLocalRecord = true;
    plan->copyFrom = fresh.dataOffset;
    plan->copyLength = row.compressedSize;
    // The data must lie within the extent the scan accepted.
    return fresh.dataOffset >= row.headerOffset && fresh.dataOffset - row.headerOffset <= row.entryLength &&
           row.compressedSize <= row.entryLength - (fresh.dataOffset - row.headerOffset);
}

void PlanUnchangedCopy(const RecoveredEntry& row, EntryCopyPlan* plan) {
    plan->writeLocalRecord = false;
    // Header, name, extra field, data and any data descriptor, unchanged.
    plan->copyFrom = row.headerOffset;
    plan->copyLength = row.entryLength;
}

}  // namespace vrz
