// Windows BMP with the 40-byte info header: 1, 4, 8, 16 (5-5-5), 24 and 32 bits
// uncompressed, and 8 bits run-length encoded (RLE8).
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/ByteStream.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;

// Expands RLE8 data into `pixels`, row 0 being the first row of the block.
// Runs, literals and deltas that reach past a row or the last row are clipped.
void DecodeRle8(const std::vector<std::uint8_t>& in, std::uint8_t* pixels, std::size_t stride,
                std::size_t width, std::size_t rows)
{
    std::size_t i = 0;
    std::size_t x = 0;
    std::size_t r = 0;
    auto put = [&](std::uint8_t value) {
        if (x < width && r < rows) {
            pixels[r * stride + x] = value;
        }
        x = std::min(x + 1, width);
    };
    while (i + 1 < in.size() && r < rows) {
        const std::uint8_t count = in[i];
        const std::uint8_t value = in[i + 1];
        i += 2;
        if (count > 0) {
            const std::size_t n = std::min<std::size_t>(count, width - x);
            std::memset(pixels + r * stride + x, value, n);
            x = std::min(x + count, width);
        } else if (value == 0) {
            x = 0;
            ++r;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (i + 1 >= in.size()) {
                break;
            }
            x = std::min<std::size_t>(x + in[i], width);
            r += in[i + 1];
            i += 2;
        } else {
            const std::size_t n = value;
            for (std::size_t k = 0; k < n && i < in.size(); ++k) {
                put(in[i++]);
            }
            if (n % 2 == 1) {
                ++i; // literal runs are padded to a whole 16-bit word
            }
        }
    }
}

bool DecodeBMP(DibStream& image, ByteStream& in)
{
    std::uint8_t fileHeader[14];
    if (!in.ReadExact(fileHeader, sizeof fileHeader) || fileHeader[0] != 'B' || fileHeader[1] != 'M') {
        return false;
    }
    const std::uint32_t pixelOffset = static_cast<std::uint32_t>(fileHeader[10]) |
                                      (static_cast<std::uint32_t>(fileHeader[11]) << 8) |
                                      (static_cast<std::uint32_t>(fileHeader[12]) << 16) |
                                      (static_cast<std::uint32_t>(fileHeader[13]) << 24);
    BITMAPINFOHEADER info;
    if (!in.ReadExact(reinterpret_cast<std::uint8_t*>(&info), sizeof info) || info.biSize != 40) {
        return false;
    }
    const int bits = info.biBitCount;
    if (info.biCompression != kRgb && !(info.biCompression == kRle8 && bits == 8)) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    if (info.biWidth < 1 || info.biWidth > kMaxImageDimension || info.biHeight == 0 ||
        info.biHeight < -kMaxImageDimension || info.biHeight > kMaxImageDimension) {
        return false;
    }
    const std::size_t rows = static_cast<std::size_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
    const std::size_t stride = DibStride(info.biWidth, bits);
    if (stride > kMaxPixelBytes / rows) {
        return false;
    }
    const std::size_t pixelSize = stride * rows;
    const std::uint64_t colors = bits <= 8 ? (info.biClrUsed != 0 ? info.biClrUsed : 1u << bits) : 0;
    if (colors * 4 > in.Remaining()) {
        return false;
    }

    DibBlock header = DibBlock::Allocate(40 + 4 * static_cast<std::size_t>(colors));
    if (header.empty()) {
        return false;
    }
    if (!in.ReadExact(header.data() + 40, 4 * static_cast<std::size_t>(colors))) {
        return false;
    }
    if (pixelOffset != 0 && !in.Seek(pixelOffset)) {
        return false;
    }

    const bool rle = info.biCompression == kRle8;
    // Check what the file holds before the pixel block is allocated.
    const std::uint64_t needed = rle ? info.biSizeImage : pixelSize;
    if (needed > in.Remaining()) {
        return false;
    }
    DibBlock pixels = DibBlock::Allocate(pixelSize);
    if (pixels.empty()) {
        return false;
    }
    if (rle) {
        std::vector<std::uint8_t> compressed(info.biSizeImage);
        if (!in.ReadExact(compressed.data(), compressed.size())) {
            return false;
        }
        DecodeRle8(compressed, pixels.data(), stride, static_cast<std::size_t>(info.biWidth), rows);
    } else if (!in.ReadExact(pixels.data(), pixelSize)) {
        return false;
    }

    if (bits == 32) {
        // Most writers of plain 32-bit BMPs leave the fourth byte 0; taken as
        // alpha that would make the whole image invisible, so such a file is opaque.
        bool anyAlpha = false;
        const std::size_t width = static_cast<std::size_t>(info.biWidth);
        for (std::size_t r = 0; r < rows && !anyAlpha; ++r) {
            const std::uint8_t* row = pixels.data() + r * stride;
            for (std::size_t x = 0; x < width; ++x) {
                if (row[4 * x + 3] != 0) {
                    anyAlpha = true;
                    break;
                }
            }
        }
        if (!anyAlpha) {
            for (std::size_t r = 0; r < rows; ++r) {
                std::uint8_t* row = pixels.data() + r * stride;
                for (std::size_t x = 0; x < width; ++x) {
                    row[4 * x + 3] = 255;
                }
            }
        }
    }

    info.biCompression = kRgb;
    info.biSizeImage = static_cast<std::uint32_t>(pixelSize);
    info.biClrUsed = static_cast<std::uint32_t>(colors);
    std::memcpy(header.data(), &info, sizeof info);
    return image.Attach(std::move(header), std::move(pixels));
}

} // namespace

bool DibStream::LoadBMP(const std::string& path)
{
    return DecodeFreshFromFd(*this, OpenRegularFile(path), DecodeBMP);
}

bool DibStream::LoadBMP(std::span<const std::uint8_t> data)
{
    ByteStream in(data);
    return DecodeFresh(*this, in, DecodeBMP);
}

} // namespace vantomo
