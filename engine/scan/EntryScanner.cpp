#include "scan/EntryScanner.h"

#include <algorithm>
#include <string>
#include <vector>

#include "codec/EntryDecoder.h"
#include "concurrency/TaskPool.h"
#include "records/ByteOrder.h"
#include "records/LocalHeader.h"
#include "records/ZipConstants.h"
#include "scan/CentralDirectoryWalk.h"
#include "scan/CentralRecordMatch.h"
#include "scan/NameStep.h"
#include "scan/ReadableHeader.h"
#include "scan/SpanEvidence.h"
#include "scan/StreamedDecodeAhead.h"
#include "scan/StreamedEntryEnd.h"
#include "scan/UnendedEntries.h"

namespace vrz {

namespace {

// Refused candidates may read each byte of the input this many times in all
// (decoding or taking CRC-32s) before only cheap checks are left to them.
constexpr std::uint64_t kRefusedWorkPerByte = 4;

const std::uint8_t* const kEntrySignatures[] = {zip::kSigLocalHeader, zip::kSigCentralHeader};

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
          total_(layout_.TotalSize()),
          memo_(reader_, state.scanWork, Hooks()),
          ahead_(layout_, options.threads == 0 ? UsableCpuCount() : options.threads, options.windowSize,
                 [&state] { return state.ScanMayContinue(); }),
          index_(reader_, total_, state.scanWork, [this] { return Poll(); }),
          endFinder_(reader_, memo_, index_),
          spans_(reader_, Hooks(), total_, index_, state.scanWork) {
        for (const RecoveredEntry& row : state_.entries) names_.Remember(state_.NameOf(row));
        state_.scanWork.refusedAllowance += kRefusedWorkPerByte * total_ + options.refusedWorkFloor;
        memo_.SetAhead(&ahead_);
    }

    bool Run();

private:
    void TryHeader(std::uint64_t at, std::uint64_t* next);
    bool AcceptStreamed(const LocalHeader& header, std::uint64_t at, std::uint64_t runEnd, const std::string& name,
                        RecoveredEntry& row);
    bool AcceptSized(const LocalHeader& header, std::uint64_t at, std::uint64_t runEnd, const std::string& name,
                     RecoveredEntry& row);
    std::uint64_t StepOverCentralDirectory(std::uint64_t at);
    void Refuse(FindingKind kind, std::uint64_t at, const std::string& name, std::uint64_t value);
    FindingKind CutKind(std::uint64_t runEnd) const;
    const std::uint8_t* Fetch(std::uint64_t offset, std::size_t length);
    bool Poll();
    void Progress(std::uint64_t position);
    bool FailIfUnreadable();
    StreamedEndHooks Hooks();

    JobState& state_;
    JobReporter& reporter_;
    const ScanOptions& options_;
    const SourceLayout& layout_;
    SourceReader reader_;
    const std::uint64_t total_;
    DecodeMemo memo_;
    StreamedDecodeAhead ahead_;
    DescriptorIndex index_;
    StreamedEntryEndFinder endFinder_;
    SpanEvidence spans_;
    // Rows taken as their headers claim although nothing confirmed them:
    // entries found inside them win (header offsets, ascending).
    std::vector<std::uint64_t> doubtful_;
    // Stored streamed entries without a descriptor, in layout order.
    std::vector<std::uint64_t> unended_;
    std::vector<std::uint8_t> extraCopy_;
    NameStep names_;
    // Reused for every entry, so that naming one allocates nothing.
    std::string tableName_;
    std::string headerName_;
    std::vector<std::uint8_t> scratch_;
    std::vector<WalkedDirectory> directories_;
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

StreamedEndHooks Scanner::Hooks() {
    StreamedEndHooks hooks;
    hooks.mayContinue = [this] { return Poll(); };
    hooks.passedOffset = [this](std::uint64_t offset) { Progress(offset); };
    return hooks;
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

void Scanner::Refuse(FindingKind kind, std::uint64_t at, const std::string& name, std::uint64_t value) {
    ScanFinding finding;
    finding.kind = kind;
    finding.offset = at;
    finding.part = static_cast<std::uint32_t>(layout_.PartIndexAt(at));
    // Most refusals of a hostile input are only counted: their names are not copied.
    if (state_.findings.Keeps(kind)) finding.name = name;
    finding.value = value;
    state_.findings.Add(std::move(finding));
}

// Bytes that end before the layout does end at a missing or cut part.
FindingKind Scanner::CutKind(std::uint64_t runEnd) const {
    return runEnd < total_ ? FindingKind::kPartMissing : FindingKind::kExtentPastEnd;
}

bool Scanner::AcceptStreamed(const LocalHeader& header, std::uint64_t at, std::uint64_t runEnd,
                             const std::string& name, RecoveredEntry& row) {
    const std::uint64_t dataStart = at + header.HeaderLength();
    const StreamedEnd end = endFinder_.Find(header, dataStart, runEnd);
    if (end.outcome == StreamedEnd::Outcome::kCancelled) return false;
    if (end.doesNotDecode) Refuse(FindingKind::kDataDoesNotDecode, at, name, end.failureOffset);
    if (end.outcome != StreamedEnd::Outcome::kFound) {
        Refuse(runEnd < total_ ? FindingKind::kPartMissing : FindingKind::kDescriptorNotFound, at, name, runEnd - at);
        // Stored data have no end of their own: the next entry may give one.
        if (runEnd == total_ && header.method == method::kStored && (header.flags & zip::kFlagEncrypted) == 0)
            unended_.push_back(at);
        return false;
    }
    row.crc32 = end.descriptor.crc32;
    row.compressedSize = end.descriptor.compressedSize;
    row.uncompressedSize = end.descriptor.uncompressedSize;
    row.descriptorLength = static_cast<std::uint8_t>(end.descriptor.length);
    row.entryLength = end.descriptor.at + end.descriptor.length - at;
    if (end.decodedWhole) {
        // Decoded whole and in agreement with its descriptor: the
        // verification need not decode it again.
        EntryCheck check = state_.CheckOf(row);
        check.decodedByScan = true;
        check.status = EntryStatus::kIntact;
        check.decodedCrc = end.decodedCrc;
        check.decodedSize = end.decodedSize;
        state_.SetCheck(row, check);
    }
    return true;
}

// A header with its sizes in it: the data decide where the entry ends when
// the claimed end is not followed by the next record.
bool Scanner::AcceptSized(const LocalHeader& header, std::uint64_t at, std::uint64_t runEnd, const std::string& name,
                          RecoveredEntry& row) {
    const std::uint64_t dataStart = at + header.HeaderLength();
    const SpanDecision span = spans_.Decide(header, dataStart, runEnd);
    switch (span.verdict) {
        case SpanDecision::Verdict::kCancelled:
            cancelled_ = true;
            return false;
        case SpanDecision::Verdict::kCut:
            Refuse(CutKind(runEnd), at, name, header.compressedSize);
            return false;
        case SpanDecision::Verdict::kDoubtful:
            doubtful_.push_back(at);
            break;
        case SpanDecision::Verdict::kCorrected: {
            ScanFinding finding;
            finding.kind = FindingKind::kSizeFieldCorrected;
            finding.offset = at;
            finding.part = row.part;
            finding.name = name;
            finding.value = dataStart + span.dataLength;
            finding.field = FindingField::kCompressedSize;
            finding.basis = span.basis;
            finding.won = span.dataLength;
            finding.lost = header.compressedSize;
            state_.findings.Add(std::move(finding));
            row.compressedSize = span.dataLength;
            // Stored data are as long as they are; any other method keeps its stated size.
            if (header.method == method::kStored && span.verifies) row.uncompressedSize = span.dataLength;
            break;
        }
        case SpanDecision::Verdict::kAsClaimed: break;
    }
    row.entryLength = header.HeaderLength() + row.compressedSize;
    TakeScanDecode(state_, span, header, row);
    return true;
}

void Scanner::TryHeader(std::uint64_t at, std::uint64_t* next) {
    *next = at + 1;
    ++state_.scanWork.headersTried;
    const std::uint64_t runEnd = layout_.RunEndAt(at);
    if (runEnd - at < zip::kLocalHeaderSize) return Refuse(CutKind(runEnd), at, {}, runEnd - at);
    const std::uint8_t* fixed = Fetch(at, zip::kLocalHeaderSize);
    if (!fixed) return Refuse(FindingKind::kUnreadable, at, {}, 0);
    LocalHeader header = ReadLocalHeaderFixed(fixed);
    if (header.nameLength < zip::kMinNameLength || header.nameLength > zip::kMaxNameLength)
        return Refuse(FindingKind::kNameLengthInvalid, at, {}, header.nameLength);
    if (header.HeaderLength() > runEnd - at) return Refuse(CutKind(runEnd), at, {}, header.HeaderLength());

    const std::size_t variable = std::size_t{header.nameLength} + header.extraLength;
    const std::uint8_t* nameAndExtra = Fetch(at + zip::kLocalHeaderSize, variable);
    if (!nameAndExtra) return Refuse(FindingKind::kUnreadable, at, {}, 0);
    std::string& headerName = headerName_;  // reused: a refused candidate allocates nothing
    headerName.assign(reinterpret_cast<const char*>(nameAndExtra), header.nameLength);
    ApplyZip64Extra(header, nameAndExtra + header.nameLength, header.extraLength);

    RecoveredEntry row;
    row.crc32 = header.crc32;
    row.compressedSize = header.compressedSize;
    row.uncompressedSize = header.uncompressedSize;
    row.zip64Local = header.zip64Extra;
    row.method = header.method;
    row.headerOffset = at;
    row.part = static_cast<std::uint32_t>(layout_.PartIndexAt(at));

    if (!header.HasDataDescriptor()) {
        // The entry must end by the end of the bytes that survive; ending exactly there is whole.
        if (!AcceptSized(header, at, runEnd, headerName, row)) return;
    } else if (!AcceptStreamed(header, at, runEnd, headerName, row)) {
        return;
    }
    // A doubtful entry is walked through: headers inside it may be entries of their own.
    *next = !doubtful_.empty() && doubtful_.back() == at ? at + 1 : at + row.entryLength;

    // Read again only for an accepted entry: refused candidates copy nothing.
    const std::uint8_t* extra = Fetch(at + zip::kLocalHeaderSize + header.nameLength, header.extraLength);
    if (extra)
        extraCopy_.assign(extra, extra + header.extraLength);
    else
        extraCopy_.clear();
    FoundHeader found;
    found.header = &header;
    found.name = headerName;
    found.extra = extraCopy_.data();
    found.extraLength = extraCopy_.size();
    found.dataStart = at + header.HeaderLength();
    MendFoundHeader(state_, found, row);

    names_.Decide(headerName, &tableName_);
    names_.Remember(tableName_);
    // What the verification needs of the header, so that it need not read it again.
    state_.SetNames(row, tableName_, headerName);
    row.check.headerRead = true;
    row.check.method = header.method;
    row.check.flags = header.flags;
    state_.entries.push_back(std::move(row));
}

std::uint64_t Scanner::StepOverCentralDirectory(std::uint64_t at) {
    const ByteFetch fetch = [this](std::uint64_t offset, std::size_t length) { return Fetch(offset, length); };
    WalkedDirectory directory = WalkCentralDirectory(fetch, at, layout_.RunEndAt(at));
    if (directory.records.empty()) return at + 1;  // a signature in unaccepted bytes, no directory
    Refuse(FindingKind::kCentralDirectorySkipped, at, {}, directory.records.size());
    const std::uint64_t end = std::max(directory.end, at + 1);
    directories_.push_back(std::move(directory));
    return end;
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
        std::uint64_t next = at + 1;
        if (sig && StartsWith(sig, zip::kSigCentralHeader)) {
            next = StepOverCentralDirectory(at);
        } else {
            ahead_.Reach(at, state_.scanWork.MayDecodeForCandidate());
            TryHeader(at, &next);
        }
        if (cancelled_) return false;
        if (FailIfUnreadable()) return false;
        cursor = next;
        Progress(cursor);
    }
    ahead_.Stop(state_.scanWork);
    memo_.SetAhead(nullptr);
    GiveWayToInnerEntries(state_, reader_, doubtful_);
    if (FailIfUnreadable()) return false;
    if (!directories_.empty()) {
        CentralRecordMatcher matcher(state_, reader_, memo_);
        if (!matcher.Apply(directories_)) return false;
        if (FailIfUnreadable()) return false;
    }
    std::vector<std::uint64_t> directoryStarts;
    for (const WalkedDirectory& directory : directories_) directoryStarts.push_back(directory.start);
    EndAtNextHeader(state_, reader_, names_, unended_, std::move(directoryStarts));
    if (FailIfUnreadable()) return false;
    state_.scanPosition = total_;
    return true;
}

}  // namespace

bool ScanLayout(JobState& state, JobReporter& reporter, const ScanOptions& options) {
    Scanner scanner(state, reporter, options);
    return scanner.Run();
}

}  // namespace vrz
