// Fast reading of the numbers a Metasequoia document is mostly made of.
// Internal to the tokenizer: the functions read up to 16 bytes from the
// start of a token, which the tokenizer's buffers always hold.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vantomo {

namespace token_numbers {

// Plain numbers ("-12.5", "0.0625", "42") are read sixteen bytes at a time;
// the bytes past a token's end are masked off.
inline std::uint64_t Load8(const char* p)
{
    std::uint64_t x = 0;
    std::memcpy(&x, p, 8);
    return x;
}

constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The value of the first `count` (0..8) bytes of x, all ASCII digits.
[[gnu::always_inline]] inline std::uint64_t DigitsValue(std::uint64_t x, int count)
{
    // Digits to the top bytes (in two steps, as a shift by 64 is undefined),
    // so the bytes shifted in read as leading zeros.
    const int shift = 4 * (8 - count);
    x = ((x - 0x30 * kOnes) << shift) << shift;
    x = x * 10 + (x >> 8);
    x = (((x & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((x >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >> 32;
    return x & 0xFFFFFFFFull;
}

constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
constexpr std::uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
constexpr double kInversePowersOfTen[] = {1 / 1e0, 1 / 1e1, 1 / 1e2, 1 / 1e3, 1 / 1e4,
                                          1 / 1e5, 1 / 1e6, 1 / 1e7, 1 / 1e8};

// A token of the form [-]digits[.digits], at most 16 bytes after the sign and
// at most eight digits on each side: its digits as one integer (below 10^15,
// so an exact double) and the number of them after the point. The exact value
// is mantissa / 10^fractionDigits.
struct PlainNumber {
    std::uint64_t mantissa = 0;
    int fractionDigits = 0;
    bool negative = false;
};

[[gnu::always_inline]] inline bool ParsePlain(std::string_view token, PlainNumber& out)
{
#if defined(__SSE2__)
    const char* p = token.data();
    int length = static_cast<int>(token.size());
    out.negative = length > 0 && *p == '-';
    p += out.negative ? 1 : 0;
    length -= out.negative ? 1 : 0;
    if (length <= 0 || length > 16) {
        return false;
    }
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned range = (1u << length) - 1;
    const unsigned digits = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8('0' - 1)), _mm_cmplt_epi8(c, _mm_set1_epi8('9' + 1)))));
    const unsigned dots = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, _mm_set1_epi8('.')))) & range;
    if (((digits | dots) & range) != range || (dots & (dots - 1)) != 0) {
        return false;
    }
    const int dot = dots != 0 ? __builtin_ctz(dots) : length;
    const int fractionDigits = dots != 0 ? length - dot - 1 : 0;
    if (dot > 8 || fractionDigits > 8 || dot + fractionDigits == 0) {
        return false;
    }
    if (dot + fractionDigits <= 8) {
        // Both parts fit one word: the integer digits, then the fraction digits
        // moved up against them, read as one number.
        std::uint64_t word = Load8(p);
        if (fractionDigits > 0) { // then dot <= 7
            const std::uint64_t integer = dot == 0 ? 0 : word & (~std::uint64_t{0} >> (64 - 8 * dot));
            word = integer | (Load8(p + dot + 1) << (8 * dot));
        }
        out.mantissa = DigitsValue(word, dot + fractionDigits);
    } else {
        out.mantissa = DigitsValue(Load8(p), dot) * kIntegerPowersOfTen[fractionDigits] +
                       DigitsValue(Load8(p + dot + 1), fractionDigits);
    }
    out.fractionDigits = fractionDigits;
    return true;
#else
    (void)token;
    (void)out;
    return false;
#endif
}

// A token of the form [-]digits with one to eight digits: atoi's result.
[[gnu::always_inline]] inline bool ParsePlainInt(std::string_view token, int& out)
{
    const char* p = token.data();
    int length = static_cast<int>(token.size());
    const bool negative = length > 0 && *p == '-';
    p += negative ? 1 : 0;
    length -= negative ? 1 : 0;
    if (length <= 0 || length > 8) {
        return false;
    }
    const std::uint64_t x = Load8(p);
    // The bytes past the token read as '0'; a byte outside '0'..'9' sets a
    // top bit in one of the terms (a carry or borrow only ever starts at such
    // a byte, so it cannot hide one).
    const std::uint64_t keep = ~std::uint64_t{0} >> (64 - 8 * length);
    const std::uint64_t y = (x & keep) | (0x30 * kOnes & ~keep);
    if ((((y + 0x46 * kOnes) | (y - 0x30 * kOnes) | y) & (0x80 * kOnes)) != 0) {
        return false;
    }
    const int value = static_cast<int>(DigitsValue(x, length));
    out = negative ? -value : value;
    return true;
}

// strtod's result: both operands are exact doubles, and one division rounds
// correctly.
inline double PlainToDouble(const PlainNumber& n)
{
    double value = static_cast<double>(static_cast<std::int64_t>(n.mantissa));
    if (n.fractionDigits > 0) {
        value /= kPowersOfTen[n.fractionDigits];
    }
    return n.negative ? -value : value;
}

// (float) of strtod's result, mostly without the slow division: the product
// with the rounded reciprocal lies within a few units of the last place of
// the correctly rounded quotient, so both narrow to the same float unless the
// product sits next to the midpoint between two floats. Only then is the
// division made.
[[gnu::always_inline]] inline float PlainToFloat(const PlainNumber& n)
{
    if (n.fractionDigits == 0) {
        const double value = static_cast<double>(static_cast<std::int64_t>(n.mantissa));
        return static_cast<float>(n.negative ? -value : value);
    }
    const double product = static_cast<double>(static_cast<std::int64_t>(n.mantissa)) * kInversePowersOfTen[n.fractionDigits];
    std::uint64_t bits = 0;
    std::memcpy(&bits, &product, sizeof bits);
    const std::uint64_t dropped = bits & ((std::uint64_t{1} << 29) - 1); // the bits narrowing removes
    const std::uint64_t midpoint = std::uint64_t{1} << 28;
    const std::uint64_t distance = dropped > midpoint ? dropped - midpoint : midpoint - dropped;
    if (distance <= 64) {
        return static_cast<float>(PlainToDouble(n));
    }
    return static_cast<float>(n.negative ? -product : product);
}

} // namespace token_numbers

} // namespace vantomo
