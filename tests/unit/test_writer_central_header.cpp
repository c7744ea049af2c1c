#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "writer/CentralHeaderBuilder.h"
#include "writer/DosFileTime.h"

namespace vrz::test {
namespace {

constexpr std::uint64_t k4G = 0xFFFFFFFFull;

struct Built {
    CentralRecord header;
    std::size_t length = 0;
};

// Builds the central header for a local record and reads it back.
Built Build(const Bytes& local, const RecoveredEntry& row, std::uint64_t outputOffset, bool large) {
    CentralHeaderInput input;
    input.localRecord = local.data();
    input.localRecordLength = local.size();
    input.row = &row;
    input.outputOffset = outputOffset;
    input.largeArchive = large;
    Bytes out;
    EXPECT_TRUE(AppendCentralHeader(input, &out));
    // Wrap it in an end record so the shared reader can take it apart.
    Bytes archive = out;
    ByteWriter<Bytes> w(archive);
    w.U32(0x06054B50);
    w.U16(0);
    w.U16(0);
    w.U16(1);
    w.U16(1);
    w.U32(static_cast<std::uint32_t>(out.size()));
    w.U32(0);
    w.U16(0);
    const ParsedArchive parsed = ParseArchive(archive);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    Built b;
    if (!parsed.headers.empty()) b.header = parsed.headers[0];
    b.length = out.size();
    return b;
}

RecoveredEntry Row(std::uint32_t crc, std::uint64_t compressed, std::uint64_t uncompressed, bool zip64Local = false) {
    RecoveredEntry row;
    row.crc32 = crc;
    row.compressedSize = compressed;
    row.uncompressedSize = uncompressed;
    row.zip64Local = zip64Local;
    return row;
}

// The ZIP64 block's 64-bit values, after the NTFS block.
std::vector<std::uint64_t> Zip64Values(const Bytes& extra) {
    std::vector<std::uint64_t> values;
    if (extra.size() <= 36) return values;
    EXPECT_EQ(ReadU16(&extra[36]), 0x0001);
    const std::size_t size = ReadU16(&extra[38]);
    EXPECT_EQ(40 + size, extra.size());
    for (std::size_t i = 0; i + 8 <= size; i += 8) values.push_back(ReadU64(&extra[40 + i]));
    return values;
}

void ExpectNtfsBlock(const Bytes& extra, std::uint64_t fileTime) {
    ASSERT_GE(extra.size(), 36u);
    EXPECT_EQ(ReadU16(&extra[0]), 0x000A);
    EXPECT_EQ(ReadU16(&extra[2]), 32);
    EXPECT_EQ(ReadU32(&extra[4]), 0u);
    EXPECT_EQ(ReadU16(&extra[8]), 1);
    EXPECT_EQ(ReadU16(&extra[10]), 24);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadU64(&extra[12 + 8 * i]), fileTime);
}

TEST(CentralHeaderFields, CopiedFromTheLocalHeaderWithRowValues) {
    LocalEntry e{"dir/file.txt", "data", 0x11111111, 0x0808, TimestampExtra()};
    Bytes local = LocalRecord(e);
    WriteU16(&local[4], 0x0314);  // version needed with a host byte
    WriteU16(&local[8], 8);       // deflated
    const Built b = Build(local, Row(0xABCDEF01, 4, 9), 1234, false);
    const CentralRecord& c = b.header;
    EXPECT_EQ(c.versionMadeBy, 0x0314);
    EXPECT_EQ(c.versionNeeded, 0x0314);
    EXPECT_EQ(c.flags, 0x0808);
    EXPECT_EQ(c.method, 8);
    EXPECT_EQ(c.time, 0);
    EXPECT_EQ(c.date, 0x21);
    // CRC and sizes come from the row: a descriptor's values for streamed entries.
    EXPECT_EQ(c.crc, 0xABCDEF01u);
    EXPECT_EQ(c.compressed32, 4u);
    EXPECT_EQ(c.uncompressed32, 9u);
    // The extended timestamp only Unix writers put in local headers: a Unix
    // host and a mode every reader can open.
    EXPECT_EQ(c.externalAttributes, 0100644u << 16);
    EXPECT_EQ(c.offset32, 1234u);
    // The local header's own name, not the table's "#Lost Files/" name.
    EXPECT_EQ(c.name, "dir/file.txt");
    EXPECT_EQ(c.extra, TimestampExtra());
}

TEST(CentralHeaderExtraField, SmallArchiveCopiesTheLocalExtra) {
    const Bytes local = LocalRecord({"a", "x", 1, 0, TimestampExtra()});
    const Built b = Build(local, Row(1, 1, 1), 0, false);
    EXPECT_EQ(b.header.extra, TimestampExtra());
    EXPECT_EQ(b.length, 46u + 1 + TimestampExtra().size());
}

TEST(CentralHeaderExtraField, DamagedLocalExtraIsNotCopied) {
    Bytes extra = TimestampExtra();
    WriteU16(&extra[2], 200);  // the block claims more bytes than the area holds
    const Bytes local = LocalRecord({"a", "x", 1, 0, extra});
    const Built b = Build(local, Row(1, 1, 1), 0, false);
    EXPECT_TRUE(b.header.extra.empty());
}

TEST(CentralHeaderExtraField, Zip64LocalEntryInSmallArchive) {
    const Bytes local = LocalRecord({"z", "123", 1, 0, Zip64Extra({3, 3}), 0xFFFFFFFF, 0xFFFFFFFF});
    const Built b = Build(local, Row(1, 3, 3, true), 500, false);
    EXPECT_EQ(b.header.extra.size(), 48u);
    EXPECT_EQ(b.header.uncompressed32, 0xFFFFFFFFu);
    EXPECT_EQ(b.header.compressed32, 3u);
    EXPECT_EQ(b.header.offset32, 500u);
    EXPECT_EQ(Zip64Values(b.header.extra), (std::vector<std::uint64_t>{3}));
}

TEST(CentralHeaderExtraField, LargeArchiveTable) {
    struct Case {
        bool zip64Local;
        std::uint64_t offset;
        std::uint64_t compressed;
        std::size_t extraLength;
        std::vector<std::uint64_t> zip64;
    };
    const std::uint64_t big = k4G + 10;
    const std::vector<Case> cases = {
        {false, 100, 5, 36, {}},
        {false, k4G, 5, 48, {k4G}},
        {true, 100, 5, 48, {7}},
        {true, 100, big, 56, {7, big}},
        {true, big, 5, 56, {7, big}},
        {true, big, big, 64, {7, big, big}},
        // Beyond the classic table: a size that does not fit always moves.
        {false, 100, big, 48, {big}},
    };
    const Bytes local = LocalRecord({"f", "x", 1, 0, TimestampExtra()});
    for (const Case& c : cases) {
        const Built b = Build(local, Row(1, c.compressed, 7, c.zip64Local), c.offset, true);
        SCOPED_TRACE(std::to_string(c.zip64Local) + " " + std::to_string(c.offset) + " " + std::to_string(c.compressed));
        EXPECT_EQ(b.header.extra.size(), c.extraLength);
        ExpectNtfsBlock(b.header.extra, DosDateTimeToFileTime(0x21, 0));
        EXPECT_EQ(Zip64Values(b.header.extra), c.zip64);
        EXPECT_EQ(b.header.uncompressed32, c.zip64Local ? 0xFFFFFFFFu : 7u);
        EXPECT_EQ(b.header.compressed32, c.compressed >= k4G ? 0xFFFFFFFFu : c.compressed);
        EXPECT_EQ(b.header.offset32, c.offset >= k4G ? 0xFFFFFFFFu : c.offset);
    }
}

TEST(CentralHeaderExtraField, StreamedSizeBeyond4GiBInSmallArchiveGetsZip64Block) {
    // A data descriptor gave a size the local header never held.
    const Bytes local = LocalRecord({"s", "x", 0, 0x0008, {}});
    const Built b = Build(local, Row(1, 1000, k4G + 1), 0, false);
    EXPECT_EQ(b.header.uncompressed32, 0xFFFFFFFFu);
    EXPECT_EQ(Zip64Values(b.header.extra), (std::vector<std::uint64_t>{k4G + 1}));
}

TEST(CentralHeaderBuilder, RefusesRecordShorterThanItsLengths) {
    Bytes local = LocalRecord({"name", "", 1, 0, TimestampExtra()});
    local.resize(30 + 4 + 2);
    RecoveredEntry row = Row(1, 0, 0);
    CentralHeaderInput input;
    input.localRecord = local.data();
    input.localRecordLength = local.size();
    input.row = &row;
    Bytes out;
    EXPECT_FALSE(AppendCentralHeader(input, &out));
}

TEST(DosFileTime, ConvertsFieldsAsTheyStand) {
    EXPECT_EQ(DosDateTimeToFileTime(0x50CF, 0x6DAF), 132367023300000000ull);  // 2020-06-15 13:45:30
    EXPECT_EQ(DosDateTimeToFileTime(0x285D, 0xBF7D), 125963423980000000ull);  // 2000-02-29 23:59:58
    EXPECT_EQ(DosDateTimeToFileTime(0x0021, 0), 119600064000000000ull);       // 1980-01-01
    EXPECT_EQ(DosDateTimeToFileTime(0xFF9F, 0xBF7D), 159992927980000000ull);  // 2107-12-31 23:59:58
}

TEST(DosFileTime, ImpossibleMomentsGiveTheDosEpoch) {
    const std::uint64_t epoch = 119600064000000000ull;
    EXPECT_EQ(DosDateTimeToFileTime(0, 0), epoch);                         // month and day 0
    EXPECT_EQ(DosDateTimeToFileTime((41 << 9) | (2 << 5) | 29, 0), epoch);  // 2021-02-29
    EXPECT_EQ(DosDateTimeToFileTime(0x50CF, 24 << 11), epoch);             // hour 24
    EXPECT_EQ(DosDateTimeToFileTime(0x50CF, 30), epoch);                   // second 60
}

TEST(CentralHeaderFields, SurvivingCentralRecordGivesHostAttributesCommentAndItsOwnExtra) {
    const Bytes local = LocalRecord({"secret.bin", "data"});
    RecoveredEntry row = Row(0x1234, 4, 4);
    row.hasCentralRecord = true;
    row.versionMadeBy = 0x031E;
    row.internalAttributes = 1;
    row.externalAttributes = 0120777u << 16;  // a symlink
    EntryExtras extras;
    extras.comment = "entry comment";
    extras.centralOnlyExtra = {0x17, 0x00, 0x02, 0x00, 0xAB, 0xCD};
    CentralHeaderInput input;
    input.localRecord = local.data();
    input.localRecordLength = local.size();
    input.row = &row;
    input.extras = &extras;
    Bytes out;
    ASSERT_TRUE(AppendCentralHeader(input, &out));
    EXPECT_EQ(ReadU16(&out[4]), 0x031E);
    EXPECT_EQ(ReadU16(&out[36]), 1);
    EXPECT_EQ(ReadU32(&out[38]), 0120777u << 16);
    const std::size_t n = ReadU16(&out[28]), m = ReadU16(&out[30]), k = ReadU16(&out[32]);
    ASSERT_EQ(out.size(), 46 + n + m + k);
    EXPECT_EQ(Bytes(out.begin() + 46 + static_cast<std::ptrdiff_t>(n), out.begin() + 46 + static_cast<std::ptrdiff_t>(n + m)),
              extras.centralOnlyExtra);
    EXPECT_EQ(std::string(out.begin() + 46 + static_cast<std::ptrdiff_t>(n + m), out.end()), "entry comment");
}

TEST(CentralHeaderFields, HostInferredFromTheLocalHeader) {
    // No central record survives: Unix fields or a UTF-8 name give a Unix
    // host with modes every reader can use; nothing gives the MS-DOS default.
    struct Case {
        const char* name;
        Bytes extra;
        std::uint16_t flags;
        std::uint32_t attributes;
    } cases[] = {
        {"dir/", TimestampExtra(), 0, (040755u << 16) | 0x10},
        {"file.txt", TimestampExtra(), 0, 0100644u << 16},
        {"\xC3\xA9.txt", {}, 0x0800, 0100644u << 16},
        {"plain.txt", {}, 0, 0x20},
    };
    for (const Case& c : cases) {
        LocalEntry e{c.name, "", 0, c.flags, c.extra};
        const Built b = Build(LocalRecord(e), Row(0, 0, 0), 0, false);
        EXPECT_EQ(b.header.externalAttributes, c.attributes) << c.name;
        EXPECT_EQ(b.header.versionMadeBy >> 8, c.attributes == 0x20 ? 0 : 3) << c.name;
    }
}

}  // namespace
}  // namespace vrz::test
