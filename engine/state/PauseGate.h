// Lets the user-interface thread hold a worker at its next poll while it asks
// the user a question, and let it go on afterwards.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace vrz {

class PauseGate {
public:
    void Pause() {
        std::lock_guard<std::mutex> lock(mutex_);
        paused_ = true;
        pausedHint_ = true;
    }

    void Resume() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            paused_ = false;
            pausedHint_ = false;
        }
        resumed_.notify_all();
    }

    bool IsPaused() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return paused_;
    }

    // Polled for every block by every verifying thread: the lock is taken
    // only while a pause is on.
    void WaitWhilePaused() {
        if (!pausedHint_.load()) return;
        std::unique_lock<std::mutex> lock(mutex_);
        resumed_.wait(lock, [this] { return !paused_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable resumed_;
    bool paused_ = false;
    std::atomic<bool> pausedHint_{false};
};

}  // namespace vrz
