#include "ReportJson.h"

#include <cinttypes>
#include <cstdio>

#include "CliTexts.h"
#include "EntryLines.h"
#include "JsonText.h"

namespace vrz::cli {

namespace {

std::string Number(std::uint64_t value) { return std::to_string(value); }

std::string Crc(std::uint32_t crc) {
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, "\"%08" PRIx32 "\"", crc);
    return buffer;
}

std::string EntryJson(const ReportedEntry& e, bool verified) {
    std::string out = "{" + JsonTextField("name", std::string(e.writtenName));
    if (e.tableName != e.writtenName) out += ", " + JsonTextField("tableName", std::string(e.tableName));
    out += ", \"compressedSize\": " + Number(e.compressedSize);
    out += ", \"uncompressedSize\": " + Number(e.uncompressedSize);
    out += ", \"crc32\": " + Crc(e.crc32);
    out += ", \"offset\": " + Number(e.headerOffset) + ", \"part\": " + Number(e.part);
    if (e.check.headerRead) out += ", \"method\": " + Number(e.check.method);
    if (verified) {
        out += ", \"status\": " + JsonQuote(StatusCode(e.check.status));
        if (e.check.reason == CheckReason::kNone) {
            out += ", \"reason\": null";
        } else {
            out += ", \"reason\": " + JsonQuote(ReasonCode(e.check.reason));
            out += ", \"detail\": " + JsonQuote(ReasonText(e.check, e.crc32, e.uncompressedSize));
        }
        if (e.check.hasFailureOffset) out += ", \"failureOffset\": " + Number(e.check.failureOffset);
        if (e.check.status == EntryStatus::kPartial) out += ", \"recoveredBytes\": " + Number(e.recoveredBytes);
        out += std::string(", \"written\": ") + (e.written ? "true" : "false");
    }
    return out + "}";
}

std::string FindingJson(const ScanFinding& f) {
    std::string out = "{\"offset\": " + Number(f.offset) + ", \"part\": " + Number(f.part);
    out += ", \"reason\": " + JsonQuote(FindingCode(f.kind));
    out += ", \"detail\": " + JsonQuote(FindingText(f));
    if (!f.name.empty()) out += ", " + JsonTextField("name", f.name);
    if (f.value != 0) out += ", \"value\": " + Number(f.value);
    if (f.field != FindingField::kNone) {
        out += ", \"field\": " + JsonQuote(FindingFieldCode(f.field));
        if (f.field == FindingField::kName) {
            out += ", " + JsonTextField("otherName", f.otherName);
        } else {
            out += ", \"won\": " + Number(f.won) + ", \"lost\": " + Number(f.lost);
        }
    }
    if (f.basis != FindingBasis::kNone) out += ", \"basis\": " + JsonQuote(FindingBasisCode(f.basis));
    if (IsMend(f.kind)) out += ", \"mended\": true";
    return out + "}";
}

}  // namespace

void WriteReportJson(const JobReport& report, bool withOutput, std::FILE* stream) {
    LineBuffer buffer(stream);
    std::string& out = buffer.Text();
    const std::size_t count = report.EntryCount();
    out += "{" + JsonTextField("source", report.Source());
    if (withOutput) out += ", " + (report.output.empty() ? std::string("\"output\": null") : JsonTextField("output", report.output));
    out += ", \"verified\": " + std::string(report.Verified() ? "true" : "false");
    out += ", \"count\": " + Number(count);
    out += ", \"counts\": {\"entries\": " + Number(count);
    out += ", \"written\": " + Number(report.WrittenCount());
    if (report.Verified()) {
        out += ", \"intact\": " + Number(report.Count(EntryStatus::kIntact));
        out += ", \"damaged\": " + Number(report.Count(EntryStatus::kDamaged));
        out += ", \"notChecked\": " + Number(report.Count(EntryStatus::kNotChecked));
        out += ", \"partial\": " + Number(report.Count(EntryStatus::kPartial));
        out += ", \"leftOut\": " + Number(count - report.WrittenCount());
    }
    out += ", \"refused\": " + Number(report.Findings().size());
    // Past a fixed number per kind, findings are counted but not listed.
    out += ", \"notListed\": " + Number(report.Findings().Dropped()) + "}";
    out += ", \"entries\": [";
    // Written as the table is read, so the text of millions of entries is never held at once.
    for (std::size_t i = 0; i < count; ++i) {
        out += (i == 0 ? "\n  " : ",\n  ") + EntryJson(report.Entry(i), report.Verified());
        buffer.MaybeFlush();
    }
    out += count == 0 ? "]" : "\n]";
    out += ", \"refused\": [";
    bool first = true;
    for (const ScanFinding& f : report.Findings()) {
        out += (first ? "\n  " : ",\n  ") + FindingJson(f);
        first = false;
        buffer.MaybeFlush();
    }
    out += first ? "]" : "\n]";
    out += "}\n";
}

}  // namespace vrz::cli
