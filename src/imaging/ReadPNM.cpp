// Netpbm colour and grey images: P6 and P5 (binary, one byte per sample), P3
// and P2 (text). The header is read line by line: the magic number alone on
// its line, comment lines, "width height", then the maximum value.
#include <charconv>
#include <cstring>
#include <string>

#include "imaging/ByteStream.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

// One line as fgets with a 128-byte buffer gives it: up to 127 bytes, the
// newline included when it fits. False at the end of the input.
bool ReadLine(ByteStream& in, std::string& line)
{
    line.clear();
    while (line.size() < 127) {
        const int c = in.Get();
        if (c < 0) {
            break;
        }
        line.push_back(static_cast<char>(c));
        if (c == '\n') {
            break;
        }
    }
    return !line.empty();
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A decimal integer after optional white space and sign, as "%d" reads it.
bool ParseInt(const char*& p, const char* end, int& value)
{
    while (p < end && IsSpace(*p)) {
        ++p;
    }
    if (p < end && *p == '+') {
        ++p;
        if (p < end && *p == '-') {
            return false;
        }
    }
    const auto [next, ec] = std::from_chars(p, end, value);
    if (ec != std::errc()) {
        return false;
    }
    p = next;
    return true;
}

// A text sample: non-digits are skipped, a '-' makes the number negative,
// the first other character after a digit ends it. Only the low 8 bits are
// kept, so the sum may wrap freely.
bool ReadTextSample(ByteStream& in, std::uint8_t& sample)
{
    std::uint32_t value = 0;
    bool negative = false;
    bool digits = false;
    for (;;) {
        const int c = in.Get();
        if (c < 0) {
            if (!digits) {
                return false;
            }
            break;
        }
        if (c >= '0' && c <= '9') {
            value = value * 10u + static_cast<std::uint32_t>(c - '0');
            digits = true;
        } else if (c == '-') {
            negative = true;
        } else if (digits) {
            break;
        }
    }
    sample = static_cast<std::uint8_t>(negative ? 0u - value : value);
    return true;
}

bool DecodePNM(DibStream& image, ByteStream& in)
{
    std::string line;
    if (!ReadLine(in, line)) {
        return false;
    }
    const bool colour = line == "P6\n" || line == "P3\n";
    const bool binary = line == "P6\n" || line == "P5\n";
    if (!colour && line != "P5\n" && line != "P2\n") {
        return false;
    }
    do {
        if (!ReadLine(in, line)) {
            return false;
        }
    } while (line[0] == '#');
    int width = 0;
    int height = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    if (!ParseInt(p, end, width) || !ParseInt(p, end, height) || width < 1 || height < 1) {
        return false;
    }
    if (!ReadLine(in, line)) {
        return false;
    }
    if (binary) {
        // Binary samples above 255 take two bytes each, which this reader
        // does not decode; reading them as bytes would give a garbled image.
        int maxValue = 0;
        p = line.data();
        end = p + line.size();
        if (ParseInt(p, end, maxValue) && maxValue > 255) {
            return false;
        }
    }

    const std::uint64_t channels = colour ? 3 : 1;
    // Each binary sample is one byte; each text sample needs at least one digit.
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * channels > in.Remaining()) {
        return false;
    }
    if (!image.CreateDIB(width, height, colour ? 24 : 8)) {
        return false;
    }
    if (!colour) {
        image.SetGrayPalette();
    }
    const std::size_t w = static_cast<std::size_t>(width);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image.RowAddress(y);
        if (binary) {
            if (!in.ReadExact(row, w * channels)) {
                return false;
            }
            if (colour) {
                for (std::size_t x = 0; x < w; ++x) {
                    std::swap(row[3 * x], row[3 * x + 2]);
                }
            }
        } else if (colour) {
            for (std::size_t x = 0; x < w; ++x) {
                if (!ReadTextSample(in, row[3 * x + 2]) || !ReadTextSample(in, row[3 * x + 1]) ||
                    !ReadTextSample(in, row[3 * x])) {
                    return false;
                }
            }
        } else {
            for (std::size_t x = 0; x < w; ++x) {
                if (!ReadTextSample(in, row[x])) {
                    return false;
                }
            }
        }
    }
    return true;
}

} // namespace

bool DibStream::ReadPNM(std::FILE* stream)
{
    if (stream == nullptr) {
        Clear();
        return false;
    }
    bool ok = false;
    {
        ByteStream in = ByteStream::FromFile(stream);
        ok = DecodeFresh(*this, in, DecodePNM);
    }
    std::fclose(stream);
    return ok;
}

bool DibStream::ReadPNM(std::span<const std::uint8_t> data)
{
    ByteStream in(data);
    return DecodeFresh(*this, in, DecodePNM);
}

} // namespace vantomo
