// The job the wizard works on, shared by its pages and workers, and the
// records of which workers run (the frame refuses to close while one does).
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "state/JobState.h"

// The current job. User-interface thread only; a worker gets its own
// shared_ptr from TheJobShared() when it starts and uses nothing else.
vrz::JobState& TheJob();
std::shared_ptr<vrz::JobState> TheJobShared();

// Sets the current job aside for good: after a cancelled run its worker may
// still poll it, so the wizard goes on with a fresh one and the two never meet.
void DiscardCurrentJob();

// Whether a worker of one kind runs: the repair worker and the save worker.
class WorkerSlot {
public:
    void Set(const void* worker) { m_worker.store(worker); }
    // Clears the slot only if it still names this worker, so a late
    // abandoned worker cannot clear the record of the next one.
    void ClearIf(const void* worker) { m_worker.compare_exchange_strong(worker, nullptr); }
    void Clear() { m_worker.store(nullptr); }
    bool IsSet() const { return m_worker.load() != nullptr; }

private:
    std::atomic<const void*> m_worker{nullptr};
};

extern WorkerSlot g_workerThread;  // the repair worker
extern WorkerSlot g_saveThread;    // the save worker

// Starts work on a new thread. Finished threads are joined on the next start.
void StartWorkerThread(std::function<void()> work);

// Joins every worker thread; at exit, once all of them have been released.
void JoinAllWorkerThreads();

// Number of worker threads not yet joined; for tests.
std::size_t PendingWorkerThreads();
