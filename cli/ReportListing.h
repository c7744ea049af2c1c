// The text listing of a job: one line per entry with the name the repair
// writes (control characters escaped), a status column when entries were
// verified, and the closing summary lines.
#pragma once

#include <string>
#include <string_view>

#include "report/JobReport.h"

namespace vrz::cli {

// A name as bytes, made printable: UTF-8 or code page 437, controls escaped.
std::string PrintableName(std::string_view nameBytes);

void PrintListing(const JobReport& report);

// A line for each file set aside from a split set (named like a part, but none),
// then "N candidate headers refused or cut (...)" when the scan refused any.
void PrintFindingsLine(const JobReport& report);

// "N entries: a intact, b damaged (x), c not checked (y: encrypted)"; head is
// "N entries" or "N entries written".
std::string SummaryLine(const JobReport& report, const std::string& head);

}  // namespace vrz::cli
