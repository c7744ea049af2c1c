#include <gtest/gtest.h>

#include "ScanHelpers.h"

namespace vrz::test {
namespace {

using Names = std::vector<std::string>;

Bytes Archive(const std::vector<LocalEntry>& entries, bool withCentral = true) {
    Bytes out;
    for (const auto& e : entries) Append(out, LocalRecord(e));
    if (withCentral) Append(out, CentralStub());
    return out;
}

TEST(SingleScanSize, RefusesOnlyFilesTooShortForOneLocalHeader) {
    Bytes bytes = Garbage(30);
    ScanResult r = ScanBytes(bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reported, std::vector<std::string>{"IDS_WORD9"});

    bytes.push_back(0);
    r = ScanBytes(bytes);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.reported.empty());
}

TEST(SingleScanSize, MissingFileReportsFailedFile) {
    JobState state;
    state.sourcePath = "/nonexistent/damaged.zip";
    RecordingReporter reporter;
    EXPECT_FALSE(ScanSingleArchive(state, reporter));
    EXPECT_EQ(reporter.keys, std::vector<std::string>{"IDS_FAILEDFILE"});
    EXPECT_EQ(state.progressPercent.load(), 100);
}

TEST(SingleScanEntries, IntactArchiveYieldsEntriesInFileOrderAndGoesOnAfterCentralDirectory) {
    Bytes bytes = Archive({{"b.txt", "bbbb"}, {"a.txt", "aa"}, {"c/", ""}});
    // A header after a central directory may begin a second archive joined to the first.
    Append(bytes, LocalRecord({"late.txt", std::string(200, 'x')}));
    const ScanResult r = ScanBytes(bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.Names(), (Names{"b.txt", "a.txt", "c/", "late.txt"}));
    EXPECT_EQ(r.rows[0].compressedSize, 4u);
    EXPECT_EQ(r.rows[0].crc32, 0x12345678u);
    EXPECT_EQ(r.rows[1].headerOffset, LocalRecord({"b.txt", "bbbb"}).size());
}

TEST(SingleScanEntries, EntryEndingExactlyAtEndOfFileIsKept) {
    // The central directory was cut off right after the last entry's data.
    const Bytes bytes = Archive({{"one.txt", std::string(80, '1')}, {"two.txt", std::string(40, '2')}}, false);
    const ScanResult r = ScanBytes(bytes);
    EXPECT_EQ(r.Names(), (Names{"one.txt", "two.txt"}));
}

TEST(SingleScanEntries, EntryRunningPastEndOfFileIsDropped) {
    Bytes bytes = Archive({{"one.txt", std::string(80, '1')}, {"two.txt", std::string(40, '2')}}, false);
    bytes.pop_back();
    const ScanResult r = ScanBytes(bytes);
    EXPECT_EQ(r.Names(), (Names{"one.txt"}));
}

TEST(SingleScanEntries, GarbageBeforeBetweenAndAfterIsSteppedOver) {
    Bytes bytes = Garbage(1000, 1);
    Append(bytes, LocalRecord({"a.txt", "alpha"}));
    Append(bytes, Garbage(5000, 2));
    Append(bytes, LocalRecord({"b.txt", "beta"}));
    Append(bytes, Garbage(300, 3));
    const ScanResult r = ScanBytes(bytes);
    EXPECT_EQ(r.Names(), (Names{"a.txt", "b.txt"}));
    EXPECT_EQ(r.rows[0].headerOffset, 1000u);
}

TEST(SingleScanEntries, NameLengthLimits) {
    const std::string longest(65535, 'n');
    Bytes bytes;
    Append(bytes, LocalRecord({std::string(4097, 'm'), "x"}));
    Append(bytes, LocalRecord({longest, "data"}));
    Bytes empty = LocalRecord({"", "zzzz"});
    Append(bytes, empty);
    Append(bytes, LocalRecord({"after.txt", "ok"}));
    Append(bytes, CentralStub());
    const ScanResult r = ScanBytes(bytes);
    // An empty name is a name: readers extract such entries.
    EXPECT_EQ(r.Names(), (Names{std::string(4097, 'm'), longest, "", "after.txt"}));
}

TEST(SingleScanEntries, SameNameTwiceGivesTwoRows) {
    const ScanResult r = ScanBytes(Padded(Archive({{"x.txt", "1"}, {"x.txt", "2"}})));
    EXPECT_EQ(r.Names(), (Names{"x.txt", "x.txt"}));
}

TEST(SingleScanEntries, SignatureInsideAcceptedDataIsNeverExamined) {
    const Bytes inner = LocalRecord({"inner.txt", "hidden"});
    const ScanResult r = ScanBytes(Padded(Archive({{"outer.zip", std::string(inner.begin(), inner.end())}})));
    EXPECT_EQ(r.Names(), (Names{"outer.zip"}));
}

TEST(SingleScanNames, FolderEntriesDecideWhetherNamesStand) {
    const ScanResult r = ScanBytes(Padded(Archive({{"docs/", ""},
                                                   {"docs/a.txt", "a"},
                                                   {"lost/b.txt", "b"},
                                                   {"orphan/sub/", ""},
                                                   {"docs/sub/c.txt", "c"},
                                                   {"/rooted", "r"},
                                                   {"top.txt", "t"}})));
    // A folder whose parent is missing is kept, filed like a lost file.
    EXPECT_EQ(r.Names(), (Names{"docs/", "docs/a.txt", "#Lost Files/b.txt", "#Lost Files/sub/", "docs/sub/c.txt",
                                "#Lost Files//rooted", "top.txt"}));
}

TEST(SingleScanNames, FolderAfterItsFilesDoesNotRenameThem) {
    const ScanResult r = ScanBytes(Padded(Archive({{"docs/a.txt", "a"}, {"docs/", ""}, {"docs/b.txt", "b"}})));
    EXPECT_EQ(r.Names(), (Names{"#Lost Files/a.txt", "docs/", "docs/b.txt"}));
}

TEST(SingleScanNames, NonAsciiLastComponentKeepsItsBytes) {
    const std::string name = "gone/\xC3\xA9t\xC3\xA9.txt";
    const ScanResult r = ScanBytes(Padded(Archive({{name, "summer"}})));
    EXPECT_EQ(r.Names(), (Names{"#Lost Files/\xC3\xA9t\xC3\xA9.txt"}));
}

TEST(SingleScanDescriptor, DescriptorSuppliesCrcAndSizes) {
    LocalEntry streamed{"s.txt", "streamed data", 0, 0x0008, {}, 0, 0, 16};
    streamed.crc = 0xCAFEBABE;  // the descriptor's value; the header says 0
    Bytes bytes = LocalRecord(streamed);
    bytes[14] = bytes[15] = bytes[16] = bytes[17] = 0;
    Append(bytes, LocalRecord({"next.txt", "n"}));
    Append(bytes, CentralStub());
    const ScanResult r = ScanBytes(Padded(bytes));
    ASSERT_EQ(r.Names(), (Names{"s.txt", "next.txt"}));
    EXPECT_EQ(r.rows[0].crc32, 0xCAFEBABEu);
    EXPECT_EQ(r.rows[0].compressedSize, 13u);
    EXPECT_EQ(r.rows[0].uncompressedSize, 13u);
    EXPECT_EQ(r.rows[0].descriptorLength, 16);
    EXPECT_EQ(r.rows[0].entryLength, 30u + 5 + 13 + 16);
}

TEST(SingleScanDescriptor, MissingDescriptorEndsStoredDataAtTheNextEntry) {
    LocalEntry broken{"broken.txt", std::string(50, 'b'), 0, 0x0008, {}, 0, 0, 0};
    Bytes bytes = LocalRecord(broken);
    Append(bytes, LocalRecord({"fine.txt", "fine"}));
    Append(bytes, CentralStub());
    const ScanResult r = ScanBytes(Padded(bytes));
    ASSERT_EQ(r.Names(), (Names{"broken.txt", "fine.txt"}));
    // Every byte up to the next header, under the header's CRC-32 (nothing gives another).
    EXPECT_EQ(r.rows[0].compressedSize, 50u);
    EXPECT_EQ(r.rows[0].crc32, 0u);
    EXPECT_FALSE(r.FreshHeader(0).empty());
}

TEST(SingleScanDescriptor, DescriptorSignatureInsideDataIsPassedOver) {
    // Stored data that happens to hold a descriptor whose size does not match.
    std::string data = "abc";
    data += std::string("PK\x07\x08", 4) + std::string(12, '\x01') + "tail";
    LocalEntry streamed{"s.bin", data, 0x11111111, 0x0008, {}, 0, 0, 16};
    const ScanResult r = ScanBytes(Padded(Archive({streamed})));
    ASSERT_EQ(r.Names(), (Names{"s.bin"}));
    EXPECT_EQ(r.rows[0].compressedSize, data.size());
}

TEST(SingleScanDescriptor, Zip64HeaderMeansTwentyFourByteDescriptor) {
    LocalEntry streamed{"big.bin", std::string(70, 'z'), 0x0BADF00D, 0x0008, Zip64Extra({0, 0}), 0, 0, 24};
    const ScanResult r = ScanBytes(Padded(Archive({streamed, {"after", "x"}})));
    ASSERT_EQ(r.Names(), (Names{"big.bin", "after"}));
    EXPECT_EQ(r.rows[0].descriptorLength, 24);
    EXPECT_EQ(r.rows[0].uncompressedSize, 70u);
    EXPECT_TRUE(r.rows[0].zip64Local);
}

TEST(SingleScanDescriptor, CutZip64DescriptorIsNotReadAsTheShortForm) {
    // The archive ends 4 bytes into the 24-byte descriptor's uncompressed
    // size: the entry is incomplete, though a 16-byte reading would match.
    LocalEntry streamed{"big.bin", std::string(70, 'z'), 0x0BADF00D, 0x0008, Zip64Extra({0, 0}), 0, 0, 24};
    Bytes bytes = Garbage(120);
    Append(bytes, LocalRecord(streamed));
    bytes.resize(bytes.size() - 4);
    EXPECT_TRUE(ScanBytes(bytes).rows.empty());
}

TEST(SingleScanDescriptor, HeaderJustAfterAStreamedHeaderDoesNotLoopForever) {
    // A crafted header whose descriptor search meets another header five
    // bytes in: stepping back ten bytes must not find the first one again.
    Bytes bytes = {0x50, 0x4B, 0x03, 0x04, 0x14, 0x50, 0x4B, 0x03, 0x04};
    bytes.resize(40, 0);
    bytes[26] = 1;  // name length of the first header
    Append(bytes, Garbage(200));
    const ScanResult r = ScanBytes(bytes);
    EXPECT_TRUE(r.ok);
}

TEST(SingleScanZip64, ExtraFieldIsFoundAfterOtherFields) {
    Bytes extra = TimestampExtra();
    Append(extra, Zip64Extra({9, 9}));
    LocalEntry e{"z.txt", "123456789", 0x1, 0, extra, 0xFFFFFFFF, 0xFFFFFFFF};
    const ScanResult r = ScanBytes(Padded(Archive({e, {"after.txt", "a"}})));
    ASSERT_EQ(r.Names(), (Names{"z.txt", "after.txt"}));
    EXPECT_EQ(r.rows[0].compressedSize, 9u);
    EXPECT_EQ(r.rows[0].uncompressedSize, 9u);
}

TEST(SingleScanReading, SmallOddWindowsGiveTheSameRows) {
    Bytes bytes = Garbage(37);
    Append(bytes, LocalRecord({"docs/", ""}));
    Append(bytes, LocalRecord({"docs/a.txt", std::string(100, 'a')}));
    LocalEntry streamed{"docs/s.txt", std::string(90, 's'), 0x55, 0x0008, {}, 0, 0, 16};
    Append(bytes, LocalRecord(streamed));
    Append(bytes, Garbage(61));
    Append(bytes, LocalRecord({"z", "last"}));
    const ScanResult reference = ScanBytes(bytes);
    ASSERT_EQ(reference.Names(), (Names{"docs/", "docs/a.txt", "docs/s.txt", "z"}));
    for (const std::size_t window : {4u, 5u, 31u, 64u, 333u}) {
        const ScanResult r = ScanBytes(bytes, window);
        EXPECT_EQ(r.Names(), reference.Names()) << "window " << window;
        for (std::size_t i = 0; i < r.rows.size() && i < reference.rows.size(); ++i)
            EXPECT_EQ(r.rows[i].entryLength, reference.rows[i].entryLength) << "window " << window;
    }
}

TEST(SingleScanCancel, StoppedJobReturnsFalseAndKeepsRowsFound) {
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", Padded(Archive({{"a", "1"}, {"b", "2"}})));
    state.jobRunning = false;
    RecordingReporter reporter;
    EXPECT_FALSE(ScanSingleArchive(state, reporter));
    EXPECT_TRUE(reporter.keys.empty());
}

}  // namespace
}  // namespace vrz::test
