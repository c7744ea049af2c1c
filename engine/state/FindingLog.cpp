#include "state/FindingLog.h"

#include <utility>

namespace vrz {

void FindingLog::Add(ScanFinding finding) {
    std::uint64_t& count = counts_[static_cast<std::size_t>(finding.kind)];
    ++count;
    if (count > kKeptPerKind) {
        ++dropped_;
        return;
    }
    if (finding.name.size() > kKeptNameBytes) {
        finding.name.resize(kKeptNameBytes);
        finding.name.shrink_to_fit();
    }
    if (finding.otherName.size() > kKeptNameBytes) {
        finding.otherName.resize(kKeptNameBytes);
        finding.otherName.shrink_to_fit();
    }
    kept_.push_back(std::move(finding));
}

void FindingLog::Clear() {
    kept_.clear();
    kept_.shrink_to_fit();
    counts_.fill(0);
    dropped_ = 0;
}

std::uint64_t FindingLog::RefusalCount() const {
    std::uint64_t total = 0;
    for (std::size_t k = 0; k < kFindingKindCount; ++k)
        if (IsRefusal(static_cast<FindingKind>(k))) total += counts_[k];
    return total;
}

std::uint64_t FindingLog::MendCount() const {
    std::uint64_t total = 0;
    for (std::size_t k = 0; k < kFindingKindCount; ++k)
        if (IsMend(static_cast<FindingKind>(k))) total += counts_[k];
    return total;
}

}  // namespace vrz
