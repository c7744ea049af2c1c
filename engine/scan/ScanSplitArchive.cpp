#include "scan/ScanSplitArchive.h"

#include "io/FileIo.h"
#include "scan/PartDiscovery.h"
#include "scan/SplitJoins.h"

namespace vrz {

namespace {

void NoteStrays(JobState& state, const DiscoveredSet& set) {
    for (const DiscoveredPart& stray : set.strays) {
        ScanFinding finding;
        finding.kind = FindingKind::kStrayPart;
        finding.name = stray.path;
        finding.value = static_cast<std::uint64_t>(stray.number);
        state.findings.Add(std::move(finding));
    }
}

void NoteJoins(JobState& state, const DiscoveredSet& set, const std::vector<EvidenceJoin>& joins) {
    for (const EvidenceJoin& join : joins) {
        if (join.length == set.parts[join.part].size && set.parts[join.part].size == set.splitSize) continue;
        ScanFinding finding;
        finding.kind = FindingKind::kPartJoinedByEntries;
        finding.name = set.parts[join.part].path;
        finding.value = join.length;
        // The parts lie first in the layout, in order; bytes set apart follow them.
        finding.offset = state.scanLayout.Parts()[join.part].start;
        finding.part = static_cast<std::uint32_t>(join.part);
        state.findings.Add(std::move(finding));
    }
}

}  // namespace

bool ScanSplitArchive(JobState& state, JobReporter& reporter, const ScanOptions& options) {
    state.progressPercent = 0;
    state.scanSourcePath = state.sourcePath;
    state.scanLayout.Clear();

    const DiscoveredSet set = DiscoverSplitSet(state.sourcePath, state.splitIsZipx);
    for (const DiscoveredPart& part : set.parts) {
        InputFile file;
        std::uint64_t size = 0;
        if (!file.Open(part.path) || !file.Size(&size)) {
            state.progressPercent = 100;
            reporter.ReportScanFailureOn("IDS_FAILEDFILE", part.path, file.LastError());
            return false;
        }
    }
    LayOutSplitSet(state.scanLayout, set.parts, {});
    NoteStrays(state, set);
    ScanOptions split = options;
    split.paceProgress = true;
    if (!ScanLayout(state, reporter, split)) return false;

    // Parts of another size are joined where the entries found show how; the
    // set is then scanned again with those joins.
    const std::vector<EvidenceJoin> joins = JoinsShownByEntries(state, set);
    if (!state.ScanMayContinue()) return false;
    if (joins.empty()) return true;
    state.ResetTable();
    LayOutSplitSet(state.scanLayout, set.parts, joins);
    NoteStrays(state, set);
    NoteJoins(state, set, joins);
    return ScanLayout(state, reporter, split);
}

}  // namespace vrz
