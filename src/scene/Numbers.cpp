#include "scene/Numbers.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <vector>

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

} // namespace

double AtofC(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
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
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as strtol does for a 64-bit long, clamping at its limits.
    unsigned long long magnitude = 0;
    bool overflow = false;
    const unsigned long long limit =
        negative ? static_cast<unsigned long long>(LONG_MAX) + 1ull : static_cast<unsigned long long>(LONG_MAX);
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const unsigned digit = static_cast<unsigned>(text[i] - '0');
        if (overflow || magnitude > (limit - digit) / 10ull) {
            overflow = true;
            continue;
        }
        magnitude = magnitude * 10ull + digit;
    }
    long value = 0;
    if (overflow) {
        value = negative ? LONG_MIN : LONG_MAX;
    } else if (negative) {
        value = magnitude == static_cast<unsigned long long>(LONG_MAX) + 1ull
                    ? LONG_MIN
                    : -static_cast<long>(magnitude);
    } else {
        value = static_cast<long>(magnitude);
    }
    // glibc's atoi narrows the long; keep its modular result.
    return static_cast<int>(static_cast<unsigned int>(static_cast<unsigned long>(value)));
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
