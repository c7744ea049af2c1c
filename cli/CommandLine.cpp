#include "CommandLine.h"

namespace vrz::cli {

namespace {

CommandLine Usage(const std::string& error) {
    CommandLine line;
    line.action = Action::kUsageError;
    line.error = error;
    return line;
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h" || arg == "help"; }
bool IsVersion(const std::string& arg) { return arg == "--version" || arg == "-V"; }

// More threads than this only cost memory (a read window each).
constexpr unsigned long kMaxThreads = 1024;

// A count from 1 to kMaxThreads in plain decimal digits.
bool ParseThreadCount(const std::string& text, std::size_t* count) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const unsigned long value = std::stoul(text);
    if (value == 0 || value > kMaxThreads) return false;
    *count = value;
    return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    if (args.empty()) return Usage("a command is needed");
    if (IsHelp(args[0])) {
        line.action = Action::kHelp;
        return line;
    }
    if (IsVersion(args[0])) {
        line.action = Action::kVersion;
        return line;
    }
    const std::string& command = args[0];
    const bool scan = command == "scan";
    if (!scan && command != "repair") return Usage("unknown command " + command);

    std::string path;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!isOption) {
            if (!path.empty()) return Usage("only one PATH is taken");
            if (arg.empty()) return Usage("PATH is empty");
            path = arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            line.action = Action::kHelp;
            return line;
        } else if (arg == "--json") {
            line.scan.json = line.repair.json = true;
        } else if (arg == "--threads") {
            if (i + 1 >= args.size()) return Usage(arg + " needs a number");
            std::size_t threads = 0;
            if (!ParseThreadCount(args[++i], &threads))
                return Usage(arg + " takes a number from 1 to " + std::to_string(kMaxThreads) + ", not " + args[i]);
            line.scan.threads = line.repair.threads = threads;
        } else if (scan && arg == "--verify") {
            line.scan.verify = true;
        } else if (!scan && (arg == "-o" || arg == "--output")) {
            if (i + 1 >= args.size()) return Usage(arg + " needs a folder");
            line.repair.outputFolder = args[++i];
            if (line.repair.outputFolder.empty()) return Usage(arg + " needs a folder, not an empty name");
        } else if (!scan && arg == "--skip-damaged") {
            line.repair.skipDamaged = true;
        } else if (!scan && arg == "--salvage") {
            line.repair.salvage = true;
        } else {
            return Usage("unknown option " + arg + " for " + command);
        }
    }
    if (path.empty()) return Usage(command + " needs a PATH");
    line.scan.path = line.repair.path = path;
    line.action = scan ? Action::kScan : Action::kRepair;
    return line;
}

}  // namespace vrz::cli
