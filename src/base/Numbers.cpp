#include "base/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <climits>
#include <cstdint>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <vector>

namespace vantomo {

namespace {

bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod in the "C" locale, for the rare values from_chars reports out of range
// (overflow to infinity, underflow to zero), where strtod's result is defined.
double StrtodC(std::string_view text)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    std::string copy(text);
    return strtod_l(copy.c_str(), nullptr, cLocale);
}

bool IsDigit(char c) { return static_cast<unsigned>(c - '0') < 10u; }

// Plain decimals ("-12.5", "0.25e3") with at most 19 significant digits, a
// value below 2^53 and a decimal exponent of at most 22 either way: both the
// digits and the power of ten are then exact doubles, and the one rounding
// of the product or quotient is the correctly rounded result strtod gives.
// Returns false for everything else (hex, inf, nan, white space, long or
// extreme numbers), which takes the general road.
bool SimpleDecimal(const char* p, const char* end, double& out)
{
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    const char* integerStart = p;
    // Leading zeros count as digits here; a number that needs more than 19
    // digits in all simply takes the general road.
    std::uint64_t mantissa = 0;
    while (p < end && IsDigit(*p)) {
        mantissa = mantissa * 10u + static_cast<unsigned>(*p - '0');
        ++p;
    }
    std::ptrdiff_t digits = p - integerStart;
    if (digits == 1 && *integerStart == '0' && p < end && (*p == 'x' || *p == 'X')) {
        return false;
    }
    int exponent = 0;
    if (p < end && *p == '.') {
        const char* fractionStart = ++p;
        while (p < end && IsDigit(*p)) {
            mantissa = mantissa * 10u + static_cast<unsigned>(*p - '0');
            ++p;
        }
        exponent = -static_cast<int>(std::min<std::ptrdiff_t>(p - fractionStart, 1000));
        digits += p - fractionStart;
    }
    if (digits == 0 || digits > 19) {
        return false;
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool negativeExponent = false;
        if (q < end && (*q == '+' || *q == '-')) {
            negativeExponent = *q == '-';
            ++q;
        }
        if (q < end && IsDigit(*q)) { // otherwise the 'e' is not part of the number
            int value = 0;
            for (; q < end && IsDigit(*q); ++q) {
                if (value > 100000) {
                    return false;
                }
                value = value * 10 + (*q - '0');
            }
            exponent += negativeExponent ? -value : value;
        }
    }
    if (mantissa == 0) {
        out = negative ? -0.0 : 0.0;
        return true;
    }
    if (mantissa > (std::uint64_t{1} << 53) || exponent < -22 || exponent > 22) {
        return false;
    }
    double value = static_cast<double>(mantissa);
    value = exponent >= 0 ? value * kPowers[exponent] : value / kPowers[-exponent];
    out = negative ? -value : value;
    return true;
}

// Where the digits start: after leading white space and one optional sign.
std::size_t SkipSpaceAndSign(std::string_view text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return i;
}

int AtoiGeneral(std::string_view text); // below, on AtolC

} // namespace

double AtofC(std::string_view text)
{
    double simple = 0.0;
    if (SimpleDecimal(text.data(), text.data() + text.size(), simple)) {
        return simple;
    }
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first == last || *first == '+' || *first == '-') {
        return 0.0; // nothing converted: strtod gives +0 whatever the sign
    }
    double value = 0.0;
    std::from_chars_result result{};
    const bool hex = last - first >= 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X');
    if (hex) {
        const char* digits = first + 2;
        if (digits == last || *digits == '+' || *digits == '-') {
            return negative ? -0.0 : 0.0; // "0x" alone reads as the 0
        }
        result = std::from_chars(digits, last, value, std::chars_format::hex);
        if (result.ec == std::errc::invalid_argument) {
            return negative ? -0.0 : 0.0; // only the "0" before the 'x' converts
        }
    } else {
        result = std::from_chars(first, last, value, std::chars_format::general);
    }
    if (result.ec == std::errc::result_out_of_range) {
        value = StrtodC(std::string_view(first, static_cast<std::size_t>(last - first)));
    } else if (result.ec != std::errc{}) {
        return 0.0; // nothing converted
    }
    return negative ? -value : value;
}

int AtoiC(std::string_view text)
{
    // Up to nine digits cannot overflow; that covers every index and count.
    if (!text.empty() && text.size() <= 10) {
        std::size_t j = text[0] == '-' || text[0] == '+' ? 1 : 0;
        const std::size_t first = j;
        int value = 0;
        if (first >= text.size() || !IsDigit(text[first])) {
            return AtoiGeneral(text);
        }
        for (; j < text.size() && j - first < 9 && IsDigit(text[j]); ++j) {
            value = value * 10 + (text[j] - '0');
        }
        if (j == text.size() || (j - first < 9 && !IsDigit(text[j]))) {
            return text[0] == '-' ? -value : value;
        }
    }
    return AtoiGeneral(text);
}

std::string FormatFixed6(double value)
{
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc{}) {
        return "0.000000";
    }
    std::string out(buffer, result.ptr);
    // printf writes "inf"/"nan" (and "-nan"); to_chars agrees on all but the sign of nan.
    return out;
}

std::string FormatInt(long long value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

long long AtolC(std::string_view text)
{
    bool negative = false;
    std::size_t i = SkipSpaceAndSign(text, negative);
    unsigned long long value = 0;
    bool overflow = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (value > (ULLONG_MAX - digit) / 10) {
            overflow = true;
        } else {
            value = value * 10 + digit;
        }
    }
    if (negative) {
        if (overflow || value > static_cast<unsigned long long>(LLONG_MAX) + 1) {
            return LLONG_MIN;
        }
        return value == static_cast<unsigned long long>(LLONG_MAX) + 1 ? LLONG_MIN : -static_cast<long long>(value);
    }
    if (overflow || value > static_cast<unsigned long long>(LLONG_MAX)) {
        return LLONG_MAX;
    }
    return static_cast<long long>(value);
}

namespace {

// atoi by strtol's rules: long is 64 bits here, so strtol's clamped value is
// AtolC's; glibc's atoi then narrows it, keeping the modular result.
int AtoiGeneral(std::string_view text)
{
    return static_cast<int>(static_cast<unsigned int>(static_cast<unsigned long long>(AtolC(text))));
}

} // namespace

} // namespace vantomo
