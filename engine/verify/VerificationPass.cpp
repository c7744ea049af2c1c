#include "verify/VerificationPass.h"

#include <algorithm>

#include "verify/RowVerifier.h"

namespace vrz {

namespace {

// A run of rows one worker claims: about one read window of source bytes,
// and few enough rows that a writer behind it rarely waits long.
constexpr std::uint64_t kRunBytes = std::uint64_t{1} << 20;
constexpr std::size_t kRunRows = 4096;

}  // namespace

VerificationPass::VerificationPass(JobState& state, const VerifyOptions& options)
    : state_(state), options_(options), percent_(options.percent ? *options.percent : state.progressPercent) {
    for (const RecoveredEntry& row : state_.entries) total_ += row.compressedSize;
    const std::size_t wanted = options.threads == 0 ? UsableCpuCount() : options.threads;
    threads_ = std::max<std::size_t>(1, std::min(wanted, state_.entries.size()));
}

VerificationPass::~VerificationPass() {
    abandoned_ = true;
    pool_.reset();
}

void VerificationPass::Start() {
    percent_ = options_.percentFrom;
    if (state_.entries.empty()) return;
    workersLeft_ = threads_;
    pool_ = std::make_unique<TaskPool>(threads_);
    for (std::size_t i = 0; i < threads_; ++i) pool_->Submit([this](std::size_t) { Work(); });
}

bool VerificationPass::MayContinue() {
    if (stopped_.load(std::memory_order_relaxed) || abandoned_.load(std::memory_order_relaxed)) return false;
    if (state_.ScanMayContinue()) return true;
    stopped_ = true;
    return false;
}

bool VerificationPass::Claim(std::size_t* first, std::size_t* end) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t rows = state_.entries.size();
    if (nextRow_ >= rows) return false;
    *first = nextRow_;
    std::uint64_t bytes = 0;
    std::size_t at = nextRow_;
    while (at < rows && at - *first < kRunRows && bytes < kRunBytes) bytes += state_.entries[at++].entryLength;
    nextRow_ = at;
    *end = at;
    return true;
}

void VerificationPass::MarkVerified(std::size_t first, std::size_t end) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (first != verifiedEnd_) {
            finishedAhead_.emplace(first, end);
            return;
        }
        verifiedEnd_ = end;
        for (auto next = finishedAhead_.find(verifiedEnd_); next != finishedAhead_.end();
             next = finishedAhead_.find(verifiedEnd_)) {
            verifiedEnd_ = next->second;
            finishedAhead_.erase(next);
        }
    }
    verified_.notify_all();
}

void VerificationPass::Work() {
    try {
        VerifyRuns();
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
        stopped_ = true;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        --workersLeft_;
    }
    // A writer waiting for a row that no worker will verify must wake up.
    verified_.notify_all();
}

void VerificationPass::VerifyRuns() {
    RowVerifier verifier(state_, options_.decode, namesLock_);
    RowVerifyHooks hooks;
    std::uint64_t seen = 0;
    hooks.mayContinue = [this] { return MayContinue(); };
    hooks.advanced = [this, &seen](std::uint64_t n) {
        seen += n;
        Advance(n);
    };
    std::size_t first = 0;
    std::size_t end = 0;
    while (MayContinue() && Claim(&first, &end)) {
        std::uint64_t runBytes = 0;
        bool cancelled = false;
        for (std::size_t i = first; i < end && !cancelled; ++i) {
            RecoveredEntry& row = state_.entries[i];
            seen = 0;
            cancelled = !verifier.Verify(row, hooks);
            runBytes += row.compressedSize - std::min(seen, row.compressedSize);
        }
        Advance(runBytes);
        if (cancelled) {
            stopped_ = true;
            break;
        }
        MarkVerified(first, end);
    }
}

void VerificationPass::Advance(std::uint64_t bytes) {
    if (bytes == 0) return;
    done_.fetch_add(bytes, std::memory_order_relaxed);
    ShowProgress();
}

// The bar only moves forward, whichever thread reports last.
void VerificationPass::ShowProgress() {
    const int span = options_.percentTo - options_.percentFrom;
    const std::uint64_t at = std::min(done_.load(std::memory_order_relaxed), total_);
    const int value = total_ == 0 ? options_.percentTo
                                  : options_.percentFrom + static_cast<int>(at * static_cast<std::uint64_t>(span) / total_);
    int shown = percent_.load();
    while (value > shown && !percent_.compare_exchange_weak(shown, value)) {
    }
}

bool VerificationPass::WaitThrough(std::size_t index) {
    std::unique_lock<std::mutex> lock(mutex_);
    verified_.wait(lock, [&] { return verifiedEnd_ > index || workersLeft_ == 0; });
    return verifiedEnd_ > index;
}

bool VerificationPass::Finish() {
    // The threads end with the pass, not with the object: a writer that
    // goes on to finish its archive has no idle workers beside it.
    pool_.reset();
    if (stopped_.load()) return false;
    percent_ = options_.percentTo;
    return true;
}

void VerificationPass::RethrowFailure() {
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure = failure_;
    }
    if (failure) std::rethrow_exception(failure);
}

bool VerifyEntries(JobState& state, const VerifyOptions& options) {
    VerificationPass pass(state, options);
    pass.Start();
    const bool finished = pass.Finish();
    pass.RethrowFailure();
    return finished;
}

}  // namespace vrz
