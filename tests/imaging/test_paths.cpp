#include <gtest/gtest.h>

#include "base/PathHelpers.h"

namespace vantomo {

TEST(Paths, SplitWithEitherSeparator)
{
    EXPECT_EQ(GetPathFolder("dir/sub/file.bmp"), "dir/sub/");
    EXPECT_EQ(GetPathFolder("C:\\models\\a.mqo"), "C:\\models\\");
    EXPECT_EQ(GetPathFolder("dir//file"), "dir/") << "a doubled separator is not doubled again";
    EXPECT_EQ(GetPathFolder("/file"), "/");
    EXPECT_EQ(GetPathFolder("file.bmp"), std::nullopt);

    EXPECT_EQ(GetPathFileName("a\\b/c.tga"), "c.tga");
    EXPECT_EQ(GetPathFileName("plain"), "plain");
    EXPECT_EQ(GetPathFileName("dir/"), std::nullopt);

    EXPECT_EQ(GetPathExtension("dir.v2/file"), "") << "a dot in a folder name is no extension";
    EXPECT_EQ(GetPathExtension("a.tar.gz"), "gz");
    EXPECT_EQ(GetPathExtension("a."), "");
    EXPECT_EQ(ChangePathExtension("tex/wood.bmp", ".png"), "tex/wood.png");
    EXPECT_EQ(ChangePathExtension("dir.v2/wood", ".png"), "dir.v2/wood.png");
    EXPECT_EQ(GetPathBaseName("x/wood.old.bmp"), "wood.old");
    EXPECT_EQ(GetPathBaseName("x/.bmp"), std::nullopt);
    EXPECT_EQ(ToSlashSeparators("a\\b\\c.bmp"), "a/b/c.bmp");

    const std::string longPath = std::string(5000, 'd') + "/" + std::string(3000, 'f') + ".jpeg";
    EXPECT_EQ(GetPathExtension(longPath), "jpeg");
    EXPECT_EQ(GetPathFolder(longPath)->size(), 5001u);
}

TEST(Paths, DocumentNamesAreSplitAsCp932AndTypedPathsAsUtf8)
{
    constexpr PathText cp932 = PathText::Cp932;
    // "表" is 0x95 0x5C in CP932: its second byte is a backslash.
    const std::string table = "\x95\x5C";
    EXPECT_EQ(GetPathFolder("tex\\" + table + ".bmp", cp932), "tex\\");
    EXPECT_EQ(GetPathFileName(table + ".bmp", cp932), table + ".bmp");
    EXPECT_EQ(GetPathFolder(table + ".bmp", cp932), std::nullopt);
    EXPECT_EQ(ToSlashSeparators(table + "\\a.bmp", cp932), table + "/a.bmp");
    // A lead byte at the very end is a byte of its own.
    EXPECT_EQ(GetPathFolder("a\\\x95", cp932), "a\\");
    EXPECT_EQ(GetPathFileName("a\\\x95", cp932), "\x95");
    // "\xE8\x9F\x95\x5C" is valid UTF-8 and also a CP932 kanji (0xE8 0x9F) before
    // "表": a name from a document must still be split as CP932.
    const std::string both = "\xE8\x9F" + table + ".bmp";
    EXPECT_EQ(GetPathFileName("tex/" + both, cp932), both);
    // UTF-8 names (as Linux writes them) are not read as CP932 pairs: in
    // "あ\x" the byte before the backslash would pass for a CP932 lead byte.
    EXPECT_EQ(GetPathFileName("\xE3\x81\x82\\x.bmp"), "x.bmp");
    // A file of this system: a backslash is part of the name.
    constexpr PathText native = PathText::Native;
    EXPECT_EQ(GetPathFolder("out/back\\slash.gltf", native), "out/");
    EXPECT_EQ(FolderOf("back\\slash.gltf", native), "");
    EXPECT_EQ(GetPathFileName("out/back\\slash.gltf", native), "back\\slash.gltf");
    EXPECT_EQ(GetPathBaseName("out/back\\slash.gltf", native), "back\\slash");
    EXPECT_TRUE(PathHasColon("C:\\a.bmp"));
    EXPECT_FALSE(PathHasColon(table + "\\a.bmp"));
}

} // namespace vantomo
