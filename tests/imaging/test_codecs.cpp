#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"
#include "imaging/JpegFiles.h"

namespace vantomo {

namespace {

bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int da = static_cast<int>((a >> shift) & 0xFF);
        const int db = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(da - db) > tolerance) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(Png, EveryBitCountRoundTrips)
{
    TempFolder dir;
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        DibStream image;
        ASSERT_TRUE(image.CreateDIB(5, bits == 8 ? -3 : 3, bits));
        if (bits == 4) {
            for (int i = 0; i < 16; ++i) {
                image.ColorTable()[4 * i + 2] = static_cast<std::uint8_t>(i * 16); // red ramp
            }
        }
        for (int y = 0; y < 3; ++y) {
            std::uint8_t* row = image.RowAddress(y);
            for (std::size_t i = 0; i < image.Stride(); ++i) {
                row[i] = static_cast<std::uint8_t>(i * 37 + static_cast<std::size_t>(y) * 11 + 5);
            }
        }
        const std::string path = dir.Path("b" + std::to_string(bits) + ".png");
        ASSERT_TRUE(SavePNG(path, image)) << bits;
        DibStream loaded;
        ASSERT_TRUE(LoadPNG(path, loaded)) << bits;
        EXPECT_EQ(loaded.BitCount(), bits == 32 ? 32 : 24);
        // Compare against the image's own 24-bit form (32 bits: as stored).
        if (bits != 32) {
            ASSERT_TRUE(image.ConvertTo24());
        }
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 5; ++x) {
                ASSERT_EQ(loaded.GetPixel(x, y), image.GetPixel(x, y)) << bits << " " << x << "," << y;
            }
        }
    }
}

TEST(Png, DamagedFilesFailCleanly)
{
    DibStream image;
    ASSERT_TRUE(image.CreateDIB(16, 16, 24));
    std::vector<std::uint8_t> png;
    ASSERT_TRUE(EncodePNG(image, png));
    DibStream loaded;
    ASSERT_TRUE(LoadPNG(png, loaded));
    EXPECT_FALSE(LoadPNG(std::span(png.data(), png.size() / 2), loaded));
    EXPECT_TRUE(loaded.IsEmpty());
    png[20] ^= 0x40; // the header's checksum no longer matches
    EXPECT_FALSE(LoadPNG(png, loaded));
    EXPECT_FALSE(LoadPNG(Bytes{}, loaded));
    // A chunk before the image data claims 1.3 GB the file does not hold:
    // refused at once, without allocating it.
    png[20] ^= 0x40;
    Bytes huge(png.begin(), png.begin() + 33);
    huge.insert(huge.end(), {0x53, 0x00, 0x00, 0x00, 'p', 'C', 'A', 'L', 1, 2, 3, 4});
    huge.insert(huge.end(), png.begin() + 33, png.end());
    EXPECT_FALSE(LoadPNG(huge, loaded));
    EXPECT_FALSE(LoadPNG(std::string("/nonexistent.png"), loaded));
    EXPECT_FALSE(EncodePNG(DibStream(), png));
}

TEST(Png, FailedSaveKeepsTheOldFile)
{
    TempFolder dir;
    const std::string path = dir.Path("out.png");
    WriteFileBytes(path, Bytes{'o', 'l', 'd'});
    EXPECT_FALSE(SavePNG(path, DibStream()));
    EXPECT_EQ(ReadFileBytes(path), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(SavePNG(dir.Path("missing/out.png"), DibStream()));
    DibStream image;
    ASSERT_TRUE(image.CreateDIB(2, 2, 24));
    EXPECT_FALSE(SavePNG(dir.Path("missing/out.png"), image));
    ASSERT_TRUE(SavePNG(path, image));
    DibStream loaded;
    EXPECT_TRUE(LoadPNG(path, loaded));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), std::filesystem::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST(Jpeg, ColourGreyAndCmyk)
{
    DibStream image;
    const std::uint8_t rgb[3] = {200, 100, 50};
    ASSERT_TRUE(LoadJPEG(EncodeJpeg(17, 9, 3, rgb), image));
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.Width(), 17);
    EXPECT_EQ(image.AbsHeight(), 9);
    EXPECT_TRUE(Near(image.GetPixel(16, 8), 0xFFC86432u, 3)) << std::hex << image.GetPixel(16, 8);

    const std::uint8_t grey[1] = {90};
    ASSERT_TRUE(LoadJPEG(EncodeJpeg(8, 8, 1, grey), image));
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_TRUE(Near(image.GetPixel(3, 3), 0xFF5A5A5Au, 2));

    // Adobe CMYK stores the inks inverted (255 is no ink): full cyan, nothing
    // else, is green plus blue.
    const std::uint8_t cmyk[4] = {0, 255, 255, 255};
    ASSERT_TRUE(LoadJPEG(EncodeJpeg(8, 8, 4, cmyk), image));
    EXPECT_TRUE(Near(image.GetPixel(0, 0), 0xFF00FFFFu, 3)) << std::hex << image.GetPixel(0, 0);
}

TEST(Jpeg, DamagedFilesFailCleanly)
{
    const std::uint8_t rgb[3] = {1, 2, 3};
    const Bytes jpeg = EncodeJpeg(64, 64, 3, rgb);
    DibStream image;
    EXPECT_FALSE(LoadJPEG(std::span(jpeg.data(), 100), image)) << "cut inside the tables";
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(LoadJPEG(Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0, 0}, image));
    EXPECT_FALSE(LoadJPEG(Bytes{}, image));
    EXPECT_FALSE(LoadJPEG(std::string("/nonexistent.jpg"), image));
    // Cut inside the image data: libjpeg fills the rest, as it does for any viewer.
    EXPECT_TRUE(LoadJPEG(std::span(jpeg.data(), jpeg.size() - 20), image));
}

} // namespace vantomo
