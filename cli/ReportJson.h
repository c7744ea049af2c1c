// The job report as one JSON object: source, output, counts, every entry
// with sizes, CRC-32, status and reason, and every refused candidate header.
#pragma once

#include <string>

#include "report/JobReport.h"

namespace vrz::cli {

std::string ReportAsJson(const JobReport& report, bool withOutput);

}  // namespace vrz::cli
