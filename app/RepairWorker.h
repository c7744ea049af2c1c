// The repair worker: runs the single or split scan of one job on its own
// thread and ends with the navigation command for the result, sent like a
// window message (it waits until the frame has switched pages).
#pragma once

#include <memory>

#include "GuiCallChannel.h"
#include "state/JobState.h"

class CRepairPage;

// What the worker and its page share. page is read and written on the
// user-interface thread only; the worker just passes the link along.
struct RepairWorkerLink {
    std::shared_ptr<GuiCallChannel> channel = GuiCallChannel::Create();
    CRepairPage* page = nullptr;
    // Set on the user-interface thread once the end command is carried out.
    bool delivered = false;
};

// The worker's body; job and link are its own copies.
void RepairWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<RepairWorkerLink> link);
