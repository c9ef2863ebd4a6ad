// Number conversion that never follows the process locale.
//
// The desktop program's toolkit sets the locale from the environment, after
// which the C library would read and write decimal commas. Every number that
// meets a file or a text field goes through these instead; they give exactly
// what the C library gives in the "C" locale.
#pragma once

#include <string>
#include <string_view>

namespace vantomo {

// atof: the longest prefix strtod accepts in the "C" locale (leading white
// space, sign, decimal or hexadecimal digits, exponent, inf, nan); 0 when none.
double AtofC(std::string_view text);

// strtoll(text, 0, 10) in the "C" locale: leading white space, a sign,
// decimal digits up to the first other byte; beyond 64 bits it saturates.
long long AtolC(std::string_view text);

// atoi: strtol(text, 0, 10) in the "C" locale, narrowed to int as glibc does.
int AtoiC(std::string_view text);

// printf("%f"): fixed notation with six decimals, '.' as the separator.
std::string FormatFixed6(double value);

// printf("%d").
std::string FormatInt(long long value);

} // namespace vantomo
