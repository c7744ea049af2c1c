#include "writer/EntryCopyPlan.h"

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

bool PlanFreshHeaderCopy(const RecoveredEntry& row, const EntryExtras& fresh, EntryCopyPlan* plan) {
    plan->localRecord = fresh.localRecordOverride;
    plan->writeLocalRecord = true;
    plan->copyFrom = fresh.dataOffset;
    plan->copyLength = row.compressedSize;
    plan->descriptor.clear();
    if (plan->localRecord.size() >= zip::kLocalHeaderSize &&
        (ReadU16(plan->localRecord.data() + zip::lfh::kFlags) & zip::kFlagDataDescriptor) != 0) {
        ByteWriter<std::vector<std::uint8_t>> w(plan->descriptor);
        w.U32(zip::kDataDescriptorSignature);
        w.U32(row.crc32);
        if (row.zip64Local) {
            w.U64(row.compressedSize);
            w.U64(row.uncompressedSize);
        } else {
            w.U32(static_cast<std::uint32_t>(row.compressedSize));
            w.U32(static_cast<std::uint32_t>(row.uncompressedSize));
        }
    }
    // The data must lie within the extent the scan accepted.
    return fresh.dataOffset >= row.headerOffset && fresh.dataOffset - row.headerOffset <= row.entryLength &&
           row.compressedSize <= row.entryLength - (fresh.dataOffset - row.headerOffset);
}

void PlanUnchangedCopy(const RecoveredEntry& row, EntryCopyPlan* plan) {
    plan->writeLocalRecord = false;
    plan->descriptor.clear();
    // Header, name, extra field, data and any data descriptor, unchanged.
    plan->copyFrom = row.headerOffset;
    plan->copyLength = row.entryLength;
}

}  // namespace vrz
