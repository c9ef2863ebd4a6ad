// JPEG and PNG through libjpeg-turbo and libpng.
//
// LoadJPEG gives a 24-bit image (greyscale and CMYK files are converted to
// colour). LoadPNG gives a 24-bit image, or a 32-bit one (blue, green, red,
// alpha with the file's alpha as it is) when the file has alpha or a
// transparency chunk; palettes, grey and 16-bit samples are expanded to 8-bit
// colour, and no gamma is applied. Both refuse images beyond the size limits
// of DibStream.h and leave the image empty on failure; the libraries' errors
// never escape as a crash or a leak.
//
// SavePNG writes any image the readers produce: 1, 4 and 8 bits as an indexed
// PNG with the colour table, 16 bits expanded from 5-5-5 as ConvertTo24 does,
// 24 as RGB, 32 as RGBA. It writes a new file beside the target and renames it
// over the target only when everything was written, so a failed save keeps the
// old file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantomo {

class DibStream;

bool LoadJPEG(const std::string& path, DibStream& image);
bool LoadJPEG(std::span<const std::uint8_t> data, DibStream& image);

bool LoadPNG(const std::string& path, DibStream& image);
bool LoadPNG(std::span<const std::uint8_t> data, DibStream& image);

bool SavePNG(const std::string& path, const DibStream& image);
// The PNG file SavePNG would write, into `out`; false for an empty image.
bool EncodePNG(const DibStream& image, std::vector<std::uint8_t>& out);

} // namespace vantomo
