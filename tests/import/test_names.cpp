#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scene/CTessaline.h"
#include "scene/Names.h"

namespace vantomo {

namespace {

// The three passes exactly as the rule states them, comparing every pair.
void ReferenceUnique(std::vector<std::string>& names)
{
    for (std::size_t p = names.size(); p-- > 0;) {
        const std::string base = names[p].substr(0, names[p].find('\0'));
        int k = 2;
        for (;;) {
            bool equal = false;
            for (std::size_t q = names.size(); q-- > 0;) {
                if (q != p && NamesEqualNoCase(names[p], names[q])) {
                    equal = true;
                    break;
                }
            }
            if (!equal) {
                break;
            }
            names[p] = base + "_" + std::to_string(k++);
        }
    }
}

std::vector<std::string> Unique(const std::vector<std::string>& names)
{
    CTessaline scene;
    scene.m_characterNames = names;
    MakeNamesUnique(scene);
    return scene.m_characterNames;
}

} // namespace

TEST(Names, ComparisonsWalkCharactersNotBytes)
{
    EXPECT_TRUE(NamesEqualNoCase("Body", "bODY"));
    EXPECT_FALSE(NamesEqualExact("Body", "bODY"));
    EXPECT_TRUE(NamesEqualExact("Body", "Body"));
    // 0x8A 0x41 and 0x8A 0x61 are two different kanji, not "A" and "a".
    EXPECT_FALSE(NamesEqualNoCase("\x8A\x41", "\x8A\x61"));
    // Full-width, Greek and Cyrillic letters compare without regard to case.
    EXPECT_TRUE(NamesEqualNoCase("\x82\x60", "\x82\x81"));   // Ａ ａ
    EXPECT_TRUE(NamesEqualNoCase("\x83\x9F", "\x83\xBF"));   // Α α
    EXPECT_TRUE(NamesEqualNoCase("\x84\x40", "\x84\x70"));   // А а
    EXPECT_FALSE(NamesEqualExact("\x82\x60", "\x82\x81"));
    EXPECT_FALSE(NamesEqualNoCase("\x82\x60", "A"));
    // A name ends at a NUL and at a lead byte without its trail byte.
    EXPECT_TRUE(NamesEqualNoCase(std::string_view("ab\0c", 4), "AB"));
    EXPECT_TRUE(NamesEqualExact("ab\x81", "ab"));
    EXPECT_FALSE(NamesEqualExact("ab\x81", "ab\x81\x40"));
    EXPECT_EQ(NameFoldKey("AbC"), "abc");
}

TEST(Names, LaterDuplicatesTakeSuffixes)
{
    EXPECT_EQ(Unique({"A", "A", "A"}), (std::vector<std::string>{"A", "A_3", "A_2"}));
    EXPECT_EQ(Unique({"A", "a", "A"}), (std::vector<std::string>{"A", "a_3", "A_2"}));
    EXPECT_EQ(Unique({"A_2", "A", "A"}), (std::vector<std::string>{"A_2", "A", "A_3"}));

    CTessaline scene;
    scene.m_models.resize(3);
    scene.m_models[0].m_name = "arm";
    scene.m_models[1].m_name = "ARM";
    scene.m_models[2].m_name = "hand";
    scene.m_models[2].m_parent = 1;
    scene.m_models[0].m_parent = -1;
    scene.m_materials.resize(2);
    MakeNamesUnique(scene);
    EXPECT_EQ(scene.m_models[1].m_name, "ARM_2");
    EXPECT_EQ(scene.m_models[2].m_parentName, "ARM_2");
    EXPECT_EQ(scene.m_models[0].m_parentName, "Character_0");
    EXPECT_EQ(scene.m_materials[1].m_name, "NoMaterial_2");
}

TEST(Names, TheFastPassesGiveWhatComparingEveryPairGives)
{
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {"a", "A", "b", "_2", "_3", "_", "2", "\x82\x60", "\x82\x81",
                                             "\x8A\x41", "\x8A\x61", "\x81", std::string(1, '\0'), "x_10"};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> names(1 + random() % 40);
        for (std::string& name : names) {
            const int parts = static_cast<int>(random() % 4);
            for (int i = 0; i < parts; ++i) {
                name += pieces[random() % pieces.size()];
            }
        }
        std::vector<std::string> expected = names;
        ReferenceUnique(expected);
        ASSERT_EQ(Unique(names), expected) << round;
    }
    // Many equal names stay quick.
    const std::vector<std::string> many(20000, "part");
    const std::vector<std::string> unique = Unique(many);
    EXPECT_EQ(unique[0], "part");
    EXPECT_EQ(unique[19999], "part_2");
    EXPECT_EQ(unique[1], "part_20000");
}

} // namespace vantomo
