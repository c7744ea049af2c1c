// What decoding an entry's data said about it. The verifier fills it after
// the scan; the front ends turn status and reason into their own texts.
#pragma once

#include <cstdint>

namespace vrz {

enum class EntryStatus : std::uint8_t {
    kUnverified,  // no verification ran
    kIntact,      // decoded; CRC-32 and size match the stored ones
    kDamaged,     // does not decode, or CRC-32 or size differ
    kNotChecked,  // encrypted, or a method this build cannot decode
    kPartial,     // a cut entry whose decodable beginning was saved
};

enum class CheckReason : std::uint8_t {
    kNone,
    kCrcMismatch,         // decoded CRC-32 differs from the stored one
    kSizeMismatch,        // decoded size differs from the stored one
    kDoesNotDecode,       // the compressed stream is broken (failureOffset)
    kStreamCutShort,      // the data ends before the compressed stream does
    kEncrypted,           // flag bit 0 or the AES method
    kMethodNotSupported,  // method says which
    kUnreadable,          // the source could not be read
    kCutOff,              // partial: the entry ran past the end of the surviving bytes
    kLongerThanDeclared,  // decodes to more than the stored size; decoding stopped there
};

// The whole result of checking one entry, as the scan and the verifier fill
// it and the report hands it on. A row of the entry table keeps it as a
// RowCheck (below); JobState::SetCheck and CheckOf convert.
struct EntryCheck {
    // What decoding produced (for a mismatch, the values that disagree).
    std::uint64_t decodedSize = 0;
    // How far into the entry's data decoding failed, where the decoder can tell.
    std::uint64_t failureOffset = 0;
    std::uint32_t decodedCrc = 0;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    EntryStatus status = EntryStatus::kUnverified;
    CheckReason reason = CheckReason::kNone;
    // The local header was read; its name bytes (what the repair writes) are
    // then the row's headerName.
    bool headerRead = false;
    bool hasFailureOffset = false;
    // The scan already decoded the whole of the entry's data (to find where
    // it ends, or to settle a conflict) and filled status, reason, decoded
    // size and CRC: the verification keeps that result instead of decoding
    // the same bytes again.
    bool decodedByScan = false;
};

// A RowCheck's detailIndex when the row has no side-table entry.
constexpr std::uint32_t kNoCheckDetail = 0xFFFFFFFFu;

// What every row keeps of its EntryCheck: 12 bytes instead of 32. The
// decoded size and CRC-32 of an intact entry are its stored ones, and a
// row never checked decoded nothing, so only the few rows whose values say
// more (a mismatch, a failure offset) keep them, in JobState::checkDetails.
struct RowCheck {
    std::uint32_t detailIndex = kNoCheckDetail;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    EntryStatus status = EntryStatus::kUnverified;
    CheckReason reason = CheckReason::kNone;
    // As in EntryCheck.
    bool headerRead = false;
    bool decodedByScan = false;
};

// The values of an EntryCheck a RowCheck leaves to the side table.
struct CheckDetail {
    std::uint64_t decodedSize = 0;
    std::uint64_t failureOffset = 0;
    std::uint32_t decodedCrc = 0;
    bool hasFailureOffset = false;
};

}  // namespace vrz
