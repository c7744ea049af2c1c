// What decoding an entry's data said about it. The verifier fills it after
// the scan; the front ends turn status and reason into their own texts.
#pragma once

#include <cstdint>
#include <string>

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
};

struct EntryCheck {
    EntryStatus status = EntryStatus::kUnverified;
    CheckReason reason = CheckReason::kNone;
    std::uint16_t method = 0;
    std::uint16_t flags = 0;
    // The name bytes as the local header holds them: what the repair writes.
    std::string headerName;
    bool headerRead = false;
    // What decoding produced (for a mismatch, the values that disagree).
    std::uint32_t decodedCrc = 0;
    std::uint64_t decodedSize = 0;
    // How far into the entry's data decoding failed, where the decoder can tell.
    bool hasFailureOffset = false;
    std::uint64_t failureOffset = 0;
};

}  // namespace vrz
