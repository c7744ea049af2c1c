#include "InterruptSignals.h"

#include <csignal>
#include <initializer_list>

namespace vrz::cli {

namespace {

volatile std::sig_atomic_t g_interruptSignal = 0;
std::atomic<std::atomic<bool>*> g_target{nullptr};
static_assert(std::atomic<std::atomic<bool>*>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

extern "C" void OnInterruptSignal(int signal) {
    g_interruptSignal = signal;
    if (std::atomic<bool>* running = g_target.load()) running->store(false);
}

}  // namespace

void InstallInterruptHandlers() {
    struct sigaction action {};
    action.sa_handler = OnInterruptSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls keep the worker's reads and writes whole; it polls the flag.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);

    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
}

bool InterruptRequested() { return g_interruptSignal != 0; }

void SetInterruptTarget(std::atomic<bool>* running) {
    g_target.store(running);
    // A signal that came before the target was set still stops the job.
    if (running && InterruptRequested()) running->store(false);
}

}  // namespace vrz::cli
