#include "writer/LayoutRebuilder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "io/FileIo.h"
#include "records/ByteOrder.h"
#include "records/ZipConstants.h"
#include "writer/CentralDirectorySpool.h"
#include "writer/CentralHeaderBuilder.h"
#include "writer/EndRecords.h"
#include "writer/LayoutBlockReader.h"
#include "writer/OutputNaming.h"
#include "writer/PartialEntryWriter.h"
#include "writer/StagedOutput.h"

namespace vrz {

namespace {

// How often a save gives way to a file created under its name meanwhile.
constexpr int kMaxNameAttempts = 100;

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
    bool WritePartial(const PartialEntry& partial);
    bool WriteEndRecords();
    bool MoveIntoPlace();
    bool Append(const std::uint8_t* data, std::size_t length);
    bool MayContinue();
    void ShowProgress();
    bool FailSource(const std::string& detail);
    const std::string& PathAt(std::uint64_t offset) const;
    bool FailOutput(const std::string& detail);

    JobState& state_;
    JobReporter& reporter_;
    const RebuildOptions& options_;
    RebuildState& run_;
    const SourceLayout& layout_;
    LayoutBlockReader source_;
    StagedOutput output_;
    const bool largeArchive_;
    std::uint16_t lastVersionNeeded_ = 0;
    std::vector<std::uint8_t> localRecord_;
    std::vector<std::uint8_t> centralHeader_;
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

bool Rebuilder::FailSource(const std::string& detail) {
    state_.savePercent = 100;
    reporter_.ReportSaveFailure("IDS_FAILEDFILE", detail);
    return false;
}

// The file that holds a layout offset, to name in a message.
const std::string& Rebuilder::PathAt(std::uint64_t offset) const {
    if (layout_.Empty()) return state_.scanSourcePath;
    return layout_.Parts()[layout_.PartIndexAt(offset)].path;
}

bool Rebuilder::FailOutput(const std::string& detail) {
    reporter_.ReportSaveFailure("IDS_CREATEDFAILED", detail);
    return false;
}

bool Rebuilder::Append(const std::uint8_t* data, std::size_t length) {
    if (!output_.Append(data, length)) return FailOutput(output_.LastError());
    run_.bytesWritten += length;
    ShowProgress();
    return true;
}

// The table must still describe the files: same sizes, and every row inside them.
bool Rebuilder::CheckSource() {
    if (!source_.PartsUnchanged()) return FailSource(source_.FailedPath());
    const std::uint64_t total = layout_.TotalSize();
    for (const RecoveredEntry& row : state_.entries) {
        if (row.headerOffset > total || row.entryLength > total - row.headerOffset ||
            row.entryLength < zip::kLocalHeaderSize)
            return FailSource(PathAt(std::min(row.headerOffset, total)));
    }
    return true;
}

bool Rebuilder::CopyEntry(const RecoveredEntry& row) {
    run_.scanPosition = row.headerOffset;

    // The local header must be where the scan found it, whole within the entry.
    std::uint8_t fixed[zip::kLocalHeaderSize];
    if (!source_.Read(row.headerOffset, sizeof fixed, fixed)) return FailSource(source_.FailedPath());
    if (std::memcmp(fixed, zip::kSigLocalHeader, 4) != 0) return FailSource(PathAt(row.headerOffset));
    const std::size_t recordLength = zip::kLocalHeaderSize + std::size_t{ReadU16(fixed + zip::lfh::kNameLength)} +
                                     ReadU16(fixed + zip::lfh::kExtraLength);
    if (recordLength > row.entryLength) return FailSource(PathAt(row.headerOffset));
    localRecord_.resize(recordLength);
    if (!source_.Read(row.headerOffset, recordLength, localRecord_.data())) return FailSource(source_.FailedPath());

    const std::uint64_t outputOffset = run_.centralDirOffset;
    CentralHeaderInput header;
    header.localRecord = localRecord_.data();
    header.localRecordLength = localRecord_.size();
    header.row = &row;
    header.outputOffset = outputOffset;
    header.largeArchive = largeArchive_;
    centralHeader_.clear();
    if (!AppendCentralHeader(header, &centralHeader_)) return FailSource(PathAt(row.headerOffset));

    // Header, name, extra field, data and any data descriptor, unchanged.
    std::uint64_t position = row.headerOffset;
    std::uint64_t remaining = row.entryLength;
    while (remaining > 0) {
        if (!MayContinue()) return false;
        std::size_t got = 0;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(remaining, options_.blockSize));
        const std::uint8_t* block = source_.View(position, want, &got);
        if (!block) return FailSource(source_.FailedPath());
        if (!Append(block, got)) return false;
        position += got;
        remaining -= got;
    }

    run_.localHeaderOffset = outputOffset;
    run_.centralDirOffset += row.entryLength;
    run_.entryLengths.push_back(row.entryLength);
    ++run_.entriesWritten;
    lastVersionNeeded_ = ReadU16(fixed + zip::lfh::kVersionNeeded);
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
        case PartialWriteResult::kSourceFailed: return FailSource(PathAt(partial.headerOffset));
        default: return false;  // cancelled, or the output failure was reported already
    }
    centralHeader_ = std::move(outcome.centralHeader);
    run_.localHeaderOffset = outputOffset;
    run_.centralDirOffset += outcome.entryLength;
    run_.entryLengths.push_back(outcome.entryLength);
    ++run_.entriesWritten;
    lastVersionNeeded_ = outcome.versionNeeded;
    return true;
}

bool Rebuilder::WriteEndRecords() {
    CentralDirectorySummary directory;
    directory.entryCount = run_.entriesWritten;
    directory.size = run_.centralDirSize;
    directory.offset = run_.centralDirOffset;
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
    return FailOutput(output_.LastError());
}

bool Rebuilder::Run() {
    run_ = RebuildState{};
    state_.savePercent = 0;
    // The central headers never get a name of their own; nothing for a caller to delete.
    state_.tempCentralPath.clear();
    if (state_.outputPath.empty()) {
        const std::string folder = state_.destinationFolder.empty() ? FolderOf(state_.scanSourcePath)
                                                                    : state_.destinationFolder;
        state_.outputPath = ChooseOutputPath(folder, ArchiveFileNameFor(state_));
    }
    if (!CheckSource()) return false;
    if (!output_.Create(state_.outputPath)) return FailOutput(output_.LastError());
    CentralDirectorySpool centralDirectory(FolderOf(state_.outputPath), options_.blockSize);

    for (const RecoveredEntry& row : state_.entries) {
        if (!MayContinue()) return false;
        if (!CopyEntry(row)) return false;
        if (!centralDirectory.Append(centralHeader_.data(), centralHeader_.size()))
            return FailOutput(centralDirectory.LastError());
        run_.centralDirSize += centralHeader_.size();
    }

    // What a salvage saved of cut entries comes after the rows, as entries of their own.
    for (const PartialEntry& partial : state_.partials) {
        if (!MayContinue()) return false;
        if (!WritePartial(partial)) return false;
        if (!centralDirectory.Append(centralHeader_.data(), centralHeader_.size()))
            return FailOutput(centralDirectory.LastError());
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
    if (!copied) return FailOutput(centralDirectory.LastError());
    if (!WriteEndRecords()) return false;

    // The last moment a cancel still leaves nothing behind.
    if (!MayContinue()) return false;
    if (!output_.Seal()) return FailOutput(output_.LastError());
    if (!MoveIntoPlace()) return false;
    state_.savePercent = 100;
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
