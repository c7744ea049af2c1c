#include "report/JobReport.h"

#include <algorithm>

namespace vrz {

std::size_t JobReport::Count(EntryStatus status) const {
    return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), [status](const ReportedEntry& e) {
        return e.written && e.check.status == status;
    }));
}

std::size_t JobReport::WrittenCount() const {
    return static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const ReportedEntry& e) { return e.written; }));
}

JobReport BuildJobReport(const JobState& state, const ReportOptions& options) {
    JobReport report;
    report.source = state.scanSourcePath;
    report.verified = options.verified;
    report.findings = state.findings;
    report.entries.reserve(state.entries.size() + state.partials.size());
    for (const RecoveredEntry& row : state.entries) {
        ReportedEntry e;
        e.writtenName = state.HeaderNameOf(row);
        e.tableName = state.NameOf(row);
        e.compressedSize = row.compressedSize;
        e.uncompressedSize = row.uncompressedSize;
        e.crc32 = row.crc32;
        e.check = row.check;
        e.written = !(options.skipDamaged && row.check.status == EntryStatus::kDamaged);
        e.headerOffset = row.headerOffset;
        e.part = row.part;
        report.entries.push_back(std::move(e));
    }
    for (const PartialEntry& partial : state.partials) {
        ReportedEntry e;
        report.partialNames.push_back(partial.WrittenName());
        e.writtenName = report.partialNames.back();
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
        report.entries.push_back(std::move(e));
    }
    return report;
}

void DropDamagedRows(JobState& state) {
    state.entries.erase(std::remove_if(state.entries.begin(), state.entries.end(),
                                       [](const RecoveredEntry& row) { return row.check.status == EntryStatus::kDamaged; }),
                        state.entries.end());
}

bool NothingRecoverable(const JobState& state) { return state.entries.empty() && state.partials.empty(); }

}  // namespace vrz
