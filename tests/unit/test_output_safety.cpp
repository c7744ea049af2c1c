// The output side under failure: unnamed output files and their fallback,
// in-kernel copies and their fallback, a full disk in the middle of a large
// copy, the commit point between a late abort and a finished save, output
// names near the length limit, and sources that must be refused at once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <random>

#include "WriterTestSupport.h"
#include "io/FileIo.h"
#include "state/CommitPoint.h"
#include "state/NameArena.h"
#include "writer/OutputNaming.h"
#include "writer/StagedOutput.h"

namespace vrz::test {
namespace {

using Names = std::vector<std::string>;

// Puts every testing switch of the file layer back however a test ends.
struct IoSwitchGuard {
    ~IoSwitchGuard() {
        SetWriteLimitForTesting(std::numeric_limits<std::uint64_t>::max());
        SetUnnamedFilesRefusedForTesting(false);
        SetInKernelCopyRefusedForTesting(false);
    }
};

Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

// Two stored entries large enough for the in-kernel copy, with junk between.
Bytes LargeEntrySource() {
    const Bytes big = RandomBytes(3 << 20, 5);
    Bytes b = Garbage(1000, 4);
    Append(b, LocalRecord({"big.bin", std::string(big.begin(), big.end()), 0x1234ABCD}));
    Append(b, LocalRecord({"small.txt", "small", 0x0BADF00D}));
    Append(b, Garbage(333, 6));
    Append(b, LocalRecord({"big2.bin", std::string(big.begin(), big.begin() + (1 << 20) + 7), 0x7777ABCD}));
    Append(b, CentralStub());
    return b;
}

TEST(StagedOutputFile, NothingIsVisibleUntilNamedInEitherWay) {
    IoSwitchGuard guard;
    for (const bool refuseUnnamed : {false, true}) {
        SCOPED_TRACE(refuseUnnamed ? "hidden temporary name" : "unnamed file");
        SetUnnamedFilesRefusedForTesting(refuseUnnamed);
        TempDir dir;
        const std::string target = dir.File("a_fixed.zip");
        {
            StagedOutput out(16);
            ASSERT_TRUE(out.Create(target));
            EXPECT_EQ(out.Unnamed(), !refuseUnnamed);
            const std::string text = "some bytes that are more than one buffer long";
            ASSERT_TRUE(out.Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
            EXPECT_EQ(FolderNames(dir.path()).size(), refuseUnnamed ? 1u : 0u);
            // Dropped without a name: nothing stays.
        }
        EXPECT_EQ(FolderNames(dir.path()), Names{});

        dir.WriteText("a_fixed.zip", "someone else's file");
        StagedOutput out(16);
        ASSERT_TRUE(out.Create(target));
        const std::string text = "the archive";
        ASSERT_TRUE(out.Append(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        ASSERT_TRUE(out.Seal());
        bool nameTaken = false;
        EXPECT_FALSE(out.MoveTo(target, &nameTaken));
        EXPECT_TRUE(nameTaken);
        const std::string theirs = "someone else's file";
        EXPECT_EQ(ReadWholeFile(target), Bytes(theirs.begin(), theirs.end()));
        ASSERT_TRUE(out.MoveTo(dir.File("a_fixed1.zip"), &nameTaken));
        EXPECT_EQ(ReadWholeFile(dir.File("a_fixed1.zip")), Bytes(text.begin(), text.end()));
        EXPECT_EQ(FolderNames(dir.path()), (Names{"a_fixed.zip", "a_fixed1.zip"}));
    }
}

TEST(StagedOutputFile, UnnamedFileGetsTheUsualPermissions) {
    TempDir dir;
    StagedOutput out(16);
    ASSERT_TRUE(out.Create(dir.File("a.zip")));
    ASSERT_TRUE(out.Seal());
    bool nameTaken = false;
    ASSERT_TRUE(out.MoveTo(dir.File("a.zip"), &nameTaken));
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("a.zip").c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

TEST(RebuildCopy, InKernelAndBufferedCopiesGiveTheSameArchive) {
    IoSwitchGuard guard;
    TempDir dir;
    const Bytes source = LargeEntrySource();
    const std::string path = dir.Write("a.zip", source);
    const RebuildResult inKernel = ScanAndRebuild(dir, path);
    ASSERT_TRUE(inKernel.ok);
    ASSERT_EQ(inKernel.rows.size(), 3u);
    ASSERT_TRUE(inKernel.archive.ok) << inKernel.archive.error;
    for (const RecoveredEntry& row : inKernel.rows) {
        const Bytes original(source.begin() + static_cast<std::ptrdiff_t>(row.headerOffset),
                             source.begin() + static_cast<std::ptrdiff_t>(row.headerOffset + row.entryLength));
        EXPECT_NE(std::search(inKernel.output.begin(), inKernel.output.end(), original.begin(), original.end()),
                  inKernel.output.end());
    }
    RemoveFile(inKernel.outputPath);

    SetInKernelCopyRefusedForTesting(true);
    const RebuildResult buffered = ScanAndRebuild(dir, path);
    ASSERT_TRUE(buffered.ok);
    EXPECT_EQ(buffered.output, inKernel.output);
    EXPECT_EQ(buffered.run.bytesWritten, inKernel.run.bytesWritten);
}

TEST(RebuildCopy, FullDiskDuringLargeCopiesLeavesNothing) {
    IoSwitchGuard guard;
    TempDir dir;
    const std::string path = dir.Write("a.zip", LargeEntrySource());
    for (const bool refuseCopy : {false, true}) {
        for (const bool refuseUnnamed : {false, true}) {
            for (const std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{100}, std::uint64_t{2} << 20,
                                              std::uint64_t{(3 << 20) + 200}, std::uint64_t{4} << 20}) {
                SCOPED_TRACE(std::to_string(refuseCopy) + std::to_string(refuseUnnamed) + " " + std::to_string(limit));
                SetInKernelCopyRefusedForTesting(refuseCopy);
                SetUnnamedFilesRefusedForTesting(refuseUnnamed);
                SetWriteLimitForTesting(limit);
                const RebuildResult r = ScanAndRebuild(dir, path);
                EXPECT_FALSE(r.ok);
                EXPECT_EQ(r.reported, Names{"IDS_SAVE_DISK_FULL"});
                EXPECT_EQ(FolderNames(dir.File("out")), Names{});
            }
        }
    }
}

TEST(RebuildCommit, LateAbortAndFinishedSaveNeverBothWin) {
    CommitPoint first;
    EXPECT_TRUE(first.TryAbort());
    EXPECT_FALSE(first.TryCommit());
    CommitPoint second;
    EXPECT_TRUE(second.TryCommit());
    EXPECT_FALSE(second.TryAbort());
    EXPECT_TRUE(second.Committed());
}

TEST(RebuildCommit, AbortThatWonTheCommitPointLeavesNothing) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", LargeEntrySource());
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    ::mkdir(dir.File("out").c_str(), 0755);
    state.outputPath = dir.File("out/a_fixed.zip");

    // The user's Yes claims the point while the writer is busy; the writer
    // then must not name its archive, even with no poll in between.
    struct ClaimAtSync : RecordingReporter {
        JobState* job = nullptr;
        void PassedSaveStep(const char* step) override {
            if (std::string(step) == "name") {
                EXPECT_TRUE(job->saveCommit.TryAbort());
            }
        }
    } claiming;
    claiming.job = &state;
    EXPECT_FALSE(RebuildSingleArchive(state, claiming));
    EXPECT_TRUE(claiming.keys.empty());
    EXPECT_EQ(FolderNames(dir.File("out")), Names{});
}

TEST(OutputNameLimit, LongSourceNamesAreCutToFitWithTheirSuffix) {
    TempDir dir;
    // 2-byte characters, so that a cut in the wrong place would split one.
    std::string base;
    while (base.size() < 246) base += "\xC3\xA9";  // é
    const std::string longName = "/" + base + "x.zip";
    ASSERT_GE(longName.size(), 248u);
    const std::string first = ChooseOutputPath(dir.path(), longName);
    const std::string firstName = FileNameOf(first);
    EXPECT_LE(firstName.size(), 255u);
    EXPECT_EQ(firstName.substr(firstName.size() - 10), "_fixed.zip");
    EXPECT_EQ(firstName.find("\xC3\xA9_fixed"), firstName.size() - 12);  // cut after a whole character
    dir.WriteText(firstName, "taken");
    const std::string second = FileNameOf(ChooseOutputPath(dir.path(), longName));
    EXPECT_LE(second.size(), 255u);
    EXPECT_EQ(second.substr(second.size() - 11), "_fixed1.zip");
    EXPECT_EQ((second.size() - 11) % 2, 0u);  // whole two-byte characters only

    // A short name is left as it is.
    EXPECT_EQ(FileNameOf(ChooseOutputPath(dir.path(), "/mail.zip")), "mail_fixed.zip");
}

TEST(OddSources, FifoAndFolderAreRefusedAtOnce) {
    TempDir dir;
    const std::string fifo = dir.File("pipe.zip");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    InputFile file;
    EXPECT_FALSE(file.Open(fifo));  // would block forever without a writer if opened blocking
    EXPECT_EQ(file.LastError(), "not a regular file");
    EXPECT_FALSE(file.Open(dir.path()));
    EXPECT_FALSE(file.LastError().empty());

    std::vector<std::string> names;
    int error = 0;
    EXPECT_FALSE(ListFolderFiles(dir.File("missing"), &names, &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_TRUE(ListFolderFiles(dir.path(), &names, &error));
    EXPECT_EQ(names, Names{});  // the FIFO is no file to list
}

TEST(NameArenaStore, ViewsStayValidAsTheArenaGrows) {
    NameArena arena;
    std::vector<NameRef> refs;
    std::vector<std::string> names;
    for (int i = 0; i < 200000; ++i) {
        names.push_back("dir" + std::to_string(i % 97) + "/file" + std::to_string(i) + ".txt");
        refs.push_back(arena.Add(names.back()));
    }
    const std::string_view early = arena.View(refs[3]);
    names.push_back(std::string(65535, 'L'));
    refs.push_back(arena.Add(names.back()));  // a longest name starts a block of its own
    refs.push_back(arena.Add(""));
    names.emplace_back();
    EXPECT_EQ(early, names[3]);
    for (std::size_t i = 0; i < names.size(); ++i) ASSERT_EQ(arena.View(refs[i]), names[i]) << i;
    EXPECT_EQ(arena.View(arena.Add(std::string(70000, 'x'))).size(), 65535u);
    EXPECT_EQ(sizeof(NameRef), 8u);
    arena.Clear();
    EXPECT_EQ(arena.BytesReserved(), 0u);
}

}  // namespace
}  // namespace vrz::test
