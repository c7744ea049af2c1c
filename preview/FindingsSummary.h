// What the preview page says about what the scan lost, cut or refused: a few
// short lines in words, and the list behind them (offset, part, kind, name)
// as the command line's JSON gives it. Plain C++ with the text lookup passed
// in, so it is tested without a display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "preview/VerificationTexts.h"
#include "state/JobState.h"

namespace vrz {

// One short line per kind of loss: entries cut off at the end, each missing
// or cut part of a split set with the entries it took, each file set aside
// as none of the set's parts, header fields mended, other candidate headers
// refused.
std::vector<std::string> FindingLines(const JobState& job, const TextLookup& text);

// Language key of a finding kind's text.
std::string FindingKindTextKey(FindingKind kind);

struct FindingDetail {
    std::uint64_t offset = 0;
    std::string part;  // the file name of the part that holds it
    std::string kind;  // in words
    std::string name;  // as UTF-8, "" when the header gave none
};

// Every kept finding, in the order the scan met them.
std::vector<FindingDetail> FindingDetails(const JobState& job, const TextLookup& text);

}  // namespace vrz
