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
};

// One past the last kind; counters are kept per kind.
constexpr std::size_t kFindingKindCount = static_cast<std::size_t>(FindingKind::kPartJoinedByEntries) + 1;

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
};

// True for a candidate header the scan refused or cut; false for what it
// merely noted (a central directory stepped over, a central record used).
inline bool IsRefusal(FindingKind kind) {
    return kind != FindingKind::kCentralDirectorySkipped && kind != FindingKind::kRecoveredFromCentral &&
           kind != FindingKind::kCentralRecordMismatch && kind != FindingKind::kStrayPart &&
           kind != FindingKind::kPartJoinedByEntries;
}

}  // namespace vrz
