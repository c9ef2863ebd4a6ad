// One decoded image held as a device-independent bitmap: a 40-byte
// BITMAPINFOHEADER followed by its colour table (the header block), and a
// separate block of pixel rows, each padded to a multiple of 4 bytes.
//
// Pixel layouts: 1, 4 and 8 bits are colour-table indices, most significant
// bits first; 16 bits are a little-endian word with blue in bits 0-4, green
// 5-9, red 10-14; 24 bits are blue, green, red; 32 bits blue, green, red, alpha.
// A positive height stores the bottom row first, a negative one the top row.
//
// Readers never trust their input: every count and offset is checked against
// what the file holds, images wider or taller than kMaxImageDimension or with a
// pixel block above kMaxPixelBytes are refused before anything is allocated,
// and every block starts cleared. A failed read leaves the image empty. No
// reader throws; a result of false is the only report.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace vantomo {

static_assert(std::endian::native == std::endian::little,
              "the bitmap header is kept in the host's byte order");

inline constexpr std::int32_t kMaxImageDimension = 32768;
inline constexpr std::size_t kMaxPixelBytes = std::size_t{512} << 20;

// The 40-byte header exactly as it lies in a BMP file.
struct BITMAPINFOHEADER {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// A zero-filled heap block that owns its bytes. Empty when allocation failed.
class DibBlock {
public:
    DibBlock() = default;
    // Returns an empty block when `size` is 0 or the memory is not available.
    static DibBlock Allocate(std::size_t size);

    std::uint8_t* data() { return m_data.get(); }
    const std::uint8_t* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_data == nullptr; }

private:
    struct Free {
        void operator()(std::uint8_t* p) const;
    };
    std::unique_ptr<std::uint8_t, Free> m_data;
    std::size_t m_size = 0;
};

// Bytes per row of a bitmap: width x bits rounded up to whole 32-bit words.
// 0 when the width is not positive.
std::size_t DibStride(std::int32_t width, int bitCount);

class DibStream {
public:
    DibStream() = default;
    virtual ~DibStream() = default;
    DibStream(const DibStream&) = delete;
    DibStream& operator=(const DibStream&) = delete;

    // Replaces the image by a new bitmap of that size, rows cleared. Only bit
    // counts 1, 4, 8, 16, 24 and 32 and sizes within the limits are accepted;
    // otherwise (and when memory runs out) the image is left empty and the
    // result is false. The colour table holds 2, 16 or 256 entries for 1, 4 or
    // 8 bits: black and white for 1 bit, a grey ramp for 8, zeros for 4.
    bool CreateDIB(std::int32_t width, std::int32_t height, int bitCount);

    // Adopts two blocks as the image. False, with nothing changed, when either
    // block is empty or the header does not describe a bitmap the pixel block
    // can hold.
    bool Attach(DibBlock header, DibBlock pixels);

    // Releases both blocks: the image is empty again.
    void Clear();

    // Readers. Each releases the image first; on failure it is left empty.
    bool LoadBMP(const std::string& path);
    bool LoadBMP(std::span<const std::uint8_t> data);
    // Takes ownership of `stream` (opened in binary mode) and closes it.
    bool ReadPNM(std::FILE* stream);
    bool ReadPNM(std::span<const std::uint8_t> data);
    // Takes ownership of the descriptor and closes it in every case.
    bool ReadTGA(int fd);
    bool ReadTGA(std::span<const std::uint8_t> data);
    bool LoadILBM(const std::string& path);
    bool LoadILBM(std::span<const std::uint8_t> data);

    // Fills the colour table with a grey ramp (8, 4 and 1 bit; others: nothing).
    void SetGrayPalette();

    // Replaces the image by a 24-bit copy with the same width, signed height
    // and row order. False, with the image unchanged, when it is empty or
    // memory runs out. Indices beyond the colour table read as black.
    bool ConvertTo24();

    // The pixel at column x of row y (counted from the top) as alpha << 24 |
    // red << 16 | green << 8 | blue: 24-bit images read opaque, 32-bit images
    // carry their fourth byte as alpha. Other bit counts and positions outside
    // the image give 0.
    std::uint32_t GetPixel(std::int32_t x, std::int32_t y) const;

    // Address of row y counted from the top, or null when y is outside the image.
    std::uint8_t* RowAddress(std::int32_t y);
    const std::uint8_t* RowAddress(std::int32_t y) const;

    bool IsEmpty() const { return m_pixels.empty(); }
    BITMAPINFOHEADER Info() const;
    std::int32_t Width() const { return m_width; }
    std::int32_t Height() const { return m_height; } // signed: negative is top-down
    std::int32_t AbsHeight() const { return m_absHeight; }
    int BitCount() const { return m_bitCount; }
    std::size_t Stride() const { return m_stride; }
    // Entries of the colour table (blue, green, red, 0 each).
    std::size_t ColorCount() const;
    std::uint8_t* ColorTable() { return m_header.empty() ? nullptr : m_header.data() + 40; }
    const std::uint8_t* ColorTable() const { return m_header.empty() ? nullptr : m_header.data() + 40; }
    std::uint8_t* Pixels() { return m_pixels.data(); }
    const std::uint8_t* Pixels() const { return m_pixels.data(); }
    std::size_t PixelSize() const { return m_pixels.size(); }
    const DibBlock& HeaderBlock() const { return m_header; }

private:
    // Takes over the blocks and the header values that pixel access needs.
    void Adopt(DibBlock header, DibBlock pixels);

    DibBlock m_header;
    DibBlock m_pixels;
    // Copies of header fields, kept so that per-pixel access does not parse
    // the header; all zero while the image is empty.
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::int32_t m_absHeight = 0;
    int m_bitCount = 0;
    std::size_t m_stride = 0;
};

} // namespace vantomo
