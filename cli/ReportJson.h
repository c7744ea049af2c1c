// The job report as one JSON object: source, output, counts, every entry
// with sizes, CRC-32, status and reason, and every refused candidate header.
#pragma once

#include <cstdio>

#include "report/JobReport.h"

namespace vrz::cli {

// Written to stream entry by entry, in large pieces.
void WriteReportJson(const JobReport& report, bool withOutput, std::FILE* stream);

}  // namespace vrz::cli
