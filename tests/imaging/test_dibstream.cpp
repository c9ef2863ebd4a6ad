#include <cstring>

#include <gtest/gtest.h>

#include "imaging/DibStream.h"

namespace vantomo {

TEST(DibStream, CreateDibLayoutPaletteAndLimits)
{
    DibStream image;
    ASSERT_TRUE(image.CreateDIB(3, -2, 24));
    EXPECT_EQ(image.Stride(), 12u); // 9 bytes padded to a word
    EXPECT_EQ(image.PixelSize(), 24u);
    EXPECT_EQ(image.Info().biSizeImage, 24u);
    EXPECT_EQ(image.Height(), -2);
    for (std::size_t i = 0; i < image.PixelSize(); ++i) {
        ASSERT_EQ(image.Pixels()[i], 0) << "blocks start cleared";
    }

    ASSERT_TRUE(image.CreateDIB(1, 1, 1));
    EXPECT_EQ(image.ColorCount(), 2u);
    EXPECT_EQ(image.ColorTable()[4], 255); // entry 1 is white
    ASSERT_TRUE(image.CreateDIB(1, 1, 8));
    EXPECT_EQ(image.ColorCount(), 256u);
    EXPECT_EQ(image.ColorTable()[4 * 200 + 1], 200);

    for (int bits : {0, 2, 63, 64}) {
        EXPECT_FALSE(image.CreateDIB(4, 4, bits)) << bits;
        EXPECT_TRUE(image.IsEmpty());
    }
    EXPECT_FALSE(image.CreateDIB(0, 4, 24));
    EXPECT_FALSE(image.CreateDIB(4, 0, 24));
    EXPECT_FALSE(image.CreateDIB(32769, 1, 8));
    EXPECT_FALSE(image.CreateDIB(1, -32769, 8));
    EXPECT_FALSE(image.CreateDIB(1, INT32_MIN, 8));
    EXPECT_TRUE(image.CreateDIB(32768, 1, 8));
    // 32768 x 8192 x 4 bytes is 1 GiB: beyond the pixel block limit.
    EXPECT_FALSE(image.CreateDIB(32768, 8192, 32));
    EXPECT_TRUE(image.IsEmpty());
}

TEST(DibStream, RowAddressFollowsTheSignOfTheHeight)
{
    DibStream bottomUp;
    ASSERT_TRUE(bottomUp.CreateDIB(2, 3, 24));
    EXPECT_EQ(bottomUp.RowAddress(0), bottomUp.Pixels() + 2 * 8);
    EXPECT_EQ(bottomUp.RowAddress(2), bottomUp.Pixels());
    EXPECT_EQ(bottomUp.RowAddress(3), nullptr);
    EXPECT_EQ(bottomUp.RowAddress(-1), nullptr);

    DibStream topDown;
    ASSERT_TRUE(topDown.CreateDIB(2, -3, 32));
    EXPECT_EQ(topDown.RowAddress(0), topDown.Pixels());
    std::uint8_t* row = topDown.RowAddress(1);
    row[4] = 1; // blue
    row[5] = 2;
    row[6] = 3;
    row[7] = 4; // alpha
    EXPECT_EQ(topDown.GetPixel(1, 1), 0x04030201u);
    EXPECT_EQ(topDown.GetPixel(2, 1), 0u);
    EXPECT_EQ(topDown.GetPixel(0, 5), 0u);

    DibStream rgb;
    ASSERT_TRUE(rgb.CreateDIB(1, 1, 24));
    rgb.RowAddress(0)[2] = 0x80;
    EXPECT_EQ(rgb.GetPixel(0, 0), 0xFF800000u) << "24-bit pixels read opaque";
    DibStream indexed;
    ASSERT_TRUE(indexed.CreateDIB(1, 1, 8));
    EXPECT_EQ(indexed.GetPixel(0, 0), 0u);
}

TEST(DibStream, ConvertTo24FromEveryDepth)
{
    DibStream one;
    ASSERT_TRUE(one.CreateDIB(10, 1, 1));
    one.RowAddress(0)[0] = 0x80; // pixel 0 white
    one.RowAddress(0)[1] = 0x40; // pixel 9 white
    ASSERT_TRUE(one.ConvertTo24());
    EXPECT_EQ(one.BitCount(), 24);
    EXPECT_EQ(one.GetPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(one.GetPixel(1, 0), 0xFF000000u);
    EXPECT_EQ(one.GetPixel(9, 0), 0xFFFFFFFFu);

    DibStream four;
    ASSERT_TRUE(four.CreateDIB(3, -1, 4));
    four.SetGrayPalette();
    four.RowAddress(0)[0] = 0x1F; // pixels 0 and 1: indices 1 and 15
    four.RowAddress(0)[1] = 0x20; // pixel 2: index 2
    ASSERT_TRUE(four.ConvertTo24());
    EXPECT_EQ(four.Height(), -1);
    EXPECT_EQ(four.GetPixel(0, 0), 0xFF111111u);
    EXPECT_EQ(four.GetPixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(four.GetPixel(2, 0), 0xFF222222u);

    DibStream sixteen;
    ASSERT_TRUE(sixteen.CreateDIB(2, 1, 16));
    sixteen.RowAddress(0)[0] = 0xFF;
    sixteen.RowAddress(0)[1] = 0x7F; // white in 5-5-5
    sixteen.RowAddress(0)[2] = 0x1F; // pure blue
    ASSERT_TRUE(sixteen.ConvertTo24());
    EXPECT_EQ(sixteen.GetPixel(0, 0), 0xFFF8F8F8u);
    EXPECT_EQ(sixteen.GetPixel(1, 0), 0xFF0000F8u);

    DibStream thirtyTwo;
    ASSERT_TRUE(thirtyTwo.CreateDIB(1, 2, 32));
    std::memcpy(thirtyTwo.RowAddress(1), "\x10\x20\x30\x00", 4);
    ASSERT_TRUE(thirtyTwo.ConvertTo24());
    EXPECT_EQ(thirtyTwo.Height(), 2);
    EXPECT_EQ(thirtyTwo.GetPixel(0, 1), 0xFF302010u);

    EXPECT_FALSE(DibStream().ConvertTo24());
}

TEST(DibStream, AttachChecksTheBlocks)
{
    auto header = [](std::int32_t w, std::int32_t h, int bits, std::uint32_t colors) {
        DibBlock block = DibBlock::Allocate(40 + 4 * colors);
        BITMAPINFOHEADER info;
        info.biWidth = w;
        info.biHeight = h;
        info.biBitCount = static_cast<std::uint16_t>(bits);
        info.biClrUsed = colors;
        std::memcpy(block.data(), &info, sizeof info);
        return block;
    };
    DibStream image;
    EXPECT_FALSE(image.Attach(header(4, 4, 24, 0), DibBlock()));
    EXPECT_FALSE(image.Attach(header(4, 4, 24, 0), DibBlock::Allocate(47))) << "pixel block too small";
    EXPECT_FALSE(image.Attach(header(4, 4, 8, 0), DibBlock::Allocate(16))) << "256 colours missing";
    EXPECT_FALSE(image.Attach(header(4, 4, 63, 0), DibBlock::Allocate(1024)));
    EXPECT_TRUE(image.IsEmpty());
    ASSERT_TRUE(image.Attach(header(4, -4, 8, 16), DibBlock::Allocate(16)));
    EXPECT_EQ(image.ColorCount(), 16u);
    EXPECT_EQ(image.Height(), -4);
    // Index 200 lies past the 16 entries: it reads black, never outside the table.
    image.RowAddress(0)[0] = 200;
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF000000u);
}

} // namespace vantomo
