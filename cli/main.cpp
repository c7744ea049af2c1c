// ziprepair: scans and repairs damaged ZIP and ZIPX archives from the command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "InterruptSignals.h"
#include "RepairCommand.h"
#include "ScanCommand.h"
#include "text/ProgramPaths.h"

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage:\n"
                 "  ziprepair scan PATH [--json]    list the entries that survive in a damaged archive\n"
                 "  ziprepair repair PATH [-o DIR]  write the surviving entries to a new archive,\n"
                 "                                  NAME_fixed.zip in DIR (default: beside PATH)\n"
                 "  ziprepair --help | --version\n"
                 "\n"
                 "PATH is a .zip or .zipx file, or a folder holding the parts of a split\n"
                 "archive (name.z01, name.z02, ..., name.zip or name.zx01, ..., name.zipx).\n");
}

int UsageError(const char* message) {
    std::fprintf(stderr, "ziprepair: %s\n\n", message);
    PrintUsage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    vrz::cli::InstallInterruptHandlers();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("a command is needed");
    if (args[0] == "--help" || args[0] == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    if (args[0] == "--version") {
        std::printf("ziprepair %s\n", VRZ_PROGRAM_VERSION);
        return 0;
    }
    vrz::ResolveProgramPaths(vrz::ExecutableFolder());

    const std::string command = args[0];
    if (command == "scan") {
        vrz::cli::ScanRequest request;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--json")
                request.json = true;
            else if (!args[i].empty() && args[i][0] == '-' && args[i] != "-")
                return UsageError(("unknown option " + args[i]).c_str());
            else if (request.path.empty())
                request.path = args[i];
            else
                return UsageError("only one PATH is taken");
        }
        if (request.path.empty()) return UsageError("scan needs a PATH");
        return vrz::cli::ScanCommand(request);
    }
    if (command == "repair") {
        vrz::cli::RepairRequest request;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "-o" || args[i] == "--output") {
                if (i + 1 >= args.size()) return UsageError("-o needs a folder");
                request.outputFolder = args[++i];
            } else if (!args[i].empty() && args[i][0] == '-' && args[i] != "-") {
                return UsageError(("unknown option " + args[i]).c_str());
            } else if (request.path.empty()) {
                request.path = args[i];
            } else {
                return UsageError("only one PATH is taken");
            }
        }
        if (request.path.empty()) return UsageError("repair needs a PATH");
        return vrz::cli::RepairCommand(request);
    }
    return UsageError(("unknown command " + command).c_str());
}
