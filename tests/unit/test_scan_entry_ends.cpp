// Where entries end and which headers are entries: streamed entries holding
// archives, descriptors in every form, central directories in the middle,
// entries brought back from their central record. Crafted bytes only where
// no writer at hand makes the case; the end-to-end tests use real writers.
#include <gtest/gtest.h>

#include "ScanHelpers.h"
#include "codec/EntryDecoder.h"
#include "records/ZipConstants.h"

namespace vrz::test {
namespace {

using Names = std::vector<std::string>;

std::uint32_t Crc(const std::string& data) {
    return UpdateCrc32(0, reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
}

// A streamed entry: flag bit 3, zero CRC and sizes in the header, the real
// values in a descriptor of the given form.
LocalEntry Streamed(const std::string& name, const std::string& plain, int descriptor, bool deflate) {
    LocalEntry e;
    e.name = name;
    e.data = deflate ? DeflateStoredBlock(plain) : plain;
    e.crc = Crc(plain);
    e.flags = zip::kFlagDataDescriptor;
    e.headerCompressed = 0;
    e.headerUncompressed = 0;
    e.descriptor = descriptor;
    e.method = deflate ? 8 : 0;
    e.realSize = static_cast<std::int64_t>(plain.size());
    return e;
}

// A LocalRecord with its header CRC, which LocalRecord writes from e.crc, zeroed.
Bytes StreamedRecord(const LocalEntry& e) {
    Bytes out = LocalRecord(e);
    WriteU32(&out[zip::lfh::kCrc32], 0);
    return out;
}

std::string AsString(const Bytes& b) { return std::string(b.begin(), b.end()); }

TEST(StreamedEntryEnds, StoredArchiveInsideAStreamedEntryIsData) {
    const std::string inner = AsString(WholeArchive({{"inner/a.txt", "aaaa"}, {"inner/b.txt", "bbbbbb"}}));
    Bytes bytes = StreamedRecord(Streamed("first.txt", "first", 16, false));
    Append(bytes, StreamedRecord(Streamed("bundle.zip", inner, 16, false)));
    Append(bytes, StreamedRecord(Streamed("after.txt", std::string(300, 'x'), 16, true)));
    for (const std::size_t window : {std::size_t{5}, std::size_t{31}, SourceReader::kDefaultWindow}) {
        const ScanResult r = ScanBytes(Padded(bytes), window);
        EXPECT_EQ(r.Names(), (Names{"first.txt", "bundle.zip", "after.txt"})) << "window " << window;
        ASSERT_EQ(r.rows.size(), 3u);
        EXPECT_EQ(r.rows[1].compressedSize, inner.size());
        EXPECT_EQ(r.rows[1].crc32, Crc(inner));
    }
}

TEST(StreamedEntryEnds, DeflatedDataEndsWhereItsStreamEnds) {
    // The data holds a descriptor-like record whose compressed size matches
    // the bytes before it; decoding says the entry goes on past it.
    std::string plain = "lead ";
    Bytes fake = {0x50, 0x4B, 0x07, 0x08};
    ByteWriter<Bytes> w(fake);
    w.U32(0);
    w.U32(5 + 5);  // block header and "lead " before it
    w.U32(5);
    plain += AsString(fake) + std::string(200, 'y');
    const ScanResult r = ScanBytes(Padded(StreamedRecord(Streamed("tricky.bin", plain, 16, true))));
    ASSERT_EQ(r.Names(), (Names{"tricky.bin"}));
    EXPECT_EQ(r.rows[0].uncompressedSize, plain.size());
    EXPECT_EQ(r.rows[0].crc32, Crc(plain));
}

TEST(StreamedEntryEnds, DescriptorsWithoutSignatureAreTakenWhereDecodingAgrees) {
    for (const int form : {12, 20}) {
        Bytes bytes = StreamedRecord(Streamed("bare.txt", std::string(120, 'b'), form, true));
        Append(bytes, LocalRecord({"next.txt", "next"}));
        const ScanResult r = ScanBytes(Padded(bytes));
        ASSERT_EQ(r.Names(), (Names{"bare.txt", "next.txt"})) << "form " << form;
        EXPECT_EQ(r.rows[0].descriptorLength, form);
        EXPECT_EQ(r.rows[0].uncompressedSize, 120u);
        EXPECT_EQ(r.rows[0].entryLength, LocalRecord(Streamed("bare.txt", std::string(120, 'b'), form, true)).size());
    }
}

TEST(StreamedEntryEnds, DescriptorWithoutSignatureAndWrongCrcIsNotTaken) {
    LocalEntry e = Streamed("bare.txt", std::string(120, 'b'), 12, true);
    e.crc ^= 1;
    Bytes bytes = StreamedRecord(e);
    Append(bytes, LocalRecord({"next.txt", "next"}));
    EXPECT_EQ(ScanBytes(Padded(bytes)).Names(), (Names{"next.txt"}));
}

TEST(StreamedEntryEnds, WideDescriptorAfterAHeaderWithoutZip64Field) {
    // The short form's compressed size matches too (the low half of the wide
    // one); its uncompressed size, the high half, does not.
    for (const bool deflate : {false, true}) {
        Bytes bytes = StreamedRecord(Streamed("wide.bin", std::string(90, 'w'), 24, deflate));
        Append(bytes, LocalRecord({"next.txt", "next"}));
        const ScanResult r = ScanBytes(Padded(bytes));
        ASSERT_EQ(r.Names(), (Names{"wide.bin", "next.txt"})) << "deflate " << deflate;
        EXPECT_EQ(r.rows[0].descriptorLength, 24);
        EXPECT_EQ(r.rows[0].uncompressedSize, 90u);
    }
}

TEST(StreamedEntryEnds, ManyLostDescriptorsStillLeaveLaterEntriesFound) {
    // Each streamed entry without its descriptor searches on to the end once;
    // what that search saw must still serve the entries after it, and the
    // stored data then end where the entry after them begins.
    Bytes bytes;
    Names expected;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "lost" + std::to_string(i) + ".bin";
        Append(bytes, StreamedRecord(Streamed(name, std::string(50 + i, 'l'), 0, false)));
        const std::string kept = "kept" + std::to_string(i) + ".txt";
        Append(bytes, LocalRecord({kept, "k"}));
        expected.push_back(name);
        expected.push_back(kept);
    }
    Append(bytes, StreamedRecord(Streamed("streamed.txt", std::string(70, 's'), 16, false)));
    expected.push_back("streamed.txt");
    for (const std::size_t window : {std::size_t{31}, SourceReader::kDefaultWindow})
        EXPECT_EQ(ScanBytes(Padded(bytes), window).Names(), expected) << "window " << window;
}

TEST(StreamedEntryEnds, CutDescriptorLosesTheEntryAndIsRecorded) {
    Bytes bytes = StreamedRecord(Streamed("cut.txt", std::string(100, 'c'), 16, true));
    bytes.pop_back();
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", bytes);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    EXPECT_TRUE(state.entries.empty());
    ASSERT_FALSE(state.findings.empty());
    EXPECT_EQ(state.findings.back().kind, FindingKind::kDescriptorNotFound);
    EXPECT_EQ(state.findings.back().offset, 0u);
    EXPECT_EQ(state.findings.back().name, "cut.txt");
}

TEST(CentralDirectories, JoinedArchivesGiveAllEntries) {
    Bytes bytes = WholeArchive({{"one/a.txt", "a"}, {"one/b.txt", "b"}});
    Append(bytes, WholeArchive({{"two/c.txt", "c"}}));
    const ScanResult r = ScanBytes(Padded(bytes));
    EXPECT_EQ(r.Names(), (Names{"#Lost Files/a.txt", "#Lost Files/b.txt", "#Lost Files/c.txt"}));
}

TEST(CentralDirectories, RecordsSteppedOverAreNotSearchedForHeaders) {
    // A name in the central directory that holds a local header signature.
    const LocalEntry e{std::string("PK\x03\x04", 4) + "name", "data"};
    const ScanResult r = ScanBytes(Padded(WholeArchive({e})));
    EXPECT_EQ(r.rows.size(), 1u);
}

TEST(CentralRecords, AttributesCommentAndHostComeFromTheSurvivingRecord) {
    const LocalEntry script{"run.sh", "#!/bin/sh\n"};
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", WholeArchive({script}, {0100755u << 16}));
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    ASSERT_EQ(state.entries.size(), 1u);
    EXPECT_TRUE(state.entries[0].hasCentralRecord);
    EXPECT_EQ(state.entries[0].externalAttributes, 0100755u << 16);
}

TEST(CentralRecords, BrokenLocalSignatureWithIntactRecordIsRecovered) {
    const std::string inner = AsString(WholeArchive({{"in/x.txt", "xxxx"}}));
    LocalEntry first{"first.txt", "first data", Crc("first data")};
    LocalEntry nested{"nested.zip", inner, Crc(inner)};
    LocalEntry last{"last.txt", "last", Crc("last")};
    Bytes bytes = WholeArchive({first, nested, last});
    const std::size_t nestedAt = LocalRecord(first).size();
    bytes[nestedAt] = 'X';
    TempDir dir;
    JobState state;
    state.sourcePath = dir.Write("a.zip", bytes);
    RecordingReporter reporter;
    ASSERT_TRUE(ScanSingleArchive(state, reporter));
    ASSERT_EQ(state.entries.size(), 3u);
    EXPECT_EQ(state.NameOf(state.entries[1]), "nested.zip");
    EXPECT_EQ(state.entries[1].headerOffset, nestedAt);
    EXPECT_FALSE(state.ExtrasOf(state.entries[1]).localRecordOverride.empty());
    EXPECT_EQ(state.ExtrasOf(state.entries[1]).dataOffset, nestedAt + 30 + nested.name.size());
    EXPECT_EQ(state.NameOf(state.entries[2]), "last.txt");
    bool insideRecorded = false;
    for (const ScanFinding& f : state.findings) insideRecorded |= f.kind == FindingKind::kInsideEntryData;
    EXPECT_TRUE(insideRecorded);
}

TEST(CentralRecords, RecoveredFolderLetsTheEntriesAfterItKeepTheirNames) {
    // A jar whose first header, its META-INF/ folder, is damaged.
    LocalEntry folder{"META-INF/", "", 0};
    LocalEntry manifest{"META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n", Crc("Manifest-Version: 1.0\n")};
    LocalEntry maven{"META-INF/maven/", "", 0};
    Bytes bytes = WholeArchive({folder, manifest, maven});
    bytes[0] = 'X';
    const ScanResult r = ScanBytes(bytes);
    EXPECT_EQ(r.Names(), (Names{"META-INF/", "META-INF/MANIFEST.MF", "META-INF/maven/"}));
}

TEST(CentralRecords, DataThatDoesNotCheckIsNotRecovered) {
    LocalEntry first{"first.txt", "first data", Crc("first data")};
    LocalEntry second{"second.txt", "second", Crc("second") ^ 1};
    Bytes bytes = WholeArchive({first, second});
    bytes[LocalRecord(first).size()] = 'X';
    EXPECT_EQ(ScanBytes(bytes).Names(), (Names{"first.txt"}));
}

TEST(CentralRecords, EmptyEntryIsNotRecoveredWhereItsNameIsNotInPlace) {
    // Garbage put in front moves every offset; an empty entry's CRC-32 checks
    // anywhere, so only its name in place may bring it back.
    LocalEntry empty{"empty.txt", "", 0};
    LocalEntry full{"full.txt", std::string(100, 'f'), Crc(std::string(100, 'f'))};
    Bytes bytes = Garbage(300, 9);
    Append(bytes, WholeArchive({empty, full}));
    const ScanResult r = ScanBytes(bytes);
    EXPECT_EQ(r.Names(), (Names{"empty.txt", "full.txt"}));
    for (std::size_t i = 0; i < r.rows.size(); ++i) EXPECT_TRUE(r.FreshHeader(i).empty());
}

TEST(CentralRecords, MethodWhoseDecodedDataChecksWins) {
    const std::string plain(200, 'm');
    LocalEntry e{"m.txt", DeflateStoredBlock(plain), Crc(plain)};
    LocalEntry central = e;
    central.method = 8;
    central.realSize = static_cast<std::int64_t>(plain.size());
    Bytes bytes = LocalRecord(e);  // says stored, holds deflate data
    WriteU32(&bytes[zip::lfh::kUncompressedSize], static_cast<std::uint32_t>(plain.size()));
    const auto start = static_cast<std::uint32_t>(bytes.size());
    Append(bytes, CentralRecordFor(central, 0));
    Append(bytes, EndRecord(1, static_cast<std::uint32_t>(bytes.size() - start), start));
    const ScanResult r = ScanBytes(bytes);
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0].method, 8);
    const Bytes fresh = r.FreshHeader(0);
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ(ReadU16(&fresh[zip::lfh::kMethod]), 8);
    EXPECT_EQ(r.extras[r.rows[0].extrasIndex].dataOffset, 30u + e.name.size());
}

}  // namespace
}  // namespace vrz::test

namespace vrz::test {
namespace {

TEST(StreamedEntryEnds, MissingOrUnsignedDescriptorsWhereTheDataSaysWhereTheEntryEnds) {
    // A stored entry whose descriptor has no signature: found by the
    // descriptor before the next header whose sizes and CRC-32 match the data.
    for (const int form : {12, 20}) {
        const std::string plain(150, 'u');
        LocalEntry e = Streamed("unsigned.txt", plain, form, false);
        Bytes bytes = StreamedRecord(e);
        Append(bytes, LocalRecord({"next.txt", "next"}));
        const ScanResult r = ScanBytes(Padded(bytes));
        ASSERT_EQ(r.Names(), (Names{"unsigned.txt", "next.txt"})) << "form " << form;
        EXPECT_EQ(r.rows[0].descriptorLength, form);
        EXPECT_EQ(r.rows[0].crc32, Crc(plain));
        EXPECT_EQ(r.rows[0].compressedSize, plain.size());

        // The same with a CRC-32 that does not match is no descriptor: the
        // data end where the next entry begins, those bytes with them.
        e.crc ^= 1;
        Bytes wrong = StreamedRecord(e);
        Append(wrong, LocalRecord({"next.txt", "next"}));
        const ScanResult w = ScanBytes(Padded(wrong));
        ASSERT_EQ(w.Names(), (Names{"unsigned.txt", "next.txt"})) << "form " << form;
        EXPECT_EQ(w.rows[0].descriptorLength, 0);
        EXPECT_EQ(w.rows[0].compressedSize, plain.size() + form);
    }
    // A deflated entry without any descriptor, the next header right where
    // its stream ends: the stream gives its sizes and CRC-32.
    const std::string plain(200, 'd');
    Bytes bytes = StreamedRecord(Streamed("bare.txt", plain, 0, true));
    Append(bytes, LocalRecord({"next.txt", "next"}));
    const ScanResult r = ScanBytes(Padded(bytes));
    ASSERT_EQ(r.Names(), (Names{"bare.txt", "next.txt"}));
    EXPECT_EQ(r.rows[0].descriptorLength, 0);
    EXPECT_EQ(r.rows[0].crc32, Crc(plain));
    EXPECT_EQ(r.rows[0].uncompressedSize, plain.size());
}

}  // namespace
}  // namespace vrz::test
