#include "JobRunner.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <future>
#include <thread>

namespace vrz::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) { g_interrupted = 1; }

}  // namespace

bool RunWithProgress(const std::function<bool()>& job, const std::atomic<int>& percent,
                     std::atomic<bool>& running, const std::string& label, bool* interrupted) {
    g_interrupted = 0;
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);

    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    std::future<bool> result = std::async(std::launch::async, job);
    int shown = -1;
    while (result.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (g_interrupted) running = false;
        const int now = percent.load();
        if (terminal && now != shown) {
            shown = now;
            std::fprintf(stderr, "\r%s %3d%%", label.c_str(), now);
            std::fflush(stderr);
        }
    }
    if (terminal && shown >= 0) std::fprintf(stderr, "\r%*s\r", static_cast<int>(label.size()) + 6, "");
    const bool ok = result.get();
    *interrupted = g_interrupted != 0;
    sigaction(SIGINT, &previous, nullptr);
    return ok;
}

}  // namespace vrz::cli
