#include <clocale>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/StringSeparator.h"

namespace vantomo {

namespace {

std::vector<std::string> Split(std::string_view line)
{
    StringSeparator separator;
    const int n = separator.Separate(line);
    std::vector<std::string> tokens;
    for (int i = 0; i < n; ++i) {
        tokens.emplace_back(separator.GetToken(i));
    }
    return tokens;
}

// Every line AsciiFileString delivers, as token lists.
std::vector<std::vector<std::string>> ReadAll(std::string_view text, bool doubleByte = true)
{
    MemoryByteSource source(text);
    AsciiFileString reader(source);
    reader.SetDoubleByte(doubleByte);
    std::vector<std::vector<std::string>> lines;
    int n = 0;
    while ((n = reader.ReadLine()) >= 0) {
        auto& line = lines.emplace_back();
        for (int i = 0; i < n; ++i) {
            line.emplace_back(reader.GetToken(i));
        }
    }
    EXPECT_EQ(reader.ReadLine(), -1); // the end stays the end
    return lines;
}

using Tokens = std::vector<std::string>;

} // namespace

TEST(Tokenizer, SplitsAsTheFormatNeeds)
{
    EXPECT_EQ(Split("Object \"obj 1\" {"), (Tokens{"Object", "obj 1", "{"}));
    EXPECT_EQ(Split("3 V(0 1 2) M(0)"), (Tokens{"3", "V", "(", "0", "1", "2", ")", "M", "(", "0", ")"}));
    EXPECT_EQ(Split("tex(\"tex 1.bmp\")"), (Tokens{"tex", "(", "tex 1.bmp", ")"}));
    EXPECT_EQ(Split("\"\""), (Tokens{""}));
    EXPECT_EQ(Split("a\"b c\"d"), (Tokens{"a", "b c", "d"}));
    EXPECT_EQ(Split("(1,2)"), (Tokens{"(", "1", ",", "2", ")"}));
    EXPECT_EQ(Split("a=b:c;d[e]"), (Tokens{"a", "=", "b", ":", "c", ";", "d", "[", "e", "]"}));
    EXPECT_EQ(Split("\"a{b} c\""), (Tokens{"a{b} c"}));
    EXPECT_EQ(Split("x \"unclosed rest"), (Tokens{"x", "unclosed rest"}));
    EXPECT_EQ(Split("x \""), (Tokens{"x"}));
    EXPECT_EQ(Split("  \t "), Tokens{});
    EXPECT_EQ(Split("a\rb c"), (Tokens{"a"}));       // CR ends the line
    EXPECT_EQ(Split(std::string_view("a\0b", 3)), (Tokens{"a"})); // so does NUL
    EXPECT_EQ(Split("a\x01\x7f\xa0z"), (Tokens{"a\x01\x7f\xa0z"})); // ordinary bytes
}

TEST(Tokenizer, DoubleByteCharactersAreNeverSplit)
{
    // Trail bytes equal to [ ] { } \ and " inside and outside quotes.
    for (const char trail : {'\x5B', '\x5D', '\x7B', '\x7D', '\x5C', '\x22', ' ', '\t'}) {
        const std::string ch = std::string("\x81") + trail;
        EXPECT_EQ(Split("Object " + ch + "x {"), (Tokens{"Object", ch + "x", "{"})) << int(trail);
        EXPECT_EQ(Split("\"" + ch + "\" {"), (Tokens{ch, "{"})) << int(trail);
    }
    // A lead byte at the end of the text keeps to itself and reads nothing beyond.
    const std::string lead = "ab\x81";
    EXPECT_EQ(Split(std::string_view(lead.data(), 3)), (Tokens{"ab\x81"}));
    // Without double-byte pairing the same bytes split at the separator.
    StringSeparator utf8;
    utf8.SetDoubleByte(false);
    ASSERT_EQ(utf8.Separate("\"\xE3\x81\x81\" x"), 2); // "ぁ" in UTF-8, then x
    EXPECT_EQ(utf8.GetToken(0), "\xE3\x81\x81");
    EXPECT_EQ(Split("\"\xE3\x81\x81\" x"), (Tokens{"\xE3\x81\x81\" x"})); // paired: the quote is swallowed
}

TEST(Tokenizer, LinesAsFgetsDeliversThem)
{
    const auto lines = ReadAll("Metasequoia Document\r\n\r\n   \t\nlast \"line\"");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (Tokens{"Metasequoia", "Document"}));
    EXPECT_TRUE(lines[1].empty());
    EXPECT_TRUE(lines[2].empty());
    EXPECT_EQ(lines[3], (Tokens{"last", "line"}));
    EXPECT_TRUE(ReadAll("").empty());

    // A long line arrives in pieces of 8190 bytes.
    std::string longLine(9000, 'a');
    longLine[100] = ' ';
    const auto pieces = ReadAll(longLine + "\nnext\n");
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].size(), 2u);
    EXPECT_EQ(pieces[0][1].size(), 8190u - 101u);
    EXPECT_EQ(pieces[1], (Tokens{std::string(9000 - 8190, 'a')}));
    EXPECT_EQ(pieces[2], (Tokens{"next"}));

    // Bytes after a CR stay on the line fgets read; the line ends at its LF.
    EXPECT_EQ(ReadAll("a\rb\nc\n"), (std::vector<Tokens>{{"a"}, {"c"}}));
    // A lead byte whose trail is the LF: the LF still ends the line.
    EXPECT_EQ(ReadAll("x\x81\ny\n"), (std::vector<Tokens>{{"x\x81\n"}, {"y"}}));
    // A NUL taken as a trail byte ends the token's text.
    EXPECT_EQ(ReadAll(std::string_view("ab\x81\0cd e\n", 9)), (std::vector<Tokens>{{"ab\x81", "e"}}));
}

TEST(Tokenizer, ByteByByteReaderEndsLinesAtCrLfOrBoth)
{
    const std::string text = "a b\rc\r\nd\ne\x81\nf\r";
    MemoryByteSource source(text);
    FileStringSeparator reader(source);
    std::vector<Tokens> lines;
    int n = 0;
    while ((n = reader.ReadLine()) >= 0) {
        auto& line = lines.emplace_back();
        for (int i = 0; i < n; ++i) {
            line.emplace_back(reader.GetToken(i));
        }
    }
    // The LF after a lead byte is its trail byte, not a line end.
    EXPECT_EQ(lines, (std::vector<Tokens>{{"a", "b"}, {"c"}, {"d"}, {"e\x81\nf"}}));
    EXPECT_EQ(reader.ReadLine(), -1);

    std::string longLine(20000, 'z');
    MemoryByteSource longSource(longLine);
    FileStringSeparator longReader(longSource);
    ASSERT_EQ(longReader.ReadLine(), 1);
    EXPECT_EQ(longReader.GetToken(0).size(), 20000u);
}

TEST(Tokenizer, AccessorsOutsideTheLineAnswerNothing)
{
    StringSeparator s;
    ASSERT_EQ(s.Separate("Material 12 3.5"), 3);
    EXPECT_TRUE(s.Equals(0, "material"));
    EXPECT_TRUE(s.Equals(0, "MATERIAL"));
    EXPECT_FALSE(s.Equals(0, "Materia"));
    EXPECT_FALSE(s.Equals(5, "Material"));
    EXPECT_FALSE(s.Equals(-1, "Material"));
    EXPECT_EQ(s.GetInt(5), 0);
    EXPECT_EQ(s.GetInt(-1), 0);
    EXPECT_EQ(s.GetDouble(5), 0.0);
    EXPECT_EQ(s.GetFloat(3), 0.0f);
    EXPECT_EQ(s.GetInt(1), 12);
    EXPECT_EQ(s.GetDouble(2), 3.5);
    EXPECT_EQ(s.GetInt(0), 0);
    EXPECT_EQ(s.GetInt(2), 3);
}

namespace {

// A random token that looks like a number more often than not.
std::string RandomNumberText(std::mt19937& random)
{
    static const char* const kFixed[] = {"", "-", ".", "-.", "0", "-0", "0.", ".5", "5.", "1.5abc", "1e5",
                                         "1E-3", "1e", "1e+", "0x1p3", "0x10", "inf", "-nan", "1,5",
                                         "00000000000000000000012.5", "123456789.5", "12345678.12345678",
                                         "9007199254740993", "0.000000001", "99999999.99999999", "+1",
                                         "--1", "1..2", "1.2.3", "-12345678", "123456789", "2147483648",
                                         "-2147483649", "1 2", " 7"};
    std::uniform_int_distribution<int> kind(0, 9);
    const int k = kind(random);
    if (k == 0) {
        return kFixed[std::uniform_int_distribution<std::size_t>(0, std::size(kFixed) - 1)(random)];
    }
    std::string text;
    if (random() % 3 == 0) {
        text += '-';
    }
    const int integerDigits = static_cast<int>(random() % 10);
    const int fractionDigits = static_cast<int>(random() % 10);
    for (int i = 0; i < integerDigits; ++i) {
        text += static_cast<char>('0' + random() % 10);
    }
    if (random() % 4 != 0) {
        text += '.';
        for (int i = 0; i < fractionDigits; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
    }
    if (random() % 20 == 0) {
        text += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
    }
    return text;
}

} // namespace

TEST(Tokenizer, NumbersConvertExactlyAsTheCLibraryDoes)
{
    std::mt19937 random(7);
    StringSeparator s;
    for (int round = 0; round < 200000; ++round) {
        const std::string text = RandomNumberText(random);
        // Quoted, so that every text is one token whatever it holds.
        if (s.Separate("\"" + text + "\"") != 1) {
            ADD_FAILURE() << text;
            continue;
        }
        const double expected = std::strtod(text.c_str(), nullptr);
        const double actual = s.GetDouble(0);
        const float actualFloat = s.GetFloat(0);
        if (std::isnan(expected)) {
            EXPECT_TRUE(std::isnan(actual)) << text;
            continue;
        }
        ASSERT_EQ(actual, expected) << text;
        ASSERT_EQ(std::signbit(actual), std::signbit(expected)) << text;
        ASSERT_EQ(actualFloat, static_cast<float>(expected)) << text;
        ASSERT_EQ(s.GetInt(0), std::atoi(text.c_str())) << text;
    }
}

TEST(Tokenizer, FloatsNarrowTheDoubleResultEvenNearFloatMidpoints)
{
    // Decimals whose double lies right next to the midpoint between two floats.
    StringSeparator s;
    std::mt19937 random(11);
    int checked = 0;
    for (int round = 0; round < 200000; ++round) {
        const float f = std::uniform_real_distribution<float>(0.0f, 1000.0f)(random);
        const double mid = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, 2000.0f))) / 2;
        char text[64];
        std::snprintf(text, sizeof text, "%.8f", mid);
        if (s.Separate(text) != 1) {
            continue;
        }
        ++checked;
        ASSERT_EQ(s.GetFloat(0), static_cast<float>(std::strtod(text, nullptr))) << text;
    }
    EXPECT_GT(checked, 100000);
}

TEST(Tokenizer, PlainLinesSplitAsTheGeneralRuleDoes)
{
    // The reader's fast road for plain lines must agree with the byte-by-byte rule.
    // Tokens longer than the 64-byte words the fast road works in.
    for (const std::size_t length : {63u, 64u, 65u, 127u, 128u, 129u, 200u, 300u, 511u}) {
        for (std::size_t offset = 0; offset < 3; ++offset) {
            const std::string token(length, '7');
            const std::string line = std::string(offset, ' ') + token + " (x)\r\n";
            const auto lines = ReadAll(line);
            ASSERT_EQ(lines.size(), 1u);
            ASSERT_EQ(lines[0], (Tokens{token, "(", "x", ")"})) << length << " " << offset;
        }
    }
    std::mt19937 random(3);
    const std::string alphabet = "0123456789.-abcVMUV ()\t{}[],:;= \r\x81\x5B\"\xA0";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int lines = 1 + static_cast<int>(random() % 4);
        for (int l = 0; l < lines; ++l) {
            const int length = static_cast<int>(random() % (round % 10 == 0 ? 700 : 120));
            for (int i = 0; i < length; ++i) {
                // Mostly plain bytes, now and then a byte that needs the general road.
                const std::size_t limit = random() % 8 == 0 ? alphabet.size() : alphabet.size() - 6;
                text += alphabet[random() % limit];
            }
            text += random() % 2 ? "\r\n" : "\n";
        }
        MemoryByteSource source(text);
        AsciiFileString reader(source);
        std::size_t at = 0;
        for (int l = 0; l < lines; ++l) {
            const std::size_t lineEnd = text.find('\n', at);
            StringSeparator reference;
            const int expected = reference.Separate(std::string_view(text).substr(at, lineEnd - at + 1));
            ASSERT_EQ(reader.ReadLine(), expected) << round;
            for (int i = 0; i < expected; ++i) {
                ASSERT_EQ(reader.GetToken(i), reference.GetToken(i)) << round;
            }
            at = lineEnd + 1;
        }
        ASSERT_EQ(reader.ReadLine(), -1);
    }
}

TEST(Tokenizer, NumbersDoNotFollowTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    }
    StringSeparator s;
    ASSERT_EQ(s.Separate("facet 59.5 1e-3 12345678901234567890.5"), 4);
    EXPECT_EQ(s.GetFloat(1), 59.5f);
    EXPECT_EQ(s.GetDouble(2), 0.001);
    EXPECT_EQ(s.GetDouble(3), 12345678901234567890.5);
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace vantomo
