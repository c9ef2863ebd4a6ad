#include "export/TextOutput.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <algorithm>
#include <utility>

namespace vantomo {

namespace {

constexpr std::size_t kChunk = std::size_t{256} << 10;

// Two digits at a time for the fraction and the integer part.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* WriteUnsigned(char* out, std::uint64_t value)
{
    char digits[20];
    char* p = digits + sizeof digits;
    while (value >= 100) {
        const std::size_t pair = static_cast<std::size_t>(value % 100) * 2;
        value /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    if (value >= 10) {
        const std::size_t pair = static_cast<std::size_t>(value) * 2;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    } else {
        *--p = static_cast<char>('0' + value);
    }
    const std::size_t n = static_cast<std::size_t>(digits + sizeof digits - p);
    std::memcpy(out, p, n);
    return out + n;
}

} // namespace

char* FormatFloatFixed6(char* out, float value)
{
    const double d = value;
    // A float has 24 significant bits and 10^6 = 2^6 x 15625 needs 14 more, so
    // d x 10^6 is exact in a double; rounding it to an integer (ties to even,
    // the default mode) is then exactly the rounding printf applies to the
    // decimal expansion. Beyond 2^53 / 10^6 the general conversion takes over.
    if (std::isfinite(d) && std::fabs(d) < 9.0e9) {
        const double scaled = std::nearbyint(d * 1.0e6);
        std::uint64_t units = static_cast<std::uint64_t>(std::fabs(scaled));
        if (std::signbit(d)) {
            *out++ = '-'; // printf keeps the sign of -0.0 and of values that round to zero
        }
        out = WriteUnsigned(out, units / 1000000u);
        units %= 1000000u;
        *out++ = '.';
        const std::size_t a = static_cast<std::size_t>(units / 10000u) * 2;
        const std::size_t b = static_cast<std::size_t>(units / 100u % 100u) * 2;
        const std::size_t c = static_cast<std::size_t>(units % 100u) * 2;
        out[0] = kDigitPairs[a];
        out[1] = kDigitPairs[a + 1];
        out[2] = kDigitPairs[b];
        out[3] = kDigitPairs[b + 1];
        out[4] = kDigitPairs[c];
        out[5] = kDigitPairs[c + 1];
        return out + 6;
    }
    // Larger than 9e9: at most 39 integer digits for a float, plus sign and fraction.
    const auto result = std::to_chars(out, out + kMaxFixed6Chars, d, std::chars_format::fixed, 6);
    return result.ec == std::errc{} ? result.ptr : out;
}

char* FormatDecimal(char* out, long long value)
{
    if (value < 0) {
        *out++ = '-';
        return WriteUnsigned(out, std::uint64_t{0} - static_cast<std::uint64_t>(value));
    }
    return WriteUnsigned(out, static_cast<std::uint64_t>(value));
}

TextOutput::TextOutput(std::string path) : m_file(std::move(path)), m_buffer(kChunk)
{
    m_cursor = m_buffer.data();
    m_end = m_cursor + m_buffer.size();
}

bool TextOutput::Open()
{
    const FileResult result = m_file.Open();
    if (!result.ok) {
        m_error = result.error;
        return false;
    }
    m_open = true;
    return true;
}

void TextOutput::AppendSlow(std::string_view text)
{
    while (!text.empty()) {
        if (m_cursor == m_end) {
            Flush();
        }
        const std::size_t n = std::min(text.size(), static_cast<std::size_t>(m_end - m_cursor));
        std::memcpy(m_cursor, text.data(), n);
        m_cursor += n;
        text.remove_prefix(n);
    }
}

void TextOutput::Flush()
{
    const std::size_t size = static_cast<std::size_t>(m_cursor - m_buffer.data());
    if (m_error == 0 && m_open && size > 0) {
        const FileResult result = m_file.Write(reinterpret_cast<const unsigned char*>(m_buffer.data()), size);
        if (!result.ok) {
            m_error = result.error;
        }
    }
    m_flushed += size;
    m_cursor = m_buffer.data();
    if (!m_meter.Poll() && m_error == 0) {
        m_error = ECANCELED;
    }
}

bool TextOutput::Commit()
{
    if (!m_open) {
        if (m_error == 0) {
            m_error = EBADF;
        }
        return false;
    }
    Flush();
    if (m_error != 0) {
        return false;
    }
    const FileResult result = m_file.Commit();
    if (!result.ok) {
        m_error = result.error;
    } else {
        m_meter.Finish();
    }
    m_open = false;
    return result.ok;
}

} // namespace vantomo
