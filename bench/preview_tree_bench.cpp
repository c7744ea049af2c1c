// Builds the preview's folder tree for a table of a million entries in ten
// thousand folders and prints how long that took and how much memory it
// held; then opens one folder and prints that time too.
//   preview_tree_bench [entries-per-folder]     (default 100)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "preview/PreviewModel.h"

namespace {

long PeakResidentKB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int perFolder = argc > 1 ? std::atoi(argv[1]) : 100;
    vrz::JobState job;
    job.entries.reserve(static_cast<std::size_t>(perFolder) * 10000);
    for (int top = 0; top < 100; ++top) {
        for (int sub = 0; sub < 100; ++sub) {
            const std::string folder = "top" + std::to_string(top) + "/sub" + std::to_string(sub) + "/";
            for (int file = 0; file < perFolder; ++file) {
                vrz::RecoveredEntry entry;
                job.SetName(entry, folder + "file" + std::to_string(file) + ".txt");
                entry.uncompressedSize = 4096;
                job.entries.push_back(entry);
            }
        }
    }
    const long tableKB = PeakResidentKB();

    const auto built = std::chrono::steady_clock::now();
    vrz::PreviewModel model(job);
    const double buildMs = MillisecondsSince(built);
    const long treeKB = PeakResidentKB() - tableKB;

    const auto opened = std::chrono::steady_clock::now();
    model.Activate(0);
    model.Activate(1);
    const double openMs = MillisecondsSince(opened);

    std::printf("entries %zu in %zu folders\n", job.entries.size(), model.FolderCount() - 1);
    std::printf("tree built in %.1f ms; peak memory %ld KB for the table, %ld KB more while building\n", buildMs,
                tableKB, treeKB);
    std::printf("folder of %zu rows opened in %.3f ms\n", model.Rows().size(), openMs);
    return 0;
}
