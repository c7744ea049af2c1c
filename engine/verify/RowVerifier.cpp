#include "verify/RowVerifier.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include "codec/EntryDecoder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "verify/RangeDecode.h"

namespace vrz {

namespace {

// One decode block (see RangeDecode): each read fills the window once, and
// a row of small entries shares it. Several threads each hold one.
constexpr std::size_t kReadWindow = std::size_t{1} << 20;

void MarkUnreadable(EntryCheck& check) {
    check.status = EntryStatus::kNotChecked;
    check.reason = CheckReason::kUnreadable;
}

}  // namespace

bool KeepsScanResult(const JobState& state, const RecoveredEntry& row) {
    return row.check.decodedByScan && state.ExtrasOf(row).localRecordOverride.empty();
}

RowVerifier::RowVerifier(JobState& state, bool decode, std::mutex& namesLock)
    : state_(state), decode_(decode), namesLock_(namesLock), reader_(state.scanLayout, kReadWindow) {}

bool RowVerifier::Verify(RecoveredEntry& row, const RowVerifyHooks& hooks) {
    if (KeepsScanResult(state_, row)) return true;
    const bool headerTaken = TakeScannedHeader(row) || ReadHeader(row);
    const bool finished = !headerTaken || !decode_ || Decode(row, hooks);
    // A cancelled row keeps what was found of it so far, as unverified.
    const std::lock_guard<std::mutex> lock(namesLock_);
    state_.SetCheck(row, check_);
    return finished;
}

// The scan keeps what it read of an entry's own header; only entries it
// did not read that way (or whose header is rebuilt) are read again.
bool RowVerifier::TakeScannedHeader(RecoveredEntry& row) {
    const bool known = row.check.headerRead && state_.ExtrasOf(row).localRecordOverride.empty();
    EntryCheck fresh;
    if (known) {
        fresh.headerRead = true;
        fresh.method = row.check.method;
        fresh.flags = row.check.flags;
    }
    check_ = fresh;
    if (!known) return false;
    const std::uint64_t tail = std::uint64_t{row.descriptorLength} + row.compressedSize;
    if (tail > row.entryLength - std::min<std::uint64_t>(row.entryLength, zip::kLocalHeaderSize)) {
        check_ = EntryCheck{};
        return false;
    }
    dataStart_ = row.headerOffset + row.entryLength - tail;
    return true;
}

// The local header the repair writes: the one found in the source, or
// the one rebuilt from a central record for an entry whose own was damaged.
bool RowVerifier::ReadHeader(RecoveredEntry& row) {
    const EntryExtras& extras = state_.ExtrasOf(row);
    if (!extras.localRecordOverride.empty())
        return TakeHeader(row, extras.localRecordOverride.data(), extras.localRecordOverride.size(), extras.dataOffset);
    std::uint8_t fixed[zip::kLocalHeaderSize];
    if (row.entryLength < zip::kLocalHeaderSize || !reader_.Read(row.headerOffset, sizeof fixed, fixed) ||
        !std::equal(fixed, fixed + 4, zip::kSigLocalHeader)) {
        MarkUnreadable(check_);
        return false;
    }
    const LocalHeader header = ReadLocalHeaderFixed(fixed);
    if (header.HeaderLength() > row.entryLength) {
        MarkUnreadable(check_);
        return false;
    }
    record_.assign(fixed, fixed + sizeof fixed);
    record_.resize(zip::kLocalHeaderSize + header.nameLength);
    if (!reader_.Read(row.headerOffset + zip::kLocalHeaderSize, header.nameLength,
                      record_.data() + zip::kLocalHeaderSize)) {
        MarkUnreadable(check_);
        return false;
    }
    return TakeHeader(row, record_.data(), record_.size(), row.headerOffset + header.HeaderLength());
}

bool RowVerifier::TakeHeader(RecoveredEntry& row, const std::uint8_t* record, std::size_t length,
                             std::uint64_t dataStart) {
    const LocalHeader header = ReadLocalHeaderFixed(record);
    if (length < zip::kLocalHeaderSize + std::size_t{header.nameLength} || dataStart < row.headerOffset ||
        dataStart - row.headerOffset > row.entryLength) {
        MarkUnreadable(check_);
        return false;
    }
    {
        const std::lock_guard<std::mutex> lock(namesLock_);
        state_.SetHeaderName(row, std::string_view(reinterpret_cast<const char*>(record) + zip::kLocalHeaderSize,
                                                   header.nameLength));
    }
    check_.headerRead = true;
    check_.method = header.method;
    check_.flags = header.flags;
    dataStart_ = dataStart;
    return true;
}

// An intact deflated entry that fits the read window and the whole-inflate
// buffer, inflated in one call. Anything else (too large, cut, damaged, a
// CRC-32 that differs) is left to the streaming decoder, which says where
// and why; true only when the entry was found intact.
bool RowVerifier::InflateWhole(RecoveredEntry& row, std::uint64_t length, const RowVerifyHooks& hooks) {
    if (length == 0 || length > kReadWindow || row.uncompressedSize > WholeInflater::kMaxOutput) return false;
    if (hooks.mayContinue && !hooks.mayContinue()) return false;
    const std::uint8_t* data = reader_.ViewWhole(dataStart_, static_cast<std::size_t>(length));
    WholeInflater::Result result;
    if (!data || !whole_.Inflate(data, static_cast<std::size_t>(length), row.uncompressedSize, &result)) return false;
    if (result.produced != row.uncompressedSize || result.crc32 != row.crc32) return false;
    check_.decodedCrc = result.crc32;
    check_.decodedSize = result.produced;
    check_.status = EntryStatus::kIntact;
    if (hooks.advanced) hooks.advanced(length);
    return true;
}

// False only when cancelled.
bool RowVerifier::Decode(RecoveredEntry& row, const RowVerifyHooks& hooks) {
    EntryCheck& check = check_;
    if ((check.flags & zip::kFlagEncrypted) != 0 || check.method == method::kAes) {
        check.status = EntryStatus::kNotChecked;
        check.reason = CheckReason::kEncrypted;
        return true;
    }
    // An empty entry is empty whatever method its header names.
    if (row.compressedSize == 0 && row.uncompressedSize == 0 && row.crc32 == 0) {
        check.status = EntryStatus::kIntact;
        return true;
    }
    const std::uint64_t dataStart = dataStart_;
    std::uint64_t room = row.entryLength - (dataStart - row.headerOffset);
    room -= std::min<std::uint64_t>(room, row.descriptorLength);
    const std::uint64_t length = std::min(row.compressedSize, room);
    if (check.method == method::kDeflate && InflateWhole(row, length, hooks)) return true;
    std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(check.method, check.flags, row.uncompressedSize);
    if (!decoder) {
        check.status = EntryStatus::kNotChecked;
        check.reason = CheckReason::kMethodNotSupported;
        return true;
    }
    // Output past the stored size is damage; a small stream may decode to terabytes.
    decoder->SetDeclaredSize(row.uncompressedSize);
    RangeDecodeHooks rangeHooks;
    rangeHooks.mayContinue = hooks.mayContinue;
    rangeHooks.advanced = hooks.advanced;
    const RangeDecodeEnd end = DecodeRange(reader_, dataStart, length, *decoder, rangeHooks);
    if (end == RangeDecodeEnd::kCancelled) return false;
    check.decodedCrc = decoder->Crc32();
    check.decodedSize = decoder->DecodedSize();
    check.status = EntryStatus::kDamaged;
    switch (end) {
        case RangeDecodeEnd::kUnreadable:
            MarkUnreadable(check_);
            return true;
        case RangeDecodeEnd::kCorrupt:
            check.reason =
                decoder->PassedDeclaredSize() ? CheckReason::kLongerThanDeclared : CheckReason::kDoesNotDecode;
            check.hasFailureOffset = true;
            check.failureOffset = decoder->FailureOffset();
            return true;
        case RangeDecodeEnd::kRanOut:
            if (decoder->HasOwnEnd()) {
                check.reason = CheckReason::kStreamCutShort;
                check.hasFailureOffset = true;
                check.failureOffset = length;
                return true;
            }
            break;
        default:
            break;
    }
    if (check.decodedSize != row.uncompressedSize)
        check.reason = CheckReason::kSizeMismatch;
    else if (check.decodedCrc != row.crc32)
        check.reason = CheckReason::kCrcMismatch;
    else
        check.status = EntryStatus::kIntact;
    return true;
}

}  // namespace vrz
