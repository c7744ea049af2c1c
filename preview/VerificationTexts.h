// What the wizard says about verified entries: the language key of each
// reason, and the lines the completion box adds. Plain C++ with the text
// lookup passed in, so it is tested without a display.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "state/JobState.h"

namespace vrz {

// Language key of a reason's text; empty for kNone.
std::string ReasonTextKey(CheckReason reason);

using TextLookup = std::function<std::string(const std::string& key)>;

// The completion box's lines after its sentence: the output file, and how
// many entries the list below names.
std::string CompletionDetails(const JobState& job, const std::string& outputPath,
                              const TextLookup& text);

// Every damaged entry and every one that could not be checked, each with
// why, then the salvaged beginnings; empty when there is none. The box shows
// it in a scrolled field, however long it is.
std::string CompletionList(const JobState& job, const TextLookup& text);

// Written rows of a status, and every entry written (rows and salvaged
// beginnings); damaged rows the save left out do not count.
std::size_t CountWritten(const JobState& job, EntryStatus status);
std::size_t WrittenEntryCount(const JobState& job);

// A result that is mostly or all damage (damaged entries and salvaged
// beginnings at least half of what was written) is told as a warning.
bool CompletionIsWarning(const JobState& job);

}  // namespace vrz
