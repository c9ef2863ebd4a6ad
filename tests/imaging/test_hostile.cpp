// Every reader meets cut and damaged copies of valid files: each must either
// succeed with a usable image or fail with an empty one, and never touch
// memory it does not own (the sanitizer build checks that).
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"
#include "imaging/JpegFiles.h"

namespace vantomo {

namespace {

using Reader = std::function<bool(DibStream&, std::span<const std::uint8_t>)>;

struct Sample {
    std::string name;
    Reader read;
    Bytes file;
    bool prefixesFail; // whether every cut copy must be refused
};

// Reads every pixel and converts, so a bitmap inconsistent with its header
// shows up under the sanitizers.
void UseImage(DibStream& image)
{
    std::uint32_t sum = 0;
    for (std::int32_t y = 0; y < image.AbsHeight(); ++y) {
        for (std::int32_t x = 0; x < image.Width(); ++x) {
            sum += image.GetPixel(x, y);
        }
    }
    std::vector<std::uint8_t> png;
    EXPECT_TRUE(EncodePNG(image, png));
    EXPECT_TRUE(image.ConvertTo24());
    (void)sum;
}

std::vector<Sample> Samples()
{
    const Reader bmp = [](DibStream& i, std::span<const std::uint8_t> d) { return i.LoadBMP(d); };
    const Reader pnm = [](DibStream& i, std::span<const std::uint8_t> d) { return i.ReadPNM(d); };
    const Reader tga = [](DibStream& i, std::span<const std::uint8_t> d) { return i.ReadTGA(d); };
    const Reader ilbm = [](DibStream& i, std::span<const std::uint8_t> d) { return i.LoadILBM(d); };
    const Reader png = [](DibStream& i, std::span<const std::uint8_t> d) { return LoadPNG(d, i); };
    const Reader jpeg = [](DibStream& i, std::span<const std::uint8_t> d) { return LoadJPEG(d, i); };

    std::vector<Sample> samples;
    BmpSpec b;
    b.width = 5;
    b.height = 3;
    b.bits = 8;
    b.clrUsed = 4;
    b.palette = {0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0};
    b.pixels = Bytes(24, 2);
    samples.push_back({"bmp8", bmp, MakeBmp(b), true});
    b.compression = 1;
    b.pixels = {2, 1, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 5, 3, 0, 1};
    samples.push_back({"bmp-rle8", bmp, MakeBmp(b), false}); // cut RLE data is itself valid
    b = BmpSpec{};
    b.width = 3;
    b.height = -2;
    b.bits = 32;
    b.pixels = Bytes(24, 9);
    samples.push_back({"bmp32", bmp, MakeBmp(b), true});

    const std::string p6 = "P6\n# c\n3 2\n255\n" + std::string(18, 'x');
    samples.push_back({"p6", pnm, Bytes(p6.begin(), p6.end()), true});
    const std::string p3 = "P3\n2 1\n255\n1 2 3 4 5 6\n";
    samples.push_back({"p3", pnm, Bytes(p3.begin(), p3.end()), false}); // "...5 " still ends in a number
    const std::string p2 = "P2\n3 1\n255\n10 20 30";
    samples.push_back({"p2", pnm, Bytes(p2.begin(), p2.end()), false});

    TgaSpec t;
    t.type = 1;
    t.width = 3;
    t.height = 2;
    t.depth = 8;
    t.colorMapType = 1;
    t.colorMapLength = 2;
    t.colorMapBits = 24;
    t.colorMap = {1, 2, 3, 4, 5, 6};
    t.data = {0, 1, 0, 1, 0, 1};
    samples.push_back({"tga1", tga, MakeTga(t), true});
    t.type = 9;
    t.descriptor = 0x20;
    t.data = {0x82, 1, 0x02, 0, 1, 0};
    samples.push_back({"tga9", tga, MakeTga(t), true});
    t = TgaSpec{};
    t.type = 10;
    t.width = 4;
    t.height = 2;
    t.depth = 32;
    t.descriptor = 8;
    t.id = "abc";
    t.data = {0x84, 1, 2, 3, 4, 0x02, 5, 6, 7, 8, 9, 9, 9, 9, 1, 1, 1, 1};
    samples.push_back({"tga10", tga, MakeTga(t), true});
    t.type = 2;
    t.depth = 16;
    t.data = Bytes(16, 0x55);
    samples.push_back({"tga2", tga, MakeTga(t), true});

    for (const char* name : {"ilbm3rle.iff", "ilbm3mask.iff", "ilbm24.iff"}) {
        samples.push_back({name, ilbm, ReadFileBytes(ImageDataDir() + name), false});
    }

    DibStream image;
    image.CreateDIB(9, 7, 8);
    for (std::size_t i = 0; i < image.PixelSize(); ++i) {
        image.Pixels()[i] = static_cast<std::uint8_t>(i * 7);
    }
    std::vector<std::uint8_t> pngBytes;
    EncodePNG(image, pngBytes);
    samples.push_back({"png8", png, Bytes(pngBytes.begin(), pngBytes.end()), false});

    const std::uint8_t rgb[3] = {10, 200, 30};
    samples.push_back({"jpeg", jpeg, EncodeJpeg(24, 16, 3, rgb), false});
    samples.push_back({"jpeg-progressive", jpeg, EncodeJpeg(24, 16, 3, rgb, true), false});
    return samples;
}

} // namespace

TEST(Hostile, EveryTruncatedPrefix)
{
    for (const Sample& sample : Samples()) {
        DibStream image;
        ASSERT_TRUE(sample.read(image, sample.file)) << sample.name;
        for (std::size_t n = 0; n < sample.file.size(); ++n) {
            const bool ok = sample.read(image, std::span(sample.file.data(), n));
            if (ok) {
                EXPECT_FALSE(sample.prefixesFail) << sample.name << " cut to " << n;
                UseImage(image);
            } else {
                EXPECT_TRUE(image.IsEmpty()) << sample.name << " cut to " << n;
            }
        }
    }
}

TEST(Hostile, EveryByteDamaged)
{
    for (const Sample& sample : Samples()) {
        Bytes file = sample.file;
        for (std::size_t i = 0; i < file.size(); ++i) {
            for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
                file[i] ^= flip;
                DibStream image;
                if (sample.read(image, file)) {
                    UseImage(image);
                } else {
                    EXPECT_TRUE(image.IsEmpty()) << sample.name << " byte " << i;
                }
                file[i] ^= flip;
            }
        }
        // Extended with junk: still decodes (or fails cleanly).
        file.insert(file.end(), 64, 0xA5);
        DibStream image;
        if (sample.read(image, file)) {
            UseImage(image);
        }
    }
}

} // namespace vantomo
