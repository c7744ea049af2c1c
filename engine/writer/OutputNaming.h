// The repaired archive's name and the room it needs: "_fixed" goes before the
// extension, with a number after it when the name is taken.
#pragma once

#include <cstdint>
#include <string>

#include "state/JobState.h"

namespace vrz {

// "/" + the name the output is named after: the archive's own file name, or
// for a split archive the last part's name with its extension made ".zip"
// (".zipx" for ".zx01" parts).
std::string ArchiveFileNameFor(const JobState& state);

// folder + base + "_fixed" + extension, or "_fixed1", "_fixed2", ... when a
// file (or anything else) of that name exists. A name without a dot gets
// "_fixed" at its end. The base is shortened (at a UTF-8 character
// boundary) when the whole name would not fit the folder's name length limit.
std::string ChooseOutputPath(const std::string& folder, const std::string& archiveFileName);

enum class SpaceCheck { kEnough, kTooLittle, kUnknown };

// The bytes the writer will write for the table: every entry copied as
// stored, its central header with a fresh extra field, and the end records.
// A copied local extra field longer than the fresh one is rare; a disk that
// fills up anyway is reported by the writer.
std::uint64_t ExpectedOutputBytes(const JobState& state);

// Compares the room left in folder with what the save will write. kUnknown
// when the file system cannot say; the save then goes on, since a full disk
// is reported by the writer anyway.
SpaceCheck CheckFreeSpaceForOutput(const std::string& folder, std::uint64_t outputBytes);

}  // namespace vrz
