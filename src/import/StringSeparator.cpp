#include "import/StringSeparator.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "scene/Cp932.h"

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

inline void StringSeparator::Emit(const char* first, const char* last)
{
    if (m_nulInToken) {
        // A NUL taken as a trail byte ends the token's text, as it ends a C string.
        m_nulInToken = false;
        const void* nul = std::memchr(first, '\0', static_cast<std::size_t>(last - first));
        if (nul != nullptr) {
            last = static_cast<const char*>(nul);
        }
    }
    // Split made room for every token the text can hold.
    m_tokens[static_cast<std::size_t>(m_count++)] = std::string_view(first, static_cast<std::size_t>(last - first));
}

const char* StringSeparator::Split(const char* p, const char* end, bool untilLineFeed)
{
    m_count = 0;
    m_nulInToken = false;
    // Every token takes at least one byte of the text, so this is enough room.
    const std::size_t room = static_cast<std::size_t>(end - p) + 1;
    if (m_tokens.size() < room) {
        m_tokens.resize(room);
    }
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

#if defined(__SSE2__)
namespace {

struct BlockMasks {
    unsigned space = 0; // TAB, space, CR, LF: the bytes that only end tokens here
    unsigned separator = 0;
    unsigned lineFeed = 0;
    unsigned carriageReturn = 0;
    unsigned other = 0; // quote, NUL, and bytes above 0x7F when they may be lead bytes
};

// Classifies 16 bytes; bit i stands for byte i.
inline BlockMasks Classify16(const char* p, bool doubleByte)
{
    const auto splat = [](char c) { return _mm_set1_epi8(c); };
    const auto bits = [](__m128i v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); };
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i low = _mm_and_si128(c, splat(static_cast<char>(0xFE)));  // ( ) and : ;
    const __m128i fold = _mm_and_si128(c, splat(static_cast<char>(0xDF))); // [ { and ] }
    const __m128i lf = _mm_cmpeq_epi8(c, splat('\n'));
    const __m128i cr = _mm_cmpeq_epi8(c, splat('\r'));
    const __m128i space = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(c, splat(' ')), _mm_cmpeq_epi8(c, splat('\t'))),
                                       _mm_or_si128(lf, cr));
    const __m128i separator = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(low, splat('(')), _mm_cmpeq_epi8(low, splat(':'))),
                     _mm_or_si128(_mm_cmpeq_epi8(fold, splat('[')), _mm_cmpeq_epi8(fold, splat(']')))),
        _mm_or_si128(_mm_cmpeq_epi8(c, splat(',')), _mm_cmpeq_epi8(c, splat('='))));
    const __m128i other = _mm_or_si128(_mm_cmpeq_epi8(c, splat('"')), _mm_cmpeq_epi8(c, _mm_setzero_si128()));
    BlockMasks masks;
    masks.space = bits(space);
    masks.separator = bits(separator);
    masks.lineFeed = bits(lf);
    masks.carriageReturn = bits(cr);
    masks.other = bits(other) | (doubleByte ? bits(c) : 0u); // the top bit of every byte
    return masks;
}

} // namespace

const char* StringSeparator::SplitPlain(const char* begin, const char* end)
{
    constexpr int kWords = 8;
    const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(end - begin), kWords * 64);
    std::uint64_t ordinary[kWords];
    std::uint64_t separators[kWords];
    std::size_t lineLength = 0;
    std::size_t returnAt = 0; // position + 1 of the one CR allowed, 0 for none
    int words = 0;
    for (std::size_t block = 0; block * 16 < length; ++block) {
        const BlockMasks m = Classify16(begin + block * 16, m_doubleByte);
        const std::size_t left = length - block * 16;
        unsigned valid = left >= 16 ? 0xFFFFu : (1u << left) - 1;
        const unsigned lineFeed = m.lineFeed & valid;
        if (lineFeed != 0) {
            const int at = __builtin_ctz(lineFeed);
            valid = (2u << at) - 1;
            lineLength = block * 16 + static_cast<std::size_t>(at) + 1;
        }
        if ((m.other & valid) != 0) {
            return nullptr;
        }
        const unsigned returns = m.carriageReturn & valid;
        if (returns != 0) {
            if (returnAt != 0 || (returns & (returns - 1)) != 0) {
                return nullptr;
            }
            returnAt = block * 16 + static_cast<std::size_t>(__builtin_ctz(returns)) + 1;
        }
        const std::size_t w = block / 4;
        const int shift = static_cast<int>(block % 4) * 16;
        if (shift == 0) {
            ordinary[w] = 0;
            separators[w] = 0;
        }
        ordinary[w] |= static_cast<std::uint64_t>(~(m.space | m.separator) & valid) << shift;
        separators[w] |= static_cast<std::uint64_t>(m.separator & valid) << shift;
        if (lineFeed != 0) {
            words = static_cast<int>(w) + 1;
            break;
        }
    }
    if (lineLength == 0 || (returnAt != 0 && returnAt + 1 != lineLength)) {
        return nullptr;
    }

    // A token starts at an ordinary byte after a non-ordinary one and ends at
    // an ordinary byte before a non-ordinary one; a separator is both.
    const std::size_t room = lineLength + 1;
    if (m_tokens.size() < room) {
        m_tokens.resize(room);
    }
    // Starts and ends come in the same order: the k-th end closes the k-th token.
    int starts = 0;
    std::uint16_t startAt[kWords * 64];
    for (int w = 0; w < words; ++w) {
        const std::uint64_t o = ordinary[w];
        const std::uint64_t before = (o << 1) | (w > 0 ? ordinary[w - 1] >> 63 : 0);
        std::uint64_t first = (o & ~before) | separators[w];
        while (first != 0) {
            startAt[starts++] = static_cast<std::uint16_t>(w * 64 + __builtin_ctzll(first));
            first &= first - 1;
        }
    }
    int ends = 0;
    for (int w = 0; w < words; ++w) {
        const std::uint64_t o = ordinary[w];
        const std::uint64_t after = (o >> 1) | (w + 1 < words ? ordinary[w + 1] << 63 : 0);
        std::uint64_t last = (o & ~after) | separators[w];
        while (last != 0) {
            const int start = startAt[ends];
            const int end = w * 64 + __builtin_ctzll(last) + 1;
            m_tokens[static_cast<std::size_t>(ends++)] =
                std::string_view(begin + start, static_cast<std::size_t>(end - start));
            last &= last - 1;
        }
    }
    m_count = starts;
    return begin + lineLength;
}
#else
const char* StringSeparator::SplitPlain(const char*, const char*) { return nullptr; }
#endif

int StringSeparator::Separate(std::string_view line)
{
    m_line.assign(line.size() + kReadPadding, '\0');
    std::memcpy(m_line.data(), line.data(), line.size());
    Split(m_line.data(), m_line.data() + line.size(), false);
    return m_count;
}





FileStringSeparator::FileStringSeparator(ByteSource& source) : m_source(source)
{
    const std::optional<std::uint64_t> size = source.Remaining();
    std::size_t capacity = kMaxBuffer;
    if (size && *size + 1 < kMaxBuffer) {
        capacity = std::max(kMinBuffer, static_cast<std::size_t>(*size) + 1);
    }
    m_buffer.resize(capacity + kReadPadding);
    m_capacity = capacity;
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
    while (m_end < want && m_end < m_capacity) {
        const std::size_t got = m_source.Read(m_buffer.data() + m_end, m_capacity - m_end);
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
    if (const char* plainEnd = SplitPlain(begin, end)) {
        m_pos = static_cast<std::size_t>(plainEnd - m_buffer.data());
        return m_count;
    }
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
