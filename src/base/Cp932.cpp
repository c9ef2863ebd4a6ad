#include "base/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace vantomo {

namespace {

// One conversion descriptor per direction and thread; iconv_open is costly.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts `in`; on an undecodable sequence appends `replacement`, skips
    // `skip(in)` bytes and goes on.
    template <typename Skip>
    std::string Run(std::string_view in, std::string_view replacement, Skip skip, bool* lossless)
    {
        std::string out;
        out.reserve(in.size() * 3 / 2 + 4);
        if (lossless != nullptr) {
            *lossless = true;
        }
        if (!Valid()) {
            // glibc always ships CP932; without it keep ASCII and mark the rest.
            for (unsigned char c : in) {
                if (c < 0x80) {
                    out.push_back(static_cast<char>(c));
                } else {
                    out.append(replacement);
                    if (lossless != nullptr) {
                        *lossless = false;
                    }
                }
            }
            return out;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char buffer[1024];
        while (srcLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) {
                    continue;
                }
                // EILSEQ or EINVAL (incomplete sequence at the end).
                out.append(replacement);
                if (lossless != nullptr) {
                    *lossless = false;
                }
                const std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
                src += n;
                srcLeft -= n;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return out;
    }

private:
    iconv_t m_cd;
};

std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto c = static_cast<unsigned char>(s[0]);
    std::size_t n = 1;
    if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
    } else if (c >= 0xE0) {
        n = 3;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    }
    // Skip only the bytes that really continue the sequence.
    std::size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        ++i;
    }
    return i;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    thread_local Converter converter("UTF-8", "CP932");
    return converter.Run(cp932, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; },
                         nullptr);
}

std::string Utf8ToCp932(std::string_view utf8, bool* lossless)
{
    thread_local Converter converter("CP932", "UTF-8");
    return converter.Run(utf8, "?", Utf8SequenceLength, lossless);
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace vantomo
