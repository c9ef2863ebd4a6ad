#include "imaging/DibStream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vantomo {

void DibBlock::Free::operator()(std::uint8_t* p) const { std::free(p); }

DibBlock DibBlock::Allocate(std::size_t size)
{
    DibBlock block;
    if (size == 0) {
        return block;
    }
    // calloc: every block starts cleared, and large ones come as fresh zero pages.
    block.m_data.reset(static_cast<std::uint8_t*>(std::calloc(size, 1)));
    block.m_size = block.m_data ? size : 0;
    return block;
}

namespace {

bool IsSupportedBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// |height| of a header, or 0 when the header cannot describe a bitmap we hold.
std::int64_t CheckedAbsHeight(std::int32_t height)
{
    const std::int64_t h = height < 0 ? -static_cast<std::int64_t>(height) : height;
    return h <= kMaxImageDimension ? h : 0;
}

std::size_t DefaultColorCount(int bitCount) { return bitCount <= 8 ? std::size_t{1} << bitCount : 0; }

} // namespace

std::size_t DibStride(std::int32_t width, int bitCount)
{
    if (width <= 0 || bitCount <= 0) {
        return 0;
    }
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount);
    return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

void DibStream::Clear() { Adopt(DibBlock(), DibBlock()); }

void DibStream::Adopt(DibBlock header, DibBlock pixels)
{
    m_header = std::move(header);
    m_pixels = std::move(pixels);
    if (m_header.empty() || m_pixels.empty()) {
        m_header = DibBlock();
        m_pixels = DibBlock();
        m_width = m_height = m_absHeight = m_bitCount = 0;
        m_stride = 0;
        return;
    }
    const BITMAPINFOHEADER info = Info();
    m_width = info.biWidth;
    m_height = info.biHeight;
    m_absHeight = static_cast<std::int32_t>(CheckedAbsHeight(info.biHeight));
    m_bitCount = info.biBitCount;
    m_stride = DibStride(m_width, m_bitCount);
}

bool DibStream::CreateDIB(std::int32_t width, std::int32_t height, int bitCount)
{
    Clear();
    if (!IsSupportedBitCount(bitCount) || width < 1 || width > kMaxImageDimension || height == 0) {
        return false;
    }
    const std::int64_t absHeight = CheckedAbsHeight(height);
    if (absHeight == 0) {
        return false;
    }
    const std::size_t stride = DibStride(width, bitCount);
    if (stride > kMaxPixelBytes / static_cast<std::size_t>(absHeight)) {
        return false;
    }
    const std::size_t pixelSize = stride * static_cast<std::size_t>(absHeight);
    const std::size_t colors = DefaultColorCount(bitCount);

    BITMAPINFOHEADER info;
    info.biWidth = width;
    info.biHeight = height;
    info.biBitCount = static_cast<std::uint16_t>(bitCount);
    info.biSizeImage = static_cast<std::uint32_t>(pixelSize);
    info.biClrUsed = static_cast<std::uint32_t>(colors);

    DibBlock header = DibBlock::Allocate(40 + 4 * colors);
    DibBlock pixels = DibBlock::Allocate(pixelSize);
    if (header.empty() || pixels.empty()) {
        return false;
    }
    std::memcpy(header.data(), &info, sizeof info);
    std::uint8_t* table = header.data() + 40;
    if (bitCount == 1) {
        std::memset(table + 4, 255, 3);
    } else if (bitCount == 8) {
        for (std::size_t i = 0; i < 256; ++i) {
            std::memset(table + 4 * i, static_cast<int>(i), 3);
        }
    }
    Adopt(std::move(header), std::move(pixels));
    return true;
}

bool DibStream::Attach(DibBlock header, DibBlock pixels)
{
    if (header.empty() || pixels.empty() || header.size() < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    BITMAPINFOHEADER info;
    std::memcpy(&info, header.data(), sizeof info);
    if (info.biSize != 40 || info.biCompression != 0 || !IsSupportedBitCount(info.biBitCount) ||
        info.biWidth < 1 || info.biWidth > kMaxImageDimension || info.biHeight == 0 ||
        CheckedAbsHeight(info.biHeight) == 0) {
        return false;
    }
    const std::size_t colors = info.biClrUsed != 0 ? info.biClrUsed : DefaultColorCount(info.biBitCount);
    if (info.biBitCount <= 8 && (header.size() - 40) / 4 < colors) {
        return false;
    }
    const std::size_t stride = DibStride(info.biWidth, info.biBitCount);
    const std::size_t absHeight = static_cast<std::size_t>(CheckedAbsHeight(info.biHeight));
    if (pixels.size() / stride < absHeight) {
        return false;
    }
    Adopt(std::move(header), std::move(pixels));
    return true;
}

BITMAPINFOHEADER DibStream::Info() const
{
    BITMAPINFOHEADER info;
    info.biSize = 0;
    info.biPlanes = 0;
    if (!m_header.empty()) {
        std::memcpy(&info, m_header.data(), sizeof info);
    }
    return info;
}

std::size_t DibStream::ColorCount() const
{
    if (m_header.empty()) {
        return 0;
    }
    const BITMAPINFOHEADER info = Info();
    const std::size_t colors = info.biClrUsed != 0 ? info.biClrUsed : DefaultColorCount(info.biBitCount);
    return std::min(colors, (m_header.size() - 40) / 4);
}

const std::uint8_t* DibStream::RowAddress(std::int32_t y) const
{
    if (y < 0 || y >= m_absHeight) {
        return nullptr;
    }
    const std::size_t row = static_cast<std::size_t>(m_height < 0 ? y : m_absHeight - 1 - y);
    return m_pixels.data() + row * m_stride;
}

std::uint8_t* DibStream::RowAddress(std::int32_t y)
{
    return const_cast<std::uint8_t*>(static_cast<const DibStream*>(this)->RowAddress(y));
}

std::uint32_t DibStream::GetPixel(std::int32_t x, std::int32_t y) const
{
    const std::uint8_t* row = RowAddress(y);
    if (row == nullptr || x < 0 || x >= m_width) {
        return 0;
    }
    const std::size_t i = static_cast<std::size_t>(x);
    switch (m_bitCount) {
    case 24: {
        const std::uint8_t* p = row + 3 * i;
        return 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    case 32: {
        const std::uint8_t* p = row + 4 * i;
        return (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
    default:
        return 0;
    }
}

void DibStream::SetGrayPalette()
{
    std::uint8_t* table = ColorTable();
    if (table == nullptr) {
        return;
    }
    const std::size_t colors = ColorCount();
    auto set = [&](std::size_t i, int v) {
        if (i < colors) {
            std::uint8_t* e = table + 4 * i;
            e[0] = e[1] = e[2] = static_cast<std::uint8_t>(v);
            e[3] = 0;
        }
    };
    switch (BitCount()) {
    case 8:
        for (int i = 0; i < 256; ++i) {
            set(static_cast<std::size_t>(i), i);
        }
        break;
    case 4:
        for (int i = 0; i < 16; ++i) {
            set(static_cast<std::size_t>(i), 17 * i);
        }
        break;
    case 1:
        set(0, 0);
        set(1, 255);
        break;
    default:
        break;
    }
}

bool DibStream::ConvertTo24()
{
    if (IsEmpty()) {
        return false;
    }
    const int bits = BitCount();
    if (bits == 24) {
        return true;
    }
    const std::int32_t width = Width();
    const std::int32_t absHeight = AbsHeight();
    DibStream out;
    if (!out.CreateDIB(width, Height(), 24)) {
        return false;
    }

    // Every possible index gets a colour; those past the table stay black.
    std::uint8_t palette[256][3] = {};
    if (bits <= 8) {
        const std::uint8_t* table = ColorTable();
        const std::size_t colors = std::min<std::size_t>(ColorCount(), 256);
        for (std::size_t i = 0; i < colors; ++i) {
            std::memcpy(palette[i], table + 4 * i, 3);
        }
    }

    const std::size_t w = static_cast<std::size_t>(width);
    for (std::int32_t y = 0; y < absHeight; ++y) {
        const std::uint8_t* src = RowAddress(y);
        std::uint8_t* dst = out.RowAddress(y);
        switch (bits) {
        case 1:
            for (std::size_t x = 0; x < w; ++x) {
                std::memcpy(dst + 3 * x, palette[(src[x / 8] >> (7 - x % 8)) & 1], 3);
            }
            break;
        case 4:
            for (std::size_t x = 0; x < w; ++x) {
                const int v = (x % 2 == 0) ? src[x / 2] >> 4 : src[x / 2] & 0x0F;
                std::memcpy(dst + 3 * x, palette[v], 3);
            }
            break;
        case 8:
            for (std::size_t x = 0; x < w; ++x) {
                std::memcpy(dst + 3 * x, palette[src[x]], 3);
            }
            break;
        case 16:
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned v = src[2 * x] | (src[2 * x + 1] << 8);
                dst[3 * x] = static_cast<std::uint8_t>((v & 0x1F) * 8);
                dst[3 * x + 1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) * 8);
                dst[3 * x + 2] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) * 8);
            }
            break;
        case 32:
            for (std::size_t x = 0; x < w; ++x) {
                std::memcpy(dst + 3 * x, src + 4 * x, 3);
            }
            break;
        default:
            return false;
        }
    }
    Adopt(std::move(out.m_header), std::move(out.m_pixels));
    return true;
}

} // namespace vantomo
