#include "scene/Names.h"

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "scene/CTessaline.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

// Upper case of the letters that CP932 can hold outside ASCII.
char32_t UpperOfCp932Letter(char32_t c)
{
    if ((c >= 0xFF41 && c <= 0xFF5A) ||                  // full-width a..z
        (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) ||   // Greek alpha..omega
        (c >= 0x0430 && c <= 0x044F)) {                  // Cyrillic a..ya
        return c - 0x20;
    }
    if (c == 0x03C2) {
        return 0x03A3; // final sigma
    }
    if (c >= 0x0450 && c <= 0x045F) {
        return c - 0x50; // Cyrillic io and its neighbours
    }
    if (c >= 0x2170 && c <= 0x217F) {
        return c - 0x10; // small Roman numerals
    }
    return c;
}

bool DecodeSingleUtf8(const std::string& s, char32_t& out)
{
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    if (s.size() == 2 && (b(0) & 0xE0) == 0xC0) {
        out = (static_cast<char32_t>(b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        return true;
    }
    if (s.size() == 3 && (b(0) & 0xF0) == 0xE0) {
        out = (static_cast<char32_t>(b(0) & 0x0F) << 12) | (static_cast<char32_t>(b(1) & 0x3F) << 6) |
              (b(2) & 0x3F);
        return out != 0xFFFD; // the decoder's mark for an undecodable pair
    }
    return false;
}

std::string EncodeUtf8(char32_t c)
{
    std::string s;
    AppendUtf8(s, c);
    return s;
}

// For every double-byte code, the code of its comparison form: the character
// upper-cased and encoded back, which also folds the characters CP932 holds
// under two codes onto the preferred one. A pair that does not decode stands
// for itself.
class FoldTable {
public:
    FoldTable()
    {
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) {
                continue;
            }
            for (unsigned trail = 0; trail < 0x100; ++trail) {
                const std::uint16_t code = static_cast<std::uint16_t>((lead << 8) | trail);
                m_codes[code] = code;
                if (trail < 0x40 || trail == 0x7F || trail > 0xFC) {
                    continue;
                }
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char32_t c = 0;
                if (!DecodeSingleUtf8(Cp932ToUtf8(std::string_view(pair, 2)), c)) {
                    continue;
                }
                bool lossless = false;
                const std::string back = Utf8ToCp932(EncodeUtf8(UpperOfCp932Letter(c)), &lossless);
                if (lossless && back.size() == 2 && IsCp932LeadByte(static_cast<unsigned char>(back[0]))) {
                    m_codes[code] = static_cast<std::uint16_t>((static_cast<unsigned char>(back[0]) << 8) |
                                                               static_cast<unsigned char>(back[1]));
                }
            }
        }
    }

    std::uint16_t operator[](std::uint16_t code) const { return m_codes[code]; }

private:
    std::array<std::uint16_t, 0x10000> m_codes{};
};

const FoldTable& Folds()
{
    static const FoldTable table;
    return table;
}

// Reads the character at i and advances past it. Returns 0 at the end of the
// name: the end of the text, a NUL byte, or a lead byte without a trail byte.
// Single-byte characters come back below 0x100, double-byte ones as their code.
template <bool kFold>
unsigned NextUnit(std::string_view s, std::size_t& i)
{
    if (i >= s.size()) {
        return 0;
    }
    const auto c = static_cast<unsigned char>(s[i]);
    if (IsCp932LeadByte(c)) {
        if (i + 1 >= s.size() || s[i + 1] == '\0') {
            i = s.size();
            return 0;
        }
        const auto code = static_cast<std::uint16_t>((c << 8) | static_cast<unsigned char>(s[i + 1]));
        i += 2;
        return kFold ? Folds()[code] : code;
    }
    ++i;
    if (kFold && c >= 'A' && c <= 'Z') {
        return c + ('a' - 'A');
    }
    return c;
}

template <bool kFold>
bool UnitsEqual(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        const unsigned x = NextUnit<kFold>(a, i);
        const unsigned y = NextUnit<kFold>(b, j);
        if (x != y) {
            return false;
        }
        if (x == 0) {
            return true;
        }
    }
}

// One list made unique. Every rename happens because another entry still
// holds the old name, so the set of names in use only ever grows; a suffix
// once found taken stays taken, and each base may resume its search where the
// last one stopped instead of at 2.
void MakeUnique(const std::vector<std::string*>& names)
{
    std::unordered_map<std::string, int> inUse;
    inUse.reserve(names.size() * 2);
    for (const std::string* name : names) {
        ++inUse[NameFoldKey(*name)];
    }
    std::unordered_map<std::string, int> nextSuffix;
    for (std::size_t p = names.size(); p-- > 0;) {
        std::string& name = *names[p];
        auto own = inUse.find(NameFoldKey(name));
        if (own->second <= 1) {
            continue;
        }
        --own->second;
        // The suffixed name is formatted from the name as a C string.
        const std::string base = name.substr(0, name.find('\0'));
        int& k = nextSuffix.try_emplace(base, 2).first->second;
        for (;; ++k) {
            std::string candidate = base + "_" + std::to_string(k);
            std::string key = NameFoldKey(candidate);
            auto taken = inUse.find(key);
            if (taken == inUse.end() || taken->second == 0) {
                name = std::move(candidate);
                ++inUse[key];
                ++k;
                break;
            }
        }
    }
}

} // namespace

std::string NameFoldKey(std::string_view name)
{
    std::string key;
    key.reserve(name.size());
    std::size_t i = 0;
    while (const unsigned unit = NextUnit<true>(name, i)) {
        if (unit > 0xFF) {
            key.push_back(static_cast<char>(unit >> 8));
        }
        key.push_back(static_cast<char>(unit & 0xFF));
    }
    return key;
}

bool NamesEqualNoCase(std::string_view a, std::string_view b) { return UnitsEqual<true>(a, b); }

bool NamesEqualExact(std::string_view a, std::string_view b) { return UnitsEqual<false>(a, b); }

void MakeNamesUnique(CTessaline& scene)
{
    std::vector<std::string*> names;
    names.reserve(scene.m_characterNames.size());
    for (std::string& name : scene.m_characterNames) {
        names.push_back(&name);
    }
    MakeUnique(names);

    names.clear();
    for (CModel& model : scene.m_models) {
        names.push_back(&model.m_name);
    }
    MakeUnique(names);

    for (CModel& model : scene.m_models) {
        model.m_parentName = model.m_parent < 0 ? scene.GetCharacterName(~model.m_parent)
                                                : scene.GetModelName(model.m_parent);
    }

    names.clear();
    for (CMaterial& material : scene.m_materials) {
        names.push_back(&material.m_name);
    }
    MakeUnique(names);
}

} // namespace vantomo
