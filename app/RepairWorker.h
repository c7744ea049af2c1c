// The repair worker: runs the single or split scan of one job on its own
// thread, posts its failures and its end to the repair page and never waits
// for the window.
#pragma once

#include <memory>

#include "WorkerLink.h"
#include "state/JobState.h"

// The worker's body; job and link are its own copies.
void RepairWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<WorkerLink> link);
