// Verifies one row at a time on one thread: reads the row's local header
// (unless the scan kept what it read), decodes its data and fills row.check.
// Each verifying thread owns one, with its own read window, so threads never
// share a file cursor or a buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "codec/WholeInflate.h"
#include "state/JobState.h"
#include "writer/LayoutBlockReader.h"

namespace vrz {

struct RowVerifyHooks {
    // Asked before every block read; false stops the row as cancelled.
    std::function<bool()> mayContinue;
    // Told how many source bytes each block took.
    std::function<void(std::uint64_t)> advanced;
};

class RowVerifier {
public:
    // namesLock guards the job's name arena and its check side table, which
    // rows on other threads may add to at the same time.
    RowVerifier(JobState& state, bool decode, std::mutex& namesLock);

    // False only when cancelled; the row is then left unfinished.
    bool Verify(RecoveredEntry& row, const RowVerifyHooks& hooks);

private:
    bool TakeScannedHeader(RecoveredEntry& row);
    bool ReadHeader(RecoveredEntry& row);
    bool TakeHeader(RecoveredEntry& row, const std::uint8_t* record, std::size_t length, std::uint64_t dataStart);
    bool Decode(RecoveredEntry& row, const RowVerifyHooks& hooks);
    bool InflateWhole(RecoveredEntry& row, std::uint64_t length, const RowVerifyHooks& hooks);

    JobState& state_;
    const bool decode_;
    std::mutex& namesLock_;
    LayoutBlockReader reader_;
    WholeInflater whole_;
    std::vector<std::uint8_t> record_;
    std::uint64_t dataStart_ = 0;
    // The row's check while it is made; stored in the row when done.
    EntryCheck check_;
};

// Rows the scan already decoded whole keep the scan's result.
bool KeepsScanResult(const JobState& state, const RecoveredEntry& row);

}  // namespace vrz
