#include "writer/EntryCopyPlan.h"

#include <cstring>

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

PlanResult PlanEntryCopy(LayoutBlockReader& source, const RecoveredEntry& row, EntryCopyPlan* plan) {
    if (!row.localRecordOverride.empty()) {
        plan->localRecord = row.localRecordOverride;
        plan->writeLocalRecord = true;
        plan->copyFrom = row.dataOffset;
        plan->copyLength = row.compressedSize;
        if (row.dataOffset < row.headerOffset || row.dataOffset - row.headerOffset > row.entryLength ||
            row.compressedSize > row.entryLength - (row.dataOffset - row.headerOffset))
            return PlanResult::kSourceChanged;
        return PlanResult::kOk;
    }
    // The local header must be where the scan found it, whole within the entry.
    std::uint8_t fixed[zip::kLocalHeaderSize];
    if (!source.Read(row.headerOffset, sizeof fixed, fixed)) return PlanResult::kUnreadable;
    if (std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0) return PlanResult::kSourceChanged;
    const std::size_t recordLength = zip::kLocalHeaderSize + std::size_t{ReadU16(fixed + zip::lfh::kNameLength)} +
                                     ReadU16(fixed + zip::lfh::kExtraLength);
    if (recordLength > row.entryLength) return PlanResult::kSourceChanged;
    plan->localRecord.resize(recordLength);
    if (!source.Read(row.headerOffset, recordLength, plan->localRecord.data())) return PlanResult::kUnreadable;
    plan->writeLocalRecord = false;
    // Header, name, extra field, data and any data descriptor, unchanged.
    plan->copyFrom = row.headerOffset;
    plan->copyLength = row.entryLength;
    return PlanResult::kOk;
}

}  // namespace vrz
