// The command line's texts. Failures keep their language keys, so a chosen
// language file still speaks; English is built in for a program copied
// without its Lang folder. Statuses, reasons and findings are the engine's
// codes turned into short English words for listings and JSON.
#pragma once

#include <string>

#include "state/EntryCheck.h"
#include "state/ScanFinding.h"

namespace vrz::cli {

// The language text of key, else the built-in English one, else the key.
std::string Text(const std::string& key);

// "intact", "damaged", "not-checked", "partial", "unverified".
const char* StatusCode(EntryStatus status);
// "crc-mismatch", "encrypted", ... or "" for kNone.
const char* ReasonCode(CheckReason reason);
// Why, in a few English words with the values that explain it.
std::string ReasonText(const EntryCheck& check, std::uint32_t storedCrc, std::uint64_t storedSize);

// "extent-past-end", "descriptor-not-found", ...
const char* FindingCode(FindingKind kind);
std::string FindingText(const ScanFinding& finding);
// The decided field and what decided it, for --json; empty for kNone.
const char* FindingFieldCode(FindingField field);
const char* FindingBasisCode(FindingBasis basis);

// A method's usual name ("Deflate64", "PPMd") or "method N".
std::string MethodName(std::uint16_t method);

}  // namespace vrz::cli
