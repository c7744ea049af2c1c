#include "InterruptSignals.h"

#include <csignal>
#include <initializer_list>

namespace vrz::cli {

namespace {

volatile std::sig_atomic_t g_interruptSignal = 0;

extern "C" void OnInterruptSignal(int signal) { g_interruptSignal = signal; }

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

}  // namespace vrz::cli
