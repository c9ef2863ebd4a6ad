// The public image test suites: every file must decode or fail cleanly under
// every reader, files outside the supported formats must be refused, and
// where a suite ships expected pixels the decoded image must match them.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"

namespace vantomo {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Decodes by extension, then converts as textures are converted.
bool Load(DibStream& image, const std::string& path)
{
    const Bytes data = ReadFileBytes(path);
    const std::string ext = Lower(fs::path(path).extension().string());
    bool ok = false;
    if (ext == ".bmp" || ext == ".dib") {
        ok = image.LoadBMP(data);
    } else if (ext == ".ppm" || ext == ".pgm" || ext == ".pnm" || ext == ".pbm") {
        ok = image.ReadPNM(data);
    } else if (ext == ".tga") {
        ok = image.ReadTGA(data);
    } else if (ext == ".png") {
        ok = LoadPNG(data, image);
    } else if (ext == ".jpg" || ext == ".jpeg") {
        ok = LoadJPEG(data, image);
    } else if (ext == ".iff" || ext == ".ilbm") {
        ok = image.LoadILBM(data);
    }
    if (ok && image.BitCount() != 32) {
        EXPECT_TRUE(image.ConvertTo24());
    }
    return ok;
}

struct Difference {
    int largest = 0;
    long pixels = 0;
    double mean = 0.0;
};

// Channel differences over all pixels; pixels fully transparent in both
// images count as equal whatever their colour.
Difference Compare(const DibStream& a, const DibStream& b)
{
    Difference d;
    double sum = 0.0;
    for (int y = 0; y < a.AbsHeight(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const std::uint32_t p = a.GetPixel(x, y);
            const std::uint32_t q = b.GetPixel(x, y);
            if ((p >> 24) == 0 && (q >> 24) == 0) {
                continue;
            }
            int worst = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int delta = std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
                worst = std::max(worst, delta);
                sum += delta;
            }
            d.largest = std::max(d.largest, worst);
            d.pixels += worst > 0;
        }
    }
    d.mean = sum / (4.0 * a.Width() * a.AbsHeight());
    return d;
}

void ExpectMatches(const std::string& file, const std::string& reference, int tolerance, double meanTolerance = 0.0)
{
    const std::string dir = ImageCorpusDir();
    DibStream image;
    DibStream expected;
    ASSERT_TRUE(Load(image, dir + file)) << file;
    ASSERT_TRUE(Load(expected, dir + reference)) << reference;
    ASSERT_EQ(image.Width(), expected.Width()) << file;
    ASSERT_EQ(image.AbsHeight(), expected.AbsHeight()) << file;
    const Difference d = Compare(image, expected);
    EXPECT_LE(d.largest, tolerance) << file << " vs " << reference << ": " << d.pixels << " pixels differ";
    if (meanTolerance > 0.0) {
        EXPECT_LE(d.mean, meanTolerance) << file;
    }
}

#define SKIP_WITHOUT_CORPUS()                                                                 \
    if (ImageCorpusDir().empty()) {                                                           \
        GTEST_SKIP() << "image corpus not found (set VANTOMO_CORPUS_DIR)";                    \
    }

} // namespace

TEST(Corpus, EveryFileDecodesOrFailsCleanlyUnderEveryReader)
{
    SKIP_WITHOUT_CORPUS();
    int files = 0;
    int decoded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(ImageCorpusDir())) {
        const std::string ext = Lower(entry.path().extension().string());
        if (!entry.is_regular_file() || ext == ".md" || ext == ".txt" || ext == ".json" || ext == ".tsv" ||
            ext == ".html" || ext == ".csv" || ext == ".go") {
            continue;
        }
        const Bytes data = ReadFileBytes(entry.path().string());
        ++files;
        for (int reader = 0; reader < 6; ++reader) {
            DibStream image;
            bool ok = false;
            switch (reader) {
            case 0: ok = image.LoadBMP(data); break;
            case 1: ok = image.ReadPNM(data); break;
            case 2: ok = image.ReadTGA(data); break;
            case 3: ok = image.LoadILBM(data); break;
            case 4: ok = LoadPNG(data, image); break;
            default: ok = LoadJPEG(data, image); break;
            }
            if (!ok) {
                EXPECT_TRUE(image.IsEmpty()) << entry.path() << " reader " << reader;
                continue;
            }
            ++decoded;
            std::uint32_t sum = 0;
            for (int y = 0; y < image.AbsHeight(); y += 3) {
                for (int x = 0; x < image.Width(); ++x) {
                    sum += image.GetPixel(x, y);
                }
            }
            EXPECT_TRUE(image.ConvertTo24()) << entry.path() << sum;
        }
    }
    EXPECT_GT(files, 1000);
    EXPECT_GT(decoded, 500);
}

TEST(Corpus, UnsupportedVariantsAreRefused)
{
    SKIP_WITHOUT_CORPUS();
    for (const char* file : {
             "bmpsuite/g/pal8v4.bmp", "bmpsuite/g/pal8v5.bmp", "bmpsuite/g/pal8os2.bmp",   // other headers
             "bmpsuite/g/pal4rle.bmp", "bmpsuite/q/pal4rlecut.bmp",                        // RLE4
             "bmpsuite/g/rgb16-565.bmp", "bmpsuite/g/rgb32bf.bmp", "bmpsuite/q/rgba32-1.bmp", // bit fields
             "bmpsuite/q/pal2.bmp", "bmpsuite/q/rgba64.bmp", "bmpsuite/q/rgb24jpeg.bmp",
             "bmpsuite/b/badbitcount.bmp", "bmpsuite/b/reallybig.bmp", "bmpsuite/b/shortfile.bmp",
             "bmpsuite/b/badwidth.bmp", "image-rs/tests/bad/bmp/Bad_reallybig.bmp",
             "ftrvxmtrx-tga/testdata/cbw8.tga",                       // type 11
             "tga-test-suite/ftrvxmtrx/monochrome8_bottom_left_rle.tga", // type 11
             "tga-test-suite/ftrvxmtrx/monochrome16_top_left.tga",    // 16-bit grey
             "pillow/Tests/images/tga/common/200x32_la_bl_raw.tga",
             "image-rs/tests/regression/tga/flip-zero-height.tga",
             "image-rs/tests/regression/tga/orientation-zero-width.tga",
             "stb/tests/pbm/basi0g16.pgm", "stb/tests/pbm/basi2c16.ppm", // 16-bit binary samples
             "libjpeg-turbo/testimages/monkey16.pgm", "pillow/Tests/images/negative_size.ppm",
             "pngsuite/png/xcsn0g01.png", "pngsuite/png/xhdn0g08.png", "pillow/Tests/images/truncated_image.png",
             "libjpeg-turbo/testimages/monkey12.jpg", "ilbm/libilbm/missing-BMHD.ILBM"}) {
        DibStream image;
        EXPECT_FALSE(Load(image, ImageCorpusDir() + file)) << file;
        EXPECT_TRUE(image.IsEmpty()) << file;
    }
}

TEST(Corpus, BmpMatchesReferences)
{
    SKIP_WITHOUT_CORPUS();
    const std::string html = "bmpsuite/html/";
    for (const auto& [file, ref] : std::vector<std::pair<std::string, std::string>>{
             {"pal1", "pal1"}, {"pal1bg", "pal1bg"}, {"pal1wb", "pal1"}, {"pal4", "pal4"}, {"pal4gs", "pal4gs"},
             {"pal8-0", "pal8"}, {"pal8", "pal8"}, {"pal8gs", "pal8gs"}, {"pal8rle", "pal8"}, {"pal8topdown", "pal8"},
             {"pal8w124", "pal8w124"}, {"pal8w125", "pal8w125"}, {"pal8w126", "pal8w126"},
             {"pal8nonsquare", "pal8nonsquare-e"}, {"rgb24", "rgb24"}, {"rgb24pal", "rgb24"}, {"rgb32", "rgb24"}}) {
        ExpectMatches("bmpsuite/g/" + file + ".bmp", html + ref + ".png", 0);
    }
    ExpectMatches("bmpsuite/q/pal1p1.bmp", html + "pal1p1.png", 0);
    // 5-bit channels are widened by x8, so white is 248 where the reference has 255.
    ExpectMatches("bmpsuite/g/rgb16.bmp", html + "rgb16.png", 7);
    for (const char* name : {"Info_1_Bit", "Info_4_Bit", "Info_8_Bit", "Info_R8_G8_B8", "Info_1_Bit_Top_Down",
                             "Info_8_Bit_Top_Down", "Info_R8_G8_B8_Top_Down"}) {
        ExpectMatches(std::string("image-rs/tests/images/bmp/images/") + name + ".bmp",
                      std::string("image-rs/tests/reference/bmp/images/") + name + ".bmp.png", 0);
    }
}

TEST(Corpus, TgaMatchesReferences)
{
    SKIP_WITHOUT_CORPUS();
    for (const char* name : {"monochrome8_bottom_left", "rgb24_bottom_left_rle", "rgb24_top_left",
                             "rgb24_top_left_colormap", "rgb32_bottom_left", "rgb32_top_left_rle"}) {
        const std::string base = std::string("tga-test-suite/ftrvxmtrx/") + name;
        ExpectMatches(base + ".tga", base + ".png", 0);
    }
    const std::string common = "pillow/Tests/images/tga/common/";
    for (const char* kind : {"l", "p", "rgb", "rgba"}) {
        for (const char* layout : {"bl_raw", "tl_raw", "bl_rle", "tl_rle"}) {
            if (std::string(kind) == "l" && std::string(layout).ends_with("rle")) {
                continue; // run-length grey is not read
            }
            ExpectMatches(common + "200x32_" + kind + "_" + layout + ".tga", common + "200x32_" + kind + ".png", 0);
        }
    }
    // Truevision's own samples: 32-bit ones mark their alpha as undefined.
    const std::string truevision = "ftrvxmtrx-tga/testdata/";
    for (const char* name : {"utc24", "ctc24", "utc32", "ctc32"}) {
        ExpectMatches(truevision + name + ".tga", truevision + "color.png", 0);
    }
    ExpectMatches(truevision + "ubw8.tga", truevision + "bw.png", 0);
    ExpectMatches(truevision + "utc16.tga", truevision + "color.png", 7);
    ExpectMatches(truevision + "ctc16.tga", truevision + "color.png", 7);
}

TEST(Corpus, PngSuiteMatchesItsPixelDumps)
{
    SKIP_WITHOUT_CORPUS();
    const std::string dir = ImageCorpusDir() + "pngsuite/";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(dir + "png")) {
        const std::string stem = entry.path().stem().string();
        if (stem[0] == 'x') {
            continue; // the damaged files
        }
        const bool sixteen = stem.ends_with("16");
        std::string json = dir + "json/" + stem + (sixteen ? "_to8" : "") + ".json";
        if (!fs::exists(json)) {
            continue;
        }
        std::ifstream in(json);
        std::vector<int> values;
        int current = -1;
        for (char c; in.get(c);) {
            if (c >= '0' && c <= '9') {
                current = (current < 0 ? 0 : current * 10) + (c - '0');
            } else if (current >= 0) {
                values.push_back(current);
                current = -1;
            }
        }
        DibStream image;
        ASSERT_TRUE(LoadPNG(entry.path().string(), image)) << stem;
        ASSERT_EQ(values.size(), 4u * static_cast<std::size_t>(image.Width()) * image.AbsHeight()) << stem;
        int largest = 0;
        std::size_t i = 0;
        for (int y = 0; y < image.AbsHeight(); ++y) {
            for (int x = 0; x < image.Width(); ++x, i += 4) {
                const std::uint32_t p = image.GetPixel(x, y);
                if ((p >> 24) == 0 && values[i + 3] == 0) {
                    continue;
                }
                const int got[4] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                                    static_cast<int>(p & 0xFF), static_cast<int>(p >> 24)};
                for (int c = 0; c < 4; ++c) {
                    largest = std::max(largest, std::abs(got[c] - values[i + static_cast<std::size_t>(c)]));
                }
            }
        }
        // 16-bit samples are rounded to 8 bits; the dumps truncated them.
        EXPECT_LE(largest, sixteen ? 1 : 0) << stem;
        ++compared;
    }
    EXPECT_GT(compared, 140);
}

TEST(Corpus, JpegAgreesWithTheSourceImages)
{
    SKIP_WITHOUT_CORPUS();
    // Lossy: the decoded picture stays close to the image it was made from.
    ExpectMatches("libjpeg-turbo/testimages/testorig.jpg", "libjpeg-turbo/testimages/testorig.ppm", 80, 3.0);
    ExpectMatches("libjpeg-turbo/testimages/testimgint.jpg", "libjpeg-turbo/testimages/testorig.ppm", 80, 3.0);
    // Both are JPEGs of the same picture: two losses apart.
    ExpectMatches("pillow/Tests/images/pil_sample_cmyk.jpg", "pillow/Tests/images/pil_sample_rgb.jpg", 80, 6.0);
    ExpectMatches("libjpeg-turbo/testimages/testimgari.jpg", "libjpeg-turbo/testimages/testorig.ppm", 80, 3.0);
    DibStream grey;
    ASSERT_TRUE(Load(grey, ImageCorpusDir() + "pillow/Tests/images/hopper_gray.jpg"));
    const std::uint32_t p = grey.GetPixel(40, 40);
    EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
    EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
}

} // namespace vantomo
