#include "ReportListing.h"

#include <cinttypes>
#include <cstdio>

#include "CliTexts.h"
#include "EntryLines.h"
#include "TextEscape.h"
#include "text/NameDisplay.h"

namespace vrz::cli {

namespace {

// The summary names at most this many entries per status.
constexpr std::size_t kNamesPerStatus = 10;

std::string Plural(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string NameList(const JobReport& report, EntryStatus status, bool withReason) {
    std::string out;
    std::size_t shown = 0;
    std::size_t total = 0;
    for (std::size_t i = 0; i < report.EntryCount(); ++i) {
        const ReportedEntry e = report.Entry(i);
        if (!e.written || e.check.status != status) continue;
        ++total;
        if (shown == kNamesPerStatus) continue;
        if (shown++ > 0) out += ", ";
        out += PrintableName(e.writtenName);
        if (withReason) out += ": " + ReasonText(e.check, e.crc32, e.uncompressedSize);
    }
    if (total > shown) out += ", and " + std::to_string(total - shown) + " more";
    return out;
}

}  // namespace

std::string PrintableName(std::string_view nameBytes) { return EscapeControls(NameForDisplay(nameBytes)); }

std::string SummaryLine(const JobReport& report, const std::string& head) {
    std::string line = head;
    if (!report.Verified()) return line;
    line += ": " + std::to_string(report.Count(EntryStatus::kIntact)) + " intact";
    const std::size_t damaged = report.Count(EntryStatus::kDamaged);
    if (damaged > 0) line += ", " + std::to_string(damaged) + " damaged (" + NameList(report, EntryStatus::kDamaged, false) + ")";
    const std::size_t unchecked = report.Count(EntryStatus::kNotChecked);
    if (unchecked > 0)
        line += ", " + std::to_string(unchecked) + " not checked (" + NameList(report, EntryStatus::kNotChecked, true) + ")";
    const std::size_t partial = report.Count(EntryStatus::kPartial);
    if (partial > 0) line += ", " + std::to_string(partial) + " partial (" + NameList(report, EntryStatus::kPartial, true) + ")";
    const std::size_t left = report.EntryCount() - report.WrittenCount();
    if (left > 0) line += "; " + Plural(left, "damaged entry", "damaged entries") + " left out";
    return line;
}

void PrintListing(const JobReport& report) {
    if (report.Verified())
        std::printf("%-8s  %14s  %14s  %-11s  %s\n", "CRC-32", "Compressed", "Size", "Status", "Name");
    else
        std::printf("%-8s  %14s  %14s  %s\n", "CRC-32", "Compressed", "Size", "Name");
    {
        // Formatted by hand into one buffer: the listing of millions of entries
        // must cost little beside the scan.
        LineBuffer lines(stdout);
        for (std::size_t i = 0; i < report.EntryCount(); ++i) {
            const ReportedEntry e = report.Entry(i);
            const std::uint64_t size = e.check.status == EntryStatus::kPartial ? e.recoveredBytes : e.uncompressedSize;
            AppendEntryLine(lines.Text(), e.crc32, e.compressedSize, size,
                            report.Verified() ? StatusCode(e.check.status) : nullptr, PrintableName(e.writtenName));
            lines.MaybeFlush();
        }
    }
    std::printf("%s\n", SummaryLine(report, Plural(report.EntryCount(), "entry", "entries")).c_str());
    PrintFindingsLine(report);
}

void PrintFindingsLine(const JobReport& report) {
    // A file named like a part that the set's own records disown: say which.
    for (const ScanFinding& f : report.Findings()) {
        if (f.kind != FindingKind::kStrayPart) continue;
        const std::string which = f.value == 0 ? "the final part" : "part " + std::to_string(f.value);
        std::printf("%s: set aside, it is not %s of the set\n", PrintableName(f.name).c_str(), which.c_str());
    }
    const std::uint64_t refused = report.Findings().RefusalCount();
    if (refused > 0)
        std::printf("%s refused or cut (see --json for offsets and reasons)\n",
                    Plural(refused, "candidate header", "candidate headers").c_str());
    const std::uint64_t mended = report.Findings().MendCount();
    if (mended > 0)
        std::printf("%s decided by the data or the central record (see --json for fields and values)\n",
                    Plural(mended, "conflicting field", "conflicting fields").c_str());
}

}  // namespace vrz::cli
