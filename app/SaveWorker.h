// The save worker: runs the single or split writer of one job on its own
// thread, holds at its pause gate while the page asks whether to abort, and
// posts its failures and its end to the save page without waiting for it.
#pragma once

#include <memory>

#include "WorkerLink.h"
#include "state/JobState.h"

// The worker's body; job and link are its own copies.
void SaveWorker(std::shared_ptr<vrz::JobState> job, std::shared_ptr<WorkerLink> link);
