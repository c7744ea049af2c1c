#include "scan/DescriptorIndex.h"

#include <algorithm>
#include <cstring>

#include "records/ByteOrder.h"
#include "records/ZipConstants.h"

namespace vrz {

namespace {

const std::uint8_t* const kIndexed[] = {zip::kSigDataDescriptor, zip::kSigLocalHeader, zip::kSigCentralHeader,
                                        zip::kSigEndOfCentralDir, zip::kSigZip64EndOfCentralDir};

// A lookup examines at most this many descriptors for one data start: a
// real entry has one, and only a crafted file lines up more.
constexpr std::size_t kMostPerStart = 64;
// Hits between two polls of the cancel point while the index is built.
constexpr unsigned kPollEvery = 4096;

}  // namespace

void DescriptorIndex::AddDescriptor(std::uint64_t at) {
    ++work_.descriptorProbes;
    if (total_ - at < zip::kDataDescriptorSize) return;
    const std::size_t length =
        total_ - at >= zip::kZip64DataDescriptorSize ? zip::kZip64DataDescriptorSize : zip::kDataDescriptorSize;
    std::uint8_t copy[zip::kZip64DataDescriptorSize];
    // Read through the window, or apart from it where the window is smaller.
    const std::uint8_t* p = length <= reader_.WindowSize() ? reader_.Bytes(at, length)
                                                            : (reader_.Copy(at, length, copy) ? copy : nullptr);
    if (!p) return;
    const std::uint64_t narrow = ReadU32(p + 8);
    if (narrow <= at) implied_.push_back({at - narrow, at});
    if (length < zip::kZip64DataDescriptorSize) return;
    const std::uint64_t wide = ReadU64(p + 8);
    if (wide != narrow && wide <= at) implied_.push_back({at - wide, at});
}

bool DescriptorIndex::Build() {
    built_ = true;
    std::uint64_t from = 0;
    unsigned sincePoll = 0;
    while (from < total_) {
        if (++sincePoll >= kPollEvery || from == 0) {
            sincePoll = 0;
            if (!mayContinue_()) {
                built_ = false;
                return false;
            }
        }
        std::uint64_t at = 0;
        if (!reader_.FindSignature(from, total_, kIndexed, sizeof kIndexed / sizeof kIndexed[0], &at)) {
            if (at <= from) break;
            from = at;
            sincePoll = kPollEvery;  // a whole window passed
            continue;
        }
        const std::uint8_t* sig = reader_.Bytes(at, 4);
        if (sig && std::memcmp(sig, zip::kSigDataDescriptor, 4) == 0)
            AddDescriptor(at);
        else
            records_.push_back(at);
        from = at + 1;
    }
    std::sort(implied_.begin(), implied_.end());
    implied_.shrink_to_fit();
    records_.shrink_to_fit();
    return true;
}

bool DescriptorIndex::SignedFor(std::uint64_t dataStart, std::vector<std::uint64_t>* positions) {
    positions->clear();
    if (!built_ && !Build()) return false;
    auto it = std::lower_bound(implied_.begin(), implied_.end(), Implied{dataStart, 0});
    for (; it != implied_.end() && it->start == dataStart && positions->size() < kMostPerStart; ++it)
        positions->push_back(it->at);
    return true;
}

bool DescriptorIndex::NextRecord(std::uint64_t from, std::uint64_t* at) {
    if (!built_ && !Build()) return false;
    const auto it = std::lower_bound(records_.begin(), records_.end(), from);
    *at = it == records_.end() ? total_ : *it;
    return true;
}

}  // namespace vrz
