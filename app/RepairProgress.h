// The repair page's one bar covers two passes: the scan fills its first
// half, the verification of every found entry its second.
#pragma once

#include <algorithm>

namespace wizard {

// verifyPercent is negative until the verification starts.
inline int RepairBarPercent(int scanPercent, int verifyPercent) {
    if (verifyPercent < 0) return std::clamp(scanPercent, 0, 100) / 2;
    return 50 + std::clamp(verifyPercent, 0, 100) / 2;
}

}  // namespace wizard
