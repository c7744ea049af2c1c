#include "concurrency/TaskPool.h"

#include <sched.h>

#include <algorithm>

namespace vrz {

TaskPool::TaskPool(std::size_t threads, std::size_t queueLimit) {
    threads = std::max<std::size_t>(threads, 1);
    queueLimit_ = queueLimit == 0 ? threads * 2 : queueLimit;
    workers_.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i) workers_.emplace_back([this, i] { Work(i); });
}

TaskPool::~TaskPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    taskReady_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void TaskPool::Submit(Task task) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        roomFree_.wait(lock, [this] { return queue_.size() < queueLimit_; });
        queue_.push_back(std::move(task));
    }
    taskReady_.notify_one();
}

void TaskPool::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    allDone_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void TaskPool::Work(std::size_t index) {
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            taskReady_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            // Stopping still drains the queue: a queued task is never dropped.
            if (queue_.empty()) return;
            task = std::move(queue_.front());
            queue_.pop_front();
            ++running_;
        }
        roomFree_.notify_one();
        task(index);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            --running_;
            if (queue_.empty() && running_ == 0) allDone_.notify_all();
        }
    }
}

std::size_t UsableCpuCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<std::size_t>(count);
    }
    return std::max<std::size_t>(std::thread::hardware_concurrency(), 1);
}

}  // namespace vrz
