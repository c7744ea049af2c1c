#include "report/JobReport.h"

namespace vrz {

namespace {

bool LeftOut(const JobState& state, const RecoveredEntry& row) {
    return state.skipDamaged && row.check.status == EntryStatus::kDamaged;
}

}  // namespace

JobReport::JobReport(const JobState& state, const ReportOptions& options) : state_(&state), options_(options) {
    for (const RecoveredEntry& row : state.entries) {
        if (LeftOut(state, row)) continue;
        ++written_;
        ++writtenByStatus_[static_cast<std::size_t>(row.check.status)];
    }
    partialNames_.reserve(state.partials.size());
    for (const PartialEntry& partial : state.partials) partialNames_.push_back(partial.WrittenName());
    written_ += state.partials.size();
    writtenByStatus_[static_cast<std::size_t>(EntryStatus::kPartial)] += state.partials.size();
}

std::size_t JobReport::Count(EntryStatus status) const {
    return writtenByStatus_[static_cast<std::size_t>(status)];
}

ReportedEntry JobReport::Entry(std::size_t index) const {
    ReportedEntry e;
    const std::size_t rows = state_->entries.size();
    if (index < rows) {
        const RecoveredEntry& row = state_->entries[index];
        e.writtenName = state_->HeaderNameOf(row);
        e.tableName = state_->NameOf(row);
        e.compressedSize = row.compressedSize;
        e.uncompressedSize = row.uncompressedSize;
        e.crc32 = row.crc32;
        e.check = state_->CheckOf(row);
        e.written = !LeftOut(*state_, row);
        e.headerOffset = row.headerOffset;
        e.part = row.part;
        return e;
    }
    const PartialEntry& partial = state_->partials[index - rows];
    e.writtenName = partialNames_[index - rows];
    e.tableName = e.writtenName;
    e.compressedSize = partial.dataAvailable;
    e.uncompressedSize = partial.expectedSize;
    e.crc32 = partial.recoveredCrc;
    e.check.status = EntryStatus::kPartial;
    e.check.reason = CheckReason::kCutOff;
    e.check.method = partial.method;
    e.check.flags = partial.flags;
    e.check.headerRead = true;
    e.check.decodedSize = partial.recoveredSize;
    e.check.decodedCrc = partial.recoveredCrc;
    e.written = true;
    e.headerOffset = partial.headerOffset;
    e.part = partial.part;
    e.recoveredBytes = partial.recoveredSize;
    return e;
}

JobReport BuildJobReport(const JobState& state, const ReportOptions& options) { return JobReport(state, options); }

bool NothingRecoverable(const JobState& state) {
    if (!state.partials.empty()) return false;
    for (const RecoveredEntry& row : state.entries)
        if (!LeftOut(state, row)) return false;
    return true;
}

}  // namespace vrz
