#include <gtest/gtest.h>

#include "WriterTestSupport.h"
#include "writer/EndRecords.h"

namespace vrz::test {
namespace {

Bytes Records(std::uint64_t count, std::uint64_t size, std::uint64_t offset, std::uint16_t version = 20) {
    CentralDirectorySummary d;
    d.entryCount = count;
    d.size = size;
    d.offset = offset;
    d.zip64Version = version;
    Bytes out;
    AppendEndRecords(d, &out);
    return out;
}

TEST(EndRecords, EmptyArchiveIsTheEndRecordAlone) {
    const Bytes out = Records(0, 0, 0);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(ReadU32(&out[0]), 0x06054B50u);
    for (std::size_t i = 4; i < 22; ++i) EXPECT_EQ(out[i], 0) << i;
}

TEST(EndRecords, CountLimit) {
    Bytes out = Records(65535, 3000, 9000);
    ASSERT_EQ(out.size(), 22u);
    EXPECT_EQ(ReadU16(&out[8]), 65535);
    EXPECT_EQ(ReadU16(&out[10]), 65535);
    EXPECT_EQ(ReadU32(&out[12]), 3000u);
    EXPECT_EQ(ReadU32(&out[16]), 9000u);

    out = Records(65536, 3000, 9000, 0x0314);
    ASSERT_EQ(out.size(), 56u + 20 + 22);
    EXPECT_EQ(ReadU32(&out[0]), 0x06064B50u);
    EXPECT_EQ(ReadU64(&out[4]), 44u);
    EXPECT_EQ(ReadU16(&out[12]), 0x0314);
    EXPECT_EQ(ReadU16(&out[14]), 0x0314);
    EXPECT_EQ(ReadU32(&out[16]), 0u);
    EXPECT_EQ(ReadU32(&out[20]), 0u);
    EXPECT_EQ(ReadU64(&out[24]), 65536u);
    EXPECT_EQ(ReadU64(&out[32]), 65536u);
    EXPECT_EQ(ReadU64(&out[40]), 3000u);
    EXPECT_EQ(ReadU64(&out[48]), 9000u);
    EXPECT_EQ(ReadU32(&out[56]), 0x07064B50u);
    EXPECT_EQ(ReadU32(&out[60]), 0u);
    EXPECT_EQ(ReadU64(&out[64]), 12000u);  // where the ZIP64 end record starts
    EXPECT_EQ(ReadU32(&out[72]), 1u);
    EXPECT_EQ(ReadU16(&out[76 + 8]), 0xFFFF);
    EXPECT_EQ(ReadU16(&out[76 + 10]), 0xFFFF);
    EXPECT_EQ(ReadU32(&out[76 + 12]), 3000u);
    EXPECT_EQ(ReadU32(&out[76 + 16]), 9000u);
}

TEST(EndRecords, SizeAndOffsetLimits) {
    const std::uint64_t limit = 0xFFFFFFFFull;
    Bytes out = Records(3, 100, limit - 1);
    EXPECT_EQ(out.size(), 22u);

    out = Records(3, 100, limit);
    ASSERT_EQ(out.size(), 98u);
    EXPECT_EQ(ReadU64(&out[48]), limit);
    EXPECT_EQ(ReadU16(&out[76 + 10]), 3);  // a small count stays in the end record
    EXPECT_EQ(ReadU32(&out[76 + 12]), 100u);
    EXPECT_EQ(ReadU32(&out[76 + 16]), 0xFFFFFFFFu);

    out = Records(3, limit, 10);
    ASSERT_EQ(out.size(), 98u);
    EXPECT_EQ(ReadU64(&out[40]), limit);
    EXPECT_EQ(ReadU32(&out[76 + 12]), 0xFFFFFFFFu);
    EXPECT_EQ(ReadU32(&out[76 + 16]), 10u);
}

TEST(EndRecords, SplitArchiveVersion) {
    EXPECT_EQ(SplitArchiveZip64Version(63), 45);
    EXPECT_EQ(SplitArchiveZip64Version(0x033F), 0x032D);
    EXPECT_EQ(SplitArchiveZip64Version(20), 20);
    EXPECT_EQ(SplitArchiveZip64Version(0x3F00), 0x3F00);
}

}  // namespace
}  // namespace vrz::test
