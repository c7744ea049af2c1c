// A fixed set of worker threads that run submitted tasks. The queue is
// bounded, so a producer that submits faster than the workers run waits
// instead of piling up tasks. Each task is told the index of the worker that
// runs it, so callers can give every worker its own buffers.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vrz {

class TaskPool {
public:
    using Task = std::function<void(std::size_t worker)>;

    // threads 0 is taken as 1. queueLimit 0 means twice the thread count.
    explicit TaskPool(std::size_t threads, std::size_t queueLimit = 0);
    // Runs what is queued, then joins the workers.
    ~TaskPool();
    TaskPool(const TaskPool&) = delete;
    TaskPool& operator=(const TaskPool&) = delete;

    std::size_t Size() const { return workers_.size(); }

    // Queues a task; waits while the queue is full.
    void Submit(Task task);
    // Waits until every task submitted so far has run.
    void Wait();

private:
    void Work(std::size_t index);

    std::mutex mutex_;
    std::condition_variable taskReady_;
    std::condition_variable roomFree_;
    std::condition_variable allDone_;
    std::deque<Task> queue_;
    std::size_t queueLimit_;
    std::size_t running_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

// The CPUs this process may run on (its affinity mask), at least 1.
std::size_t UsableCpuCount();

}  // namespace vrz
