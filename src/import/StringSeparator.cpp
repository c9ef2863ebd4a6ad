#include "import/StringSeparator.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/Cp932.h"

namespace vantomo {

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
    std::uint32_t nonOrdinary = 0; // TAB, space, CR, LF and the separators
    std::uint32_t separator = 0;
    std::uint32_t lineFeed = 0;
    std::uint32_t carriageReturn = 0;
    std::uint32_t other = 0; // quote, NUL, and bytes above 0x7F when they may be lead bytes
};

// Classifies 32 bytes; bit i stands for byte i.
inline BlockMasks Classify32(const char* p, bool doubleByte)
{
    const auto splat = [](char c) { return _mm_set1_epi8(c); };
    BlockMasks masks;
    for (int half = 0; half < 2; ++half) {
        const auto bits = [half](__m128i v) {
            return static_cast<std::uint32_t>(_mm_movemask_epi8(v)) << (16 * half);
        };
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * half));
        const __m128i low = _mm_and_si128(c, splat(static_cast<char>(0xFE)));  // ( ) and : ;
        const __m128i fold = _mm_and_si128(c, splat(static_cast<char>(0xDF))); // [ { and ] }
        const __m128i lf = _mm_cmpeq_epi8(c, splat('\n'));
        const __m128i cr = _mm_cmpeq_epi8(c, splat('\r'));
        const __m128i separator = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(low, splat('(')), _mm_cmpeq_epi8(low, splat(':'))),
                         _mm_or_si128(_mm_cmpeq_epi8(fold, splat('[')), _mm_cmpeq_epi8(fold, splat(']')))),
            _mm_or_si128(_mm_cmpeq_epi8(c, splat(',')), _mm_cmpeq_epi8(c, splat('='))));
        const __m128i nonOrdinary = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(c, splat(' ')), _mm_cmpeq_epi8(c, splat('\t'))),
            _mm_or_si128(_mm_or_si128(lf, cr), separator));
        __m128i other = _mm_or_si128(_mm_cmpeq_epi8(c, splat('"')), _mm_cmpeq_epi8(c, _mm_setzero_si128()));
        if (doubleByte) {
            other = _mm_or_si128(other, c); // the top bit of every byte
        }
        masks.nonOrdinary |= bits(nonOrdinary);
        masks.separator |= bits(separator);
        masks.lineFeed |= bits(lf);
        masks.carriageReturn |= bits(cr);
        masks.other |= bits(other);
    }
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
    bool returnPending = false; // a CR ended the last 32 bytes; the LF must come next
    int words = 0;
    for (std::size_t at = 0; at < length; at += 32) {
        const BlockMasks m = Classify32(begin + at, m_doubleByte);
        const std::size_t left = length - at;
        std::uint32_t valid = left >= 32 ? ~std::uint32_t{0} : (std::uint32_t{1} << left) - 1;
        const std::uint32_t lineFeed = m.lineFeed & valid;
        if (lineFeed != 0) {
            const int first = __builtin_ctz(lineFeed);
            valid = first == 31 ? ~std::uint32_t{0} : (std::uint32_t{2} << first) - 1;
            lineLength = at + static_cast<std::size_t>(first) + 1;
        }
        if (returnPending && (lineFeed & 1u) == 0) {
            return nullptr;
        }
        // The one CR allowed stands right before the LF that ends the line.
        std::uint32_t strayReturns = m.carriageReturn & valid & ~(lineFeed >> 1);
        returnPending = lineFeed == 0 && (strayReturns & 0x80000000u) != 0;
        if (returnPending) {
            strayReturns &= 0x7FFFFFFFu;
        }
        if (((m.other & valid) | strayReturns) != 0) {
            return nullptr;
        }
        const std::size_t w = at / 64;
        const int shift = static_cast<int>(at % 64);
        const std::uint64_t o = static_cast<std::uint64_t>(~m.nonOrdinary & valid) << shift;
        const std::uint64_t sep = static_cast<std::uint64_t>(m.separator & valid) << shift;
        ordinary[w] = shift == 0 ? o : ordinary[w] | o;
        separators[w] = shift == 0 ? sep : separators[w] | sep;
        if (lineFeed != 0) {
            words = static_cast<int>(w) + 1;
            break;
        }
    }
    if (lineLength == 0) {
        return nullptr;
    }

    const std::size_t room = lineLength + 1;
    if (m_tokens.size() < room) {
        m_tokens.resize(room);
    }
    // A token starts at an ordinary byte after a non-ordinary one and ends at
    // an ordinary byte before a non-ordinary one; a separator is both. Starts
    // and ends alternate, so each start pairs with the next end.
    int count = 0;
    int pending = -1; // start of a token that continues into a later word
    for (int w = 0; w < words; ++w) {
        const std::uint64_t o = ordinary[w];
        const std::uint64_t before = (o << 1) | (w > 0 ? ordinary[w - 1] >> 63 : 0);
        const std::uint64_t after = (o >> 1) | (w + 1 < words ? ordinary[w + 1] << 63 : 0);
        std::uint64_t first = (o & ~before) | separators[w];
        std::uint64_t last = (o & ~after) | separators[w];
        const int base = w * 64;
        if (pending >= 0) {
            if (last == 0) {
                continue; // the token runs through this whole word
            }
            const int end = base + __builtin_ctzll(last) + 1;
            m_tokens[static_cast<std::size_t>(count++)] =
                std::string_view(begin + pending, static_cast<std::size_t>(end - pending));
            last &= last - 1;
            pending = -1;
        }
        while (first != 0) {
            const int start = base + __builtin_ctzll(first);
            first &= first - 1;
            if (last == 0) {
                pending = start;
                break;
            }
            const int end = base + __builtin_ctzll(last) + 1;
            last &= last - 1;
            m_tokens[static_cast<std::size_t>(count++)] =
                std::string_view(begin + start, static_cast<std::size_t>(end - start));
        }
    }
    m_count = count;
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

std::size_t FileStringSeparator::ReadBytes(char* out, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        if (m_pos == m_end) {
            Fill(1);
            if (m_pos == m_end) {
                break;
            }
        }
        const std::size_t take = std::min(count - done, m_end - m_pos);
        std::memcpy(out + done, m_buffer.data() + m_pos, take);
        m_pos += take;
        done += take;
    }
    return done;
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

} // namespace vantomo
