// JPEG decoding with libjpeg-turbo. libjpeg reports errors by calling
// error_exit, which must not return; ours jumps back to the decode function.
// Everything that has to be released is reached through one state object
// created before the jump point, so a jump leaks nothing.
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>

#include <jpeglib.h>

#include "imaging/ByteStream.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

constexpr std::uint64_t kMaxJpegFileBytes = std::uint64_t{1} << 30;
// A progressive file may hold any number of scans, each costing a pass over
// the image; real encoders write about ten.
constexpr int kMaxScans = 500;
// libjpeg's own working memory (a progressive image keeps all coefficients).
constexpr long kMaxDecoderMemory = 1L << 30;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void OutputMessage(j_common_ptr /*cinfo*/) {}

void Progress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        ErrorExit(cinfo);
    }
}

struct JpegState {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    DibBlock cmykRow;
    bool created = false;
};

// CMYK to blue, green, red. Adobe's writers store the inks inverted (255 is no
// ink) and say so with their marker; others store them plainly.
void CmykRowToBgr(const std::uint8_t* cmyk, std::uint8_t* bgr, std::size_t width, bool inverted)
{
    for (std::size_t x = 0; x < width; ++x) {
        unsigned c = cmyk[4 * x];
        unsigned m = cmyk[4 * x + 1];
        unsigned y = cmyk[4 * x + 2];
        unsigned k = cmyk[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[3 * x] = static_cast<std::uint8_t>((y * k + 127) / 255);
        bgr[3 * x + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
        bgr[3 * x + 2] = static_cast<std::uint8_t>((c * k + 127) / 255);
    }
}

bool Decode(JpegState* s, std::span<const std::uint8_t> data, DibStream& image)
{
    jpeg_decompress_struct* cinfo = &s->cinfo;
    if (setjmp(s->err.jump) != 0) {
        if (s->created) {
            jpeg_destroy_decompress(cinfo);
        }
        image.Clear();
        return false;
    }
    jpeg_create_decompress(cinfo);
    s->created = true;
    s->progress.progress_monitor = Progress;
    cinfo->progress = &s->progress;
    cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(cinfo, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK || cinfo->image_width > kMaxImageDimension ||
        cinfo->image_height > kMaxImageDimension) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(cinfo);
    const std::size_t width = cinfo->output_width;
    if (cinfo->output_components != (cmyk ? 4 : 3) ||
        !image.CreateDIB(static_cast<std::int32_t>(cinfo->output_width),
                         -static_cast<std::int32_t>(cinfo->output_height), 24)) {
        jpeg_destroy_decompress(cinfo);
        image.Clear();
        return false;
    }
    if (cmyk) {
        s->cmykRow = DibBlock::Allocate(width * 4);
        if (s->cmykRow.empty()) {
            jpeg_destroy_decompress(cinfo);
            image.Clear();
            return false;
        }
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        const auto y = static_cast<std::int32_t>(cinfo->output_scanline);
        std::uint8_t* dst = image.RowAddress(y);
        JSAMPROW row = cmyk ? s->cmykRow.data() : dst;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
            break; // the data source ended: libjpeg already filled the rest
        }
        if (cmyk) {
            CmykRowToBgr(s->cmykRow.data(), dst, width, cinfo->saw_Adobe_marker != 0);
        }
    }
    // Not jpeg_finish_decompress: junk after the image must not undo a decoded picture.
    jpeg_destroy_decompress(cinfo);
    return true;
}

} // namespace

bool LoadJPEG(std::span<const std::uint8_t> data, DibStream& image)
{
    image.Clear();
    std::unique_ptr<JpegState> state(new (std::nothrow) JpegState);
    if (!state || data.empty()) {
        return false;
    }
    state->cinfo.err = jpeg_std_error(&state->err.pub);
    state->err.pub.error_exit = ErrorExit;
    state->err.pub.output_message = OutputMessage;
    return Decode(state.get(), data, image);
}

bool LoadJPEG(const std::string& path, DibStream& image)
{
    image.Clear();
    std::vector<std::uint8_t> data;
    if (!ReadWholeFile(path, data, kMaxJpegFileBytes)) {
        return false;
    }
    return LoadJPEG(data, image);
}

} // namespace vantomo
