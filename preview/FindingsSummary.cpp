#include "preview/FindingsSummary.h"

#include "scan/PartNames.h"
#include "text/NameDisplay.h"

namespace vrz {

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Filled(std::string format, const std::string& text, std::uint64_t number) {
    const std::size_t s = format.find("%s");
    if (s != std::string::npos) format.replace(s, 2, text);
    const std::size_t d = format.find("%d");
    if (d != std::string::npos) format.replace(d, 2, std::to_string(number));
    return format;
}

// "1 …" and "N …" read differently in every language, so each has its key.
std::string CountLine(std::uint64_t count, const std::string& oneKey, const std::string& manyKey,
                      const TextLookup& text) {
    return count == 1 ? text(oneKey) : Filled(text(manyKey), "", count);
}

std::string TwoDigits(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

// The parts that should sit between two parts that do not join: named when
// both carry numbers, else "after <the part before>".
std::string MissingBetween(const std::string& before, const std::string& after, bool* cutShort) {
    const PartName a = ClassifyPartName(FileNameOf(before));
    const PartName b = ClassifyPartName(FileNameOf(after));
    *cutShort = false;
    if (a.family == PartFamily::kNone || a.family != b.family || a.isFinal) return FileNameOf(before);
    const std::string prefix = a.family == PartFamily::kZip ? ".z" : a.family == PartFamily::kZipx ? ".zx" : "";
    auto nameOf = [&](int number) {
        if (a.family == PartFamily::kVolumes) {
            std::string digits = std::to_string(number);
            while (digits.size() < 3) digits.insert(0, "0");
            return FileNameOf(before).substr(0, FileNameOf(before).size() - 3) + digits;
        }
        return a.base + prefix + TwoDigits(number);
    };
    if (!b.isFinal && b.number == a.number + 1) {
        // Nothing is missing between them: the first one is short.
        *cutShort = true;
        return FileNameOf(before);
    }
    if (!b.isFinal && b.number == a.number + 2) return nameOf(a.number + 1);
    if (!b.isFinal) return nameOf(a.number + 1) + " - " + nameOf(b.number - 1);
    return nameOf(a.number + 1) + " ...";
}

}  // namespace

std::string FindingKindTextKey(FindingKind kind) {
    return "IDS_FINDING_KIND" + std::to_string(static_cast<int>(kind));
}

std::vector<std::string> FindingLines(const JobState& job, const TextLookup& text) {
    std::vector<std::string> lines;
    const FindingLog& log = job.findings;
    const std::uint64_t cut = log.Count(FindingKind::kExtentPastEnd);
    if (cut > 0) lines.push_back(CountLine(cut, "IDS_FINDING_CUT_ONE", "IDS_FINDING_CUT", text));

    // Each break in the split set, with the entries that crossed it.
    const std::vector<SourcePart>& parts = job.scanLayout.Parts();
    std::size_t gaps = 0;
    for (std::size_t i = 1; i < parts.size(); ++i) gaps += parts[i].continuesPrevious ? 0 : 1;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].continuesPrevious) continue;
        std::uint64_t lost = 0;
        if (gaps == 1) {
            lost = log.Count(FindingKind::kPartMissing);
        } else {
            for (const ScanFinding& finding : log) {
                lost += finding.kind == FindingKind::kPartMissing && finding.part >= runStart && finding.part < i;
            }
        }
        bool cutShort = false;
        const std::string names = MissingBetween(parts[i - 1].path, parts[i].path, &cutShort);
        std::string key = cutShort ? "IDS_FINDING_PART_CUT" : "IDS_FINDING_PART_MISSING";
        if (lost == 1) key += "_ONE";
        lines.push_back(Filled(text(key), NameForDisplay(names), lost));
        runStart = i;
    }

    // Files named like parts that the set does not hold.
    for (const ScanFinding& finding : log) {
        if (finding.kind == FindingKind::kStrayPart) {
            lines.push_back(Filled(text("IDS_FINDING_STRAY_PART"), NameForDisplay(FileNameOf(finding.name)), 0));
        }
    }

    std::uint64_t mended = log.Count(FindingKind::kRecoveredFromCentral);
    for (std::size_t kind = 0; kind < kFindingKindCount; ++kind) {
        if (IsMend(static_cast<FindingKind>(kind))) mended += log.Count(static_cast<FindingKind>(kind));
    }
    if (mended > 0) lines.push_back(Filled(text("IDS_FINDING_FROM_CENTRAL"), "", mended));

    // Refusals the lines above did not already count.
    const std::uint64_t toldWithParts = gaps > 0 ? log.Count(FindingKind::kPartMissing) : 0;
    const std::uint64_t refused = log.RefusalCount() - cut - toldWithParts;
    if (refused > 0) lines.push_back(CountLine(refused, "IDS_FINDING_REFUSED_ONE", "IDS_FINDING_REFUSED", text));
    return lines;
}

std::vector<FindingDetail> FindingDetails(const JobState& job, const TextLookup& text) {
    std::vector<FindingDetail> details;
    details.reserve(job.findings.size());
    const std::vector<SourcePart>& parts = job.scanLayout.Parts();
    for (const ScanFinding& finding : job.findings) {
        FindingDetail detail;
        detail.offset = finding.offset;
        if (finding.part < parts.size()) detail.part = NameForDisplay(FileNameOf(parts[finding.part].path));
        detail.kind = text(FindingKindTextKey(finding.kind));
        detail.name = NameForDisplay(finding.name);
        details.push_back(std::move(detail));
    }
    return details;
}

}  // namespace vrz
