// Small image files built in memory for the reader tests, and file helpers.
#pragma once

#include "TempFolder.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantomo {

using Bytes = std::vector<std::uint8_t>;

inline void PutU16LE(Bytes& b, unsigned v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void PutU32LE(Bytes& b, std::uint32_t v)
{
    PutU16LE(b, v & 0xFFFF);
    PutU16LE(b, v >> 16);
}

inline void PutU32BE(Bytes& b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) {
        b.push_back(static_cast<std::uint8_t>(v >> s));
    }
}

inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

inline void Append(Bytes& b, const std::string& more) { b.insert(b.end(), more.begin(), more.end()); }

struct BmpSpec {
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t infoSize = 40;
    Bytes palette; // 4 bytes per entry
    Bytes pixels;  // as stored in the file (rows padded) or RLE data
    bool zeroOffset = false;
};

// A BMP file: file header, info header, palette, pixel data.
inline Bytes MakeBmp(const BmpSpec& s)
{
    Bytes info;
    PutU32LE(info, s.infoSize);
    PutU32LE(info, static_cast<std::uint32_t>(s.width));
    PutU32LE(info, static_cast<std::uint32_t>(s.height));
    PutU16LE(info, 1);
    PutU16LE(info, static_cast<unsigned>(s.bits));
    PutU32LE(info, s.compression);
    PutU32LE(info, static_cast<std::uint32_t>(s.pixels.size()));
    PutU32LE(info, 2835);
    PutU32LE(info, 2835);
    PutU32LE(info, s.clrUsed);
    PutU32LE(info, 0);
    const std::uint32_t offset = static_cast<std::uint32_t>(14 + info.size() + s.palette.size());
    Bytes file{'B', 'M'};
    PutU32LE(file, static_cast<std::uint32_t>(offset + s.pixels.size()));
    PutU32LE(file, 0);
    PutU32LE(file, s.zeroOffset ? 0 : offset);
    Append(file, info);
    Append(file, s.palette);
    Append(file, s.pixels);
    return file;
}

struct TgaSpec {
    int type = 2;
    int width = 0;
    int height = 0;
    int depth = 24;
    int descriptor = 0;
    int colorMapType = 0;
    int colorMapLength = 0;
    int colorMapBits = 0;
    std::string id;
    Bytes colorMap;
    Bytes data;
};

inline Bytes MakeTga(const TgaSpec& s)
{
    Bytes b;
    b.push_back(static_cast<std::uint8_t>(s.id.size()));
    b.push_back(static_cast<std::uint8_t>(s.colorMapType));
    b.push_back(static_cast<std::uint8_t>(s.type));
    PutU16LE(b, 0);
    PutU16LE(b, static_cast<unsigned>(s.colorMapLength));
    b.push_back(static_cast<std::uint8_t>(s.colorMapBits));
    PutU16LE(b, 0);
    PutU16LE(b, 0);
    PutU16LE(b, static_cast<unsigned>(s.width));
    PutU16LE(b, static_cast<unsigned>(s.height));
    b.push_back(static_cast<std::uint8_t>(s.depth));
    b.push_back(static_cast<std::uint8_t>(s.descriptor));
    Append(b, s.id);
    Append(b, s.colorMap);
    Append(b, s.data);
    return b;
}

inline Bytes ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ImageDataDir() { return std::string(VANTOMO_TEST_DATA_DIR) + "/images/"; }

// The image corpus, or empty when it is not on this machine. VANTOMO_CORPUS_DIR
// in the environment overrides the built-in location.
inline std::string ImageCorpusDir()
{
    const char* env = std::getenv("VANTOMO_CORPUS_DIR");
    const std::string dir = std::string(env != nullptr && *env != '\0' ? env : VANTOMO_CORPUS_DIR) + "/images/";
    return std::filesystem::is_directory(dir) ? dir : std::string();
}

} // namespace vantomo
