// The line reader and splitter under the Metasequoia reader.
//
// A line splits into tokens at white space; the ten separators ( ) , : ; = [ ]
// { } are tokens by themselves; a pair of double quotes groups text with
// spaces and separators into one token (the quotes are dropped; two quotes with
// nothing between give one empty token). NUL, LF and CR end the line. In
// double-byte mode, a CP932 lead byte and the byte after it are one character
// whatever that byte is, so a trail byte equal to '[' or '{' is never a
// separator; a lead byte that ends the text is kept as it is.
//
// Tokens are views into the splitter's own buffer: they stay valid until the
// next ReadLine, Separate, SkipBytes or ReadBytes. Reading allocates nothing per line or
// per token once the buffers have grown to the longest line.
//
// Numbers convert as the C library's atof and atoi do in the "C" locale,
// whatever the process locale is.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/ByteSource.h"
#include "import/TokenNumbers.h"
#include "base/Numbers.h"

namespace vantomo {

class StringSeparator {
public:
    StringSeparator();
    virtual ~StringSeparator() = default;
    StringSeparator(const StringSeparator&) = delete;
    StringSeparator& operator=(const StringSeparator&) = delete;

    // Splits one line held in memory; the line ends at the end of `line` or
    // at its first NUL, LF or CR outside a double-byte character. Returns the
    // token count.
    int Separate(std::string_view line);

    // Token count of the last line; -1 after a read found the end.
    int GetCount() const { return m_count; }
    // The caller keeps `index` below the count.
    std::string_view GetToken(int index) const { return m_tokens[static_cast<std::size_t>(index)]; }

    // False for an index outside 0 .. count-1; else whether the token equals
    // `text` without regard to the case of ASCII letters.
    bool Equals(int index, std::string_view text) const;
    // atof of the token; 0.0 for an index outside 0 .. count-1.
    double GetDouble(int index) const;
    // GetDouble narrowed to float.
    float GetFloat(int index) const;
    // atoi of the token; 0 for an index outside 0 .. count-1.
    int GetInt(int index) const;
    // GetFloat and GetInt of `count` tokens from `first` on, into `out`.
    void GetFloats(int first, int count, float* out) const;
    void GetInts(int first, int count, int* out) const;

    // Double-byte mode (the default) pairs CP932 lead bytes with the next
    // byte; off, every byte stands alone (for UTF-8 text).
    void SetDoubleByte(bool on);
    bool IsDoubleByte() const { return m_doubleByte; }

protected:
    // Splits [begin, end). With `untilLineFeed`, a line feed taken as a trail
    // byte also ends the split, as it ends a line read with fgets. Returns
    // where splitting stopped: just past the line feed that ended it, at the
    // NUL or CR that ended it, or at `end`.
    const char* Split(const char* begin, const char* end, bool untilLineFeed);

    // The same split for the common line of plain tokens: no quote, no NUL,
    // no byte above 0x7F in double-byte mode, no CR except right before the
    // LF that ends the line within `end` and the first 512 bytes. Returns
    // null, having changed nothing, for any other line; else where the line
    // ends (past its LF). Reads up to 63 bytes beyond `end`, which the buffer
    // must hold (their values do not matter).
    const char* SplitPlain(const char* begin, const char* end);

    // Bytes a buffer must hold beyond its data for SplitPlain.
    static constexpr std::size_t kReadPadding = 64;

    int m_count = 0;

private:
    void Emit(const char* first, const char* last);

    std::vector<std::string_view> m_tokens;
    std::vector<char> m_line; // copy of the text given to Separate, with spare bytes after it
    std::array<std::uint8_t, 256> m_classes{};
    bool m_doubleByte = true;
    bool m_nulInToken = false;
};

// The accessors are called for every token of a document, so they are inline.

inline bool StringSeparator::Equals(int index, std::string_view text) const
{
    if (index < 0 || index >= m_count) {
        return false;
    }
    const std::string_view token = m_tokens[static_cast<std::size_t>(index)];
    if (token.size() != text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char a = token[i];
        const char b = text[i];
        if (a != b && ((a | 0x20) != (b | 0x20) || (b | 0x20) < 'a' || (b | 0x20) > 'z')) {
            return false;
        }
    }
    return true;
}

inline double StringSeparator::GetDouble(int index) const
{
    if (index < 0 || index >= m_count) {
        return 0.0;
    }
    const std::string_view token = m_tokens[static_cast<std::size_t>(index)];
    token_numbers::PlainNumber number;
    if (token_numbers::ParsePlain(token, number)) {
        return token_numbers::PlainToDouble(number);
    }
    return AtofC(token);
}

[[gnu::always_inline]] inline float StringSeparator::GetFloat(int index) const
{
    if (index < 0 || index >= m_count) {
        return 0.0f;
    }
    const std::string_view token = m_tokens[static_cast<std::size_t>(index)];
    token_numbers::PlainNumber number;
    if (token_numbers::ParsePlain(token, number)) {
        return token_numbers::PlainToFloat(number);
    }
    return static_cast<float>(AtofC(token));
}

[[gnu::always_inline]] inline int StringSeparator::GetInt(int index) const
{
    if (index < 0 || index >= m_count) {
        return 0;
    }
    const std::string_view token = m_tokens[static_cast<std::size_t>(index)];
    int value = 0;
    if (token_numbers::ParsePlainInt(token, value)) {
        return value;
    }
    return AtoiC(token);
}

inline void StringSeparator::GetFloats(int first, int count, float* out) const
{
    for (int i = 0; i < count; ++i) {
        out[i] = GetFloat(first + i);
    }
}

inline void StringSeparator::GetInts(int first, int count, int* out) const
{
    for (int i = 0; i < count; ++i) {
        out[i] = GetInt(first + i);
    }
}

// Reads lines from a byte source, not owned. Its ReadLine reads byte by byte:
// CR, LF and CR LF each end one line, a line has no length limit, and a lead
// byte takes the next byte as its trail even when that is CR or LF.
class FileStringSeparator : public StringSeparator {
public:
    explicit FileStringSeparator(ByteSource& source);

    // Reads and splits the next line. Returns its token count (0 for a blank
    // line) or -1 when no byte at all was left.
    virtual int ReadLine();

    // Moves `count` bytes forward from the end of the last line read.
    void SkipBytes(std::uint64_t count);

    // Copies the `count` bytes after the end of the last line read into
    // `out` and moves past them. Returns how many there were: fewer than
    // `count` only when the source ended first.
    std::size_t ReadBytes(char* out, std::size_t count);

    // Bytes left after the last line read, when the source knows.
    std::optional<std::uint64_t> Remaining() const;

protected:
    // Makes at least `want` bytes available after m_pos unless the source
    // ends first. Moves the unread bytes to the front of the buffer.
    void Fill(std::size_t want);

    ByteSource& m_source;
    std::vector<char> m_buffer; // m_capacity bytes of data, then kReadPadding spare bytes
    std::size_t m_capacity = 0;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;

private:
    std::string m_pending; // the line being gathered
};

// Reads lines as the C library's fgets with a limit of 8191 does: a line ends
// after its LF, and a longer line arrives in pieces of 8190 bytes, each split
// as a line of its own. A CR ends the split but not the line.
class AsciiFileString final : public FileStringSeparator {
public:
    static constexpr std::size_t kLineLimit = 8190;

    explicit AsciiFileString(ByteSource& source) : FileStringSeparator(source) {}
    int ReadLine() override;
};

} // namespace vantomo
