// One verification of the whole entry table on a pool of threads. Workers
// claim runs of consecutive rows in table order, so each reads a stretch of
// the source through its own window; a writer can follow behind with
// WaitThrough and copy the rows already verified while later ones are.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>

#include "concurrency/TaskPool.h"
#include "state/JobState.h"
#include "verify/EntryVerifier.h"

namespace vrz {

class VerificationPass {
public:
    VerificationPass(JobState& state, const VerifyOptions& options);
    // Stops workers that still run (a writer that failed leaves early) and joins them.
    ~VerificationPass();
    VerificationPass(const VerificationPass&) = delete;
    VerificationPass& operator=(const VerificationPass&) = delete;

    // Starts the workers; the table must not change until Finish.
    void Start();
    // Waits until every row up to and including index is verified; false
    // when the pass stopped (cancelled) before that.
    bool WaitThrough(std::size_t index);
    // Waits for all rows and ends the workers; false when cancelled.
    bool Finish();
    // A worker that threw (out of memory, say) stops the pass as a cancel
    // would; this throws what it threw, on the caller's thread.
    void RethrowFailure();

    std::size_t Threads() const { return threads_; }

private:
    bool Claim(std::size_t* first, std::size_t* end);
    void Work();
    void VerifyRuns();
    void MarkVerified(std::size_t first, std::size_t end);
    bool MayContinue();
    void Advance(std::uint64_t bytes);
    void ShowProgress();

    JobState& state_;
    const VerifyOptions options_;
    std::atomic<int>& percent_;
    std::size_t threads_ = 1;
    std::uint64_t total_ = 0;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> stopped_{false};
    std::atomic<bool> abandoned_{false};
    std::mutex namesLock_;

    // Claiming runs of rows, and which rows are verified.
    std::mutex mutex_;
    std::condition_variable verified_;
    std::size_t nextRow_ = 0;
    std::size_t verifiedEnd_ = 0;  // every row before it is verified
    std::map<std::size_t, std::size_t> finishedAhead_;  // runs verified past verifiedEnd_: first -> end
    std::size_t workersLeft_ = 0;
    std::exception_ptr failure_;  // the first worker's exception

    std::unique_ptr<TaskPool> pool_;
};

}  // namespace vrz
