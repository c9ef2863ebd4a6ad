#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"
#include "import/TextureLoader.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace fs = std::filesystem;

namespace {

// A 2 x 1 8-bit BMP: red, then blue.
Bytes SmallBmp()
{
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bits = 8;
    s.clrUsed = 2;
    s.palette = {0, 0, 255, 0, 255, 0, 0, 0};
    s.pixels = {0, 1, 0, 0};
    return MakeBmp(s);
}

// A 1 x 1 32-bit TGA with 8 alpha bits: alpha 64.
Bytes SmallTga()
{
    TgaSpec t;
    t.width = 1;
    t.height = 1;
    t.depth = 32;
    t.descriptor = 8;
    t.data = {10, 20, 30, 64};
    return MakeTga(t);
}

class Texture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        lookup.baseFolder = dir.Path("doc");
        lookup.programFolder = dir.Path("prog/");
        fs::create_directories(lookup.baseFolder);
        fs::create_directories(dir.Path("prog"));
    }

    bool Load(CMaterial& material) { return LoadTexture(material, messages, lookup); }

    TempFolder dir;
    CollectingMessageSink messages;
    TextureLookup lookup;
};

} // namespace

TEST_F(Texture, DecodersByExtensionAndTheirResults)
{
    WriteFileBytes(dir.Path("a.BMP"), SmallBmp());
    WriteFileBytes(dir.Path("a.tga"), SmallTga());
    WriteFileBytes(dir.Path("a.PGM"), Bytes{'P', '5', '\n', '1', ' ', '1', '\n', '2', '5', '5', '\n', 7});
    WriteFileBytes(dir.Path("a.gif"), SmallBmp());
    fs::copy_file(ImageDataDir() + "ilbm3rle.iff", dir.Path("a.iff"));

    DibStream image;
    ASSERT_TRUE(LoadImageFile(image, dir.Path("a.BMP")));
    EXPECT_EQ(image.BitCount(), 24) << "indexed images become 24-bit";
    EXPECT_EQ(image.GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.GetPixel(1, 0), 0xFF0000FFu);
    ASSERT_TRUE(LoadImageFile(image, dir.Path("a.tga")));
    EXPECT_EQ(image.BitCount(), 32);
    EXPECT_EQ(image.GetPixel(0, 0), 0x401E140Au) << "alpha as the file has it";
    ASSERT_TRUE(LoadImageFile(image, dir.Path("a.PGM")));
    EXPECT_EQ(image.GetPixel(0, 0), 0xFF070707u);
    ASSERT_TRUE(LoadImageFile(image, dir.Path("a.iff")));
    EXPECT_EQ(image.BitCount(), 24);
    EXPECT_FALSE(LoadImageFile(image, dir.Path("a.gif")));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(LoadImageFile(image, dir.Folder())) << "a folder is no image";
    EXPECT_FALSE(LoadImageFile(image, dir.Path(std::string(5000, 'x') + ".bmp")));
}

TEST_F(Texture, SearchOrder)
{
    fs::create_directories(lookup.baseFolder + "/sub");
    WriteFileBytes(lookup.baseFolder + "/sub/wood.bmp", SmallBmp());
    CMaterial material;
    material.m_texture = "sub\\wood.bmp"; // written on Windows
    ASSERT_TRUE(Load(material));
    ASSERT_NE(material.m_image, nullptr);
    EXPECT_EQ(material.m_image->Width(), 2);
    EXPECT_EQ(material.m_texture, "sub\\wood.bmp") << "the name is kept as written";

    // Only in the program's texture folder, here in lower case.
    fs::create_directories(dir.Path("prog/texture"));
    WriteFileBytes(dir.Path("prog/texture/stone.tga"), SmallTga());
    material.m_texture = "stone.tga";
    ASSERT_TRUE(Load(material));
    EXPECT_EQ(material.m_image->BitCount(), 32);

    // A name with a colon is tried as written only.
    WriteFileBytes(dir.Path("prog/texture/c:stone.tga"), SmallTga());
    material.m_texture = "c:stone.tga";
    EXPECT_FALSE(Load(material));
    EXPECT_EQ(messages.messages.size(), 1u);

    // An absolute name is not joined to the base folder.
    material.m_texture = dir.Path("prog/texture/stone.tga");
    EXPECT_TRUE(Load(material));
}

TEST_F(Texture, Cp932NamesFindUtf8Files)
{
    WriteFileBytes(lookup.baseFolder + "/木目.bmp", SmallBmp());
    CMaterial material;
    material.m_texture = "\x96\xD8\x96\xDA.bmp"; // 木目 in CP932
    ASSERT_TRUE(Load(material));
    EXPECT_EQ(material.m_texture, "\x96\xD8\x96\xDA.bmp");

    // "表" ends in 0x5C, which must not split the name.
    fs::create_directories(lookup.baseFolder + "/表");
    WriteFileBytes(lookup.baseFolder + "/表/a.bmp", SmallBmp());
    material.m_texture = "\x95\x5C\\a.bmp";
    EXPECT_TRUE(Load(material));
}

TEST_F(Texture, MissingTextureKeepsItsNameAndIsReportedOnce)
{
    CTessaline scene;
    CMaterial missing;
    missing.m_texture = "gone.bmp";
    CMaterial plain;
    CMaterial found;
    found.m_texture = "here.bmp";
    WriteFileBytes(lookup.baseFolder + "/here.bmp", SmallBmp());
    scene.m_materials = {missing, plain, found};

    ReloadTextures(scene, messages, lookup);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], kTextureLoadFailedMessage);
    EXPECT_EQ(scene.m_materials[0].m_texture, "gone.bmp") << "a later save still names the file";
    EXPECT_EQ(scene.m_materials[0].m_image, nullptr) << "drawn untextured";
    EXPECT_EQ(scene.m_materials[1].m_image, nullptr);
    EXPECT_NE(scene.m_materials[2].m_image, nullptr);

    ReloadTextures(scene, messages, lookup);
    EXPECT_EQ(messages.messages.size(), 1u) << "not repeated on every reload";

    scene.m_materials[0].m_texture = "other.bmp"; // a new name that fails is reported
    ReloadTextures(scene, messages, lookup);
    EXPECT_EQ(messages.messages.size(), 2u);

    WriteFileBytes(lookup.baseFolder + "/other.bmp", SmallBmp());
    ReloadTextures(scene, messages, lookup);
    EXPECT_NE(scene.m_materials[0].m_image, nullptr);
    fs::remove(lookup.baseFolder + "/other.bmp");
    ReloadTextures(scene, messages, lookup);
    EXPECT_EQ(messages.messages.size(), 3u) << "lost again after it had loaded";

    scene.m_materials[2].m_texture.clear();
    ReloadTextures(scene, messages, lookup);
    EXPECT_EQ(scene.m_materials[2].m_image, nullptr) << "no name, no image";
    EXPECT_EQ(messages.messages.size(), 3u);
}

TEST_F(Texture, OneTextureFolderForChooserAndLoader)
{
    EXPECT_EQ(FindTextureFolder(dir.Path("prog/")), "") << "no folder yet";
    fs::create_directories(dir.Path("prog/Texture/wood"));
    const std::string folder = FindTextureFolder(dir.Path("prog/"));
    EXPECT_EQ(folder, dir.Path("prog/Texture/"));
    WriteFileBytes(folder + "wood/Oak.bmp", SmallBmp());

    // Inside the folder, in any letter case of the folder: the name relative
    // to it, in the file's own letters, which the loader then finds.
    const std::string name = TextureNameForChosenFile(folder, dir.Path("prog/Texture/wood/Oak.bmp"));
    EXPECT_EQ(name, "wood/Oak.bmp");
    EXPECT_EQ(TextureNameForChosenFile(dir.Path("PROG/TEXTURE"), dir.Path("prog/Texture/wood/Oak.bmp")), "wood/Oak.bmp");
    CMaterial material;
    material.m_texture = name;
    EXPECT_TRUE(Load(material));
    EXPECT_EQ(material.m_textureFile, folder + "wood/Oak.bmp");

    // A folder whose name merely starts like it, or a file elsewhere: kept whole.
    EXPECT_EQ(TextureNameForChosenFile(folder, dir.Path("prog/Texture2/a.bmp")), dir.Path("prog/Texture2/a.bmp"));
    EXPECT_EQ(TextureNameForChosenFile(folder, "/elsewhere/Texture/a.bmp"), "/elsewhere/Texture/a.bmp");
    EXPECT_EQ(TextureNameForChosenFile("", "/a/b.bmp"), "/a/b.bmp");
}

} // namespace vantomo
