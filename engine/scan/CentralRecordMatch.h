// Puts what survives of central directories to use after a scan. Each intact
// central record is matched to the entry found at its local header's offset
// with the same name: the entry then keeps the record's host, attributes,
// comment and the extra blocks only the record carries. A record whose local
// header is damaged but whose data is in place and checks against its CRC-32
// brings its entry back with a fresh local header; headers found inside that
// entry's data were never entries of their own and leave the table.
#pragma once

#include <unordered_map>
#include <vector>

#include "io/SourceReader.h"
#include "scan/CentralDirectoryWalk.h"
#include "scan/DecodeMemo.h"
#include "state/JobState.h"

namespace vrz {

class CentralRecordMatcher {
public:
    // memo is the scan's: data the scan decoded already is not decoded again.
    CentralRecordMatcher(JobState& state, SourceReader& reader, DecodeMemo& memo)
        : state_(state), reader_(reader), memo_(memo) {}

    // False when cancelled.
    bool Apply(const std::vector<WalkedDirectory>& directories);

private:
    struct Candidate {
        const CentralRecord* record;
        std::uint64_t headerOffset;
    };

    std::vector<std::uint64_t> HeaderOffsetsFor(const WalkedDirectory& directory, const CentralRecord& record) const;
    bool NameBytesAre(std::uint64_t offset, const std::string& name);
    bool HeaderNameIs(std::uint64_t headerOffset, const std::string& name);
    bool RowNameIs(const RecoveredEntry& row, std::uint64_t headerOffset, const std::string& name);
    // dataEnd, where known, is where the entry must end (the next entry's
    // header): the data then may also lie right before it.
    bool Recover(const CentralRecord& record, std::uint64_t headerOffset, RecoveredEntry* row, bool* cancelled,
                 std::uint64_t dataEnd = 0);
    bool DataChecks(const CentralRecord& record, std::uint64_t dataOffset, bool* cancelled);
    void MergeRecovered(std::vector<RecoveredEntry> recovered);
    void NameAgain();
    // Whether the data can be checked against the record's CRC-32 at all.
    static bool CanCheck(const CentralRecord& record);
    // Values in the record's own fields that no writer makes; its name is
    // judged beside the local header's (the record's own when there is none).
    static bool LooksDamaged(const CentralRecord& record, const std::string& localName);
    // A record of the directory shows damage, or is refuted by the local
    // header at its offset (a damaged-looking name, sizes the span refutes).
    bool DirectoryShowsDamage(const WalkedDirectory& directory,
                              const std::unordered_map<std::uint64_t, std::size_t>& rowAt);
    // True when a record begins at end, or the surviving bytes end there.
    bool RecordFollows(std::uint64_t end);
    // The same, or for a streamed entry a record after a descriptor's
    // length: the descriptor itself may be what was damaged.
    bool EndsAtRecord(const CentralRecord& record, std::uint64_t end);
    // A row at a record's offset under another name is the record's entry
    // when their CRC-32 agree or the data check with the record.
    bool SameEntry(const CentralRecord& record, const RecoveredEntry& row, bool* cancelled);
    // Local and central records disagree on the row at index: the reading
    // the data confirm wins, the central one where the data cannot tell.
    // False when cancelled.
    bool MendFromCentral(const CentralRecord& record, std::size_t index, bool* renamed);

    JobState& state_;
    SourceReader& reader_;
    DecodeMemo& memo_;
    std::vector<std::uint8_t> nameBytes_;
    std::vector<std::uint8_t> localRecord_;
    // The record being applied is in the directory readers of the archive
    // take (its end record points at it) and none of its records shows
    // damage: what readers check an entry against, and likely sound.
    bool readersTakeRecord_ = false;
};

// Copies the record's host, attributes, comment and central-only extra blocks
// into row (the last two into the state's side table, when there are any).
void TakeCentralAttributes(const CentralRecord& record, const std::uint8_t* localExtra, std::size_t localExtraLength,
                           JobState& state, RecoveredEntry& row);

// The local header (30 bytes, name, extra field without any ZIP64 block) that
// a recovered entry is written with; its sizes stand in it, so no descriptor.
std::vector<std::uint8_t> LocalRecordFromCentral(const CentralRecord& record);

}  // namespace vrz
