// ziprepair: scans and repairs damaged ZIP and ZIPX archives from the command line.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "CliReporter.h"
#include "CommandLine.h"
#include "InterruptSignals.h"
#include "ProgramTexts.h"
#include "RepairCommand.h"
#include "ScanCommand.h"

namespace {

// One option per line, each line starting with what is typed.
void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage:\n"
                 "  ziprepair scan [--verify] [--json] [--threads N] [--] PATH\n"
                 "  ziprepair repair [-o DIR] [--json] [--skip-damaged] [--salvage] [--threads N] [--] PATH\n"
                 "  ziprepair help | --help | -h\n"
                 "  ziprepair --version | -V\n"
                 "\n"
                 "scan lists the entries that survive in a damaged archive; repair writes them to\n"
                 "NAME_fixed.zip in DIR (default: beside PATH) and checks every entry by decoding it.\n"
                 "\n"
                 "Options:\n"
                 "  --verify        scan: decode every entry and add a status column\n"
                 "  --json          print one JSON object instead of the text listing\n"
                 "  -o DIR          repair: write the repaired archive into DIR\n"
                 "  --output DIR    the same as -o DIR\n"
                 "  --skip-damaged  repair: leave out entries whose data is damaged\n"
                 "  --salvage       repair: keep the decodable beginning of entries cut off by the end\n"
                 "                  of the file or by a missing part, under \"#Partial Files/\"\n"
                 "  --threads N     decode streamed entries while scanning, and verify entries, on N\n"
                 "                  threads (default: one per CPU this process may use); the results\n"
                 "                  do not depend on N\n"
                 "  --              end of options; PATH may then begin with '-'\n"
                 "  -h, --help      show this help\n"
                 "  -V, --version   show the version\n"
                 "\n"
                 "PATH is a .zip or .zipx file, or a folder holding the parts of a split\n"
                 "archive (name.z01, name.z02, ..., name.zip or name.zx01, ..., name.zipx).\n"
                 "\n"
                 "Exit status:\n"
                 "  0    done; every entry written is intact (entries that could not be checked are listed)\n"
                 "  1    failure\n"
                 "  2    wrong usage\n"
                 "  3    written, but the archive holds damaged entries (or partial ones from --salvage)\n"
                 "  4    nothing recoverable was found; no archive was written\n"
                 "  130  interrupted\n");
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "ziprepair: %s\n\n", message.c_str());
    PrintUsage(stderr);
    return 2;
}

// Output that could not be written (a full disk, a closed pipe) is a failure.
int FinishStdout(int status) {
    errno = 0;
    const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!failed) return status;
    const int error = errno;
    vrz::cli::PrintFailure("standard output",
                           std::string("could not be written: ") + (error ? std::strerror(error) : "write error"));
    return 1;
}

int RunCommand(const vrz::cli::CommandLine& line) {
    switch (line.action) {
        case vrz::cli::Action::kUsageError: return UsageError(line.error);
        case vrz::cli::Action::kHelp:
            PrintUsage(stdout);
            return FinishStdout(0);
        case vrz::cli::Action::kVersion:
            std::printf("ziprepair %s\n", VRZ_PROGRAM_VERSION);
            return FinishStdout(0);
        case vrz::cli::Action::kScan:
            vrz::cli::UseProgramTexts();
            return FinishStdout(vrz::cli::ScanCommand(line.scan));
        case vrz::cli::Action::kRepair:
            vrz::cli::UseProgramTexts();
            return FinishStdout(vrz::cli::RepairCommand(line.repair));
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    vrz::cli::InstallInterruptHandlers();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const vrz::cli::CommandLine line = vrz::cli::ParseCommandLine(args);
    // Whatever the archive holds, running out of memory ends the run with a
    // message naming it, never with an abort. No output was named yet: a
    // save names its file only once it is complete.
    const std::string& path = line.action == vrz::cli::Action::kRepair ? line.repair.path : line.scan.path;
    try {
        return RunCommand(line);
    } catch (const std::bad_alloc&) {
        vrz::cli::PrintFailure(path, "not enough memory to go on");
    } catch (const std::exception& e) {
        vrz::cli::PrintFailure(path, std::string("failed: ") + e.what());
    }
    return 1;
}
