// The save worker: runs the single or split writer of one job on its own
// thread, waits while the page asks whether to abort, and ends by handing
// the result to the page, which reports it and returns to the source step.
#pragma once

#include <memory>

#include "GuiCallChannel.h"
#include "state/JobState.h"

class CSavePage;

// What the worker and its page share. page and delivered are read and
// written on the user-interface thread only; the worker passes the link on.
struct SaveWorkerLink {
    std::shared_ptr<GuiCallChannel> channel = GuiCallChannel::Create();
    CSavePage* page = nullptr;
    // Set once the page has taken the worker's result.
    bool delivered = false;
};

// The worker's body; job and link are its own copies.
void SaveWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<SaveWorkerLink> link);
