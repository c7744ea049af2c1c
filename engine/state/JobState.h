// The state one repair job shares between its steps: the choice of source,
// the recovered entry table, progress and cancel flags, and the save state.
// The worker writes the table and the percentages; the user-interface thread
// writes the cancel flags. Values read across threads are atomics.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/SourceLayout.h"
#include "state/CommitPoint.h"
#include "state/EntryTable.h"
#include "state/FindingLog.h"
#include "state/NameArena.h"
#include "state/PartialEntry.h"
#include "state/PauseGate.h"
#include "state/RecoveredEntry.h"
#include "state/ScanFinding.h"
#include "state/ScanWork.h"

namespace vrz {

struct JobState {
    // Source choice.
    std::string sourcePath;  // the archive file, or the folder holding the parts
    bool splitMode = false;
    bool splitIsZipx = false;
    std::string lastPartName;  // "/" + file name of the last part the folder check examined

    // Scan.
    std::atomic<bool> jobRunning{true};
    std::string scanSourcePath;
    SourceLayout scanLayout;  // the files the scan walked, for the writers
    std::uint64_t bytesScanned = 0;
    std::uint64_t totalPartsSize = 0;
    std::atomic<int> progressPercent{0};
    // Progress of the verification that follows a scan; -1 until it starts.
    std::atomic<int> verifyPercent{-1};
    int shownPercent = 0;
    bool scanFailed = false;
    bool scannedSplit = false;
    std::uint64_t scanPosition = 0;
    std::uint64_t windowStart = 0;
    EntryTable entries;
    // The rare variable-size fields of rows, by RecoveredEntry::extrasIndex.
    std::vector<EntryExtras> extras;
    // What checking found of the few rows whose decoded values say more
    // than their stored ones, by RowCheck::detailIndex. Threads that check
    // rows at once add to it under one lock.
    std::vector<CheckDetail> checkDetails;
    // The names of rows, by RecoveredEntry::name and nameForm.
    NameArena names;
    // Candidate headers the scan refused or cut, and what it took from central records.
    FindingLog findings;
    // What the scan spent; counted for tests and benchmarks.
    ScanWork scanWork;
    // The comment of the last end record that survives, kept in the output.
    std::string archiveComment;
    // Cut entries a salvage saves the beginning of; written after the rows.
    std::vector<PartialEntry> partials;

    // Save.
    std::atomic<int> savePercent{0};
    std::atomic<bool> saveAborted{false};
    std::string destinationFolder;
    std::string archiveFileName;
    std::string outputPath;
    std::string tempCentralPath;
    // Rows a verification found damaged are left out of the output (and
    // the report says they were not written).
    bool skipDamaged = false;
    float recoveredSizeKB = 0.0f;
    // Keep the readable beginnings of cut entries (state.partials), as the
    // save step chose before its worker starts.
    bool salvage = false;
    // Decides between a late abort and a save about to name its output.
    CommitPoint saveCommit;

    // Holds a worker at its next poll while the user answers a question.
    PauseGate pauseGate;

    std::size_t entryCount() const { return entries.size(); }

    // A row's table name, made from the stored header name when it is the
    // "#Lost Files/" form of it, so a copy rather than a view.
    std::string NameOf(const RecoveredEntry& row) const;
    // The name bytes of the row's local header, what the repair writes; the
    // table name until a header was read. Views stay valid until ResetTable;
    // code that keeps a name beyond the state copies it.
    std::string_view HeaderNameOf(const RecoveredEntry& row) const;
    bool IsFolder(const RecoveredEntry& row) const;
    // Both names at once, storing one where the table name is the header's
    // or its "#Lost Files/" form.
    void SetNames(RecoveredEntry& row, std::string_view tableName, std::string_view headerName);
    // The table name alone; the header's name stays when one was read.
    void SetName(RecoveredEntry& row, std::string_view tableName);
    // The header's name alone; the table name stays.
    void SetHeaderName(RecoveredEntry& row, std::string_view headerName);

    // The row's check whole, as SetCheck was given it.
    EntryCheck CheckOf(const RecoveredEntry& row) const;
    // Keeps check in the row, and in checkDetails what the row cannot say itself.
    void SetCheck(RecoveredEntry& row, const EntryCheck& check);

    // The row's comment, central-only extra and rebuilt header; all empty
    // for a row without any.
    const EntryExtras& ExtrasOf(const RecoveredEntry& row) const;
    // The same, for filling in: gives the row its side-table slot first.
    EntryExtras& ExtrasFor(RecoveredEntry& row);

    // Empties the table and the scan cursor before a new scan.
    void ResetTable();

    // Poll points of the scans: wait while paused, then say whether to go on.
    bool ScanMayContinue();
    // Poll points of the writers: a save also stops when the user aborted it.
    bool SaveMayContinue();

private:
    // The header's name as stored: the table name for a row that stores one.
    std::string_view StoredHeaderName(const RecoveredEntry& row) const;
};

}  // namespace vrz
