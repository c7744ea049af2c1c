// Where a local header's entry really ends, when its sizes are in doubt. A
// header whose claimed end is followed by the next record is taken at its
// word; otherwise the data decide: a compressed stream ends where it ends
// (a size field that says otherwise is damaged), and stored data end where
// their CRC-32 checks (at the other size field or before a header found in
// them). What neither confirms is taken as claimed but gives way to any
// entry found inside it.
#pragma once

#include <cstdint>
#include <vector>

#include "io/SourceReader.h"
#include "records/LocalHeader.h"
#include "scan/DescriptorIndex.h"
#include "scan/StreamedEntryEnd.h"
#include "state/EntryCheck.h"
#include "state/JobState.h"
#include "state/ScanFinding.h"
#include "state/ScanWork.h"

namespace vrz {

struct SpanDecision {
    enum class Verdict {
        kAsClaimed,   // the header's compressed size stands
        kCorrected,   // the data end elsewhere: dataLength
        kDoubtful,    // unconfirmed: as claimed, but entries found inside win
        kCut,         // runs past the bytes that survive and nothing ends it sooner
        kCancelled,
    } verdict = Verdict::kAsClaimed;
    std::uint64_t dataLength = 0;
    FindingBasis basis = FindingBasis::kNone;
    // Set when the whole of the data was decoded (or summed, for stored
    // data) on the way: what came out, for the row's check.
    bool decoded = false;
    bool verifies = false;
    std::uint32_t decodedCrc = 0;
    std::uint64_t decodedSize = 0;
};

class SpanEvidence {
public:
    SpanEvidence(SourceReader& reader, StreamedEndHooks hooks, std::uint64_t total, DescriptorIndex& index,
                 ScanWork& work)
        : reader_(reader),
          hooks_(std::move(hooks)),
          index_(index),
          work_(work),
          budget_(2 * total + kBudgetSlack),
          searchBudget_(2 * total + kSearchSlack) {}

    // For a header without data descriptor whose data start at dataStart.
    SpanDecision Decide(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd);

    // True when a record begins at end, or the bytes end there.
    bool RecordFollows(std::uint64_t end, std::uint64_t runEnd);

private:
    // Decoding on doubt is bounded by a few times the input, so that
    // hostile headers cannot make the scan quadratic.
    static constexpr std::uint64_t kBudgetSlack = std::uint64_t{64} << 20;
    // Searching spans for records reads the bytes itself until it has read
    // twice the input; past that, every span asks the record index, which
    // reads the input once (many doubtful spans that each reach the end of
    // the file would otherwise cost the square of it).
    static constexpr std::uint64_t kSearchSlack = std::uint64_t{256} << 10;

    SpanDecision DecodeToStreamEnd(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd,
                                   bool past);
    SpanDecision StoredLengths(const LocalHeader& header, std::uint64_t dataStart, std::uint64_t runEnd, bool past);
    std::vector<std::uint64_t> HeaderSignaturesIn(std::uint64_t from, std::uint64_t to, bool* cancelled);
    std::vector<std::uint64_t> IndexedSignaturesIn(std::uint64_t from, std::uint64_t to, bool* cancelled);

    SourceReader& reader_;
    StreamedEndHooks hooks_;
    DescriptorIndex& index_;
    ScanWork& work_;
    std::uint64_t budget_;
    std::uint64_t searchBudget_;
};

// Rows accepted on doubt (their header offsets, ascending) give way to the
// rows found inside their span: each is cut before the first of them, or
// dropped when that one lies inside its header. Every decision is a finding.
void GiveWayToInnerEntries(JobState& state, SourceReader& reader, const std::vector<std::uint64_t>& doubtful);

// Fills row.check with what decoding during the scan found, so the
// verification need not decode the same bytes again.
void TakeScanDecode(JobState& state, const SpanDecision& span, const LocalHeader& header, RecoveredEntry& row);

}  // namespace vrz
