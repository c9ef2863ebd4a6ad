#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"

namespace vantomo {

namespace {

Bytes GreyPalette(int entries)
{
    Bytes p;
    for (int i = 0; i < entries; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        p.insert(p.end(), {v, v, v, 0});
    }
    return p;
}

bool ReadPnmText(DibStream& image, const std::string& text)
{
    const Bytes bytes(text.begin(), text.end());
    return image.ReadPNM(bytes);
}

} // namespace

TEST(Bmp, IndexedColoursOrientationAndOffset)
{
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.bits = 8;
    s.pixels = {0, 1, 0, 0, 1, 0, 0, 0}; // bottom row first, each padded to 4
    s.palette = GreyPalette(256);
    DibStream image;
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.ColorCount(), 256u) << "biClrUsed 0 means 2^bits";
    EXPECT_EQ(image.Info().biClrUsed, 256u);

    s.clrUsed = 16;
    s.palette = GreyPalette(16);
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.ColorCount(), 16u);
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF111111u); // the top row is the second stored row
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF000000u);
    EXPECT_EQ(image.GetPixel(1, 1), 0xFF111111u);

    s.height = -2;
    s.zeroOffset = true; // pixels follow the palette directly
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.Height(), -2);
    EXPECT_EQ(image.RowAddress(0)[1], 1) << "a top-down file's first row is the top";
}

TEST(Bmp, ThirtyTwoBitAlpha)
{
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 32;
    s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    DibStream image;
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF030201u) << "an all-zero fourth byte is no alpha";
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF060504u);
    s.pixels[7] = 128;
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.GetPixel(0, 0), 0x00030201u);
    EXPECT_EQ(image.GetPixel(1, 0), 0x80060504u);
}

TEST(Bmp, Rle8DeltasEscapesAndClipping)
{
    BmpSpec s;
    s.width = 4;
    s.height = 3;
    s.bits = 8;
    s.compression = 1;
    s.clrUsed = 2;
    s.palette = GreyPalette(2);
    s.pixels = {
        3, 7,          // row 0: 7 7 7
        0, 0,          // end of line
        0, 2, 1, 1,    // delta: x 1, row 2
        0, 3, 9, 8, 6, 0, // literal 9 8 6 and its pad byte
        0, 1,          // end of bitmap
    };
    DibStream image;
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.Info().biCompression, 0u);
    const std::uint8_t* block = image.Pixels();
    EXPECT_EQ(std::vector<std::uint8_t>(block, block + 12), (std::vector<std::uint8_t>{7, 7, 7, 0, 0, 0, 0, 0, 0, 9, 8, 6}));

    // Runs past the row end, deltas past the last row and literals past the
    // data all stay inside the pixel block.
    s.pixels = {255, 1, 0, 2, 255, 255, 200, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 3, 0, 255, 1};
    ASSERT_TRUE(image.LoadBMP(MakeBmp(s)));
    EXPECT_EQ(image.Pixels()[3], 1);
    s.bits = 4; // RLE8 data in a 4-bit bitmap is refused
    EXPECT_FALSE(image.LoadBMP(MakeBmp(s)));
}

TEST(Bmp, RefusesWhatItDoesNotRead)
{
    BmpSpec good;
    good.width = 1;
    good.height = 1;
    good.bits = 24;
    good.pixels = {1, 2, 3, 0};
    DibStream image;
    ASSERT_TRUE(image.LoadBMP(MakeBmp(good)));

    auto refused = [&](BmpSpec s, const char* why) {
        EXPECT_FALSE(image.LoadBMP(MakeBmp(s))) << why;
        EXPECT_TRUE(image.IsEmpty()) << why;
    };
    BmpSpec s = good;
    s.infoSize = 108;
    refused(s, "version 4 header");
    s = good;
    s.compression = 2;
    refused(s, "RLE4");
    s.compression = 3;
    refused(s, "bit fields");
    s = good;
    s.bits = 63;
    refused(s, "bit count 63");
    s = good;
    s.pixels.pop_back();
    refused(s, "short pixel data");
    s = good;
    s.width = 8000;
    s.height = 8000;
    refused(s, "a pixel block the file cannot fill, refused before allocating 192 MB");
    s = good;
    s.bits = 8;
    s.clrUsed = 0x40000000;
    refused(s, "a colour table larger than the file");
    Bytes notBmp = MakeBmp(good);
    notBmp[0] = 'X';
    EXPECT_FALSE(image.LoadBMP(notBmp));
    EXPECT_FALSE(image.LoadBMP(std::string("/nonexistent/file.bmp")));
}

TEST(Pnm, BinaryAndTextForms)
{
    DibStream image;
    ASSERT_TRUE(ReadPnmText(image, "P6\n# a comment\n#another\n2 1\n255\n\x01\x02\x03\x04\x05\x06"));
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF010203u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF040506u);

    ASSERT_TRUE(ReadPnmText(image, "P3\n2 2\n255\n1 2 3  4 5 6\n7 8 9 10 11 12\n"));
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF070809u) << "the file's first row is the top";

    ASSERT_TRUE(ReadPnmText(image, "P2\n3 1\n255\n300 -1 #7\n"));
    EXPECT_EQ(image.BitCount(), 8);
    EXPECT_EQ(image.RowAddress(0)[0], 44) << "samples keep their low 8 bits";
    EXPECT_EQ(image.RowAddress(0)[1], 255);
    EXPECT_EQ(image.RowAddress(0)[2], 7) << "characters other than digits are skipped";
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF2C2C2Cu);

    ASSERT_TRUE(ReadPnmText(image, "P5\n2 1\n255\n\x10\x20"));
    EXPECT_EQ(image.RowAddress(0)[1], 0x20);
    ASSERT_TRUE(ReadPnmText(image, "P2\n1 1\n65535\n65535\n")) << "text samples above 255 are read";
}

TEST(Pnm, RefusedHeadersAndData)
{
    DibStream image;
    for (const char* text : {
             "P6 1 1 255\n\x01\x02\x03",   // fields on the magic number's line
             "P6\r\n1 1\r\n255\r\n\x01\x02\x03", // CR LF
             "P4\n1 1\n\x80",             // bitmap form
             "P6\n1 1\n65535\n\x01\x02\x03\x04\x05\x06", // two bytes per sample
             "P5\n-2 1\n255\n\x01\x02",
             "P5\n2 0\n255\n",
             "P5\n99999999999 1\n255\n\x01",
             "P5\n3 1\n255\n\x01\x02",    // short data
             "P3\n2 1\n255\n1 2 3 4 5",   // short text data
         }) {
        EXPECT_FALSE(ReadPnmText(image, text)) << text;
        EXPECT_TRUE(image.IsEmpty());
    }
}

TEST(Pnm, StreamIsClosed)
{
    TempFolder dir;
    const std::string path = dir.Path("a.pgm");
    WriteFileBytes(path, Bytes{'P', '5', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n', 9});
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    const int fd = fileno(stream);
    DibStream image;
    ASSERT_TRUE(image.ReadPNM(stream));
    EXPECT_EQ(image.RowAddress(0)[0], 9);
    EXPECT_EQ(fcntl(fd, F_GETFD), -1);
}

TEST(Tga, TrueColourOrientationAndAlpha)
{
    TgaSpec s;
    s.width = 2;
    s.height = 2;
    s.depth = 32;
    s.descriptor = 8; // 8 alpha bits, bottom row first
    s.id = "id";
    s.data = {1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 128, 10, 11, 12, 255};
    DibStream image;
    ASSERT_TRUE(image.ReadTGA(MakeTga(s)));
    EXPECT_EQ(image.BitCount(), 32);
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF030201u) << "alpha 255 is opaque";
    EXPECT_EQ(image.GetPixel(1, 1), 0x00060504u);
    EXPECT_EQ(image.GetPixel(0, 0), 0x80090807u);

    s.descriptor = 0x20; // top row first, no alpha bits
    ASSERT_TRUE(image.ReadTGA(MakeTga(s)));
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF060504u) << "no alpha bits: opaque";

    s.depth = 16;
    s.descriptor = 0;
    s.data = {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0x7F};
    ASSERT_TRUE(image.ReadTGA(MakeTga(s)));
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF0000F8u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFFF8F8F8u);
}

TEST(Tga, ColourMappedGreyAndRunLength)
{
    TgaSpec s;
    s.type = 1;
    s.width = 2;
    s.height = 1;
    s.depth = 8;
    s.colorMapType = 1;
    s.colorMapBits = 24;
    s.colorMapLength = 300; // longer than a colour table: the rest is read past
    for (int i = 0; i < 300; ++i) {
        s.colorMap.insert(s.colorMap.end(), {static_cast<std::uint8_t>(i), 0, 0});
    }
    s.data = {5, 255};
    DibStream image;
    ASSERT_TRUE(image.ReadTGA(MakeTga(s)));
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF000005u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF0000FFu);
    s.colorMapBits = 16;
    EXPECT_FALSE(image.ReadTGA(MakeTga(s)));

    TgaSpec grey;
    grey.type = 3;
    grey.width = 1;
    grey.height = 1;
    grey.depth = 8;
    grey.data = {77};
    ASSERT_TRUE(image.ReadTGA(MakeTga(grey)));
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF4D4D4Du);
    grey.type = 11;
    EXPECT_FALSE(image.ReadTGA(MakeTga(grey))) << "run-length grey is not read";

    // A repeat packet of 3 runs on from the first row (the bottom one) into the
    // second; a raw packet finishes it.
    TgaSpec rle;
    rle.type = 10;
    rle.width = 2;
    rle.height = 2;
    rle.depth = 24;
    rle.data = {0x82, 1, 2, 3, 0x00, 4, 5, 6, 0x81, 9, 9, 9};
    ASSERT_TRUE(image.ReadTGA(MakeTga(rle))) << "data after the last row is ignored";
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF030201u);
    EXPECT_EQ(image.GetPixel(1, 1), 0xFF030201u);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF030201u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF060504u);
    rle.descriptor = 0x20;
    ASSERT_TRUE(image.ReadTGA(MakeTga(rle)));
    EXPECT_EQ(image.GetPixel(1, 1), 0xFF060504u);
    rle.data.resize(5);
    EXPECT_FALSE(image.ReadTGA(MakeTga(rle)));
}

TEST(Tga, SizesAreCheckedAndTheDescriptorClosed)
{
    TgaSpec s;
    s.width = 30000;
    s.height = 30000;
    s.data = {1, 2, 3};
    DibStream image;
    EXPECT_FALSE(image.ReadTGA(MakeTga(s)));
    s.width = -3;
    s.height = 1;
    EXPECT_FALSE(image.ReadTGA(MakeTga(s)));

    TempFolder dir;
    const std::string path = dir.Path("x.tga");
    WriteFileBytes(path, Bytes{1, 2, 3});
    const int fd = open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(image.ReadTGA(fd));
    EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "closed even on failure";
}

TEST(Ilbm, NetpbmFilesMatchTheirSources)
{
    const std::string dir = ImageDataDir();
    struct Case {
        const char* ilbm;
        const char* ppm;
        int bits;
    };
    for (const Case& c : {Case{"ilbm1.iff", "two.ppm", 1}, Case{"ilbm3.iff", "eight.ppm", 4},
                          Case{"ilbm3rle.iff", "eight.ppm", 4}, Case{"ilbm3mask.iff", "eight.ppm", 4},
                          Case{"ilbm5rle.iff", "thirtytwo.ppm", 8}, Case{"ilbm8rle.iff", "many.ppm", 8},
                          Case{"ilbm24.iff", "truecolor.ppm", 24}, Case{"ilbm24rle.iff", "truecolor.ppm", 24}}) {
        DibStream ilbm;
        ASSERT_TRUE(ilbm.LoadILBM(dir + c.ilbm)) << c.ilbm;
        EXPECT_EQ(ilbm.BitCount(), c.bits) << c.ilbm;
        ASSERT_TRUE(ilbm.ConvertTo24());
        DibStream ppm;
        ASSERT_TRUE(ppm.ReadPNM(std::fopen((dir + c.ppm).c_str(), "rb")));
        ASSERT_EQ(ilbm.Width(), ppm.Width());
        ASSERT_EQ(ilbm.AbsHeight(), ppm.AbsHeight());
        int wrong = 0;
        for (int y = 0; y < ppm.AbsHeight(); ++y) {
            for (int x = 0; x < ppm.Width(); ++x) {
                wrong += ilbm.GetPixel(x, y) != ppm.GetPixel(x, y);
            }
        }
        EXPECT_EQ(wrong, 0) << c.ilbm;
    }
}

namespace {

Bytes MakeIlbm(int width, int height, int planes, int compression, const Bytes& body, const Bytes& cmap = {})
{
    Bytes form{'I', 'L', 'B', 'M'};
    Append(form, std::string("BMHD"));
    PutU32BE(form, 20);
    form.insert(form.end(), {static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width),
                             static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height), 0, 0, 0, 0,
                             static_cast<std::uint8_t>(planes), 0, static_cast<std::uint8_t>(compression), 0, 0, 0,
                             1, 1, 0, 0, 0, 0});
    Append(form, std::string("ANNO"));
    PutU32BE(form, 3);
    form.insert(form.end(), {'x', 'y', 'z', 0}); // odd size: one pad byte
    if (!cmap.empty()) {
        Append(form, std::string("CMAP"));
        PutU32BE(form, static_cast<std::uint32_t>(cmap.size()));
        Append(form, cmap);
    }
    Append(form, std::string("BODY"));
    PutU32BE(form, static_cast<std::uint32_t>(body.size()));
    Append(form, body);
    Bytes file{'F', 'O', 'R', 'M'};
    PutU32BE(file, static_cast<std::uint32_t>(form.size()));
    Append(file, form);
    return file;
}

} // namespace

TEST(Ilbm, PlanesBitsAndRunsAcrossLines)
{
    // One 8-pixel row of 5 planes: pixel 0 has planes 0, 1 and 4 set (value 19).
    Bytes body;
    for (int p = 0; p < 5; ++p) {
        body.push_back(p == 0 || p == 1 || p == 4 ? 0x80 : 0x00);
        body.push_back(0);
    }
    DibStream image;
    ASSERT_TRUE(image.LoadILBM(MakeIlbm(8, 1, 5, 0, body)));
    EXPECT_EQ(image.BitCount(), 8);
    EXPECT_EQ(image.RowAddress(0)[0], 19);

    // 24 planes: the first eight are red. One ByteRun1 run of 6 bytes crosses
    // from plane 0's line into plane 1's and 2's.
    Bytes deep{static_cast<std::uint8_t>(257 - 6), 0xFF};
    for (int p = 3; p < 24; ++p) {
        deep.insert(deep.end(), {1, 0, 0});
    }
    ASSERT_TRUE(image.LoadILBM(MakeIlbm(16, 1, 24, 1, deep)));
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF070000u);

    // A body that ends early still reads; the missing rows are cleared.
    ASSERT_TRUE(image.LoadILBM(MakeIlbm(8, 3, 1, 0, Bytes{0xFF, 0xFF})));
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFFFFFFFFu) << "no CMAP: black and white";
    EXPECT_EQ(image.GetPixel(0, 1), 0xFF000000u);
    EXPECT_EQ(image.GetPixel(7, 2), 0xFF000000u);

    Bytes cmap{10, 20, 30, 40, 50, 60};
    ASSERT_TRUE(image.LoadILBM(MakeIlbm(8, 1, 1, 0, Bytes{0x80, 0}, cmap)));
    ASSERT_TRUE(image.ConvertTo24());
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF28323Cu);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF0A141Eu);

    Bytes notIlbm = MakeIlbm(8, 1, 1, 0, Bytes{0, 0});
    notIlbm[8] = 'P';
    EXPECT_FALSE(image.LoadILBM(notIlbm));
    EXPECT_FALSE(image.LoadILBM(MakeIlbm(8, 1, 30, 0, Bytes{0, 0}))) << "more than 24 planes: no bitmap";
    EXPECT_FALSE(image.LoadILBM(MakeIlbm(30000, 30000, 24, 1, Bytes{0, 0}))) << "far more than the file holds";
}

} // namespace vantomo
