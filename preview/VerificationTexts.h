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

// The completion box's lines after its sentence: the output file, then up to
// ten damaged entries and up to ten that could not be checked, each with why.
std::string CompletionDetails(const JobState& job, const std::string& outputPath,
                              const TextLookup& text);

}  // namespace vrz
