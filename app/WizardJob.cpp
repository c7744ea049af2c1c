#include "WizardJob.h"

#include <list>
#include <mutex>
#include <thread>

WorkerSlot g_workerThread;
WorkerSlot g_saveThread;

namespace {

std::shared_ptr<vrz::JobState>& CurrentJob() {
    static std::shared_ptr<vrz::JobState> job = std::make_shared<vrz::JobState>();
    return job;
}

struct WorkerThread {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
};

std::mutex& WorkersMutex() {
    static std::mutex mutex;
    return mutex;
}

std::list<WorkerThread>& Workers() {
    static std::list<WorkerThread> workers;
    return workers;
}

void JoinFinished(std::list<WorkerThread>& workers) {
    for (auto it = workers.begin(); it != workers.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = workers.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

vrz::JobState& TheJob() { return *CurrentJob(); }

std::shared_ptr<vrz::JobState> TheJobShared() { return CurrentJob(); }

void DiscardCurrentJob() { CurrentJob() = std::make_shared<vrz::JobState>(); }

void StartWorkerThread(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(WorkersMutex());
    JoinFinished(Workers());
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([work = std::move(work), finished]() mutable {
        work();
        work = nullptr;
        finished->store(true);
    });
    Workers().push_back({std::move(thread), std::move(finished)});
}

void JoinAllWorkerThreads() {
    std::list<WorkerThread> workers;
    {
        std::lock_guard<std::mutex> lock(WorkersMutex());
        workers.swap(Workers());
    }
    for (WorkerThread& worker : workers) worker.thread.join();
}

std::size_t PendingWorkerThreads() {
    std::lock_guard<std::mutex> lock(WorkersMutex());
    JoinFinished(Workers());
    return Workers().size();
}
