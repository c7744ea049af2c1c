#pragma once

#include <string>
#include <vector>

#include "TempDir.h"
#include "ZipBytes.h"
#include "scan/ScanSingleArchive.h"

namespace vrz::test {

class RecordingReporter : public JobReporter {
public:
    void ReportScanFailure(const std::string& key) override { keys.push_back(key); }
    void ReportSaveFailure(const std::string& key, const std::string&) override { keys.push_back(key); }
    std::vector<std::string> keys;
};

struct ScanResult {
    bool ok = false;
    std::vector<RecoveredEntry> rows;
    std::vector<EntryExtras> extras;  // the scan's side table, by RecoveredEntry::extrasIndex
    std::vector<std::string> names;   // the rows' names, copied out of the ended scan's arena
    std::vector<std::string> reported;

    // The rebuilt local header of row i; empty for a row copied as found.
    std::vector<std::uint8_t> FreshHeader(std::size_t i) const {
        const std::uint32_t at = rows[i].extrasIndex;
        return at < extras.size() ? extras[at].localRecordOverride : std::vector<std::uint8_t>{};
    }

    std::vector<std::string> Names() const { return names; }
};

inline ScanResult ScanBytes(const Bytes& bytes, std::size_t window = SourceReader::kDefaultWindow) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", bytes);
    RecordingReporter reporter;
    ScanOptions options;
    options.windowSize = window;
    ScanResult result;
    result.ok = ScanSingleArchive(state, reporter, options);
    result.rows.assign(state.entries.begin(), state.entries.end());
    result.extras = state.extras;
    for (const RecoveredEntry& row : state.entries) result.names.emplace_back(state.NameOf(row));
    result.reported = reporter.keys;
    return result;
}

// Pads an archive so it is larger than the smallest accepted size.
inline Bytes Padded(Bytes bytes) {
    Append(bytes, Garbage(120, 3));
    return bytes;
}

}  // namespace vrz::test
