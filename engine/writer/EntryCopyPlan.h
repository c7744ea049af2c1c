// What the rebuild writes for one row: the entry's own bytes as found, or,
// for an entry recovered from its central record, a fresh local header
// followed by the data copied from where it lies.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/RecoveredEntry.h"

namespace vrz {

struct EntryCopyPlan {
    // The local header as it goes out (30 bytes, name, extra field).
    std::vector<std::uint8_t> localRecord;
    // Written from localRecord before the copied bytes (fresh header only).
    bool writeLocalRecord = false;
    // Source bytes copied unchanged after it.
    std::uint64_t copyFrom = 0;
    std::uint64_t copyLength = 0;
    // A fresh data descriptor written after the data, for a fresh header that
    // keeps flag bit 3 (an encrypted entry's password check depends on it).
    std::vector<std::uint8_t> descriptor;

    std::uint64_t OutputLength() const {
        return (writeLocalRecord ? localRecord.size() : 0) + copyLength + descriptor.size();
    }
};

// An entry recovered from its central record: its fresh header (the row's
// localRecordOverride), then its data. False when the row's data does not lie
// within its own extent.
bool PlanFreshHeaderCopy(const RecoveredEntry& row, const EntryExtras& fresh, EntryCopyPlan* plan);
// Any other entry: its bytes as found, from its header on. plan->localRecord
// must hold the header as read from the source.
void PlanUnchangedCopy(const RecoveredEntry& row, EntryCopyPlan* plan);

}  // namespace vrz
