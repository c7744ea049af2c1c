// What a scan saw besides the entries it accepted: each candidate header it
// refused or cut, and what it took from surviving central records. Findings
// are data; the front ends turn the kinds into their own texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vrz {

enum class FindingKind {
    kExtentPastEnd,        // the entry's data runs past the end of the bytes that survive
    kNameLengthInvalid,    // name length 0 or a header too short for its name and extra field
    kDescriptorNotFound,   // a streamed entry whose data end could not be found
    kInsideEntryData,      // a header that lies inside another accepted entry's data
    kPartMissing,          // the entry crosses a missing or cut part of a split set
    kUnreadable,           // the bytes could not be read
    kDataDoesNotDecode,    // a streamed entry whose compressed stream is broken before its end
    kCentralDirectorySkipped,  // a central directory (and its end records) stepped over
    kRecoveredFromCentral,     // a damaged local header replaced from its intact central record
    kCentralRecordMismatch,    // a central record that disagrees with the local header it names
    kStrayPart,                // a file named like a part but none of the set's, set aside (name: the file, value: its number)
    kPartJoinedByEntries,      // a part of another size than the set's, joined where its entries line up
    kSizeFieldCorrected,       // a size field the entry's own data refutes: the data decides its end
    kEntryCutAtHeader,         // an unverified entry whose span holds a header of its own: cut before it
    kSwallowingHeaderDropped,  // a header whose name or extra field swallows the next entry, data unverified
    kLocalFieldFromCentral,    // a damaged local field replaced by its intact central record's value
    kNameConflictDecided,      // local and central names differ: the otherwise intact record's name kept
    kHeaderMadeReadable,       // a field readers refuse, written sound (data unchanged)
};

// One past the last kind; counters are kept per kind.
constexpr std::size_t kFindingKindCount = static_cast<std::size_t>(FindingKind::kHeaderMadeReadable) + 1;

// The field a finding decided.
enum class FindingField : std::uint8_t {
    kNone,
    kCompressedSize,
    kUncompressedSize,
    kCrc32,
    kMethod,
    kFlags,
    kVersionNeeded,
    kName,
    kExtraField,
    kModTime,  // date in the high 16 bits, time in the low 16, as MS-DOS words
};

// What decided between the values.
enum class FindingBasis : std::uint8_t {
    kNone,
    kStreamEnd,        // the compressed stream ends there
    kDataVerifies,     // the data decodes and its CRC-32 and size match the winning values
    kNextHeader,       // the span ends where an entry of its own begins
    kCentralRecord,    // the intact central record says so; the data cannot tell
    kReadersRefuse,    // the value is one no reader accepts for this entry
    kOtherRecordDamaged,  // the other record holds values no writer makes; the data cannot tell
};

struct ScanFinding {
    FindingKind kind = FindingKind::kExtentPastEnd;
    // Offset in the scan's source layout (all parts back to back) and the
    // part that holds it.
    std::uint64_t offset = 0;
    std::uint32_t part = 0;
    // The header's name bytes where they could be read; may be empty.
    std::string name;
    // Values that explain the finding (a length, a size that disagrees); 0 when unused.
    std::uint64_t value = 0;
    // For a decided conflict: the field, the value kept and the value given
    // up (otherName for a name), and why.
    FindingField field = FindingField::kNone;
    FindingBasis basis = FindingBasis::kNone;
    std::uint64_t won = 0;
    std::uint64_t lost = 0;
    std::string otherName;
};

// True for a conflict decided in favour of the reading the data confirms,
// and for a field written sound: the entry is kept, mended.
inline bool IsMend(FindingKind kind) {
    return kind == FindingKind::kSizeFieldCorrected || kind == FindingKind::kEntryCutAtHeader ||
           kind == FindingKind::kLocalFieldFromCentral || kind == FindingKind::kNameConflictDecided ||
           kind == FindingKind::kHeaderMadeReadable;
}

// True for a candidate header the scan refused or cut; false for what it
// merely noted (a central directory stepped over, a central record used).
inline bool IsRefusal(FindingKind kind) {
    return kind != FindingKind::kCentralDirectorySkipped && kind != FindingKind::kRecoveredFromCentral &&
           kind != FindingKind::kCentralRecordMismatch && kind != FindingKind::kStrayPart &&
           kind != FindingKind::kPartJoinedByEntries && !IsMend(kind);
}

}  // namespace vrz
