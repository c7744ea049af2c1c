#include "SaveStepStops.h"

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace vrz::cli {

void StopAtSaveStepIfAsked(const char* step) {
    const char* wanted = std::getenv("ZIPREPAIR_TEST_STOP_AT");
    if (wanted && std::strcmp(wanted, step) == 0) ::raise(SIGSTOP);
}

}  // namespace vrz::cli
