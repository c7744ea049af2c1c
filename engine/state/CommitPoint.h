// The point of no return of a save: the writer commits just before it names
// the output, the user's abort claims the same point first or not at all.
// Whoever gets there first decides, so an abort that came too late is never
// told as one, and a committed save is never undone.
#pragma once

#include <atomic>

namespace vrz {

class CommitPoint {
public:
    void Reset() { state_.store(kOpen); }
    // The writer: true when the save may go on to name its output.
    bool TryCommit() {
        int expected = kOpen;
        return state_.compare_exchange_strong(expected, kCommitted) || expected == kCommitted;
    }
    // The user: true when the abort came in time.
    bool TryAbort() {
        int expected = kOpen;
        return state_.compare_exchange_strong(expected, kAborted) || expected == kAborted;
    }
    bool Committed() const { return state_.load() == kCommitted; }

private:
    static constexpr int kOpen = 0;
    static constexpr int kCommitted = 1;
    static constexpr int kAborted = 2;
    std::atomic<int> state_{kOpen};
};

}  // namespace vrz
