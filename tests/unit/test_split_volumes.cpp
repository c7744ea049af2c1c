// Byte-split volumes (name.zip.001, …) and single parts that stand for the
// split set beside them.
#include <gtest/gtest.h>

#include "ScanHelpers.h"
#include "scan/PartDiscovery.h"
#include "scan/PartNames.h"
#include "scan/SplitFolderCheck.h"
#include "scan/SplitSetOfFile.h"
#include "writer/OutputNaming.h"

namespace vrz::test {
namespace {

void Touch(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) dir.WriteText(name, "x");
}

TEST(SplitVolumes, NamesAreVolumesOnlyAfterAnArchiveExtension) {
    EXPECT_EQ(ClassifyPartName("set.zip.001").family, PartFamily::kVolumes);
    EXPECT_EQ(ClassifyPartName("set.zip.012").number, 12);
    EXPECT_EQ(ClassifyPartName("set.zip.001").base, "set.zip");
    EXPECT_EQ(ClassifyPartName("set.zipx.1000").family, PartFamily::kVolumes);
    EXPECT_EQ(ClassifyPartName("photo.jpg.001").family, PartFamily::kNone);
    EXPECT_EQ(ClassifyPartName("set.zip.01").family, PartFamily::kNone);
    EXPECT_EQ(ClassifyPartName("set.zip.000").family, PartFamily::kNone);
}

TEST(SplitVolumes, FolderOfVolumesIsOneSetInNumberOrder) {
    TempDir dir;
    Touch(dir, {"set.zip.010", "set.zip.002", "set.zip.001", "set.zip.003", "set.zip.004", "set.zip.005",
                "set.zip.006", "set.zip.007", "set.zip.008", "set.zip.009", "notes.txt"});
    bool zipx = true;
    std::string last;
    ASSERT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
    EXPECT_FALSE(zipx);
    EXPECT_EQ(last, "/set.zip.010");
    const auto parts = DiscoverParts(dir.path(), zipx);
    ASSERT_EQ(parts.size(), 10u);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].number, static_cast<int>(i + 1));
        EXPECT_EQ(parts[i].continuesPrevious, i > 0);
    }
    JobState state;
    state.splitMode = true;
    state.lastPartName = last;
    EXPECT_EQ(ArchiveFileNameFor(state), "/set.zip");
}

TEST(SplitVolumes, VolumesBesideAnotherSetAreMixed) {
    TempDir dir;
    Touch(dir, {"set.zip.001", "set.zip.002", "other.z01", "other.zip"});
    bool zipx = false;
    std::string last;
    EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kMixedParts);
}

TEST(SplitSetBesideFile, FinalPartOrVolumeStandsForItsSet) {
    TempDir dir;
    Touch(dir, {"backup.z01", "backup.z02", "backup.zip"});
    std::string folder;
    EXPECT_TRUE(SplitSetBesideFile(dir.File("backup.zip"), &folder));
    EXPECT_EQ(folder, dir.path());

    TempDir volumes;
    Touch(volumes, {"set.zip.001", "set.zip.002"});
    EXPECT_TRUE(SplitSetBesideFile(volumes.File("set.zip.002"), &folder));
    EXPECT_EQ(folder, volumes.path());
}

TEST(SplitSetBesideFile, LoneArchiveOrAnotherSetsFileDoesNot) {
    TempDir lone;
    Touch(lone, {"backup.zip", "notes.txt"});
    std::string folder;
    EXPECT_FALSE(SplitSetBesideFile(lone.File("backup.zip"), &folder));

    TempDir other;
    Touch(other, {"data.z01", "data.zip", "backup.zip"});
    EXPECT_FALSE(SplitSetBesideFile(other.File("backup.zip"), &folder));

    TempDir two;
    Touch(two, {"a.z01", "a.zip", "b.z01", "b.zip"});
    EXPECT_FALSE(SplitSetBesideFile(two.File("a.zip"), &folder));
}

}  // namespace
}  // namespace vrz::test
