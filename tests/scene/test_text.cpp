#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "base/Cp932.h"
#include "base/Numbers.h"

namespace vantomo {

TEST(Cp932, ConvertsJapaneseBothWays)
{
    const std::string cp932 = "\x8E\x4F\x8A\x70\x8C\x60"; // 三角形
    EXPECT_EQ(Cp932ToUtf8(cp932), "三角形");
    bool lossless = false;
    EXPECT_EQ(Utf8ToCp932("三角形", &lossless), cp932);
    EXPECT_TRUE(lossless);
    // Half-width katakana and a trail byte equal to a backslash.
    EXPECT_EQ(Cp932ToUtf8("\xB1\x95\x5C"), "ｱ\xE8\xA1\xA8"); // ｱ表
}

TEST(Cp932, UndecodableBytesAndMissingCharactersAreReplaced)
{
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");       // lead byte at the end
    EXPECT_EQ(Cp932ToUtf8("\xA0x"), "\xEF\xBF\xBDx");       // not a CP932 byte
    bool lossless = true;
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80z", &lossless), "a?z"); // emoji: not in CP932
    EXPECT_FALSE(lossless);
    EXPECT_EQ(Utf8ToCp932("a\xC3z"), "a?z"); // broken UTF-8
}

namespace {

// The C library's own answers in the "C" locale are the reference.
void ExpectAtofMatchesStrtod(const char* text)
{
    const double expected = std::strtod(text, nullptr);
    const double actual = AtofC(text);
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << text;
        EXPECT_EQ(std::signbit(expected), std::signbit(actual)) << text;
    } else {
        EXPECT_EQ(actual, expected) << text;
        EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
    }
}

const char* const kNumberTexts[] = {
    "0", "1", "-1", "+2.5", "  \t3.25", ".5", "-.5", "5.", "1.5abc", "1e3", "1E-3", "1e", "1e+",
    "1e+x", "-0", "0x10", "0X1p3", "-0x1.8p1", "0x", "0xg", "-0xg", "-0x", "-abc", "- 1", "0x.8", "inf", "-Infinity", "infinit",
    "nan", "NaN(123)", "-nan", "abc", "", "+", "-", "+-1", "1e400", "-1e400", "1e-400", "4.9e-324",
    "2.2250738585072011e-308", "123456789012345678901234567890", "0.1", "3.4028235e38",
    "1,5", "12.5", "0.000000001", "99999999999", "-2147483649", "2147483648", "  -12abc", "0012",
};

} // namespace

TEST(Numbers, AtofAgreesWithTheCLibraryInTheCLocale)
{
    for (const char* text : kNumberTexts) {
        ExpectAtofMatchesStrtod(text);
    }
}

TEST(Numbers, AtoiAgreesWithTheCLibrary)
{
    for (const char* text : kNumberTexts) {
        EXPECT_EQ(AtoiC(text), std::atoi(text)) << text;
    }
    EXPECT_EQ(AtoiC("-9223372036854775809"), std::atoi("-9223372036854775809"));
    EXPECT_EQ(AtoiC("9223372036854775808"), std::atoi("9223372036854775808"));
}

TEST(Numbers, FormatLikePrintfF)
{
    EXPECT_EQ(FormatFixed6(1.0), "1.000000");
    EXPECT_EQ(FormatFixed6(-0.5), "-0.500000");
    EXPECT_EQ(FormatFixed6(static_cast<float>(0.1f)), "0.100000");
    EXPECT_EQ(FormatFixed6(1500.123456789), "1500.123457");
    EXPECT_EQ(FormatInt(-42), "-42");
}

TEST(Numbers, DoNotFollowACommaDecimalLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    }
    EXPECT_EQ(std::atof("1.5"), 1.0); // the C library now stops at the '.'
    EXPECT_EQ(AtofC("1.5"), 1.5);
    EXPECT_EQ(AtofC("1,5"), 1.0);
    EXPECT_EQ(FormatFixed6(2.25), "2.250000");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace vantomo
