#include "export/XamlNames.h"

#include <unordered_map>
#include <unordered_set>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "base/PathHelpers.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

bool KeptInIdentifier(UChar32 c)
{
    if (c == '_') {
        return true;
    }
    switch (u_charType(c)) {
    case U_UPPERCASE_LETTER:
    case U_LOWERCASE_LETTER:
    case U_TITLECASE_LETTER:
    case U_MODIFIER_LETTER:
    case U_OTHER_LETTER:
    case U_LETTER_NUMBER:
    case U_NON_SPACING_MARK:
    case U_COMBINING_SPACING_MARK:
    case U_DECIMAL_DIGIT_NUMBER:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string ToXamlIdentifier(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const std::uint8_t*>(utf8.data());
    const auto length = static_cast<std::int32_t>(utf8.size());
    std::int32_t i = 0;
    while (i < length) {
        const std::int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c >= 0 && KeptInIdentifier(c)) {
            out.append(utf8.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        } else {
            out.push_back('_');
        }
    }
    return out;
}

std::vector<std::string> XamlNameParts(const std::vector<std::string>& cp932Names)
{
    std::vector<std::string> parts;
    parts.reserve(cp932Names.size());
    std::unordered_set<std::string> taken;
    // Where the suffix search of a base stopped, so many equal names stay linear.
    std::unordered_map<std::string, int> nextSuffix;
    for (const std::string& name : cp932Names) {
        std::string part = ToXamlIdentifier(Cp932ToUtf8(name));
        if (taken.count(part) != 0) {
            int& suffix = nextSuffix.try_emplace(part, 2).first->second;
            std::string candidate;
            do {
                candidate = part + "_" + std::to_string(suffix++);
            } while (taken.count(candidate) != 0);
            part = std::move(candidate);
        }
        taken.insert(part);
        parts.push_back(std::move(part));
    }
    return parts;
}

std::string XamlTitlePart(std::string_view path)
{
    const std::string title = GetPathBaseName(path).value_or(std::string());
    if (title.empty()) {
        return "Scene";
    }
    return ToXamlIdentifier(title);
}

std::string XmlEscapeAttribute(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string PercentEncodeFileName(std::string_view name)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '#' || c == '%') {
            out.push_back('%');
            out.push_back(kHex[u >> 4]);
            out.push_back(kHex[u & 15]);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace vantomo
