// Truevision TGA: colour-mapped (1), true colour (2), grey (3) and their
// run-length forms (9, 10). Colour maps of 24-bit entries; 16-bit (5-5-5),
// 24-bit and 32-bit pixels.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "imaging/ByteStream.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t colorMapLength = 0;
    std::uint8_t colorMapEntryBits = 0;
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t descriptor = 0;
};

bool ReadHeader(ByteStream& in, TgaHeader& h)
{
    std::uint8_t b[18];
    if (!in.ReadExact(b, sizeof b)) {
        return false;
    }
    h.idLength = b[0];
    h.colorMapType = b[1];
    h.imageType = b[2];
    h.colorMapLength = static_cast<std::uint16_t>(b[5] | (b[6] << 8));
    h.colorMapEntryBits = b[7];
    h.width = static_cast<std::int16_t>(b[12] | (b[13] << 8));
    h.height = static_cast<std::int16_t>(b[14] | (b[15] << 8));
    h.depth = b[16];
    h.descriptor = b[17];
    return true;
}

// Reads a map of 24-bit entries (stored blue, green, red) into the colour table.
// Entries past the table's 256 are read and dropped.
bool ReadColorMap(ByteStream& in, const TgaHeader& h, DibStream& image)
{
    if (h.colorMapType == 0 || h.colorMapEntryBits != 24) {
        return false;
    }
    std::uint8_t* table = image.ColorTable();
    const std::size_t entries = image.ColorCount();
    for (std::size_t i = 0; i < h.colorMapLength; ++i) {
        std::uint8_t bgr[3];
        if (!in.ReadExact(bgr, 3)) {
            return false;
        }
        if (i < entries) {
            std::memcpy(table + 4 * i, bgr, 3);
            table[4 * i + 3] = 0;
        }
    }
    return true;
}

// Skips a colour map that true-colour and grey images do not use.
bool SkipColorMap(ByteStream& in, const TgaHeader& h)
{
    if (h.colorMapType == 0) {
        return true;
    }
    const std::uint64_t entryBytes = (h.colorMapEntryBits + 7u) / 8u;
    return in.Skip(entryBytes * h.colorMapLength);
}

// Rows in file order into block rows 0, 1, ...: with the height's sign set
// from the descriptor, the bitmap's orientation follows the file's.
bool ReadRawRows(ByteStream& in, DibStream& image, std::size_t rowBytes)
{
    const std::size_t stride = image.Stride();
    const std::size_t rows = static_cast<std::size_t>(image.AbsHeight());
    if (stride == rowBytes) {
        return in.ReadExact(image.Pixels(), rowBytes * rows);
    }
    for (std::size_t r = 0; r < rows; ++r) {
        if (!in.ReadExact(image.Pixels() + r * stride, rowBytes)) {
            return false;
        }
    }
    return true;
}

// Writes n copies of one pixel; the fixed size lets each copy be a single move.
template <std::size_t N>
void FillPixels(std::uint8_t* dst, const std::uint8_t* value, std::size_t n)
{
    for (std::size_t k = 0; k < n; ++k) {
        std::memcpy(dst + k * N, value, N);
    }
}

void FillPixels(std::uint8_t* dst, const std::uint8_t* value, std::size_t n, std::size_t pixelBytes)
{
    switch (pixelBytes) {
    case 1: std::memset(dst, value[0], n); break;
    case 2: FillPixels<2>(dst, value, n); break;
    case 3: FillPixels<3>(dst, value, n); break;
    default: FillPixels<4>(dst, value, n); break;
    }
}

// Packets fill rows in file order, a packet may run on into the next row, and
// the read ends as soon as the last row is full.
bool ReadRleRows(ByteStream& in, DibStream& image, std::size_t pixelBytes, bool topFirst)
{
    const std::int32_t rows = image.AbsHeight();
    const std::size_t rowBytes = static_cast<std::size_t>(image.Width()) * pixelBytes;
    std::int32_t rowIndex = 0;
    auto rowFor = [&](std::int32_t i) { return image.RowAddress(topFirst ? i : rows - 1 - i); };
    std::uint8_t* row = rowFor(0);
    std::size_t pos = 0;
    auto advance = [&]() {
        if (pos == rowBytes) {
            pos = 0;
            ++rowIndex;
            row = rowIndex < rows ? rowFor(rowIndex) : nullptr;
        }
    };
    while (rowIndex < rows) {
        const int packet = in.Get();
        if (packet < 0) {
            return false;
        }
        std::size_t count = static_cast<std::size_t>(packet & 0x7F) + 1;
        if (packet & 0x80) {
            std::uint8_t value[4];
            if (!in.ReadExact(value, pixelBytes)) {
                return false;
            }
            while (count > 0 && rowIndex < rows) {
                const std::size_t n = std::min(count, (rowBytes - pos) / pixelBytes);
                FillPixels(row + pos, value, n, pixelBytes);
                pos += n * pixelBytes;
                count -= n;
                advance();
            }
        } else {
            while (count > 0 && rowIndex < rows) {
                const std::size_t n = std::min(count, (rowBytes - pos) / pixelBytes);
                if (!in.ReadExact(row + pos, n * pixelBytes)) {
                    return false;
                }
                pos += n * pixelBytes;
                count -= n;
                advance();
            }
        }
    }
    return true;
}

// Whether a TGA 2.0 file says, in the attributes type of its extension area,
// that its alpha bytes mean nothing (0 none, 1 ignorable, 2 undefined but
// kept). Old writers such as Truevision's own samples declare 8 alpha bits
// and leave them 0, and mark that here.
bool FooterSaysNoAlpha(ByteStream& in)
{
    const std::uint64_t remaining = in.Remaining();
    if (remaining == UINT64_MAX) {
        return false;
    }
    const std::uint64_t size = in.Tell() + remaining;
    std::uint8_t footer[26];
    if (size < 18 + 26 || !in.Seek(size - 26) || !in.ReadExact(footer, 26) ||
        std::memcmp(footer + 8, "TRUEVISION-XFILE.", 18) != 0) {
        return false;
    }
    const std::uint64_t extension = footer[0] | (footer[1] << 8) | (footer[2] << 16) |
                                    (static_cast<std::uint64_t>(footer[3]) << 24);
    std::uint8_t area[495];
    if (extension == 0 || extension + sizeof area > size - 26 || !in.Seek(extension) ||
        !in.ReadExact(area, sizeof area) || (area[0] | (area[1] << 8)) < 495) {
        return false;
    }
    return area[494] < 3;
}

// TGA alpha is coverage (255 opaque), the same as ours. A file whose
// descriptor declares no alpha bits, or whose extension area says its alpha
// is not meaningful, is opaque.
void FixAlpha(DibStream& image, const TgaHeader& h, ByteStream& in)
{
    if ((h.descriptor & 0x0F) != 0 && !FooterSaysNoAlpha(in)) {
        return;
    }
    const std::size_t width = static_cast<std::size_t>(image.Width());
    for (std::int32_t y = 0; y < image.AbsHeight(); ++y) {
        std::uint8_t* row = image.RowAddress(y);
        for (std::size_t x = 0; x < width; ++x) {
            row[4 * x + 3] = 255;
        }
    }
}

bool DecodeTGA(DibStream& image, ByteStream& in)
{
    TgaHeader h;
    if (!ReadHeader(in, h) || !in.Skip(h.idLength)) {
        return false;
    }
    if (h.width < 1 || h.height < 1) {
        return false;
    }
    const bool topFirst = (h.descriptor & 0x20) != 0;
    const bool rle = h.imageType == 9 || h.imageType == 10;
    const int type = rle ? h.imageType - 8 : h.imageType;
    int bits = 0;
    if (type == 1 || type == 3) {
        bits = h.depth == 8 ? 8 : 0;
    } else if (type == 2) {
        bits = (h.depth == 16 || h.depth == 24 || h.depth == 32) ? h.depth : 0;
    }
    if (bits == 0) {
        return false;
    }
    if (type == 1 && (h.colorMapType == 0 || h.colorMapEntryBits != 24)) {
        return false;
    }
    const std::size_t pixelBytes = static_cast<std::size_t>(bits / 8);
    // Refuse sizes the file cannot hold before allocating: raw rows are all
    // there, and a packet of at most 128 pixels takes a header and one pixel.
    const std::uint64_t pixels = static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(h.height);
    const std::uint64_t needed = rle ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (needed > in.Remaining()) {
        return false;
    }
    const std::int32_t height = (!rle && topFirst) ? -h.height : h.height;
    if (!image.CreateDIB(h.width, height, bits)) {
        return false;
    }
    if (type == 1) {
        if (!ReadColorMap(in, h, image)) {
            return false;
        }
    } else {
        if (type == 3) {
            image.SetGrayPalette();
        }
        if (!SkipColorMap(in, h)) {
            return false;
        }
    }
    const bool ok = rle ? ReadRleRows(in, image, pixelBytes, topFirst)
                        : ReadRawRows(in, image, static_cast<std::size_t>(h.width) * pixelBytes);
    if (!ok) {
        return false;
    }
    if (bits == 32) {
        FixAlpha(image, h, in);
    }
    return true;
}

} // namespace

bool DibStream::ReadTGA(int fd)
{
    return DecodeFreshFromFd(*this, fd, DecodeTGA);
}

bool DibStream::ReadTGA(std::span<const std::uint8_t> data)
{
    ByteStream in(data);
    return DecodeFresh(*this, in, DecodeTGA);
}

} // namespace vantomo
