#include <gtest/gtest.h>

#include <vector>

#include "records/ByteOrder.h"

namespace vrz {
namespace {

TEST(ByteOrder, ReadsLittleEndianAtAnyAlignment) {
    const std::uint8_t bytes[] = {0xAA, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    EXPECT_EQ(ReadU16(bytes + 1), 0x0201);
    EXPECT_EQ(ReadU32(bytes + 1), 0x04030201u);
    EXPECT_EQ(ReadU64(bytes + 1), 0x0807060504030201ull);
}

TEST(ByteOrder, HighBitsSurviveWithoutSignExtension) {
    const std::uint8_t bytes[] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(ReadU32(bytes), 0xFFFFFFFFu);
    EXPECT_EQ(ReadU64(bytes), ~0ull);
}

TEST(ByteOrder, WritersRoundTrip) {
    std::uint8_t buffer[8] = {};
    WriteU16(buffer, 0xBEEF);
    EXPECT_EQ(ReadU16(buffer), 0xBEEF);
    WriteU32(buffer, 0xDEADBEEF);
    EXPECT_EQ(ReadU32(buffer), 0xDEADBEEFu);
    WriteU64(buffer, 0x0123456789ABCDEFull);
    EXPECT_EQ(ReadU64(buffer), 0x0123456789ABCDEFull);
}

TEST(ByteCursor, RemembersRunningPastTheEnd) {
    const std::uint8_t bytes[] = {1, 0, 2, 0, 0, 0};
    ByteCursor cursor(bytes, sizeof bytes);
    EXPECT_EQ(cursor.U16(), 1);
    EXPECT_EQ(cursor.U32(), 2u);
    EXPECT_TRUE(cursor.ok());
    EXPECT_EQ(cursor.U16(), 0);
    EXPECT_FALSE(cursor.ok());
    EXPECT_EQ(cursor.U32(), 0u);  // stays failed
}

}  // namespace
}  // namespace vrz
