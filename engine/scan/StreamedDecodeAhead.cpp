#include "scan/StreamedDecodeAhead.h"

#include <algorithm>

#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "scan/StreamedEntryEnd.h"

namespace vrz {

namespace {

// How far past the walk candidates are looked for, and how many decodes
// per thread may wait for the walk: enough to keep every thread busy on
// small entries, few enough that what the walk skips costs little.
constexpr std::uint64_t kLookahead = std::uint64_t{32} << 20;
constexpr std::size_t kQueuedPerThread = 4;
// Decodes the walk never takes (headers inside data it accepted) may cost
// this much besides one reading of the input; past it the walk decodes alone.
constexpr std::uint64_t kWasteFloor = std::uint64_t{64} << 20;

const std::uint8_t* const kLocalSignature[] = {zip::kSigLocalHeader};

enum SlotState { kQueued, kRunning, kClaimed, kDone };

bool SameRequest(const StreamRequest& a, const StreamRequest& b) {
    return a.method == b.method && a.flags == b.flags && a.expectedSize == b.expectedSize &&
           a.dataStart == b.dataStart && a.limit == b.limit && a.outputCap == b.outputCap;
}

}  // namespace

struct StreamedDecodeAhead::Slot {
    std::uint64_t headerAt = 0;
    StreamRequest request;
    // kQueued -> kRunning -> kDone on a worker, or kQueued -> kClaimed when
    // the walk takes it over (or drops it) before a worker starts it.
    std::atomic<int> state{kQueued};
    std::atomic<bool> dropped{false};
    // Written by the worker before it sets kDone, under the mutex.
    StreamDecode result;
    ScanWork work;
    bool usable = false;
};

StreamedDecodeAhead::StreamedDecodeAhead(const SourceLayout& layout, std::size_t threads, std::size_t windowSize,
                                         std::function<bool()> jobMayContinue)
    : layout_(layout),
      total_(layout.TotalSize()),
      jobMayContinue_(std::move(jobMayContinue)),
      lookReader_(layout, windowSize),
      wasteAllowance_(layout.TotalSize() + kWasteFloor) {
    if (threads <= 1) return;
    // The walk is one of the threads: it decodes every candidate no worker
    // has started when it gets there, instead of sleeping until one does.
    const std::size_t workers = threads - 1;
    maxQueued_ = kQueuedPerThread * threads;
    for (std::size_t i = 0; i < workers; ++i) {
        readers_.push_back(std::make_unique<SourceReader>(layout, windowSize));
        inflaters_.push_back(std::make_unique<WholeInflater>());
    }
    pool_ = std::make_unique<TaskPool>(workers, maxQueued_);
}

StreamedDecodeAhead::~StreamedDecodeAhead() {
    ScanWork ignored;
    Stop(ignored);
}

void StreamedDecodeAhead::Stop(ScanWork& work) {
    for (const std::shared_ptr<Slot>& slot : queued_) Drop(slot);
    queued_.clear();
    pool_.reset();  // running decodes see their slot dropped and stop
    work.bytesDecodedAhead += wasted_.exchange(0);
}

void StreamedDecodeAhead::Drop(const std::shared_ptr<Slot>& slot) {
    std::lock_guard<std::mutex> lock(mutex_);
    slot->dropped = true;
    int expected = kQueued;
    if (slot->state.compare_exchange_strong(expected, kClaimed)) return;  // never started
    // A decode still running counts itself when it ends.
    if (slot->state.load() == kDone) wasted_ += slot->work.bytesDecoded;
}

void StreamedDecodeAhead::Reach(std::uint64_t at, bool mayDecode) {
    while (!queued_.empty() && queued_.front()->headerAt < at) {
        Drop(queued_.front());
        queued_.pop_front();
    }
    lookFrom_ = std::max(lookFrom_, at);
    if (!streamedMet_ || !pool_ || !mayDecode || wasted_.load() >= wasteAllowance_) return;
    QueueFrom(at);
}

void StreamedDecodeAhead::QueueFrom(std::uint64_t at) {
    const std::uint64_t searchEnd = total_ >= 4 ? total_ - 3 : 0;  // a signature needs its four bytes
    const std::uint64_t horizon = std::min(searchEnd, at + kLookahead);
    while (queued_.size() < maxQueued_ && lookFrom_ < horizon) {
        std::uint64_t hit = 0;
        const bool found = lookReader_.FindSignature(lookFrom_, horizon, kLocalSignature, 1, &hit);
        if (lookReader_.Failed()) {
            lookFrom_ = total_;  // the walk meets the same part and reports it
            return;
        }
        if (!found) {
            lookFrom_ = hit;
            continue;
        }
        lookFrom_ = hit + 1;
        auto slot = std::make_shared<Slot>();
        if (!RequestAt(hit, &slot->request)) continue;
        slot->headerAt = hit;
        queued_.push_back(slot);
        pool_->Submit([this, slot](std::size_t worker) { Decode(*slot, worker); });
    }
}

// The decode the walk will ask for if it reaches the header at `at`: only
// streamed headers whose data end where their stream does.
bool StreamedDecodeAhead::RequestAt(std::uint64_t at, StreamRequest* request) {
    const std::uint64_t runEnd = layout_.RunEndAt(at);
    if (runEnd - at < zip::kLocalHeaderSize) return false;
    const std::uint8_t* fixed = lookReader_.Bytes(at, zip::kLocalHeaderSize);
    if (!fixed) return false;
    LocalHeader header = ReadLocalHeaderFixed(fixed);
    if (!header.HasDataDescriptor()) {
        // Where the walk will most likely go on: an archive of sized
        // entries is then read here no more than the walk reads it.
        if (header.compressedSize != zip::kZip64Marker32 && header.LengthWithData() <= runEnd - at)
            lookFrom_ = std::max(lookFrom_, at + header.LengthWithData());
        return false;
    }
    if (!EndFoundByDecoding(header)) return false;
    if (header.HeaderLength() > runEnd - at) return false;
    const std::size_t variable = std::size_t{header.nameLength} + header.extraLength;
    if (variable > lookReader_.WindowSize()) return false;
    const std::uint8_t* nameAndExtra = lookReader_.Bytes(at + zip::kLocalHeaderSize, variable);
    if (!nameAndExtra) return false;
    ApplyZip64Extra(header, nameAndExtra + header.nameLength, header.extraLength);
    *request = EndDecodeRequest(header, at + header.HeaderLength(), runEnd);
    return true;
}

void StreamedDecodeAhead::Decode(Slot& slot, std::size_t worker) {
    int expected = kQueued;
    if (!slot.state.compare_exchange_strong(expected, kRunning)) return;
    SourceReader& reader = *readers_[worker];
    ScanWork work;
    DecodeHooks hooks;
    hooks.mayContinue = [this, &slot] { return !slot.dropped.load(std::memory_order_relaxed) && jobMayContinue_(); };
    const StreamDecode result = DecodeStream(reader, *inflaters_[worker], work, hooks, slot.request);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        slot.result = result;
        slot.work = work;
        // A cancelled or unreadable decode is done again by the walk, which
        // then stops or reports the part itself.
        slot.usable = result.outcome != StreamDecode::Outcome::kCancelled && !reader.Failed();
        slot.state = kDone;
        if (slot.dropped.load()) wasted_ += work.bytesDecoded;
    }
    done_.notify_all();
}

bool StreamedDecodeAhead::Take(const StreamRequest& request, StreamDecode* result, ScanWork* spent) {
    streamedMet_ = true;
    const auto it = std::find_if(queued_.begin(), queued_.end(), [&](const std::shared_ptr<Slot>& slot) {
        return slot->request.dataStart == request.dataStart;
    });
    if (it == queued_.end()) return false;
    const std::shared_ptr<Slot> slot = *it;
    queued_.erase(it);
    if (!SameRequest(slot->request, request)) {
        Drop(slot);
        return false;
    }
    int expected = kQueued;
    if (slot->state.compare_exchange_strong(expected, kClaimed)) return false;  // not started: the walk decodes
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return slot->state.load() == kDone; });
    if (!slot->usable) {
        wasted_ += slot->work.bytesDecoded;
        return false;
    }
    *result = slot->result;
    *spent = slot->work;
    return true;
}

}  // namespace vrz
