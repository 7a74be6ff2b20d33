#include <gtest/gtest.h>

#include "BmpFixture.h"
#include "ui/BmpFile.h"

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

TEST(BmpFile, DecodesBottomUpTwentyFourBitRowsWithPadding) {
    PixelImage image = SolidImage(3, 2, Rgb(1, 2, 3));
    image.pixels[2] = Rgb(200, 100, 50);  // top-right
    image.pixels[3] = Rgb(9, 8, 7);       // bottom-left
    const auto bytes = MakeBmp24(image);
    Size size;
    ASSERT_EQ(ReadBmpSize(bytes, size), 0);
    EXPECT_EQ(size, (Size{3, 2}));
    PixelImage decoded;
    ASSERT_EQ(DecodeBmp(bytes, decoded), 0);
    EXPECT_EQ(decoded.pixels, image.pixels);
}

TEST(BmpFile, DecodesTopDownAndPalettedImages) {
    // 8 bits per pixel, 2-entry palette, top-down (negative height), 2 × 2.
    std::vector<uint8_t> b(54 + 8 + 8, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 62);
    Put32(b, 14, 40);
    Put32(b, 18, 2);
    Put32(b, 22, uint32_t(-2));
    b[26] = 1;
    b[28] = 8;
    Put32(b, 46, 2);
    b[54] = 0x55;      // palette 0: blue 0x55
    b[58 + 2] = 0x66;  // palette 1: red 0x66
    b[62] = 1;         // row 0: 1, 0
    b[66 + 1] = 1;     // row 1: 0, 1
    PixelImage decoded;
    ASSERT_EQ(DecodeBmp(b, decoded), 0);
    EXPECT_EQ(decoded.pixels,
              (std::vector<Color>{Rgb(0x66, 0, 0), Rgb(0, 0, 0x55), Rgb(0, 0, 0x55), Rgb(0x66, 0, 0)}));

    b[66 + 1] = 2;  // an index beyond the palette
    EXPECT_EQ(DecodeBmp(b, decoded), 1);
}

TEST(BmpFile, RefusesDamagedOrUnusableFiles) {
    const auto good = MakeBmp24(SolidImage(4, 4, 0));
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {
        {"not a bitmap", 0, 'X'},        {"data offset beyond the end", 10, 0xFFFFFF00},
        {"unknown header size", 14, 20}, {"zero width", 18, 0},
        {"absurd height", 22, 1u << 30}, {"compressed", 30, 1},
        {"odd bit depth", 28, 16},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        if (c.at == 0) {
            bytes[0] = uint8_t(c.value);
        } else if (c.at == 28) {
            bytes[28] = uint8_t(c.value);
        } else {
            Put32(bytes, c.at, c.value);
        }
        PixelImage image;
        EXPECT_EQ(DecodeBmp(bytes, image), 1) << c.what;
    }
    PixelImage image;
    Size size;
    EXPECT_EQ(DecodeBmp(std::span(good).first(good.size() - 1), image), 1) << "truncated pixels";
    EXPECT_EQ(ReadBmpSize(std::span(good).first(20), size), 1) << "truncated header";
    EXPECT_EQ(ReadBmpSize({}, size), 1);
}

TEST(BmpFile, ReadsTheSizeFromACoreHeader) {
    std::vector<uint8_t> b(26, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 14, 12);
    b[18] = 0x13;  // width 275
    b[19] = 0x01;
    b[20] = 228;
    Size size;
    ASSERT_EQ(ReadBmpSize(b, size), 0);
    EXPECT_EQ(size, (Size{275, 228}));
}

// The store sizes a compressed skin bitmap from its header alone, before (or without) decoding it.
TEST(BmpFile, ReadsTheSizeOfAPngFromItsHeaderAndRefusesWhatIsNotOne) {
    const std::vector<uint8_t> good = {0x89, 'P', 'N',  'G',  0x0D, 0x0A, 0x1A, 0x0A, 0,    0,
                                       0,    13,  'I',  'H',  'D',  'R',  0,    0,    0x03, 0xE8,
                                       0,    0,   0x01, 0xF8, 8,    2,    0,    0,    0};
    Size size;
    ASSERT_EQ(ReadPngSize(good, size), 0);
    EXPECT_EQ(size, (Size{1000, 504}));

    // Each case overwrites one big-endian word of the good header.
    struct Case {
        size_t at;
        uint32_t value;
        const char* what;
    } cases[] = {
        {0, 0x89504E48, "signature"},
        {8, 14, "header length"},
        {12, 0x69484452, "first chunk not the header"},
        {16, 0, "zero width"},
        {20, 0, "zero height"},
        {16, 16385, "width beyond the limit"},
        {20, 0x80000000, "height beyond the limit"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 4; ++i) bad[c.at + size_t(i)] = uint8_t(c.value >> (24 - 8 * i));
        EXPECT_EQ(ReadPngSize(bad, size), 1) << c.what;
    }
    EXPECT_EQ(ReadPngSize(std::span(good).first(23), size), 1) << "truncated header";
    EXPECT_EQ(ReadPngSize({}, size), 1);
}

}  // namespace
