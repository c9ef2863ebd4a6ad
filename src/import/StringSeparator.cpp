#include "import/StringSeparator.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "scene/Cp932.h"
#include "scene/Numbers.h"

namespace {

enum ByteClass : std::uint8_t {
    kOrdinary = 0,
    kLead,      // first byte of a double-byte character
    kLineEnd,   // NUL, LF, CR
    kSpace,     // TAB, space
    kQuote,     // "
    kSeparator, // a token by itself
};

constexpr std::size_t kMinBuffer = 16 * 1024;
constexpr std::size_t kMaxBuffer = 1024 * 1024;

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

} // namespace

StringSeparator::StringSeparator() { SetDoubleByte(true); }

void StringSeparator::SetDoubleByte(bool on)
{
    m_doubleByte = on;
    m_classes.fill(kOrdinary);
    for (unsigned c = 0; c < 256; ++c) {
        if (on && IsCp932LeadByte(static_cast<unsigned char>(c))) {
            m_classes[c] = kLead;
        }
    }
    m_classes['\0'] = kLineEnd;
    m_classes['\n'] = kLineEnd;
    m_classes['\r'] = kLineEnd;
    m_classes['\t'] = kSpace;
    m_classes[' '] = kSpace;
    m_classes['"'] = kQuote;
    for (const char c : {'(', ')', ',', ':', ';', '=', '[', ']', '{', '}'}) {
        m_classes[static_cast<unsigned char>(c)] = kSeparator;
    }
}

void StringSeparator::Emit(const char* first, const char* last)
{
    if (m_nulInToken) {
        // A NUL taken as a trail byte ends the token's text, as it ends a C string.
        m_nulInToken = false;
        const void* nul = std::memchr(first, '\0', static_cast<std::size_t>(last - first));
        if (nul != nullptr) {
            last = static_cast<const char*>(nul);
        }
    }
    const std::string_view token(first, static_cast<std::size_t>(last - first));
    if (static_cast<std::size_t>(m_count) < m_tokens.size()) {
        m_tokens[static_cast<std::size_t>(m_count)] = token;
    } else {
        m_tokens.push_back(token);
    }
    ++m_count;
}

const char* StringSeparator::Split(const char* p, const char* end, bool untilLineFeed)
{
    m_count = 0;
    m_nulInToken = false;
    const char* start = nullptr; // first byte of the current token; null while it is empty
    bool quoted = false;
    while (p < end) {
        switch (m_classes[static_cast<unsigned char>(*p)]) {
        case kOrdinary:
            if (start == nullptr) {
                start = p;
            }
            ++p;
            while (p < end && m_classes[static_cast<unsigned char>(*p)] == kOrdinary) {
                ++p;
            }
            break;
        case kLead:
            if (start == nullptr) {
                start = p;
            }
            if (p + 1 >= end) {
                ++p; // no trail byte left: the lead byte stays alone
                break;
            }
            if (p[1] == '\n' && untilLineFeed) {
                Emit(start, p + 2);
                return p + 1;
            }
            if (p[1] == '\0') {
                m_nulInToken = true;
            }
            p += 2;
            break;
        case kLineEnd:
            if (start != nullptr) {
                Emit(start, p);
            }
            return p;
        case kSpace:
            if (quoted) {
                if (start == nullptr) {
                    start = p;
                }
            } else if (start != nullptr) {
                Emit(start, p);
                start = nullptr;
            }
            ++p;
            break;
        case kQuote:
            if (quoted) {
                Emit(start != nullptr ? start : p, p);
                start = nullptr;
                quoted = false;
            } else {
                if (start != nullptr) {
                    Emit(start, p);
                    start = nullptr;
                }
                quoted = true;
            }
            ++p;
            break;
        case kSeparator:
            if (quoted) {
                if (start == nullptr) {
                    start = p;
                }
            } else {
                if (start != nullptr) {
                    Emit(start, p);
                    start = nullptr;
                }
                Emit(p, p + 1);
            }
            ++p;
            break;
        default:
            ++p;
            break;
        }
    }
    if (start != nullptr) {
        Emit(start, p);
    }
    return end;
}

int StringSeparator::Separate(std::string_view line)
{
    m_line.assign(line);
    Split(m_line.data(), m_line.data() + m_line.size(), false);
    return m_count;
}

bool StringSeparator::Equals(int index, std::string_view text) const
{
    if (index < 0 || index >= m_count) {
        return false;
    }
    const std::string_view token = m_tokens[static_cast<std::size_t>(index)];
    if (token.size() != text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (FoldAscii(token[i]) != FoldAscii(text[i])) {
            return false;
        }
    }
    return true;
}

double StringSeparator::GetDouble(int index) const
{
    if (index < 0 || index >= m_count) {
        return 0.0;
    }
    return AtofC(m_tokens[static_cast<std::size_t>(index)]);
}

int StringSeparator::GetInt(int index) const
{
    if (index < 0 || index >= m_count) {
        return 0;
    }
    return AtoiC(m_tokens[static_cast<std::size_t>(index)]);
}

FileStringSeparator::FileStringSeparator(ByteSource& source) : m_source(source)
{
    const std::optional<std::uint64_t> size = source.Remaining();
    std::size_t capacity = kMaxBuffer;
    if (size && *size + 1 < kMaxBuffer) {
        capacity = std::max(kMinBuffer, static_cast<std::size_t>(*size) + 1);
    }
    m_buffer.resize(capacity);
}

void FileStringSeparator::Fill(std::size_t want)
{
    if (m_atEnd) {
        return;
    }
    if (m_pos > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    while (m_end < want && m_end < m_buffer.size()) {
        const std::size_t got = m_source.Read(m_buffer.data() + m_end, m_buffer.size() - m_end);
        if (got == 0) {
            m_atEnd = true;
            return;
        }
        m_end += got;
    }
}

void FileStringSeparator::SkipBytes(std::uint64_t count)
{
    const std::size_t buffered = m_end - m_pos;
    if (count <= buffered) {
        m_pos += static_cast<std::size_t>(count);
        return;
    }
    m_pos = 0;
    m_end = 0;
    if (!m_atEnd) {
        m_source.Skip(count - buffered);
    }
}

std::optional<std::uint64_t> FileStringSeparator::Remaining() const
{
    const std::optional<std::uint64_t> unread = m_source.Remaining();
    if (!unread) {
        return std::nullopt;
    }
    return *unread + (m_end - m_pos);
}

int FileStringSeparator::ReadLine()
{
    m_pending.clear();
    bool any = false;
    const auto next = [this](char& c) {
        if (m_pos == m_end) {
            Fill(1);
            if (m_pos == m_end) {
                return false;
            }
        }
        c = m_buffer[m_pos++];
        return true;
    };
    char c = 0;
    while (next(c)) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (c == '\r') {
            if (m_pos == m_end) {
                Fill(1);
            }
            if (m_pos < m_end && m_buffer[m_pos] == '\n') {
                ++m_pos;
            }
            break;
        }
        m_pending.push_back(c);
        if (IsDoubleByte() && IsCp932LeadByte(static_cast<unsigned char>(c))) {
            if (!next(c)) {
                break;
            }
            m_pending.push_back(c);
        }
    }
    if (!any) {
        m_count = -1;
        return -1;
    }
    return Separate(m_pending);
}

int AsciiFileString::ReadLine()
{
    if (m_end - m_pos < kLineLimit) {
        Fill(kLineLimit);
    }
    if (m_pos == m_end) {
        m_count = -1;
        return -1;
    }
    const char* begin = m_buffer.data() + m_pos;
    const char* end = begin + std::min(kLineLimit, m_end - m_pos);
    const char* stop = Split(begin, end, true);
    const char* next = end;
    if (stop < end) {
        if (*stop == '\n') {
            next = stop + 1;
        } else {
            const void* lineFeed = std::memchr(stop, '\n', static_cast<std::size_t>(end - stop));
            next = lineFeed != nullptr ? static_cast<const char*>(lineFeed) + 1 : end;
        }
    }
    m_pos = static_cast<std::size_t>(next - m_buffer.data());
    return m_count;
}
