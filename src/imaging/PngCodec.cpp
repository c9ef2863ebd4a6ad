// PNG decoding and encoding with libpng. libpng reports errors through a
// callback that must not return; ours jumps back to the function that set the
// jump point. Everything that must be released hangs off one state object made
// before that point, so a jump leaks nothing.

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <png.h>

#include "imaging/ByteStream.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "base/FileIo.h"

namespace vantomo {

namespace {

constexpr std::uint64_t kMaxPngFileBytes = std::uint64_t{1} << 30;
// Ancillary chunks (text, ICC profiles) beyond this are dropped, not inflated.
constexpr png_alloc_size_t kMaxChunkBytes = 16u << 20;
// Deflate cannot expand its input more than about 1032 times.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

// Whether every chunk up to the first image data chunk lies inside the file.
// libpng only warns about an oversized chunk and allocates its claimed length
// anyway (a few hundred bytes could ask for 2 GB); such a file cannot reach its
// image data, so it is refused here first.
bool ChunksBeforeImageDataFit(std::span<const std::uint8_t> data)
{
    std::size_t pos = 8;
    while (pos + 8 <= data.size()) {
        const std::uint64_t length = (std::uint64_t{data[pos]} << 24) | (std::uint64_t{data[pos + 1]} << 16) |
                                     (std::uint64_t{data[pos + 2]} << 8) | data[pos + 3];
        if (length > data.size() - pos - 8 || data.size() - pos - 8 - length < 4) {
            return false;
        }
        if (std::memcmp(data.data() + pos + 4, "IDAT", 4) == 0) {
            return true;
        }
        pos += 12 + static_cast<std::size_t>(length);
    }
    return false;
}

void PngError(png_structp png, png_const_charp /*message*/) { png_longjmp(png, 1); }
void PngWarning(png_structp /*png*/, png_const_charp /*message*/) {}

struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
    DibBlock rowPointers;
    ~ReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

void ReadData(png_structp png, png_bytep out, png_size_t length)
{
    auto* s = static_cast<ReadState*>(png_get_io_ptr(png));
    if (length > s->data.size() - s->pos) {
        png_error(png, "unexpected end of file");
    }
    std::memcpy(out, s->data.data() + s->pos, length);
    s->pos += length;
}

bool Decode(ReadState* s, DibStream& image)
{
    if (setjmp(png_jmpbuf(s->png)) != 0) {
        image.Clear();
        return false;
    }
    png_structp png = s->png;
    png_infop info = s->info;
    png_set_read_fn(png, s, ReadData);
    png_set_user_limits(png, kMaxImageDimension, kMaxImageDimension);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colorType = 0;
    int interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    // The file's compressed data must be able to hold the image's raw rows.
    const std::uint64_t channels = (colorType & PNG_COLOR_MASK_PALETTE) ? 1
                                   : ((colorType & PNG_COLOR_MASK_COLOR) ? 3 : 1) + ((colorType & PNG_COLOR_MASK_ALPHA) ? 1 : 0);
    const std::uint64_t rawBits = std::uint64_t{width} * channels * static_cast<std::uint64_t>(depth);
    const std::uint64_t rawBytes = (rawBits + 7) / 8 * height;
    if (rawBytes / kMaxDeflateRatio > s->data.size()) {
        return false;
    }

    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0 && depth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) {
        png_set_tRNS_to_alpha(png);
    }
    if (depth == 16) {
        png_set_scale_16(png);
    }
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) {
        png_set_gray_to_rgb(png);
    }
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int bits = alpha ? 32 : 24;
    if (png_get_rowbytes(png, info) != std::size_t{width} * static_cast<std::size_t>(bits / 8) ||
        !image.CreateDIB(static_cast<std::int32_t>(width), -static_cast<std::int32_t>(height), bits)) {
        image.Clear();
        return false;
    }
    s->rowPointers = DibBlock::Allocate(std::size_t{height} * sizeof(png_bytep));
    if (s->rowPointers.empty()) {
        image.Clear();
        return false;
    }
    auto* rows = reinterpret_cast<png_bytep*>(s->rowPointers.data());
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = image.RowAddress(static_cast<std::int32_t>(y));
    }
    png_read_image(png, rows);
    // The end of the file (text chunks, checksums after the image data) is not
    // read: a damaged trailer must not undo a decoded picture.
    return true;
}

struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t>* out = nullptr;
    bool outOfMemory = false;
    DibBlock scratchRow;
    ~WriteState() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
    auto* s = static_cast<WriteState*>(png_get_io_ptr(png));
    try {
        s->out->insert(s->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        s->outOfMemory = true;
    }
    if (s->outOfMemory) {
        png_error(png, "out of memory");
    }
}

void FlushData(png_structp /*png*/) {}

bool Encode(WriteState* s, const DibStream& image)
{
    if (setjmp(png_jmpbuf(s->png)) != 0) {
        return false;
    }
    png_structp png = s->png;
    png_infop info = s->info;
    png_set_write_fn(png, s, WriteData, FlushData);

    const int bits = image.BitCount();
    const auto width = static_cast<png_uint_32>(image.Width());
    const auto height = static_cast<png_uint_32>(image.AbsHeight());
    if (bits <= 8) {
        png_set_IHDR(png, info, width, height, bits, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        // Every index the pixels can hold gets an entry, so no decoder ever
        // meets an index past the palette.
        png_color palette[256] = {};
        const std::size_t entries = std::size_t{1} << bits;
        const std::size_t colors = std::min(entries, image.ColorCount());
        const std::uint8_t* table = image.ColorTable();
        for (std::size_t i = 0; i < colors; ++i) {
            palette[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i]};
        }
        png_set_PLTE(png, info, palette, static_cast<int>(entries));
    } else {
        png_set_IHDR(png, info, width, height, 8, bits == 32 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    }
    png_write_info(png, info);
    if (bits >= 24) {
        png_set_bgr(png);
    }
    if (bits == 16) {
        s->scratchRow = DibBlock::Allocate(std::size_t{width} * 3);
        if (s->scratchRow.empty()) {
            return false;
        }
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        const std::uint8_t* row = image.RowAddress(static_cast<std::int32_t>(y));
        if (bits == 16) {
            std::uint8_t* rgb = s->scratchRow.data();
            for (std::size_t x = 0; x < width; ++x) {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                rgb[3 * x] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) * 8);
                rgb[3 * x + 1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) * 8);
                rgb[3 * x + 2] = static_cast<std::uint8_t>((v & 0x1F) * 8);
            }
            row = rgb;
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool LoadPNG(std::span<const std::uint8_t> data, DibStream& image)
{
    image.Clear();
    if (!ChunksBeforeImageDataFit(data)) {
        return false;
    }
    std::unique_ptr<ReadState> state(new (std::nothrow) ReadState);
    if (!state) {
        return false;
    }
    state->data = data;
    state->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (state->png == nullptr) {
        return false;
    }
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) {
        return false;
    }
    return Decode(state.get(), image);
}

bool LoadPNG(const std::string& path, DibStream& image)
{
    image.Clear();
    std::vector<std::uint8_t> data;
    if (!ReadWholeFile(path, data, kMaxPngFileBytes)) {
        return false;
    }
    return LoadPNG(data, image);
}

bool EncodePNG(const DibStream& image, std::vector<std::uint8_t>& out)
{
    out.clear();
    if (image.IsEmpty()) {
        return false;
    }
    std::unique_ptr<WriteState> state(new (std::nothrow) WriteState);
    if (!state) {
        return false;
    }
    state->out = &out;
    state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (state->png == nullptr) {
        return false;
    }
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) {
        return false;
    }
    if (!Encode(state.get(), image)) {
        out.clear();
        return false;
    }
    return true;
}

bool SavePNG(const std::string& path, const DibStream& image)
{
    std::vector<std::uint8_t> bytes;
    return !path.empty() && EncodePNG(image, bytes) && WriteFileAtomically(path, bytes).ok;
}

} // namespace vantomo
