#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <limits>
#include <thread>

#include "WriterTestSupport.h"
#include "io/FileIo.h"
#include "scan/EntryScanner.h"

namespace vrz::test {
namespace {

using Names = std::vector<std::string>;

Names CentralNames(const ParsedArchive& a) {
    Names names;
    for (const auto& h : a.headers) names.push_back(h.name);
    return names;
}

// Every central header points at a local header with the same name, and the
// bytes there are the row's bytes from the source.
void ExpectEntriesCopied(const RebuildResult& r, const Bytes& source) {
    ASSERT_TRUE(r.archive.ok) << r.archive.error;
    ASSERT_EQ(r.archive.headers.size(), r.rows.size());
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
        const RecoveredEntry& row = r.rows[i];
        const CentralRecord& c = r.archive.headers[i];
        EXPECT_EQ(c.offset32, offset) << i;
        EXPECT_EQ(c.crc, row.crc32) << i;
        EXPECT_EQ(c.compressed32, row.compressedSize) << i;
        ASSERT_LE(offset + row.entryLength, r.output.size());
        const Bytes copied(r.output.begin() + static_cast<std::ptrdiff_t>(offset),
                           r.output.begin() + static_cast<std::ptrdiff_t>(offset + row.entryLength));
        const Bytes original(source.begin() + static_cast<std::ptrdiff_t>(row.headerOffset),
                             source.begin() + static_cast<std::ptrdiff_t>(row.headerOffset + row.entryLength));
        EXPECT_EQ(copied, original) << i;
        const std::size_t nameLength = ReadU16(&copied[26]);
        EXPECT_EQ(c.name, std::string(copied.begin() + 30, copied.begin() + 30 + static_cast<std::ptrdiff_t>(nameLength)));
        offset += row.entryLength;
    }
    EXPECT_EQ(r.archive.zip64 ? r.archive.zip64Offset : r.archive.eocdOffset, offset);
}

// Garbage around the entries, a streamed entry with its descriptor, a file
// whose folder entry is missing, and a cut-off central directory.
Bytes MixedSource() {
    Bytes b = Garbage(700, 1);
    Append(b, LocalRecord({"docs/", ""}));
    Append(b, LocalRecord({"docs/a.txt", std::string(300, 'a'), 0xAAAA0001}));
    Append(b, Garbage(123, 2));
    LocalEntry streamed{"docs/s.txt", std::string(90, 's'), 0x5555AAAA, 0x0008, {}, 0, 0, 16};
    Bytes s = LocalRecord(streamed);
    WriteU32(&s[14], 0);  // a streamed header holds no CRC
    Append(b, s);
    Append(b, LocalRecord({"lost/b.txt", "bee", 0xBBBB0002, 0, TimestampExtra()}));
    Append(b, Garbage(50, 3));
    Append(b, LocalRecord({"last.txt", "the end", 0xCCCC0003}));
    return b;
}

TEST(RebuildSingle, CopiesExactlyTheScannedRowsInOrder) {
    TempDir dir;
    const Bytes source = MixedSource();
    const RebuildResult r = ScanAndRebuild(dir, dir.Write("a.zip", source));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.reported.empty());
    EXPECT_EQ(CentralNames(r.archive), (Names{"docs/", "docs/a.txt", "docs/s.txt", "lost/b.txt", "last.txt"}));
    EXPECT_EQ(r.names[3], "#Lost Files/b.txt");
    ExpectEntriesCopied(r, source);
    // The streamed entry keeps its descriptor and flag; the central header has the descriptor's values.
    const CentralRecord& s = r.archive.headers[2];
    EXPECT_EQ(s.flags & 0x0008, 0x0008);
    EXPECT_EQ(s.crc, 0x5555AAAAu);
    EXPECT_EQ(s.uncompressed32, 90u);
    EXPECT_EQ(r.rows[2].entryLength, 30u + 10 + 90 + 16);
    EXPECT_EQ(r.archive.headers[3].extra, TimestampExtra());
    EXPECT_FALSE(r.archive.zip64);
    EXPECT_EQ(r.run.entriesWritten, 5u);
    EXPECT_EQ(r.run.bytesWritten, r.output.size());
    EXPECT_EQ(FolderNames(dir.File("out")), Names{"a_fixed.zip"});
    EXPECT_EQ(ReadWholeFile(dir.File("a.zip")), source);
}

TEST(RebuildSingle, SmallOddBlocksGiveTheSameArchive) {
    TempDir dir;
    const std::string source = dir.Write("a.zip", MixedSource());
    const RebuildResult reference = ScanAndRebuild(dir, source);
    ASSERT_TRUE(reference.ok);
    for (const std::size_t block : {1u, 7u, 31u, 64u, 4096u}) {
        RemoveFile(reference.outputPath);
        RebuildOptions options;
        options.blockSize = block;
        const RebuildResult r = ScanAndRebuild(dir, source, options);
        ASSERT_TRUE(r.ok) << block;
        EXPECT_EQ(r.output, reference.output) << "block " << block;
        EXPECT_EQ(FolderNames(dir.File("out")), Names{"a_fixed.zip"}) << block;
    }
}

TEST(RebuildSingle, EmptyTableGivesTheEndRecordAlone) {
    TempDir dir;
    const RebuildResult r = ScanAndRebuild(dir, dir.Write("a.zip", Garbage(500)));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.output.size(), 22u);
    EXPECT_TRUE(r.archive.ok);
    EXPECT_EQ(r.archive.eocdEntries, 0);
}

TEST(RebuildSingle, Zip64LocalEntryInSmallSource) {
    TempDir dir;
    Bytes source;
    Append(source, LocalRecord({"z.bin", "123456789", 0x77, 0, Zip64Extra({9, 9}), 0xFFFFFFFF, 0xFFFFFFFF}));
    Append(source, LocalRecord({"plain.txt", std::string(100, 'p')}));
    const RebuildResult r = ScanAndRebuild(dir, dir.Write("a.zip", source));
    ASSERT_TRUE(r.ok);
    ExpectEntriesCopied(r, source);
    const CentralRecord& z = r.archive.headers[0];
    EXPECT_EQ(z.uncompressed32, 0xFFFFFFFFu);
    EXPECT_EQ(z.compressed32, 9u);
    ASSERT_EQ(z.extra.size(), 48u);
    EXPECT_EQ(ReadU16(&z.extra[0]), 0x000A);
    EXPECT_EQ(ReadU16(&z.extra[36]), 0x0001);
    EXPECT_EQ(ReadU16(&z.extra[38]), 8);
    EXPECT_EQ(ReadU64(&z.extra[40]), 9u);
    EXPECT_TRUE(r.archive.headers[1].extra.empty());
}

// Many one-byte entries, the last one asking for version 6.3 (as an LZMA entry
// does; a stored one asking that much would be written sound).
Bytes ManyEntries(std::size_t count) {
    Bytes b;
    b.reserve(count * 40);
    char name[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, "e%05zu", i);
        Bytes e = LocalRecord({name, "x", static_cast<std::uint32_t>(i + 1)});
        if (i + 1 == count) {
            WriteU16(&e[4], 63);
            WriteU16(&e[8], 14);
        }
        Append(b, e);
    }
    return b;
}

TEST(RebuildCounts, SixtyFiveThousandFiveHundredThirtyFiveAndSix) {
    TempDir dir;
    const Bytes source = ManyEntries(65536);
    JobState state;
    state.sourcePath = dir.Write("many.zip", source);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    ASSERT_EQ(state.entryCount(), 65536u);

    state.outputPath = dir.File("all_fixed.zip");
    ASSERT_TRUE(RebuildSingleArchive(state, reporter));
    ParsedArchive a = ParseArchive(ReadWholeFile(state.outputPath));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_TRUE(a.zip64);
    EXPECT_EQ(a.zip64Entries, 65536u);
    EXPECT_EQ(a.eocdEntries, 0xFFFF);
    EXPECT_EQ(a.eocdEntriesThisDisk, 0xFFFF);
    EXPECT_EQ(a.zip64VersionNeeded, 63);
    EXPECT_EQ(a.locatorDisks, 1u);
    EXPECT_EQ(a.headers.back().name, "e65535");

    // The same bytes as two parts of a split archive: one file out, version 4.5.
    JobState split;
    const std::size_t cut = source.size() / 2 + 3;  // inside an entry
    split.scanSourcePath = dir.path();
    split.scanLayout.AddPart(dir.Write("split.z01", Bytes(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(cut))), cut, false);
    split.scanLayout.AddPart(dir.Write("split.zip", Bytes(source.begin() + static_cast<std::ptrdiff_t>(cut), source.end())),
                             source.size() - cut, true);
    ScanOptions options;
    ASSERT_TRUE(ScanLayout(split, reporter, options));
    ASSERT_EQ(split.entryCount(), 65536u);
    split.outputPath = dir.File("split_fixed.zip");
    ASSERT_TRUE(RebuildSplitArchive(split, reporter));
    const Bytes splitOutput = ReadWholeFile(split.outputPath);
    a = ParseArchive(splitOutput);
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.zip64VersionNeeded, 45);
    EXPECT_EQ(a.zip64VersionMadeBy, 45);
    const Bytes singleOutput = ReadWholeFile(state.outputPath);
    EXPECT_EQ(Bytes(splitOutput.begin(), splitOutput.end() - 98), Bytes(singleOutput.begin(), singleOutput.end() - 98));

    // One row fewer: the plain end record suffices.
    state.entries.pop_back();
    state.outputPath = dir.File("fewer_fixed.zip");
    ASSERT_TRUE(RebuildSingleArchive(state, reporter));
    a = ParseArchive(ReadWholeFile(state.outputPath));
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_FALSE(a.zip64);
    EXPECT_EQ(a.eocdEntries, 65535);
    EXPECT_TRUE(reporter.keys.empty());
}

TEST(RebuildSplit, EntryCrossingPartsIsWrittenWholeOnce) {
    TempDir dir;
    Bytes source;
    Append(source, LocalRecord({"first.txt", std::string(500, '1'), 0x1}));
    Append(source, LocalRecord({"across.bin", std::string(3000, 'c'), 0x2}));
    Append(source, LocalRecord({"last.txt", "fin", 0x3}));
    JobState state;
    state.splitMode = true;
    state.scanSourcePath = dir.path();
    state.lastPartName = "/x.z03";
    // Parts of 1000 bytes: the middle entry spans three of them.
    for (std::size_t at = 0, n = 1; at < source.size(); at += 1000, ++n) {
        const std::size_t end = std::min(source.size(), at + 1000);
        const std::string name = end == source.size() ? "x.zip" : "x.z0" + std::to_string(n);
        state.scanLayout.AddPart(
            dir.Write(name, Bytes(source.begin() + static_cast<std::ptrdiff_t>(at), source.begin() + static_cast<std::ptrdiff_t>(end))),
            end - at, true);
    }
    RecordingReporter reporter;
    ScanOptions options;
    ASSERT_TRUE(ScanLayout(state, reporter, options));
    ASSERT_EQ(state.entryCount(), 3u);
    ::mkdir(dir.File("out").c_str(), 0755);
    state.outputPath = dir.File("out/x_fixed.zip");
    ASSERT_TRUE(RebuildSplitArchive(state, reporter));
    RebuildResult r;
    r.rows.assign(state.entries.begin(), state.entries.end());
    r.output = ReadWholeFile(state.outputPath);
    r.archive = ParseArchive(r.output);
    ExpectEntriesCopied(r, source);
    EXPECT_EQ(FolderNames(dir.File("out")), Names{"x_fixed.zip"});
}

TEST(RebuildLargeSource, FourGiBSourceGivesNtfsBlocks) {
    // A sparse file: the hole costs no disk. The rows are given directly, so
    // nothing walks the 4 GiB.
    TempDir dir;
    const std::string path = dir.File("big.zip");
    const Bytes first = LocalRecord({"first.txt", "one", 0x1});
    const Bytes second = LocalRecord({"second.txt", "two", 0x2});
    const std::uint64_t secondAt = 0x100000000ull + 100;
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, first.data(), first.size(), 0), static_cast<ssize_t>(first.size()));
    ASSERT_EQ(::pwrite(fd, second.data(), second.size(), static_cast<off_t>(secondAt)), static_cast<ssize_t>(second.size()));
    ::close(fd);

    JobState state;
    state.scanSourcePath = path;
    const std::uint64_t size = secondAt + second.size();
    state.scanLayout.AddPart(path, size, false);
    RecoveredEntry a;
    state.SetName(a, "first.txt");
    a.crc32 = 1;
    a.compressedSize = a.uncompressedSize = 3;
    a.entryLength = first.size();
    RecoveredEntry b = a;
    state.SetName(b, "second.txt");
    b.crc32 = 2;
    b.headerOffset = secondAt;
    b.entryLength = second.size();
    state.entries = {a, b};
    state.outputPath = dir.File("big_fixed.zip");
    RecordingReporter reporter;
    ASSERT_TRUE(RebuildSingleArchive(state, reporter));
    RebuildResult r;
    r.rows.assign(state.entries.begin(), state.entries.end());
    r.output = ReadWholeFile(state.outputPath);
    r.archive = ParseArchive(r.output);
    ASSERT_TRUE(r.archive.ok) << r.archive.error;
    ASSERT_EQ(r.archive.headers.size(), 2u);
    for (const auto& h : r.archive.headers) {
        ASSERT_EQ(h.extra.size(), 36u) << h.name;  // NTFS alone: nothing here needs ZIP64
        EXPECT_EQ(ReadU16(&h.extra[0]), 0x000A);
    }
    EXPECT_EQ(r.archive.headers[1].offset32, first.size());
    EXPECT_EQ(Bytes(r.output.begin() + static_cast<std::ptrdiff_t>(first.size()),
                    r.output.begin() + static_cast<std::ptrdiff_t>(first.size() + second.size())),
              second);
}

TEST(RebuildProgress, TinySourceNeedsNoDivisionByZero) {
    TempDir dir;
    const Bytes entry = LocalRecord({"t", "x", 0x1});
    JobState state;
    state.scanSourcePath = dir.Write("tiny.zip", entry);
    state.scanLayout.AddPart(state.scanSourcePath, entry.size(), false);
    RecoveredEntry row;
    state.SetName(row, "t");
    row.crc32 = 1;
    row.compressedSize = row.uncompressedSize = 1;
    row.entryLength = entry.size();
    state.entries = {row};
    state.outputPath = dir.File("tiny_fixed.zip");
    RecordingReporter reporter;
    ASSERT_TRUE(RebuildSingleArchive(state, reporter));
    EXPECT_EQ(state.savePercent.load(), 100);
}

// Resets the injected write limit however the test ends.
struct WriteLimitGuard {
    ~WriteLimitGuard() { SetWriteLimitForTesting(std::numeric_limits<std::uint64_t>::max()); }
};

TEST(RebuildFailure, FullDiskAtAnyPointReportsAndLeavesNothing) {
    TempDir dir;
    const std::string source = dir.Write("a.zip", MixedSource());
    RebuildOptions options;
    options.blockSize = 64;  // the central headers spill to their own file too
    WriteLimitGuard guard;
    bool succeeded = false;
    for (std::uint64_t limit = 0; limit < 5000 && !succeeded; ++limit) {
        SetWriteLimitForTesting(limit);
        const RebuildResult r = ScanAndRebuild(dir, source, options);
        if (r.ok) {
            succeeded = true;
            EXPECT_GT(limit, r.output.size());  // the spilled headers counted too
            EXPECT_EQ(FolderNames(dir.File("out")), Names{"a_fixed.zip"});
            break;
        }
        ASSERT_EQ(r.reported, std::vector<std::string>{"IDS_SAVE_DISK_FULL"}) << limit;
        ASSERT_EQ(FolderNames(dir.File("out")), Names{}) << "limit " << limit;
    }
    EXPECT_TRUE(succeeded);
}

TEST(RebuildFailure, MissingDestinationFolderIsReported) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", MixedSource());
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    state.outputPath = dir.File("no/such/folder/a_fixed.zip");
    EXPECT_FALSE(RebuildSingleArchive(state, reporter));
    EXPECT_EQ(reporter.keys, std::vector<std::string>{"IDS_SAVE_CREATE_FAILED"});
}

TEST(RebuildFailure, SourceChangedSinceTheScan) {
    TempDir dir;
    const Bytes original = MixedSource();
    const std::string path = dir.Write("a.zip", original);
    ::mkdir(dir.File("out").c_str(), 0755);
    const auto prepare = [&](JobState& state) {
        dir.Write("a.zip", original);
        state.sourcePath = path;
        RecordingReporter scanReporter;
        ASSERT_TRUE(ScanSingleArchive(state, scanReporter));
        state.outputPath = dir.File("out/a_fixed.zip");
    };
    {
        SCOPED_TRACE("a local header overwritten");
        JobState state;
        prepare(state);
        Bytes changed = original;
        changed[state.entries[3].headerOffset] = 'X';
        dir.Write("a.zip", changed);
        RecordingReporter reporter;
        EXPECT_FALSE(RebuildSingleArchive(state, reporter));
        EXPECT_EQ(reporter.keys, std::vector<std::string>{"IDS_SAVE_READ_FAILED"});
        EXPECT_EQ(FolderNames(dir.File("out")), Names{});
    }
    {
        SCOPED_TRACE("the file shrank");
        JobState state;
        prepare(state);
        dir.Write("a.zip", Bytes(original.begin(), original.end() - 1));
        RecordingReporter reporter;
        EXPECT_FALSE(RebuildSingleArchive(state, reporter));
        EXPECT_EQ(reporter.keys, std::vector<std::string>{"IDS_SAVE_READ_FAILED"});
        EXPECT_EQ(FolderNames(dir.File("out")), Names{});
    }
    {
        SCOPED_TRACE("the file is gone");
        JobState state;
        prepare(state);
        RemoveFile(path);
        RecordingReporter reporter;
        EXPECT_FALSE(RebuildSingleArchive(state, reporter));
        EXPECT_EQ(reporter.keys, std::vector<std::string>{"IDS_SAVE_READ_FAILED"});
        EXPECT_EQ(FolderNames(dir.File("out")), Names{});
    }
}

TEST(RebuildNaming, NameTakenMeanwhileGoesToTheNextFreeName) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", MixedSource());
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    state.archiveFileName = "/a.zip";
    state.outputPath = dir.File("a_fixed.zip");
    const std::string theirs = "someone else's file";
    dir.WriteText("a_fixed.zip", theirs);
    ASSERT_TRUE(RebuildSingleArchive(state, reporter));
    EXPECT_EQ(state.outputPath, dir.File("a_fixed1.zip"));
    EXPECT_EQ(ReadWholeFile(dir.File("a_fixed.zip")), Bytes(theirs.begin(), theirs.end()));
    EXPECT_TRUE(ParseArchive(ReadWholeFile(state.outputPath)).ok);
    EXPECT_EQ(FolderNames(dir.path()), (Names{"a.zip", "a_fixed.zip", "a_fixed1.zip"}));
}

TEST(RebuildCancel, CancelledBeforeStartWritesNothing) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", MixedSource());
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    ::mkdir(dir.File("out").c_str(), 0755);
    state.outputPath = dir.File("out/a_fixed.zip");
    state.saveAborted = true;
    EXPECT_FALSE(RebuildSingleArchive(state, reporter));
    state.saveAborted = false;
    state.jobRunning = false;
    EXPECT_FALSE(RebuildSingleArchive(state, reporter));
    EXPECT_TRUE(reporter.keys.empty());
    EXPECT_EQ(FolderNames(dir.File("out")), Names{});
}

TEST(RebuildCancel, CancelInTheMiddleOfALargeEntryLeavesNothing) {
    TempDir dir;
    // One stored entry of 64 MiB in a sparse file.
    const std::uint64_t dataSize = 64ull << 20;
    const Bytes header = LocalRecord({"large.bin", "", 0x1, 0, {}, static_cast<std::int64_t>(dataSize),
                                      static_cast<std::int64_t>(dataSize)});
    const std::string path = dir.File("large.zip");
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, header.data(), header.size()), static_cast<ssize_t>(header.size()));
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(header.size() + dataSize)), 0);
    ::close(fd);

    JobState state;
    state.scanSourcePath = path;
    state.scanLayout.AddPart(path, header.size() + dataSize, false);
    RecoveredEntry row;
    state.SetName(row, "large.bin");
    row.crc32 = 1;
    row.compressedSize = row.uncompressedSize = dataSize;
    row.entryLength = header.size() + dataSize;
    state.entries = {row};
    ::mkdir(dir.File("out").c_str(), 0755);
    state.outputPath = dir.File("out/large_fixed.zip");

    RebuildOptions options;
    options.blockSize = 16 << 10;
    RecordingReporter reporter;
    bool result = true;
    std::thread worker([&] { result = RebuildLayout(state, reporter, options, nullptr); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (state.savePercent.load() < 5 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    state.pauseGate.Pause();
    const int percentAtPause = state.savePercent.load();
    // Mid-entry: part of the data is in the output file, which has no name yet.
    const Names whileHeld = FolderNames(dir.File("out"));
    state.saveAborted = true;
    state.pauseGate.Resume();
    worker.join();

    EXPECT_GE(percentAtPause, 5);
    EXPECT_LT(percentAtPause, 100);
    EXPECT_EQ(whileHeld, Names{});
    EXPECT_FALSE(result);
    EXPECT_TRUE(reporter.keys.empty());
    EXPECT_EQ(FolderNames(dir.File("out")), Names{});
}

}  // namespace
}  // namespace vrz::test
