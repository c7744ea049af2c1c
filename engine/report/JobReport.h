// One account of a job that both front ends read: every entry with its sizes,
// CRC-32, status and reason, what was written, and every candidate header the
// scan refused or cut. It holds codes and values only; the command line and
// the wizard turn them into their own texts.
//
// The report reads the job's entry table rather than copying it: a table of
// millions of rows would otherwise be held twice. It stays valid while the
// JobState lives and its table is neither reset nor changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "state/EntryCheck.h"
#include "state/FindingLog.h"
#include "state/JobState.h"
#include "state/ScanFinding.h"

namespace vrz {

// One entry of the report, made on demand from its table row.
struct ReportedEntry {
    // The name the repair writes (the local header's bytes, or the
    // "#Partial Files/" name of a salvaged beginning) and the table's name.
    // They view the job's name arena or the report's own partial names.
    std::string_view writtenName;
    // Made again for a "#Lost Files/" row, so held here.
    std::string tableName;
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

struct ReportOptions {
    bool verified = false;
};

class JobReport {
public:
    // Rows first, in table order, then the salvaged beginnings of cut
    // entries. Rows the save leaves out (state.skipDamaged) are not written.
    JobReport(const JobState& state, const ReportOptions& options);

    const std::string& Source() const { return state_->scanSourcePath; }
    bool Verified() const { return options_.verified; }
    const FindingLog& Findings() const { return state_->findings; }

    std::size_t EntryCount() const { return state_->entries.size() + partialNames_.size(); }
    ReportedEntry Entry(std::size_t index) const;

    // Entries written with this status.
    std::size_t Count(EntryStatus status) const;
    std::size_t WrittenCount() const { return written_; }

    // The repaired archive; empty when nothing was written.
    std::string output;

private:
    const JobState* state_;
    ReportOptions options_;
    // The written names of salvaged beginnings, which no arena holds.
    std::vector<std::string> partialNames_;
    std::size_t written_ = 0;
    std::size_t writtenByStatus_[static_cast<std::size_t>(EntryStatus::kPartial) + 1] = {};
};

JobReport BuildJobReport(const JobState& state, const ReportOptions& options);

// Nothing to write: no row that would be written (see JobState::skipDamaged)
// and no salvaged beginning.
bool NothingRecoverable(const JobState& state);

}  // namespace vrz
