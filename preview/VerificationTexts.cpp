#include "preview/VerificationTexts.h"

#include "text/NameDisplay.h"

namespace vrz {

namespace {

constexpr std::size_t kListedPerStatus = 10;

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
    std::size_t listed = 0;
    std::size_t total = 0;
    for (const RecoveredEntry& entry : job.entries) {
        if (entry.check.status != status) continue;
        ++total;
        if (listed == kListedPerStatus) continue;
        if (listed++ == 0) *out += "\n\n" + text(headingKey);
        *out += "\n" + ShownName(job, entry);
        const std::string reason = ReasonTextKey(entry.check.reason);
        if (!reason.empty()) *out += " - " + text(reason);
    }
    if (total > listed) *out += "\n" + WithNumber(text("IDS_MORE_ENTRIES"), total - listed);
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
    AppendList(job, EntryStatus::kDamaged, "IDS_DAMAGED_LIST", text, &out);
    AppendList(job, EntryStatus::kNotChecked, "IDS_UNCHECKED_LIST", text, &out);
    return out;
}

}  // namespace vrz
