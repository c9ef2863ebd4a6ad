// JPEG files made with libjpeg for the reader tests.
#pragma once

#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "imaging/ImageFiles.h"

namespace vantomo {

// A JPEG of `components` samples per pixel (1 grey, 3 RGB, 4 CMYK with the
// Adobe marker), every pixel the given sample values.
inline Bytes EncodeJpeg(int width, int height, int components, const std::uint8_t* sample,
                        bool progressive = false)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    if (progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    Bytes row(static_cast<std::size_t>(width * components));
    for (int x = 0; x < width; ++x) {
        std::memcpy(row.data() + x * components, sample, static_cast<std::size_t>(components));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace vantomo
