// The findings of one job, bounded whatever the input: every finding is
// counted by kind, but only the first few of each kind are kept with their
// offsets and names, and a kept name is cut to a fixed length. A hostile
// archive of millions of refused headers then costs a few counters, not a
// copy of every name it claims.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "state/ScanFinding.h"

namespace vrz {

class FindingLog {
public:
    static constexpr std::size_t kKeptPerKind = 1000;
    static constexpr std::size_t kKeptNameBytes = 1024;

    void Add(ScanFinding finding);
    void Clear();

    // Whether the next finding of this kind is kept (else only counted).
    bool Keeps(FindingKind kind) const { return Count(kind) < kKeptPerKind; }
    // How many findings of this kind there were, kept or not.
    std::uint64_t Count(FindingKind kind) const { return counts_[static_cast<std::size_t>(kind)]; }
    // Candidate headers refused or cut (see IsRefusal), kept or not.
    std::uint64_t RefusalCount() const;
    // Conflicts decided and fields written sound (see IsMend), kept or not.
    std::uint64_t MendCount() const;
    // Findings counted but not kept.
    std::uint64_t Dropped() const { return dropped_; }

    // The kept findings, in the order they were found.
    const std::vector<ScanFinding>& Kept() const { return kept_; }
    std::vector<ScanFinding>::const_iterator begin() const { return kept_.begin(); }
    std::vector<ScanFinding>::const_iterator end() const { return kept_.end(); }
    bool empty() const { return kept_.empty(); }
    std::size_t size() const { return kept_.size(); }
    const ScanFinding& back() const { return kept_.back(); }

private:
    std::vector<ScanFinding> kept_;
    std::array<std::uint64_t, kFindingKindCount> counts_{};
    std::uint64_t dropped_ = 0;
};

}  // namespace vrz
