// Conversions between the scene's CP932 bytes and UTF-8 for display and JSON.
// Scene data stays CP932 in the core; only its edges convert.
#pragma once

#include <string>
#include <string_view>

namespace vantomo {

// CP932 to UTF-8; bytes CP932 cannot decode become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);

// Appends the UTF-8 form of code point `c` (1 to 4 bytes) to `out`.
void AppendUtf8(std::string& out, char32_t c);

// UTF-8 to CP932; a character CP932 cannot hold (or a malformed UTF-8 sequence)
// becomes '?'. When `lossless` is given it tells whether nothing was replaced.
std::string Utf8ToCp932(std::string_view utf8, bool* lossless = nullptr);

// True when the byte starts a CP932 double-byte character.
constexpr bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace vantomo
