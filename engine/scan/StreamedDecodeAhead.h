// Decodes streamed entries ahead of the scan's walk, on a pool of threads.
// A streamed entry's end is only known once its data are decoded, which
// would leave the walk decoding one entry after another on one thread; the
// walk instead has the candidate headers in front of it decoded on the
// pool and takes each result when it reaches that header. Only the walk
// decides what is kept: a result it never asks for is dropped, so the
// outcome is the same on any number of threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "concurrency/TaskPool.h"
#include "io/SourceLayout.h"
#include "io/SourceReader.h"
#include "scan/DecodeMemo.h"

namespace vrz {

class StreamedDecodeAhead : public DecodedAhead {
public:
    // threads counts the walk's own: above 1, threads - 1 workers decode
    // ahead while the walk decodes what none has started; 1 decodes nothing ahead.
    // jobMayContinue is asked from the pool's threads.
    StreamedDecodeAhead(const SourceLayout& layout, std::size_t threads, std::size_t windowSize,
                        std::function<bool()> jobMayContinue);
    ~StreamedDecodeAhead() override;
    StreamedDecodeAhead(const StreamedDecodeAhead&) = delete;
    StreamedDecodeAhead& operator=(const StreamedDecodeAhead&) = delete;

    // The walk is at offset at: decodes of headers before it are dropped,
    // and the streamed candidates a little way past it are queued, as long
    // as mayDecode (the walk's own allowance) holds.
    void Reach(std::uint64_t at, bool mayDecode);
    // Drops everything and joins the pool; what was decoded and never taken
    // is added to work.bytesDecodedAhead.
    void Stop(ScanWork& work);

    bool Take(const StreamRequest& request, StreamDecode* result, ScanWork* spent) override;

private:
    struct Slot;

    void QueueFrom(std::uint64_t at);
    bool RequestAt(std::uint64_t at, StreamRequest* request);
    void Decode(Slot& slot, std::size_t worker);
    void Drop(const std::shared_ptr<Slot>& slot);

    const SourceLayout& layout_;
    const std::uint64_t total_;
    std::function<bool()> jobMayContinue_;
    std::size_t maxQueued_ = 0;
    // The walk's thread alone reads ahead for headers and keeps the queue.
    SourceReader lookReader_;
    std::uint64_t lookFrom_ = 0;
    // Looking ahead starts with the first streamed decode the walk asks
    // for: an archive of sized entries is then read once, by the walk.
    bool streamedMet_ = false;
    std::deque<std::shared_ptr<Slot>> queued_;  // by header offset
    std::uint64_t wasteAllowance_ = 0;

    std::mutex mutex_;
    std::condition_variable done_;
    std::atomic<std::uint64_t> wasted_{0};
    // One reader per worker, each with its own window and open files.
    std::vector<std::unique_ptr<SourceReader>> readers_;
    std::vector<std::unique_ptr<WholeInflater>> inflaters_;
    std::unique_ptr<TaskPool> pool_;
};

}  // namespace vrz
