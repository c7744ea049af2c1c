#include "preview/VerificationTexts.h"

#include "text/NameDisplay.h"

namespace vrz {

namespace {

std::string WithNumber(std::string format, std::size_t n) {
    const std::size_t mark = format.find("%d");
    if (mark != std::string::npos) format.replace(mark, 2, std::to_string(n));
    return format;
}

std::string WithText(std::string format, const std::string& value) {
    const std::size_t mark = format.find("%s");
    if (mark == std::string::npos) return format + " " + value;
    format.replace(mark, 2, value);
    return format;
}

// The table keeps a lost entry's short name; the header's full name says more.
std::string ShownName(const JobState& job, const RecoveredEntry& entry) {
    return NameForDisplay(job.HeaderNameOf(entry));
}

void AppendList(const JobState& job, EntryStatus status, const std::string& headingKey,
                const TextLookup& text, std::string* out) {
    bool headed = false;
    for (const RecoveredEntry& entry : job.entries) {
        if (entry.check.status != status) continue;
        if (!headed) *out += (out->empty() ? "" : "\n\n") + text(headingKey);
        headed = true;
        *out += "\n" + ShownName(job, entry);
        const std::string reason = ReasonTextKey(entry.check.reason);
        if (!reason.empty()) *out += " - " + text(reason);
    }
}

}  // namespace

std::string ReasonTextKey(CheckReason reason) {
    switch (reason) {
        case CheckReason::kNone: return "";
        case CheckReason::kCrcMismatch: return "IDS_VERIFY_CRC";
        case CheckReason::kSizeMismatch: return "IDS_VERIFY_SIZE";
        case CheckReason::kDoesNotDecode: return "IDS_VERIFY_DECODE";
        case CheckReason::kStreamCutShort: return "IDS_VERIFY_CUT";
        case CheckReason::kEncrypted: return "IDS_VERIFY_ENCRYPTED";
        case CheckReason::kMethodNotSupported: return "IDS_VERIFY_METHOD";
        case CheckReason::kUnreadable: return "IDS_VERIFY_UNREADABLE";
        case CheckReason::kCutOff: return "IDS_VERIFY_CUT";
        case CheckReason::kLongerThanDeclared: return "IDS_VERIFY_LONGER";
    }
    return "";
}

std::string CompletionDetails(const JobState& job, const std::string& outputPath,
                              const TextLookup& text) {
    std::string out = WithText(text("IDS_SAVED_TO"), NameForDisplay(outputPath));
    const std::size_t shown = CountWritten(job, EntryStatus::kDamaged) + CountWritten(job, EntryStatus::kNotChecked);
    if (shown > 0) out += "\n\n" + WithNumber(text("IDS_LISTED_BELOW"), shown);
    return out;
}

std::string CompletionList(const JobState& job, const TextLookup& text) {
    std::string out;
    if (!job.skipDamaged) AppendList(job, EntryStatus::kDamaged, "IDS_DAMAGED_LIST", text, &out);
    AppendList(job, EntryStatus::kNotChecked, "IDS_UNCHECKED_LIST", text, &out);
    for (const PartialEntry& partial : job.partials) {
        if (out.find(text("IDS_PARTIAL_LIST")) == std::string::npos) {
            out += (out.empty() ? "" : "\n\n") + text("IDS_PARTIAL_LIST");
        }
        out += "\n" + NameForDisplay(partial.WrittenName());
    }
    return out;
}

std::size_t CountWritten(const JobState& job, EntryStatus status) {
    // Damaged rows the save left out are not in the archive.
    if (status == EntryStatus::kDamaged && job.skipDamaged) return 0;
    std::size_t count = 0;
    for (const RecoveredEntry& entry : job.entries) count += entry.check.status == status ? 1 : 0;
    return count;
}

std::size_t WrittenEntryCount(const JobState& job) {
    std::size_t leftOut = 0;
    if (job.skipDamaged) {
        for (const RecoveredEntry& entry : job.entries) leftOut += entry.check.status == EntryStatus::kDamaged;
    }
    return job.entries.size() - leftOut + job.partials.size();
}

bool CompletionIsWarning(const JobState& job) {
    const std::size_t written = WrittenEntryCount(job);
    const std::size_t damaged = CountWritten(job, EntryStatus::kDamaged) + job.partials.size();
    return damaged > 0 && damaged * 2 >= written;
}

}  // namespace vrz
