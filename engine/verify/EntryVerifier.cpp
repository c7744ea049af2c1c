#include "verify/EntryVerifier.h"

#include <algorithm>
#include <string>
#include <vector>

#include "codec/EntryDecoder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "verify/RangeDecode.h"
#include "writer/LayoutBlockReader.h"

namespace vrz {

namespace {

constexpr std::size_t kReadWindow = std::size_t{4} << 20;

class Verifier {
public:
    Verifier(JobState& state, const VerifyOptions& options)
        : state_(state),
          options_(options),
          percent_(options.percent ? *options.percent : state.progressPercent),
          reader_(state.scanLayout, kReadWindow) {
        for (const RecoveredEntry& row : state_.entries) total_ += DataLength(row);
    }

    bool Run() {
        percent_ = options_.percentFrom;
        for (RecoveredEntry& row : state_.entries) {
            if (!state_.ScanMayContinue()) return false;
            if (row.check.decodedByScan && state_.ExtrasOf(row).localRecordOverride.empty()) {
                done_ += DataLength(row);
                continue;
            }
            if (!TakeScannedHeader(row) && !ReadHeader(row)) continue;
            if (options_.decode && !Decode(row)) return false;
            done_ += DataLength(row);
            ShowProgress(0);
        }
        percent_ = options_.percentTo;
        return true;
    }

private:
    static std::uint64_t DataLength(const RecoveredEntry& row) { return row.compressedSize; }

    void ShowProgress(std::uint64_t extra) {
        const int span = options_.percentTo - options_.percentFrom;
        const std::uint64_t at = std::min(done_ + extra, total_);
        const int value = total_ == 0 ? options_.percentTo
                                      : options_.percentFrom + static_cast<int>(at * static_cast<std::uint64_t>(span) / total_);
        if (value != percent_.load()) percent_ = value;
    }

    void MarkUnreadable(RecoveredEntry& row) {
        row.check.status = EntryStatus::kNotChecked;
        row.check.reason = CheckReason::kUnreadable;
    }

    // The scan keeps what it read of an entry's own header; only entries it
    // did not read that way (or whose header is rebuilt) are read again.
    bool TakeScannedHeader(RecoveredEntry& row) {
        const bool known = row.check.headerRead && state_.ExtrasOf(row).localRecordOverride.empty();
        EntryCheck fresh;
        if (known) {
            fresh.headerRead = true;
            fresh.method = row.check.method;
            fresh.flags = row.check.flags;
        }
        row.check = fresh;
        if (!known) return false;
        const std::uint64_t tail = std::uint64_t{row.descriptorLength} + row.compressedSize;
        if (tail > row.entryLength - std::min<std::uint64_t>(row.entryLength, zip::kLocalHeaderSize)) {
            row.check = EntryCheck{};
            return false;
        }
        dataStart_ = row.headerOffset + row.entryLength - tail;
        return true;
    }

    // The local header the repair writes: the one found in the source, or
    // the one rebuilt from a central record for an entry whose own was damaged.
    bool ReadHeader(RecoveredEntry& row) {
        const EntryExtras& extras = state_.ExtrasOf(row);
        if (!extras.localRecordOverride.empty())
            return TakeHeader(row, extras.localRecordOverride.data(), extras.localRecordOverride.size(),
                              extras.dataOffset);
        std::uint8_t fixed[zip::kLocalHeaderSize];
        if (row.entryLength < zip::kLocalHeaderSize || !reader_.Read(row.headerOffset, sizeof fixed, fixed) ||
            !std::equal(fixed, fixed + 4, zip::kSigLocalHeader)) {
            MarkUnreadable(row);
            return false;
        }
        const LocalHeader header = ReadLocalHeaderFixed(fixed);
        if (header.HeaderLength() > row.entryLength) {
            MarkUnreadable(row);
            return false;
        }
        record_.assign(fixed, fixed + sizeof fixed);
        record_.resize(zip::kLocalHeaderSize + header.nameLength);
        if (!reader_.Read(row.headerOffset + zip::kLocalHeaderSize, header.nameLength,
                          record_.data() + zip::kLocalHeaderSize)) {
            MarkUnreadable(row);
            return false;
        }
        return TakeHeader(row, record_.data(), record_.size(), row.headerOffset + header.HeaderLength());
    }

    bool TakeHeader(RecoveredEntry& row, const std::uint8_t* record, std::size_t length, std::uint64_t dataStart) {
        const LocalHeader header = ReadLocalHeaderFixed(record);
        if (length < zip::kLocalHeaderSize + std::size_t{header.nameLength} || dataStart < row.headerOffset ||
            dataStart - row.headerOffset > row.entryLength) {
            MarkUnreadable(row);
            return false;
        }
        state_.SetHeaderName(row, std::string_view(reinterpret_cast<const char*>(record) + zip::kLocalHeaderSize,
                                                   header.nameLength));
        row.check.headerRead = true;
        row.check.method = header.method;
        row.check.flags = header.flags;
        dataStart_ = dataStart;
        return true;
    }

    // False only when cancelled.
    bool Decode(RecoveredEntry& row) {
        EntryCheck& check = row.check;
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
        std::unique_ptr<EntryDecoder> decoder = EntryDecoder::Create(check.method, check.flags, row.uncompressedSize);
        if (!decoder) {
            check.status = EntryStatus::kNotChecked;
            check.reason = CheckReason::kMethodNotSupported;
            return true;
        }
        // Output past the stored size is damage; a small stream may decode to terabytes.
        decoder->SetDeclaredSize(row.uncompressedSize);
        const std::uint64_t dataStart = dataStart_;
        std::uint64_t room = row.entryLength - (dataStart - row.headerOffset);
        room -= std::min<std::uint64_t>(room, row.descriptorLength);
        const std::uint64_t length = std::min(row.compressedSize, room);
        std::uint64_t seen = 0;
        RangeDecodeHooks hooks;
        hooks.mayContinue = [this] { return state_.ScanMayContinue(); };
        hooks.advanced = [this, &seen](std::uint64_t n) {
            seen += n;
            ShowProgress(seen);
        };
        const RangeDecodeEnd end = DecodeRange(reader_, dataStart, length, *decoder, hooks);
        if (end == RangeDecodeEnd::kCancelled) return false;
        check.decodedCrc = decoder->Crc32();
        check.decodedSize = decoder->DecodedSize();
        check.status = EntryStatus::kDamaged;
        switch (end) {
            case RangeDecodeEnd::kUnreadable:
                MarkUnreadable(row);
                return true;
            case RangeDecodeEnd::kCorrupt:
                check.reason = decoder->PassedDeclaredSize() ? CheckReason::kLongerThanDeclared
                                                             : CheckReason::kDoesNotDecode;
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

    JobState& state_;
    const VerifyOptions& options_;
    std::atomic<int>& percent_;
    LayoutBlockReader reader_;
    std::vector<std::uint8_t> record_;
    std::uint64_t dataStart_ = 0;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
};

}  // namespace

bool VerifyEntries(JobState& state, const VerifyOptions& options) {
    Verifier verifier(state, options);
    return verifier.Run();
}

}  // namespace vrz
