// IFF ILBM: a FORM of type ILBM with BMHD, CMAP and BODY; 1 to 24 bit planes,
// uncompressed or ByteRun1.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/ByteStream.h"
#include "imaging/DibStream.h"

namespace vantomo {

namespace {

bool IdIs(const std::uint8_t id[4], const char* name) { return std::memcmp(id, name, 4) == 0; }

struct Bmhd {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    int planes = 0;
    int masking = 0;
    int compression = 0;
};

// Hands out plane lines of one row after another. ByteRun1 runs may cross the
// end of a line; what they decode beyond it begins the next line.
class BodyReader {
public:
    BodyReader(ByteStream& in, bool compressed, std::size_t rowBytes)
        : m_in(in), m_compressed(compressed), m_rowBytes(rowBytes)
    {
    }

    // Fills `line` (rowBytes); bytes missing at the end of the input are 0.
    // False once the input has run out.
    bool NextLine(std::uint8_t* line)
    {
        if (!m_compressed) {
            const std::size_t got = m_in.Read(line, m_rowBytes);
            std::memset(line + got, 0, m_rowBytes - got);
            return got == m_rowBytes;
        }
        while (m_pending.size() - m_pos < m_rowBytes && !m_eof) {
            DecodeControl();
        }
        const std::size_t n = std::min(m_rowBytes, m_pending.size() - m_pos);
        if (n > 0) {
            std::memcpy(line, m_pending.data() + m_pos, n);
        }
        std::memset(line + n, 0, m_rowBytes - n);
        m_pos += n;
        if (m_pos == m_pending.size()) {
            m_pending.clear();
            m_pos = 0;
        }
        return n == m_rowBytes || !m_eof;
    }

private:
    void DecodeControl()
    {
        const int c = m_in.Get();
        if (c < 0) {
            m_eof = true;
        } else if (c < 128) {
            const std::size_t n = static_cast<std::size_t>(c) + 1;
            const std::size_t at = m_pending.size();
            m_pending.resize(at + n);
            const std::size_t got = m_in.Read(m_pending.data() + at, n);
            if (got < n) {
                m_pending.resize(at + got);
                m_eof = true;
            }
        } else if (c > 128) {
            const int value = m_in.Get();
            if (value < 0) {
                m_eof = true;
            } else {
                m_pending.insert(m_pending.end(), static_cast<std::size_t>(257 - c),
                                 static_cast<std::uint8_t>(value));
            }
        }
    }

    ByteStream& m_in;
    bool m_compressed;
    std::size_t m_rowBytes;
    std::vector<std::uint8_t> m_pending;
    std::size_t m_pos = 0;
    bool m_eof = false;
};

void DecodeBody(ByteStream& in, const Bmhd& bmhd, DibStream& image)
{
    const std::size_t width = bmhd.width;
    const std::size_t rowBytes = (width + 15) / 16 * 2;
    const int planes = bmhd.planes;
    // The mask plane, when there is one, follows the bit planes of each row;
    // it is read past and not used.
    const int lines = planes + (bmhd.masking == 1 ? 1 : 0);
    std::vector<std::uint8_t> row(rowBytes * static_cast<std::size_t>(lines));
    BodyReader body(in, bmhd.compression != 0, rowBytes);
    const int bits = image.BitCount();

    for (std::int32_t y = 0; y < bmhd.height; ++y) {
        bool more = true;
        for (int p = 0; p < lines; ++p) {
            more = body.NextLine(row.data() + static_cast<std::size_t>(p) * rowBytes) && more;
        }
        std::uint8_t* dst = image.RowAddress(y);
        std::memset(dst, 0, image.Stride());
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t byte = x / 8;
            const int shift = 7 - static_cast<int>(x % 8);
            std::uint32_t value = 0;
            for (int p = 0; p < planes; ++p) {
                value |= static_cast<std::uint32_t>((row[static_cast<std::size_t>(p) * rowBytes + byte] >> shift) & 1)
                         << p;
            }
            switch (bits) {
            case 1:
                if (value != 0) {
                    dst[byte] |= static_cast<std::uint8_t>(1u << shift);
                }
                break;
            case 4:
                dst[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? (value & 0x0F) << 4 : value & 0x0F);
                break;
            case 8:
                dst[x] = static_cast<std::uint8_t>(value);
                break;
            default: // 24: red in the low planes, blue in the high ones
                dst[3 * x] = static_cast<std::uint8_t>(value >> 16);
                dst[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
                dst[3 * x + 2] = static_cast<std::uint8_t>(value);
                break;
            }
        }
        if (!more) {
            break; // rows past the end of the data stay cleared
        }
    }
}

int BitCountForPlanes(int planes)
{
    if (planes == 1) {
        return 1;
    }
    if (planes >= 2 && planes <= 4) {
        return 4;
    }
    if (planes >= 5 && planes <= 8) {
        return 8;
    }
    if (planes >= 9 && planes <= 24) {
        return 24;
    }
    return 0;
}

// Reads a BMHD chunk and creates its bitmap. False when the chunk is short or
// the image is too large for the file or the limits; true with no bitmap made
// for plane counts outside 1..24 (the chunk is then ignored).
bool ReadBmhd(ByteStream& in, std::uint32_t size, Bmhd& bmhd, DibStream& image, bool& haveBitmap)
{
    std::uint8_t b[20];
    if (size < sizeof b || !in.ReadExact(b, sizeof b)) {
        return false;
    }
    Bmhd h;
    h.width = static_cast<std::uint16_t>((b[0] << 8) | b[1]);
    h.height = static_cast<std::uint16_t>((b[2] << 8) | b[3]);
    h.planes = b[8];
    h.masking = b[9];
    h.compression = b[10];
    const int bits = BitCountForPlanes(h.planes);
    if (bits == 0) {
        return true;
    }
    // ByteRun1 turns 2 bytes into at most 128: a body needs at least 1/64 of
    // its plane data.
    const std::uint64_t lines = static_cast<std::uint64_t>(h.height) *
                                static_cast<std::uint64_t>(h.planes + (h.masking == 1 ? 1 : 0));
    const std::uint64_t planeData = lines * ((h.width + 15u) / 16u * 2u);
    if (planeData / 64 > in.Remaining()) {
        return false;
    }
    if (!image.CreateDIB(h.width, h.height, bits)) {
        return false;
    }
    bmhd = h;
    haveBitmap = true;
    return true;
}

bool DecodeILBM(DibStream& image, ByteStream& in)
{
    Bmhd bmhd;
    bool haveBitmap = false;
    for (;;) {
        std::uint8_t id[4];
        std::uint32_t size = 0;
        if (!in.ReadExact(id, 4) || !in.ReadU32BE(size)) {
            return false;
        }
        const std::uint64_t start = in.Tell();
        const std::uint64_t next = start + size + (size & 1);
        if (!IdIs(id, "FORM")) {
            if (!in.Seek(next)) {
                return false;
            }
            continue;
        }
        std::uint8_t formType[4];
        if (size < 4 || !in.ReadExact(formType, 4) || !IdIs(formType, "ILBM")) {
            return false;
        }
        const std::uint64_t formEnd = start + size;
        while (in.Tell() + 8 <= formEnd) {
            std::uint8_t chunk[4];
            std::uint32_t chunkSize = 0;
            if (!in.ReadExact(chunk, 4) || !in.ReadU32BE(chunkSize)) {
                return false;
            }
            const std::uint64_t dataStart = in.Tell();
            if (IdIs(chunk, "BMHD")) {
                if (!ReadBmhd(in, chunkSize, bmhd, image, haveBitmap)) {
                    return false;
                }
            } else if (IdIs(chunk, "CMAP") && haveBitmap) {
                std::uint8_t* table = image.ColorTable();
                const std::size_t entries = std::min<std::size_t>(chunkSize / 3, image.ColorCount());
                for (std::size_t i = 0; i < entries; ++i) {
                    std::uint8_t rgb[3];
                    if (!in.ReadExact(rgb, 3)) {
                        return false;
                    }
                    table[4 * i] = rgb[2];
                    table[4 * i + 1] = rgb[1];
                    table[4 * i + 2] = rgb[0];
                    table[4 * i + 3] = 0;
                }
            } else if (IdIs(chunk, "BODY") && haveBitmap) {
                DecodeBody(in, bmhd, image);
                return true;
            }
            if (!in.Seek(dataStart + chunkSize + (chunkSize & 1))) {
                return false;
            }
        }
        if (!in.Seek(next)) {
            return false;
        }
    }
}

} // namespace

bool DibStream::LoadILBM(const std::string& path)
{
    return DecodeFreshFromFd(*this, OpenRegularFile(path), DecodeILBM);
}

bool DibStream::LoadILBM(std::span<const std::uint8_t> data)
{
    ByteStream in(data);
    return DecodeFresh(*this, in, DecodeILBM);
}

} // namespace vantomo
