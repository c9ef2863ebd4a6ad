// Decoding speed of 4096 x 4096 24-bit images, each next to a baseline in the
// same run: the BMP reader against a plain fread of the pixel bytes, the
// run-length TGA reader against a fread of the file, and the PNG reader
// against libpng's own simplified reader. The inputs are made here, in a
// temporary folder: the left half of the picture is flat 8-pixel runs (as in
// drawn textures), the right half a noisy gradient (as in photographs).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"

using namespace vantomo;


namespace {

constexpr int kSize = 4096;
constexpr double kMegapixels = kSize * double(kSize) / 1e6;

struct Inputs {
    std::string dir;
    std::string bmp;
    std::string tga;
    std::string png;
    long bmpPixelOffset = 0;
    std::size_t bmpPixelBytes = 0;

    Inputs()
    {
        char pattern[] = "/tmp/vantomo-bench-XXXXXX";
        dir = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        bmp = dir + "/big.bmp";
        tga = dir + "/big.tga";
        png = dir + "/big.png";

        DibStream image;
        image.CreateDIB(kSize, kSize, 24);
        std::uint32_t noise = 12345;
        for (int y = 0; y < kSize; ++y) {
            std::uint8_t* row = image.RowAddress(y);
            for (int x = 0; x < kSize; ++x) {
                std::uint8_t* p = row + 3 * x;
                if (x < kSize / 2) {
                    const int tile = (x / 8) * 31 + (y / 8) * 17;
                    p[0] = static_cast<std::uint8_t>(tile);
                    p[1] = static_cast<std::uint8_t>(tile >> 2);
                    p[2] = static_cast<std::uint8_t>(tile >> 4);
                } else {
                    noise = noise * 1664525u + 1013904223u;
                    p[0] = static_cast<std::uint8_t>(x / 16 + (noise >> 29));
                    p[1] = static_cast<std::uint8_t>(y / 16 + ((noise >> 26) & 7));
                    p[2] = static_cast<std::uint8_t>((x + y) / 32 + ((noise >> 23) & 7));
                }
            }
        }
        WriteBmp(image);
        WriteRleTga(image);
        SavePNG(png, image);
    }

    ~Inputs()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    void WriteBmp(const DibStream& image)
    {
        BITMAPINFOHEADER info = image.Info();
        std::uint8_t fileHeader[14] = {'B', 'M'};
        const std::uint32_t offset = 14 + 40;
        std::memcpy(fileHeader + 10, &offset, 4);
        std::FILE* f = std::fopen(bmp.c_str(), "wb");
        std::fwrite(fileHeader, 1, sizeof fileHeader, f);
        std::fwrite(&info, 1, sizeof info, f);
        std::fwrite(image.Pixels(), 1, image.PixelSize(), f);
        std::fclose(f);
        bmpPixelOffset = offset;
        bmpPixelBytes = image.PixelSize();
    }

    void WriteRleTga(const DibStream& image)
    {
        std::vector<std::uint8_t> out = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         kSize & 0xFF, kSize >> 8, kSize & 0xFF, kSize >> 8, 24, 0x20};
        for (int y = 0; y < kSize; ++y) {
            const std::uint8_t* row = image.RowAddress(y);
            int x = 0;
            while (x < kSize) {
                int run = 1;
                while (x + run < kSize && run < 128 && std::memcmp(row + 3 * x, row + 3 * (x + run), 3) == 0) {
                    ++run;
                }
                if (run > 1) {
                    out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
                    out.insert(out.end(), row + 3 * x, row + 3 * x + 3);
                    x += run;
                    continue;
                }
                int raw = 1;
                while (x + raw < kSize && raw < 128 &&
                       std::memcmp(row + 3 * (x + raw - 1), row + 3 * (x + raw), 3) != 0) {
                    ++raw;
                }
                out.push_back(static_cast<std::uint8_t>(raw - 1));
                out.insert(out.end(), row + 3 * x, row + 3 * (x + raw));
                x += raw;
            }
        }
        std::FILE* f = std::fopen(tga.c_str(), "wb");
        std::fwrite(out.data(), 1, out.size(), f);
        std::fclose(f);
    }
};

Inputs& TheInputs()
{
    static Inputs inputs;
    return inputs;
}

void SetRate(benchmark::State& state)
{
    state.counters["MP/s"] = benchmark::Counter(kMegapixels, benchmark::Counter::kIsIterationInvariantRate);
}

std::size_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

void FreadFile(benchmark::State& state, const std::string& path, long offset, std::size_t bytes)
{
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, offset, SEEK_SET);
        auto* buffer = static_cast<std::uint8_t*>(std::malloc(bytes));
        const std::size_t got = std::fread(buffer, 1, bytes, f);
        benchmark::DoNotOptimize(buffer[got / 2]);
        std::free(buffer);
        std::fclose(f);
    }
    SetRate(state);
}

void BM_Bmp24_LoadBMP(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    for (auto _ : state) {
        DibStream image;
        if (!image.LoadBMP(in.bmp)) {
            state.SkipWithError("decode failed");
        }
        benchmark::DoNotOptimize(image.Pixels());
    }
    SetRate(state);
}

void BM_Bmp24_FreadPixelBytes(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    FreadFile(state, in.bmp, in.bmpPixelOffset, in.bmpPixelBytes);
}

void BM_TgaRle24_ReadTGA(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    for (auto _ : state) {
        DibStream image;
        if (!image.ReadTGA(open(in.tga.c_str(), O_RDONLY))) {
            state.SkipWithError("decode failed");
        }
        benchmark::DoNotOptimize(image.Pixels());
    }
    SetRate(state);
    state.counters["file MB"] = static_cast<double>(FileSize(in.tga)) / 1e6;
}

void BM_TgaRle24_FreadFile(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    FreadFile(state, in.tga, 0, FileSize(in.tga));
}

void BM_Png24_LoadPNG(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    for (auto _ : state) {
        DibStream image;
        if (!LoadPNG(in.png, image)) {
            state.SkipWithError("decode failed");
        }
        benchmark::DoNotOptimize(image.Pixels());
    }
    SetRate(state);
    state.counters["file MB"] = static_cast<double>(FileSize(in.png)) / 1e6;
}

void BM_Png24_LibpngSimplifiedRead(benchmark::State& state)
{
    const Inputs& in = TheInputs();
    for (auto _ : state) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, in.png.c_str())) {
            state.SkipWithError("libpng failed");
            break;
        }
        image.format = PNG_FORMAT_BGR;
        auto* buffer = static_cast<std::uint8_t*>(std::malloc(PNG_IMAGE_SIZE(image)));
        png_image_finish_read(&image, nullptr, buffer, 0, nullptr);
        benchmark::DoNotOptimize(buffer[0]);
        std::free(buffer);
    }
    SetRate(state);
}

} // namespace

BENCHMARK(BM_Bmp24_LoadBMP)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bmp24_FreadPixelBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRle24_ReadTGA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TgaRle24_FreadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png24_LoadPNG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Png24_LibpngSimplifiedRead)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
