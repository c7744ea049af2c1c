// One account of a job that both front ends read: every entry with its sizes,
// CRC-32, status and reason, what was written, and every candidate header the
// scan refused or cut. It holds codes and values only; the command line and
// the wizard turn them into their own texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "state/EntryCheck.h"
#include "state/FindingLog.h"
#include "state/JobState.h"
#include "state/ScanFinding.h"

namespace vrz {

struct ReportedEntry {
    // The name the repair writes (the local header's bytes, or the
    // "#Partial Files/" name of a salvaged beginning) and the table's name.
    // Views, not copies: a report of millions of entries would otherwise hold
    // every name twice more. They view the job's name arena (valid while the
    // JobState lives and is not reset) or the report's own partialNames.
    std::string_view writtenName;
    std::string_view tableName;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint32_t crc32 = 0;
    EntryCheck check;
    bool written = false;
    std::uint64_t headerOffset = 0;
    std::uint32_t part = 0;
    // Partial entries: the bytes of the file recovered.
    std::uint64_t recoveredBytes = 0;
};

struct JobReport {
    JobReport() = default;
    // Entries view partialNames, whose strings stay in place when the report
    // moves; a copy would view the original's.
    JobReport(const JobReport&) = delete;
    JobReport& operator=(const JobReport&) = delete;
    JobReport(JobReport&&) = default;
    JobReport& operator=(JobReport&&) = default;

    std::string source;
    std::string output;  // empty when nothing was written
    std::vector<ReportedEntry> entries;
    // The written names of salvaged beginnings, which no arena holds.
    std::deque<std::string> partialNames;
    FindingLog findings;
    bool verified = false;

    std::size_t Count(EntryStatus status) const;
    std::size_t WrittenCount() const;
};

struct ReportOptions {
    bool verified = false;
    // Damaged rows are left out of the output.
    bool skipDamaged = false;
};

// Rows first, in table order, then the salvaged beginnings of cut entries.
JobReport BuildJobReport(const JobState& state, const ReportOptions& options);

// Removes the rows a verification found damaged, before a rebuild that should leave them out.
void DropDamagedRows(JobState& state);

// Nothing to write: no row and no salvaged beginning.
bool NothingRecoverable(const JobState& state);

}  // namespace vrz
