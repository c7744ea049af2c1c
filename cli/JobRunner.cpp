#include "JobRunner.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "InterruptSignals.h"

namespace vrz::cli {

bool RunWithProgress(const std::function<bool()>& job, const std::atomic<int>& percent,
                     std::atomic<bool>& running, const std::string& label, bool* interrupted) {
    return RunWithProgress(job, [&percent] { return percent.load(); }, running, label, interrupted);
}

bool RunWithProgress(const std::function<bool()>& job, const std::function<int()>& percent,
                     std::atomic<bool>& running, const std::string& label, bool* interrupted) {
    SetInterruptTarget(&running);
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    std::future<bool> result = std::async(std::launch::async, job);
    int shown = -1;
    while (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (InterruptRequested()) running = false;
        const int now = percent();
        if (terminal && now != shown) {
            shown = now;
            std::fprintf(stderr, "\r%s %3d%%", label.c_str(), now);
            std::fflush(stderr);
        }
    }
    if (terminal && shown >= 0) std::fprintf(stderr, "\r%*s\r", static_cast<int>(label.size()) + 6, "");
    const bool ok = result.get();
    SetInterruptTarget(nullptr);
    *interrupted = InterruptRequested();
    return ok;
}

}  // namespace vrz::cli
