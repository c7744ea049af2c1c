#include "writer/LayoutRebuilder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/FileIo.h"
#include "io/LayoutFiles.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"
#include "writer/CentralDirectorySpool.h"
#include "writer/CentralHeaderBuilder.h"
#include "writer/EndRecords.h"
#include "writer/EntryCopyPlan.h"
#include "writer/LayoutBlockReader.h"
#include "writer/OutputNaming.h"
#include "writer/PartialEntryWriter.h"
#include "writer/StagedOutput.h"

namespace vrz {

namespace {

// How often a save gives way to a file created under its name meanwhile.
constexpr int kMaxNameAttempts = 100;

// A first read of a local header also takes this many bytes of name and
// extra field, which is enough for nearly every header in one call.
constexpr std::size_t kHeaderPeek = 512;

const char* const kSourceNotAsScanned = "the entry is no longer where the scan found it";

class Rebuilder {
public:
    Rebuilder(JobState& state, JobReporter& reporter, const RebuildOptions& options, RebuildState& run)
        : state_(state),
          reporter_(reporter),
          options_(options),
          run_(run),
          layout_(state.scanLayout),
          source_(layout_, options.blockSize),
          output_(options.blockSize),
          // Every offset and size in the output is bounded by the source's
          // size, since the output holds a subset of its bytes; so the
          // source's size says whether any value may need ZIP64 fields. For
          // a split archive this is the sum of the parts, which bounds the
          // headers and descriptors as well as the data.
          largeArchive_(layout_.TotalSize() >= zip::kZip64Threshold) {}

    bool Run();

private:
    bool CheckSource();
    bool CopyEntry(const RecoveredEntry& row);
    bool ReadLocalRecord(const RecoveredEntry& row, bool direct);
    bool CopyThroughWindow(std::uint64_t position, std::uint64_t remaining);
    bool CopyInKernel(std::uint64_t position, std::uint64_t remaining);
    bool QueueInKernel(std::uint64_t position, std::uint64_t length);
    bool FlushQueued();
    bool WritePartial(const PartialEntry& partial);
    bool WriteEndRecords();
    bool MoveIntoPlace();
    bool Append(const std::uint8_t* data, std::size_t length);
    bool MayContinue();
    void ShowProgress();
    bool FailSource();
    bool FailSource(const std::string& path, const std::string& reason);
    const std::string& PathAt(std::uint64_t offset) const;
    bool Fail(SaveFailureCode code, const std::string& path, const std::string& reason);
    bool FailWrite(int error, const std::string& reason);

    JobState& state_;
    JobReporter& reporter_;
    const RebuildOptions& options_;
    RebuildState& run_;
    const SourceLayout& layout_;
    LayoutBlockReader source_;
    StagedOutput output_;
    const bool largeArchive_;
    std::uint16_t lastVersionNeeded_ = 0;
    EntryCopyPlan plan_;
    std::vector<std::uint8_t> centralHeader_;
    bool copyRefused_ = false;
    // Entries that follow each other in the source are copied as one range.
    std::uint64_t queuedStart_ = 0;
    std::uint64_t queuedLength_ = 0;
};

bool Rebuilder::MayContinue() { return state_.SaveMayContinue(); }

void Rebuilder::ShowProgress() {
    const std::uint64_t total = layout_.TotalSize();
    std::uint64_t percent = 100;
    if (total / 100 > 0)
        percent = run_.bytesWritten / (total / 100);
    else if (total > 0)
        percent = run_.bytesWritten * 100 / total;
    state_.savePercent = static_cast<int>(std::min<std::uint64_t>(percent, 100));
}

bool Rebuilder::Fail(SaveFailureCode code, const std::string& path, const std::string& reason) {
    // The bar stays where the save stopped.
    reporter_.ReportSaveFailed(SaveFailure{code, path, reason});
    return false;
}

bool Rebuilder::FailSource(const std::string& path, const std::string& reason) {
    return Fail(SaveFailureCode::kSourceUnreadable, path, reason);
}

bool Rebuilder::FailSource() { return FailSource(source_.FailedPath(), source_.FailedReason()); }

// A write to the output or to the central directory's work file failed.
bool Rebuilder::FailWrite(int error, const std::string& reason) {
    return Fail(WriteFailureCodeFor(error), state_.outputPath, reason);
}

// The file that holds a layout offset, to name in a message.
const std::string& Rebuilder::PathAt(std::uint64_t offset) const {
    if (layout_.Empty()) return state_.scanSourcePath;
    return layout_.Parts()[layout_.PartIndexAt(offset)].path;
}

bool Rebuilder::Append(const std::uint8_t* data, std::size_t length) {
    if (!output_.Append(data, length)) return FailWrite(output_.LastErrno(), output_.LastError());
    run_.bytesWritten += length;
    ShowProgress();
    return true;
}

// The table must still describe the files: same sizes, and every row inside them.
bool Rebuilder::CheckSource() {
    if (!source_.PartsUnchanged()) return FailSource();
    const std::uint64_t total = layout_.TotalSize();
    for (const RecoveredEntry& row : state_.entries) {
        if (row.headerOffset > total || row.entryLength > total - row.headerOffset ||
            row.entryLength < zip::kLocalHeaderSize)
            return FailSource(PathAt(std::min(row.headerOffset, total)), kSourceNotAsScanned);
    }
    return true;
}

bool Rebuilder::CopyEntry(const RecoveredEntry& row) {
    run_.scanPosition = row.headerOffset;

    // Entry data are copied in the kernel, so the header is read on its own
    // rather than through a window that would read the data too.
    const bool inKernel = !copyRefused_;
    const EntryExtras& extras = state_.ExtrasOf(row);
    if (!extras.localRecordOverride.empty()) {
        if (!PlanFreshHeaderCopy(row, extras, &plan_)) return FailSource(PathAt(row.headerOffset), kSourceNotAsScanned);
    } else {
        if (!ReadLocalRecord(row, inKernel)) return false;
        PlanUnchangedCopy(row, &plan_);
    }

    const std::uint64_t outputOffset = run_.centralDirOffset;
    CentralHeaderInput header;
    header.localRecord = plan_.localRecord.data();
    header.localRecordLength = plan_.localRecord.size();
    header.row = &row;
    header.extras = &extras;
    header.outputOffset = outputOffset;
    header.largeArchive = largeArchive_;
    centralHeader_.clear();
    if (!AppendCentralHeader(header, &centralHeader_))
        return FailSource(PathAt(row.headerOffset), kSourceNotAsScanned);

    if (plan_.writeLocalRecord) {
        // Bytes still queued for the kernel go out before the fresh header.
        if (!FlushQueued() || !Append(plan_.localRecord.data(), plan_.localRecord.size())) return false;
    }
    const bool copied = inKernel ? QueueInKernel(plan_.copyFrom, plan_.copyLength)
                                 : FlushQueued() && CopyThroughWindow(plan_.copyFrom, plan_.copyLength);
    if (!copied) return false;
    if (!plan_.descriptor.empty() && (!FlushQueued() || !Append(plan_.descriptor.data(), plan_.descriptor.size())))
        return false;

    const std::uint64_t outputLength = plan_.OutputLength();
    run_.localHeaderOffset = outputOffset;
    run_.centralDirOffset += outputLength;
    if (options_.keepEntryLengths) run_.entryLengths.push_back(outputLength);
    ++run_.entriesWritten;
    lastVersionNeeded_ = ReadU16(plan_.localRecord.data() + zip::lfh::kVersionNeeded);
    return true;
}

// The local header must be where the scan found it, whole within the entry.
// Leaves the header, name and extra field in plan_.localRecord.
bool Rebuilder::ReadLocalRecord(const RecoveredEntry& row, bool direct) {
    const auto read = [&](std::uint64_t offset, std::size_t length, std::uint8_t* out) {
        return direct ? source_.ReadDirect(offset, length, out) : source_.Read(offset, length, out);
    };
    const std::size_t peek = static_cast<std::size_t>(
        std::min<std::uint64_t>(row.entryLength, direct ? zip::kLocalHeaderSize + kHeaderPeek : zip::kLocalHeaderSize));
    plan_.localRecord.resize(peek);
    if (!read(row.headerOffset, peek, plan_.localRecord.data())) return FailSource();
    const std::uint8_t* fixed = plan_.localRecord.data();
    if (std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0)
        return FailSource(PathAt(row.headerOffset), kSourceNotAsScanned);
    const std::size_t recordLength = zip::kLocalHeaderSize + std::size_t{ReadU16(fixed + zip::lfh::kNameLength)} +
                                     ReadU16(fixed + zip::lfh::kExtraLength);
    if (recordLength > row.entryLength) return FailSource(PathAt(row.headerOffset), kSourceNotAsScanned);
    if (recordLength <= peek) {
        plan_.localRecord.resize(recordLength);
        return true;
    }
    plan_.localRecord.resize(recordLength);
    if (!read(row.headerOffset + peek, recordLength - peek, plan_.localRecord.data() + peek)) return FailSource();
    return true;
}

bool Rebuilder::QueueInKernel(std::uint64_t position, std::uint64_t length) {
    if (queuedLength_ > 0 && queuedStart_ + queuedLength_ == position) {
        queuedLength_ += length;
        return true;
    }
    if (!FlushQueued()) return false;
    queuedStart_ = position;
    queuedLength_ = length;
    return true;
}

bool Rebuilder::FlushQueued() {
    if (queuedLength_ == 0) return true;
    const std::uint64_t start = queuedStart_;
    const std::uint64_t length = queuedLength_;
    queuedLength_ = 0;
    return CopyInKernel(start, length);
}

bool Rebuilder::CopyThroughWindow(std::uint64_t position, std::uint64_t remaining) {
    while (remaining > 0) {
        if (!MayContinue()) return false;
        std::size_t got = 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, options_.blockSize));
        const std::uint8_t* block = source_.View(position, want, &got);
        if (!block) return FailSource();
        if (!Append(block, got)) return false;
        position += got;
        remaining -= got;
    }
    return true;
}

// Copies part by part with copy_file_range; where the kernel refuses, the
// rest goes through the window, and later entries do not try again.
bool Rebuilder::CopyInKernel(std::uint64_t position, std::uint64_t remaining) {
    while (remaining > 0) {
        if (!MayContinue()) return false;
        const std::size_t index = layout_.PartIndexAt(position);
        const SourcePart& part = layout_.Parts()[index];
        // One block between cancel polls and progress steps, as for buffered copies.
        const std::uint64_t piece =
            std::min<std::uint64_t>({remaining, part.start + part.size - position, options_.blockSize});
        const InputFile* file = source_.PartFile(index);
        if (!file) return FailSource();
        const std::uint64_t before = output_.Size();
        const CopyOutcome outcome = output_.AppendFrom(*file, part.fileOffset + (position - part.start), piece);
        const std::uint64_t copied = output_.Size() - before;
        run_.bytesWritten += copied;
        position += copied;
        remaining -= copied;
        switch (outcome) {
            case CopyOutcome::kDone: break;
            case CopyOutcome::kRefused:
                copyRefused_ = true;
                return CopyThroughWindow(position, remaining);
            case CopyOutcome::kSourceShort: return FailSource(part.path, kShorterThanScanned);
            case CopyOutcome::kWriteFailed: return FailWrite(output_.LastErrno(), output_.LastError());
        }
        ShowProgress();
    }
    return true;
}

bool Rebuilder::WritePartial(const PartialEntry& partial) {
    run_.scanPosition = partial.headerOffset;
    const std::uint64_t outputOffset = run_.centralDirOffset;
    PartialWriteTarget target;
    target.append = [this](const std::uint8_t* data, std::size_t length) { return Append(data, length); };
    target.mayContinue = [this] { return MayContinue(); };
    target.outputOffset = outputOffset;
    target.largeArchive = largeArchive_;
    PartialWriteOutcome outcome;
    switch (WritePartialEntry(source_, partial, target, &outcome)) {
        case PartialWriteResult::kWritten: break;
        case PartialWriteResult::kSourceFailed:
            if (!source_.FailedPath().empty()) return FailSource();
            return FailSource(PathAt(partial.headerOffset), kSourceNotAsScanned);
        default: return false;  // cancelled, or the output failure was reported already
    }
    centralHeader_ = std::move(outcome.centralHeader);
    run_.localHeaderOffset = outputOffset;
    run_.centralDirOffset += outcome.entryLength;
    if (options_.keepEntryLengths) run_.entryLengths.push_back(outcome.entryLength);
    ++run_.entriesWritten;
    lastVersionNeeded_ = outcome.versionNeeded;
    return true;
}

bool Rebuilder::WriteEndRecords() {
    CentralDirectorySummary directory;
    directory.entryCount = run_.entriesWritten;
    directory.size = run_.centralDirSize;
    directory.offset = run_.centralDirOffset;
    directory.comment = state_.archiveComment;
    directory.zip64Version = options_.splitArchive ? SplitArchiveZip64Version(lastVersionNeeded_) : lastVersionNeeded_;
    std::vector<std::uint8_t> records;
    AppendEndRecords(directory, &records);
    return Append(records.data(), records.size());
}

bool Rebuilder::MoveIntoPlace() {
    const std::string folder = FolderOf(state_.outputPath);
    const std::string archiveName =
        state_.archiveFileName.empty() ? ArchiveFileNameFor(state_) : state_.archiveFileName;
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        bool nameTaken = false;
        if (output_.MoveTo(state_.outputPath, &nameTaken)) return true;
        if (!nameTaken) break;
        state_.outputPath = ChooseOutputPath(folder, archiveName);
    }
    return Fail(SaveFailureCode::kOutputNotNamed, state_.outputPath, output_.LastError());
}

bool Rebuilder::Run() {
    run_ = RebuildState{};
    // One length per entry, allocated once: doubling would hold up to twice that.
    if (options_.keepEntryLengths) run_.entryLengths.reserve(state_.entries.size() + state_.partials.size());
    state_.savePercent = 0;
    // The central headers never get a name of their own; nothing for a caller to delete.
    state_.tempCentralPath.clear();
    if (state_.outputPath.empty()) {
        const std::string folder = state_.destinationFolder.empty() ? FolderOf(state_.scanSourcePath)
                                                                    : state_.destinationFolder;
        state_.outputPath = ChooseOutputPath(folder, ArchiveFileNameFor(state_));
    }
    state_.saveCommit.Reset();
    if (!CheckSource()) return false;
    if (!output_.Create(state_.outputPath))
        return Fail(SaveFailureCode::kOutputNotCreated, FolderOf(state_.outputPath), output_.LastError());
    CentralDirectorySpool centralDirectory(FolderOf(state_.outputPath), options_.blockSize);
    reporter_.PassedSaveStep("write");

    for (std::size_t index = 0; index < state_.entries.size(); ++index) {
        const RecoveredEntry& row = state_.entries[index];
        if (!MayContinue()) return false;
        if (state_.skipDamaged) {
            if (options_.waitForRow && !options_.waitForRow(index)) return false;
            if (row.check.status == EntryStatus::kDamaged) continue;
        }
        if (!CopyEntry(row)) return false;
        if (!centralDirectory.Append(centralHeader_.data(), centralHeader_.size()))
            return FailWrite(centralDirectory.LastErrno(), centralDirectory.LastError());
        run_.centralDirSize += centralHeader_.size();
    }
    if (!FlushQueued()) return false;
    if (options_.waitForAll && !options_.waitForAll()) return false;
    if (state_.skipDamaged && run_.entriesWritten == 0 && state_.partials.empty()) return false;

    // What a salvage saved of cut entries comes after the rows, as entries of their own.
    for (const PartialEntry& partial : state_.partials) {
        if (!MayContinue()) return false;
        if (!WritePartial(partial)) return false;
        if (!centralDirectory.Append(centralHeader_.data(), centralHeader_.size()))
            return FailWrite(centralDirectory.LastErrno(), centralDirectory.LastError());
        run_.centralDirSize += centralHeader_.size();
    }

    if (!MayContinue()) return false;
    bool cancelled = false;
    bool outputFailed = false;
    const bool copied = centralDirectory.ForEachBlock([&](const std::uint8_t* data, std::size_t length) {
        if (!MayContinue()) {
            cancelled = true;
            return false;
        }
        if (!Append(data, length)) {
            outputFailed = true;
            return false;
        }
        return true;
    });
    if (cancelled || outputFailed) return false;
    if (!copied) return FailWrite(centralDirectory.LastErrno(), centralDirectory.LastError());
    if (!WriteEndRecords()) return false;

    if (!MayContinue()) return false;
    reporter_.PassedSaveStep("sync");
    if (!output_.Seal()) return FailWrite(output_.LastErrno(), output_.LastError());
    reporter_.PassedSaveStep("name");
    // The point of no return: a cancel up to here leaves nothing behind; once
    // committed, the archive is named and the save counts as done.
    if (!MayContinue() || !state_.saveCommit.TryCommit()) return false;
    if (!MoveIntoPlace()) return false;
    state_.savePercent = 100;
    reporter_.PassedSaveStep("named");
    return true;
}

}  // namespace

bool RebuildLayout(JobState& state, JobReporter& reporter, const RebuildOptions& options, RebuildState* run) {
    RebuildState local;
    RebuildState& target = run ? *run : local;
    Rebuilder rebuilder(state, reporter, options, target);
    return rebuilder.Run();
}

}  // namespace vrz
