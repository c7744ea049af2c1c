#include <gtest/gtest.h>

#include <unistd.h>

#include "TempDir.h"
#include "records/ZipConstants.h"
#include "writer/OutputNaming.h"

namespace vrz::test {
namespace {

TEST(OutputNaming, FixedThenNumbers) {
    TempDir dir;
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/mail.zip"), dir.File("mail_fixed.zip"));
    dir.WriteText("mail_fixed.zip", "taken");
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/mail.zip"), dir.File("mail_fixed1.zip"));
    dir.WriteText("mail_fixed1.zip", "taken");
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/mail.zip"), dir.File("mail_fixed2.zip"));
    // A folder or a dangling link holds a name as well as a file does.
    ASSERT_EQ(::mkdir(dir.File("mail_fixed2.zip").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("nowhere", dir.File("mail_fixed3.zip").c_str()), 0);
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/mail.zip"), dir.File("mail_fixed4.zip"));
}

TEST(OutputNaming, ExtensionIsTheTextAfterTheLastDot) {
    TempDir dir;
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/a.b.zipx"), dir.File("a.b_fixed.zipx"));
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/damaged"), dir.File("damaged_fixed"));
    dir.WriteText("damaged_fixed", "taken");
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/damaged"), dir.File("damaged_fixed1"));
    EXPECT_EQ(ChooseOutputPath(dir.path(), "/.zip"), dir.File(".zip_fixed"));
    // A trailing slash on the folder does not double.
    EXPECT_EQ(ChooseOutputPath(dir.path() + "/", "/x.zip"), dir.File("x_fixed.zip"));
}

TEST(OutputNaming, ArchiveFileNameOfSingleAndSplitSources) {
    JobState state;
    state.scanSourcePath = "/data/in/mail.zip";
    EXPECT_EQ(ArchiveFileNameFor(state), "/mail.zip");

    state.splitMode = true;
    state.scanSourcePath = "/data/parts";
    state.lastPartName = "/mail.z03";
    EXPECT_EQ(ArchiveFileNameFor(state), "/mail.zip");
    state.splitIsZipx = true;
    state.lastPartName = "/mail.zx03";
    EXPECT_EQ(ArchiveFileNameFor(state), "/mail.zipx");
    state.lastPartName.clear();
    EXPECT_EQ(ArchiveFileNameFor(state), "/parts.zipx");
}

TEST(OutputNaming, FreeSpace) {
    TempDir dir;
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.path(), 1024), SpaceCheck::kEnough);
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.path(), std::uint64_t{1} << 60), SpaceCheck::kTooLittle);
    // When the file system cannot answer the save goes on; writes are checked anyway.
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.File("missing/folder"), std::uint64_t{1} << 60), SpaceCheck::kUnknown);
}

// Ten gigabytes of zeros compress to a few megabytes: the room needed is
// what the writer copies, not what the entries hold once extracted.
TEST(OutputNaming, RoomNeededIsTheStoredBytesNotTheUnpackedSize) {
    JobState state;
    RecoveredEntry zeros;
    const std::string name = "zeros.bin";
    state.SetName(zeros, name);
    zeros.uncompressedSize = 10ull << 30;
    zeros.compressedSize = 10ull << 20;
    zeros.entryLength = zip::kLocalHeaderSize + name.size() + zeros.compressedSize;
    state.entries.push_back(zeros);
    const std::uint64_t needed = ExpectedOutputBytes(state);
    EXPECT_GT(needed, zeros.entryLength + zip::kCentralHeaderSize + name.size() + zip::kEndOfCentralDirSize);
    EXPECT_LT(needed, zeros.entryLength + 1024);

    TempDir dir;
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.path(), needed), SpaceCheck::kEnough);
    // Beyond what a float counts exactly: one byte over the room left is refused.
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.path(), UINT64_MAX), SpaceCheck::kTooLittle);
    EXPECT_EQ(CheckFreeSpaceForOutput(dir.File("missing/folder"), 1), SpaceCheck::kUnknown);
}

}  // namespace
}  // namespace vrz::test
