// The embedded images: every id the program asks for is present, decodes as
// the format its name promises, and has the size its layout was drawn for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "EmbeddedResources.h"
#include "ResourceIds.h"

namespace vrz {
namespace {

enum class Format { Png, Gif };

struct ExpectedImage {
    int id;
    Format format;
    std::uint32_t width;
    std::uint32_t height;
};

// Sizes the pages and dialogs were laid out for; a button's caption layout
// depends on its image width, so these are part of the interface.
constexpr ExpectedImage kExpectedImages[] = {
    {IDI_PROGRAM, Format::Png, 256, 256},
    {IDB_LOGO_SMALL, Format::Png, 93, 21},
    {IDB_HELP_LINK_NORMAL, Format::Png, 16, 16},
    {IDB_HELP_LINK_HOVER, Format::Png, 16, 16},
    {IDB_HELP_LINK_PRESSED, Format::Png, 16, 16},
    {IDB_FAQ_LINK, Format::Png, 16, 16},
    {IDB_TIPS_LINK, Format::Png, 16, 16},
    {IDB_SOCIAL_LINK, Format::Png, 16, 16},
    {IDB_HOME_NORMAL, Format::Png, 32, 32},
    {IDB_HOME_HOVER, Format::Png, 32, 32},
    {IDB_HOME_PRESSED, Format::Png, 32, 32},
    {IDB_HOME_DISABLED, Format::Png, 32, 32},
    {IDB_SMALL_BUTTON_NORMAL, Format::Png, 104, 26},
    {IDB_SMALL_BUTTON_HOVER, Format::Png, 104, 26},
    {IDB_SMALL_BUTTON_PRESSED, Format::Png, 104, 26},
    {IDB_REPAIR_BUTTON_NORMAL, Format::Png, 383, 99},
    {IDB_REPAIR_BUTTON_HOVER, Format::Png, 383, 99},
    {IDB_REPAIR_BUTTON_PRESSED, Format::Png, 383, 99},
    {IDB_SAVE_BUTTON_NORMAL, Format::Png, 383, 99},
    {IDB_SAVE_BUTTON_HOVER, Format::Png, 383, 99},
    {IDB_SAVE_BUTTON_PRESSED, Format::Png, 383, 99},
    {IDR_ANIMATION_SCANNING, Format::Gif, 400, 100},
    {IDR_ANIMATION_SAVING, Format::Gif, 400, 100},
    {IDB_NEXT_NORMAL, Format::Png, 32, 32},
    {IDB_NEXT_HOVER, Format::Png, 32, 32},
    {IDB_NEXT_PRESSED, Format::Png, 32, 32},
    {IDB_FOLDER, Format::Png, 16, 16},
    {IDB_FILE, Format::Png, 16, 16},
    {IDB_MENU_HELP, Format::Png, 16, 16},
    {IDB_MENU_UPDATE, Format::Png, 16, 16},
    {IDB_MENU_ABOUT, Format::Png, 16, 16},
    {IDB_MENU_SUPPORT, Format::Png, 16, 16},
    {IDB_MENU_CHECKED, Format::Png, 16, 16},
    {IDB_MENU_UNCHECKED, Format::Png, 16, 16},
    {IDB_TIPS_CLOSE, Format::Png, 16, 16},
    {IDB_TIPS_ICON, Format::Png, 24, 24},
    {IDB_ABOUT_LOGO, Format::Png, 204, 44},
    {IDB_ABOUT_CLOSE, Format::Png, 18, 18},
    {IDB_ABOUT_OK, Format::Png, 109, 43},
};

// The literal ids of the layout tables, so a renamed or renumbered constant
// cannot hide a missing image.
constexpr int kLiteralIds[] = {102, 289, 109, 257, 110, 233, 235, 276, 112, 111, 113, 313,
                               311, 310, 312, 315, 314, 316, 325, 324, 326, 335, 336, 331,
                               330, 332, 328, 329, 121, 122, 123, 338, 1055, 299, 303, 337,
                               604, 605, 606};

std::uint32_t BigEndian32(const unsigned char* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
           (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

std::uint32_t LittleEndian16(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8);
}

struct ImageHeader {
    bool valid = false;
    Format format = Format::Png;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int pngColourType = -1;
};

// PNG: signature, then IHDR as the first chunk. GIF: signature and the
// logical screen size.
ImageHeader ReadHeader(const EmbeddedResource& resource) {
    static const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ImageHeader header;
    const unsigned char* p = resource.data;
    if (p == nullptr) return header;
    if (resource.size >= 33 && std::equal(kPngSignature, kPngSignature + 8, p) &&
        BigEndian32(p + 8) == 13 && std::string(p + 12, p + 16) == "IHDR") {
        header.valid = true;
        header.format = Format::Png;
        header.width = BigEndian32(p + 16);
        header.height = BigEndian32(p + 20);
        header.pngColourType = p[25];
        return header;
    }
    const std::string signature(p, p + std::min<std::size_t>(resource.size, 6));
    if (resource.size >= 13 && (signature == "GIF89a" || signature == "GIF87a")) {
        header.valid = true;
        header.format = Format::Gif;
        header.width = LittleEndian16(p + 6);
        header.height = LittleEndian16(p + 8);
    }
    return header;
}

struct GifStructure {
    bool complete = false;  // reached the trailer without running off the end
    bool loops = false;     // carries the NETSCAPE2.0 looping extension
    int frames = 0;
};

// Walks the GIF block structure far enough to count frames.
GifStructure WalkGif(const EmbeddedResource& resource) {
    GifStructure gif;
    const unsigned char* data = resource.data;
    const std::size_t size = resource.size;
    std::size_t pos = 13;
    if (size < pos) return gif;
    const unsigned char screenFlags = data[10];
    if (screenFlags & 0x80) pos += 3u * (2u << (screenFlags & 0x07));

    auto skipSubBlocks = [&](std::size_t& at) {
        while (at < size && data[at] != 0) at += 1u + data[at];
        if (at >= size) return false;
        ++at;
        return true;
    };

    while (pos < size) {
        const unsigned char introducer = data[pos++];
        if (introducer == 0x3B) {
            gif.complete = true;
            return gif;
        }
        if (introducer == 0x21) {
            if (pos >= size) return gif;
            const unsigned char label = data[pos++];
            if (label == 0xFF && pos + 12 <= size && data[pos] == 11 &&
                std::string(data + pos + 1, data + pos + 12) == "NETSCAPE2.0") {
                gif.loops = true;
            }
            if (!skipSubBlocks(pos)) return gif;
        } else if (introducer == 0x2C) {
            if (pos + 10 > size) return gif;
            const unsigned char imageFlags = data[pos + 8];
            pos += 9;
            if (imageFlags & 0x80) pos += 3u * (2u << (imageFlags & 0x07));
            pos += 1;  // LZW minimum code size
            if (!skipSubBlocks(pos)) return gif;
            ++gif.frames;
        } else {
            return gif;
        }
    }
    return gif;
}

TEST(EmbeddedResources, EveryImageOfThePagesIsPresentWithItsFormatAndSize) {
    for (const ExpectedImage& expected : kExpectedImages) {
        SCOPED_TRACE("id " + std::to_string(expected.id));
        const EmbeddedResource resource = FindEmbeddedResource(expected.id);
        ASSERT_NE(resource.data, nullptr);
        ASSERT_GT(resource.size, 0u);
        const ImageHeader header = ReadHeader(resource);
        ASSERT_TRUE(header.valid) << "neither a PNG nor a GIF signature";
        EXPECT_EQ(header.format, expected.format);
        EXPECT_EQ(header.width, expected.width);
        EXPECT_EQ(header.height, expected.height);
    }
    for (const int id : kLiteralIds) {
        EXPECT_NE(FindEmbeddedResource(id).data, nullptr) << "id " << id;
    }
}

// Images are alpha-blended over the band, panel or note behind them; the
// folder and file icons no longer rely on black as a transparent key.
TEST(EmbeddedResources, EveryPngCarriesAnAlphaChannel) {
    for (const ExpectedImage& expected : kExpectedImages) {
        if (expected.format != Format::Png) continue;
        SCOPED_TRACE("id " + std::to_string(expected.id));
        const ImageHeader header = ReadHeader(FindEmbeddedResource(expected.id));
        ASSERT_TRUE(header.valid);
        EXPECT_TRUE(header.pngColourType == 6 || header.pngColourType == 4)
            << "colour type " << header.pngColourType;
    }
}

TEST(EmbeddedResources, AnimationsAreWholeLoopingGifsOfEightToTwentyFrames) {
    for (const int id : {IDR_ANIMATION_SCANNING, IDR_ANIMATION_SAVING}) {
        SCOPED_TRACE("id " + std::to_string(id));
        const GifStructure gif = WalkGif(FindEmbeddedResource(id));
        EXPECT_TRUE(gif.complete) << "block structure ends before the trailer";
        EXPECT_TRUE(gif.loops);
        EXPECT_GE(gif.frames, 8);
        EXPECT_LE(gif.frames, 20);
    }
}

TEST(EmbeddedResources, ProgramIconComesInEverySizeTheWindowManagerAsksFor) {
    for (const int pixels : kProgramIconSmallerSizes) {
        SCOPED_TRACE("size " + std::to_string(pixels));
        const ImageHeader header = ReadHeader(FindEmbeddedIcon(IDI_PROGRAM, pixels));
        ASSERT_TRUE(header.valid);
        EXPECT_EQ(header.format, Format::Png);
        EXPECT_EQ(header.width, static_cast<std::uint32_t>(pixels));
        EXPECT_EQ(header.height, static_cast<std::uint32_t>(pixels));
    }
    // The smaller icons are not reachable as plain ids, nor the plain image as a size.
    EXPECT_EQ(FindEmbeddedIcon(IDI_PROGRAM, 24).data, nullptr);
    EXPECT_EQ(FindEmbeddedIcon(IDI_PROGRAM, 0).data, nullptr);
    EXPECT_EQ(FindEmbeddedIcon(IDB_LOGO_SMALL, 16).data, nullptr);
    EXPECT_EQ(FindEmbeddedResource(16).data, nullptr);
    EXPECT_EQ(FindEmbeddedResource(48).data, nullptr);
}

TEST(EmbeddedResources, UnknownIdsGiveNoData) {
    for (const int id : {0, -1, -289, 1, 120, 290, 1054, 65535, 1 << 30}) {
        const EmbeddedResource resource = FindEmbeddedResource(id);
        EXPECT_EQ(resource.data, nullptr) << "id " << id;
        EXPECT_EQ(resource.size, 0u) << "id " << id;
    }
}

}  // namespace
}  // namespace vrz
