#include "scene/Archive.h"

#include <bit>
#include <cstdlib>

#include "base/Cp932.h"

namespace vantomo {

static_assert(std::endian::native == std::endian::little,
              "the archive copies numbers in memory order, which must be little-endian");

namespace {


// UTF-16LE to CP932 through UTF-8; an unpaired surrogate becomes '?', as the
// platform's wide-to-multibyte conversion does with its default character.
std::string Utf16ToCp932(const unsigned char* data, std::size_t units)
{
    std::string utf8;
    utf8.reserve(units * 2);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t u = static_cast<char32_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const char32_t low = static_cast<char32_t>(data[2 * i + 2] | (data[2 * i + 3] << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(utf8, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            utf8.push_back('?');
        } else {
            AppendUtf8(utf8, u);
        }
    }
    return Utf8ToCp932(utf8);
}

} // namespace

Archive::Archive() = default;

Archive::Archive(ArchiveSink& sink, std::size_t bufferBytes) : m_sink(&sink)
{
    m_data = static_cast<unsigned char*>(std::malloc(bufferBytes));
    m_capacity = m_data != nullptr ? bufferBytes : 0;
    m_failed = m_data == nullptr;
}

bool Archive::Flush()
{
    if (m_sink == nullptr || m_failed) {
        return !m_failed;
    }
    if (m_size > 0 && !m_sink->Write(m_data, m_size)) {
        m_failed = true;
        return false;
    }
    m_flushed += m_size;
    m_size = 0;
    return true;
}

void Archive::AppendSlow(const void* data, std::size_t size)
{
    if (m_failed) {
        return;
    }
    if (m_sink == nullptr) {
        if (Grow(size)) {
            std::memcpy(m_data + m_size, data, size);
            m_size += size;
        }
        return;
    }
    if (!Flush()) {
        return;
    }
    if (size >= m_capacity) {
        // A block larger than the buffer goes to the sink as it is.
        if (!m_sink->Write(static_cast<const unsigned char*>(data), size)) {
            m_failed = true;
            return;
        }
        m_flushed += size;
        return;
    }
    std::memcpy(m_data, data, size);
    m_size = size;
}

Archive::Archive(std::span<const unsigned char> bytes)
    : m_data(const_cast<unsigned char*>(bytes.data())), m_size(bytes.size()), m_storing(false)
{
}

Archive::~Archive()
{
    if (m_storing) {
        std::free(m_data);
    }
}

bool Archive::Grow(std::size_t extra)
{
    if (m_failed) {
        return false;
    }
    std::size_t capacity = m_capacity < 4096 ? 4096 : m_capacity;
    while (capacity - m_size < extra) {
        if (capacity > SIZE_MAX / 2) {
            m_failed = true;
            return false;
        }
        capacity *= 2;
    }
    void* grown = std::realloc(m_data, capacity);
    if (grown == nullptr) {
        m_failed = true;
        return false;
    }
    m_data = static_cast<unsigned char*>(grown);
    m_capacity = capacity;
    return true;
}

void Archive::Reserve(std::size_t bytes)
{
    if (m_storing && m_sink == nullptr && bytes > m_capacity - m_size) {
        void* grown = std::realloc(m_data, m_size + bytes);
        if (grown != nullptr) {
            m_data = static_cast<unsigned char*>(grown);
            m_capacity = m_size + bytes;
        }
    }
}

bool Archive::CheckCount(std::int32_t& count, std::size_t minElementBytes, std::int32_t ceiling)
{
    if (m_failed || count < 0 || count > ceiling ||
        (minElementBytes > 0 && static_cast<std::size_t>(count) > Remaining() / minElementBytes)) {
        m_failed = true;
        count = 0;
        return false;
    }
    return true;
}

void Archive::String(std::string& value)
{
    if (m_storing) {
        const std::size_t length = value.size();
        unsigned char prefix[7];
        std::size_t n = 0;
        if (length < 0xFF) {
            prefix[n++] = static_cast<unsigned char>(length);
        } else {
            prefix[n++] = 0xFF;
            if (length < 0xFFFE) {
                prefix[n++] = static_cast<unsigned char>(length);
                prefix[n++] = static_cast<unsigned char>(length >> 8);
            } else {
                prefix[n++] = 0xFF;
                prefix[n++] = 0xFF;
                const std::uint32_t l32 = static_cast<std::uint32_t>(length);
                std::memcpy(prefix + n, &l32, 4);
                n += 4;
            }
        }
        Append(prefix, n);
        Append(value.data(), length);
        return;
    }

    value.clear();
    bool wide = false;
    std::uint8_t b = 0;
    Raw(&b, 1);
    std::size_t length = b;
    if (b == 0xFF) {
        std::uint16_t w = 0;
        Raw(&w, 2);
        if (w == 0xFFFE) {
            // UTF-16 text: the length prefix starts over, counting 16-bit units.
            wide = true;
            Raw(&b, 1);
            length = b;
            if (b == 0xFF) {
                Raw(&w, 2);
            }
        }
        if (b == 0xFF) {
            length = w;
            if (w == 0xFFFF) {
                std::uint32_t d = 0;
                Raw(&d, 4);
                length = d;
            }
        }
    }
    if (m_failed) {
        return;
    }
    const std::size_t bytes = wide ? length * 2 : length;
    if (bytes > Remaining() || (wide && length > SIZE_MAX / 2)) {
        m_failed = true;
        return;
    }
    const unsigned char* text = m_data + m_position;
    m_position += bytes;
    if (wide) {
        value = Utf16ToCp932(text, length);
    } else {
        value.assign(reinterpret_cast<const char*>(text), length);
    }
}

} // namespace vantomo
