#include "scan/EntryScanner.h"

#include <algorithm>
#include <string>
#include <vector>

#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "scan/NameStep.h"

namespace vrz {

namespace {

// How far a scan steps back from a local header that ended a descriptor
// search: the header itself is then found again by the main loop.
constexpr std::uint64_t kStepBackAfterLostDescriptor = 10;

const std::uint8_t* const kEntrySignatures[] = {zip::kSigLocalHeader, zip::kSigCentralHeader};
const std::uint8_t* const kDescriptorSignatures[] = {zip::kSigDataDescriptor, zip::kSigLocalHeader};

bool StartsWith(const std::uint8_t* p, const std::uint8_t (&signature)[4]) {
    return p[0] == signature[0] && p[1] == signature[1] && p[2] == signature[2] && p[3] == signature[3];
}

class Scanner {
public:
    Scanner(JobState& state, JobReporter& reporter, const ScanOptions& options)
        : state_(state),
          reporter_(reporter),
          options_(options),
          layout_(state.scanLayout),
          reader_(layout_, options.windowSize),
          total_(layout_.TotalSize()) {
        for (const RecoveredEntry& row : state_.entries) names_.Remember(row.name);
    }

    bool Run();

private:
    enum class Header { kAccepted, kRejected, kLostDescriptor };

    Header TryHeader(std::uint64_t at, std::uint64_t* next);
    bool FindDescriptor(std::uint64_t dataStart, std::uint64_t runEnd, const LocalHeader& header,
                        std::uint64_t* descriptorAt, std::size_t* descriptorLength,
                        std::uint64_t* stoppedAt);
    const std::uint8_t* Fetch(std::uint64_t offset, std::size_t length);
    bool Poll();
    void Progress(std::uint64_t position);
    bool FailIfUnreadable();
    void Record(FindingKind kind, std::uint64_t at, const std::string& name, std::uint64_t value) {
        state_.findings.push_back(
            ScanFinding{kind, at, static_cast<std::uint32_t>(layout_.PartIndexAt(at)), name, value});
    }

    JobState& state_;
    JobReporter& reporter_;
    const ScanOptions& options_;
    const SourceLayout& layout_;
    SourceReader reader_;
    const std::uint64_t total_;
    NameStep names_;
    std::vector<std::uint8_t> scratch_;
    int lastPacedPercent_ = 0;
    bool cancelled_ = false;
};

bool Scanner::Poll() {
    if (!state_.ScanMayContinue()) cancelled_ = true;
    return !cancelled_;
}

void Scanner::Progress(std::uint64_t position) {
    state_.scanPosition = position;
    state_.bytesScanned = std::max(state_.bytesScanned, position);
    if (total_ == 0) return;
    const std::uint64_t divisor = total_ / 100;
    const std::uint64_t percent = divisor == 0 ? state_.bytesScanned * 100 / total_ : state_.bytesScanned / divisor;
    const int value = static_cast<int>(std::min<std::uint64_t>(percent, 100));
    state_.progressPercent = value;
    if (options_.paceProgress && value > lastPacedPercent_ + 1) {
        lastPacedPercent_ = value;
        reporter_.PaceProgressStep();
    }
}

const std::uint8_t* Scanner::Fetch(std::uint64_t offset, std::size_t length) {
    if (length <= reader_.WindowSize()) return reader_.Bytes(offset, length);
    scratch_.resize(length);
    return reader_.Copy(offset, length, scratch_.data()) ? scratch_.data() : nullptr;
}

bool Scanner::FailIfUnreadable() {
    if (!reader_.Failed()) return false;
    state_.progressPercent = 100;
    reporter_.ReportScanFailure("IDS_FAILEDFILE");
    return true;
}

bool Scanner::FindDescriptor(std::uint64_t dataStart, std::uint64_t runEnd, const LocalHeader& header,
                             std::uint64_t* descriptorAt, std::size_t* descriptorLength,
                             std::uint64_t* stoppedAt) {
    const std::uint64_t searchLimit = std::min(runEnd, total_ >= 4 ? total_ - 3 : 0);
    std::uint64_t from = dataStart;
    while (from < searchLimit) {
        if (!Poll()) return false;
        std::uint64_t at = 0;
        if (!reader_.FindSignature(from, runEnd, kDescriptorSignatures, 2, &at)) {
            Progress(at);
            if (at >= searchLimit) break;
            from = at;
            continue;
        }
        const std::uint8_t* sig = reader_.Bytes(at, 4);
        if (!sig || StartsWith(sig, zip::kSigLocalHeader)) {
            *stoppedAt = at;
            return false;
        }
        // A descriptor counts only when its compressed size is the distance
        // from the data's start: a signature inside the data is passed over.
        const std::uint64_t dataLength = at - dataStart;
        const std::size_t forms[2] = {header.zip64Extra ? zip::kZip64DataDescriptorSize : zip::kDataDescriptorSize,
                                      header.zip64Extra ? zip::kDataDescriptorSize : zip::kZip64DataDescriptorSize};
        for (const std::size_t form : forms) {
            if (form > runEnd - at) {
                // A ZIP64 entry's descriptor cut short is no 16-byte one: its
                // first half would match and give a wrong uncompressed size.
                if (form == zip::kZip64DataDescriptorSize && header.zip64Extra) break;
                continue;
            }
            const std::uint8_t* d = Fetch(at, form);
            if (!d) continue;
            const std::uint64_t compressed = form == zip::kZip64DataDescriptorSize
                                                 ? ReadU64(d + zip::dd::kCompressedSize)
                                                 : ReadU32(d + zip::dd::kCompressedSize);
            if (compressed == dataLength) {
                *descriptorAt = at;
                *descriptorLength = form;
                return true;
            }
        }
        from = at + 1;
    }
    *stoppedAt = runEnd;
    return false;
}

Scanner::Header Scanner::TryHeader(std::uint64_t at, std::uint64_t* next) {
    *next = at + 1;
    const std::uint64_t runEnd = layout_.RunEndAt(at);
    if (runEnd - at < zip::kLocalHeaderSize) return Header::kRejected;
    const std::uint8_t* fixed = Fetch(at, zip::kLocalHeaderSize);
    if (!fixed) return Header::kRejected;
    LocalHeader header = ReadLocalHeaderFixed(fixed);
    if (header.nameLength < zip::kMinNameLength || header.nameLength > zip::kMaxNameLength)
        return Header::kRejected;
    if (header.HeaderLength() > runEnd - at) return Header::kRejected;

    const std::size_t variable = std::size_t{header.nameLength} + header.extraLength;
    const std::uint8_t* nameAndExtra = Fetch(at + zip::kLocalHeaderSize, variable);
    if (!nameAndExtra) return Header::kRejected;
    std::string headerName(reinterpret_cast<const char*>(nameAndExtra), header.nameLength);
    ApplyZip64Extra(header, nameAndExtra + header.nameLength, header.extraLength);

    RecoveredEntry row;
    row.crc32 = header.crc32;
    row.compressedSize = header.compressedSize;
    row.uncompressedSize = header.uncompressedSize;
    row.zip64Local = header.zip64Extra;
    row.headerOffset = at;
    row.part = static_cast<std::uint32_t>(layout_.PartIndexAt(at));

    const std::uint64_t dataStart = at + header.HeaderLength();
    if (!header.HasDataDescriptor()) {
        // The entry must end by the end of the bytes that survive; ending exactly there is whole.
        if (header.compressedSize > runEnd - dataStart) {
            Record(runEnd < total_ ? FindingKind::kPartMissing : FindingKind::kExtentPastEnd, at, headerName,
                   header.compressedSize);
            return Header::kRejected;
        }
        row.entryLength = header.HeaderLength() + header.compressedSize;
    } else {
        std::uint64_t descriptorAt = 0;
        std::size_t descriptorLength = 0;
        std::uint64_t stoppedAt = runEnd;
        if (!FindDescriptor(dataStart, runEnd, header, &descriptorAt, &descriptorLength, &stoppedAt)) {
            if (cancelled_) return Header::kLostDescriptor;
            if (stoppedAt >= runEnd) Record(FindingKind::kDescriptorNotFound, at, headerName, runEnd - dataStart);
            // Resume just before where the search stopped, so a header found
            // there is met again, but never at or before this header.
            const std::uint64_t back = stoppedAt > kStepBackAfterLostDescriptor ? stoppedAt - kStepBackAfterLostDescriptor : 0;
            *next = std::max(back, at + 1);
            return Header::kLostDescriptor;
        }
        const std::uint8_t* d = Fetch(descriptorAt, descriptorLength);
        if (!d) return Header::kRejected;
        row.crc32 = ReadU32(d + zip::dd::kCrc32);
        if (descriptorLength == zip::kZip64DataDescriptorSize) {
            row.compressedSize = ReadU64(d + zip::dd::kCompressedSize);
            row.uncompressedSize = ReadU64(d + zip::dd::kUncompressedSize64);
        } else {
            row.compressedSize = ReadU32(d + zip::dd::kCompressedSize);
            row.uncompressedSize = ReadU32(d + zip::dd::kUncompressedSize32);
        }
        row.descriptorLength = static_cast<std::uint8_t>(descriptorLength);
        row.entryLength = descriptorAt + descriptorLength - at;
    }
    *next = at + row.entryLength;

    if (!names_.Decide(headerName, &row.name)) return Header::kAccepted;  // folder without its parent
    names_.Remember(row.name);
    state_.entries.push_back(std::move(row));
    return Header::kAccepted;
}

bool Scanner::Run() {
    const std::uint64_t searchEnd = total_ >= 4 ? total_ - 3 : 0;
    std::uint64_t cursor = 0;
    while (cursor < searchEnd) {
        if (!Poll()) return false;
        std::uint64_t at = 0;
        const bool found = reader_.FindSignature(cursor, total_, kEntrySignatures, 2, &at);
        if (FailIfUnreadable()) return false;
        Progress(at);
        if (!found) {
            cursor = at;
            continue;
        }
        const std::uint8_t* sig = reader_.Bytes(at, 4);
        if (sig && StartsWith(sig, zip::kSigCentralHeader)) {
            // The central directory follows the last entry of the file (or part).
            if (!options_.centralHeaderEndsPartOnly) break;
            cursor = layout_.PartEndAt(at);
            continue;
        }
        std::uint64_t next = at + 1;
        TryHeader(at, &next);
        if (cancelled_) return false;
        if (FailIfUnreadable()) return false;
        cursor = next;
        Progress(cursor);
    }
    state_.scanPosition = total_;
    return true;
}

}  // namespace

bool ScanLayout(JobState& state, JobReporter& reporter, const ScanOptions& options) {
    Scanner scanner(state, reporter, options);
    return scanner.Run();
}

}  // namespace vrz
