#include <gtest/gtest.h>

#include "ScanHelpers.h"
#include "io/LayoutFiles.h"
#include "scan/PartDiscovery.h"
#include "scan/PartNames.h"
#include "scan/ScanSplitArchive.h"
#include "scan/SplitFolderCheck.h"

namespace vrz::test {
namespace {

std::vector<std::string> FileNames(const std::vector<DiscoveredPart>& parts) {
    std::vector<std::string> names;
    for (const auto& p : parts) names.push_back(p.fileName);
    return names;
}

void Touch(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) dir.WriteText(name, "x");
}

TEST(PartNames, Classification) {
    EXPECT_EQ(ClassifyPartName("a.z01").family, PartFamily::kZip);
    EXPECT_EQ(ClassifyPartName("a.z01").number, 1);
    EXPECT_EQ(ClassifyPartName("a.z100").number, 100);
    EXPECT_TRUE(ClassifyPartName("a.zip").isFinal);
    EXPECT_EQ(ClassifyPartName("a.zx07").family, PartFamily::kZipx);
    EXPECT_EQ(ClassifyPartName("a.zx07").number, 7);
    EXPECT_EQ(ClassifyPartName("a.zipx").family, PartFamily::kZipx);
    // Names copied from systems that write them in capitals.
    EXPECT_EQ(ClassifyPartName("A.Z01").family, PartFamily::kZip);
    EXPECT_EQ(ClassifyPartName("A.Z01").number, 1);
    EXPECT_EQ(ClassifyPartName("A.Z01").setKey, ClassifyPartName("a.zip").setKey);
    EXPECT_TRUE(ClassifyPartName("A.ZIP").isFinal);
    EXPECT_EQ(ClassifyPartName("A.ZX02").family, PartFamily::kZipx);
    EXPECT_TRUE(ClassifyPartName("A.ZipX").isFinal);
    EXPECT_EQ(ClassifyPartName("A.ZIP.003").family, PartFamily::kVolumes);
    EXPECT_EQ(ClassifyPartName("a.zst").family, PartFamily::kNone);
    EXPECT_EQ(ClassifyPartName("notes.txt").family, PartFamily::kNone);
    EXPECT_EQ(ClassifyPartName("a.z00").family, PartFamily::kNone);
}

TEST(PartDiscovery, ZipFamilyInNumberOrderThenFinalPart) {
    TempDir dir;
    Touch(dir, {"d.zip", "d.z10", "d.z02", "d.z01", "d.z09", "d.z03", "d.z04", "d.z05", "d.z06", "d.z07",
                "d.z08", "d.z11", "readme.txt"});
    const auto parts = DiscoverParts(dir.path(), false);
    EXPECT_EQ(FileNames(parts), (std::vector<std::string>{"d.z01", "d.z02", "d.z03", "d.z04", "d.z05", "d.z06",
                                                          "d.z07", "d.z08", "d.z09", "d.z10", "d.z11", "d.zip"}));
    for (std::size_t i = 1; i < parts.size(); ++i) EXPECT_TRUE(parts[i].continuesPrevious) << i;
    EXPECT_FALSE(parts[0].continuesPrevious);
}

TEST(PartDiscovery, ZipxFinalPartComesLast) {
    TempDir dir;
    Touch(dir, {"d.zipx", "d.zx01", "d.zx02"});
    EXPECT_EQ(FileNames(DiscoverParts(dir.path(), true)), (std::vector<std::string>{"d.zx01", "d.zx02", "d.zipx"}));
}

TEST(PartDiscovery, GapInNumbersBreaksTheChain) {
    TempDir dir;
    Touch(dir, {"d.z01", "d.z03", "d.zip"});
    const auto parts = DiscoverParts(dir.path(), false);
    ASSERT_EQ(FileNames(parts), (std::vector<std::string>{"d.z01", "d.z03", "d.zip"}));
    EXPECT_FALSE(parts[1].continuesPrevious);
    EXPECT_TRUE(parts[2].continuesPrevious);
}

TEST(SplitFolderCheck, Verdicts) {
    bool zipx = true;
    std::string last;
    {
        TempDir dir;
        Touch(dir, {"data.z01", "data.z02", "data.zip"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
        EXPECT_FALSE(zipx);
        EXPECT_EQ(last, "/data.zip");
    }
    {
        TempDir dir;
        Touch(dir, {"data.zx01", "data.zipx"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
        EXPECT_TRUE(zipx);
    }
    {
        TempDir dir;
        Touch(dir, {"a.z01", "b.z02"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kMixedParts);
    }
    {
        TempDir dir;
        Touch(dir, {"data.z01", "data.zx02"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kMixedParts);
    }
    {
        TempDir dir;
        Touch(dir, {"notes.txt", "data.txt"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kNoParts);
    }
    {
        TempDir dir;
        Touch(dir, {"notes.txt", "DATA.Z01", "DATA.Z02", "DATA.ZIP"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
        EXPECT_EQ(last, "/DATA.ZIP");
        EXPECT_EQ(FileNames(DiscoverParts(dir.path(), false)),
                  (std::vector<std::string>{"DATA.Z01", "DATA.Z02", "DATA.ZIP"}));
    }
    {
        // A repaired copy saved beside the parts, or another archive, is no part.
        TempDir dir;
        Touch(dir, {"data.z01", "data.zip", "data_fixed.zip", "aaa.zip"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
        EXPECT_EQ(last, "/data.zip");
        EXPECT_EQ(FileNames(DiscoverParts(dir.path(), false)), (std::vector<std::string>{"data.z01", "data.zip"}));
    }
    {
        // Lone archives and no numbered parts: nothing says which one is meant.
        TempDir dir;
        Touch(dir, {"one.zip", "two.zip"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kMixedParts);
    }
    {
        TempDir dir;
        Touch(dir, {"only.zipx"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
        EXPECT_TRUE(zipx);
    }
    {
        // A stray file sorting before the parts does not make the set inconsistent.
        TempDir dir;
        Touch(dir, {"0-readme.txt", "data.z01", "data.zip"});
        EXPECT_EQ(CheckSplitFolder(dir.path(), &zipx, &last), SplitFolderVerdict::kOk);
    }
}

TEST(SplitScan, EntryWithoutDescriptorCrossesIntoTheNextPart) {
    TempDir dir;
    Bytes all = LocalRecord({"first.txt", std::string(300, 'f')});
    Append(all, LocalRecord({"second.txt", std::string(500, 's')}));
    Append(all, CentralStub());
    const std::size_t cut = 400;  // inside second.txt
    dir.Write("s.z01", Bytes(all.begin(), all.begin() + cut));
    dir.Write("s.zip", Bytes(all.begin() + cut, all.end()));
    JobState state;
    state.sourcePath = dir.path();
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSplitArchive(state, reporter));
    ASSERT_EQ(state.entryCount(), 2u);
    EXPECT_EQ(state.NameOf(state.entries[1]), "second.txt");
    EXPECT_EQ(state.entries[1].part, 0u);
    EXPECT_EQ(state.entries[1].entryLength, 30u + 10 + 500);
}

TEST(SplitScan, NoEntryIsReadAcrossAMissingPart) {
    TempDir dir;
    Bytes all = LocalRecord({"a.txt", std::string(200, 'a')});
    Append(all, LocalRecord({"b.txt", std::string(400, 'b')}));
    Bytes tail = LocalRecord({"c.txt", std::string(50, 'c')});
    Append(tail, CentralStub());
    dir.Write("s.z01", Bytes(all.begin(), all.begin() + 300));  // b.txt continues in s.z02, which is lost
    dir.Write("s.z03", Bytes(all.begin() + 300, all.end()));
    dir.Write("s.zip", tail);
    JobState state;
    state.sourcePath = dir.path();
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSplitArchive(state, reporter));
    std::vector<std::string> names;
    for (const auto& e : state.entries) names.emplace_back(state.NameOf(e));
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "c.txt"}));
}

TEST(SplitScan, StreamedEntryFindsItsDescriptorInALaterPart) {
    TempDir dir;
    LocalEntry streamed{"s.bin", std::string(700, 'q'), 0x77, 0x0008, {}, 0, 0, 16};
    Bytes all = LocalRecord(streamed);
    Append(all, LocalRecord({"after.txt", "a"}));
    Append(all, CentralStub());
    dir.Write("p.zx01", Bytes(all.begin(), all.begin() + 300));
    dir.Write("p.zx02", Bytes(all.begin() + 300, all.begin() + 600));
    dir.Write("p.zipx", Bytes(all.begin() + 600, all.end()));
    JobState state;
    state.sourcePath = dir.path();
    state.splitIsZipx = true;
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSplitArchive(state, reporter));
    ASSERT_EQ(state.entryCount(), 2u);
    EXPECT_EQ(state.entries[0].compressedSize, 700u);
    EXPECT_EQ(state.entries[0].crc32, 0x77u);
    EXPECT_EQ(state.NameOf(state.entries[1]), "after.txt");
}

TEST(SplitScan, AShortenedPartEndsTheChain) {
    // s.z02 lost its last bytes: the entry that ran on into s.z03 would be
    // spliced from the wrong bytes, so it is dropped; the next one is found.
    // Nothing in s.z02 shows where its bytes line up, so it joins neither side.
    TempDir dir;
    Bytes all = LocalRecord({"a.txt", std::string(250, 'a')});
    Append(all, LocalRecord({"b.txt", std::string(300, 'b')}));
    Append(all, LocalRecord({"c.txt", std::string(200, 'c')}));
    Append(all, CentralStub());
    dir.Write("s.z01", Bytes(all.begin(), all.begin() + 300));
    dir.Write("s.z02", Bytes(all.begin() + 300, all.begin() + 500));  // should hold 300 bytes
    dir.Write("s.z03", Bytes(all.begin() + 600, all.begin() + 900));
    dir.Write("s.zip", Bytes(all.begin() + 900, all.end()));
    const auto parts = DiscoverParts(dir.path(), false);
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_TRUE(parts[1].follows);
    EXPECT_FALSE(parts[1].continuesPrevious);
    EXPECT_TRUE(parts[2].follows);
    EXPECT_FALSE(parts[2].continuesPrevious);
    EXPECT_TRUE(parts[3].continuesPrevious);
    JobState state;
    state.sourcePath = dir.path();
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSplitArchive(state, reporter));
    std::vector<std::string> names;
    for (const auto& e : state.entries) names.emplace_back(state.NameOf(e));
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "c.txt"}));
}

TEST(SplitScan, APartOfAnotherSizeJoinsWhereItsEntriesLineUp) {
    // Parts of 300 bytes; s.z02 is damaged. The entries that cross into and
    // out of it line up with the records around them, which decides where its
    // bytes join; only an entry whose own bytes are gone is lost.
    const std::vector<std::pair<std::string, std::size_t>> files = {
        {"a.txt", 250}, {"b.txt", 100}, {"c.txt", 100}, {"d.txt", 100}, {"e.txt", 150}, {"f.txt", 100}};
    Bytes all;  // a ends at 285, b crosses into s.z02, d out of it (at 600), f into s.zip (at 900)
    for (const auto& [name, size] : files) Append(all, LocalRecord({name, std::string(size, name[0])}));
    Append(all, CentralStub());
    const auto slice = [&all](std::size_t from, std::size_t to) { return Bytes(all.begin() + from, all.begin() + to); };
    struct Case {
        const char* damage;
        Bytes second;
        std::vector<std::string> found;
    };
    Bytes tooLong = slice(300, 600);
    Append(tooLong, Bytes(10, 'j'));
    const Case cases[] = {
        {"ten bytes appended", tooLong, {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"}},
        {"last ten bytes lost", slice(300, 590), {"a.txt", "b.txt", "c.txt", "e.txt", "f.txt"}},
        {"first ten bytes lost", slice(310, 600), {"a.txt", "c.txt", "d.txt", "e.txt", "f.txt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.damage);
        TempDir dir;
        dir.Write("s.z01", slice(0, 300));
        dir.Write("s.z02", c.second);
        dir.Write("s.z03", slice(600, 900));
        dir.Write("s.zip", slice(900, all.size()));
        JobState state;
        state.sourcePath = dir.path();
        RecordingReporter reporter;
        ASSERT_TRUE(ScanSplitArchive(state, reporter));
        std::vector<std::string> names;
        LayoutFiles source(state.scanLayout);
        for (const auto& e : state.entries) {
            names.emplace_back(state.NameOf(e));
            // Each entry found reads back as its own bytes across the joins.
            std::string data(e.compressedSize, '\0');
            ASSERT_TRUE(source.Read(e.headerOffset + 30 + 5, reinterpret_cast<std::uint8_t*>(&data[0]), data.size(),
                                    LayoutFiles::ShortRead::kFail));
            EXPECT_EQ(data, std::string(data.size(), names.back()[0])) << names.back();
        }
        EXPECT_EQ(names, c.found);
    }
}

}  // namespace
}  // namespace vrz::test
