// Reads the command line into one request. Options may come before or after
// PATH; "--" ends the options, so a PATH may begin with '-'.
#pragma once

#include <string>
#include <vector>

#include "RepairCommand.h"
#include "ScanCommand.h"

namespace vrz::cli {

enum class Action { kUsageError, kHelp, kVersion, kScan, kRepair };

struct CommandLine {
    Action action = Action::kUsageError;
    std::string error;  // for kUsageError
    ScanRequest scan;
    RepairRequest repair;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

}  // namespace vrz::cli
