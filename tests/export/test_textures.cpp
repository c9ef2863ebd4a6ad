// Texture files beside a XAML document: taken from where the load found them,
// never outside the document's folder, never over a file this export did not write.
#include <filesystem>

#include "ExportFixture.h"
#include "export/XamlExport.h"
#include "imaging/Codecs.h"
#include "imaging/DibStream.h"
#include "imaging/ImageFiles.h"
#include "imaging/JpegFiles.h"
#include "import/TextureLoader.h"

namespace vantomo {

namespace {

// A one-pixel PPM of the given grey level.
std::string Ppm(int level) { return "P6\n1 1\n255\n" + std::string(3, static_cast<char>(level)); }

// A textured material loaded as an import loads it, from `base`.
CMaterial Loaded(const std::string& name, const std::string& texture, const std::string& base)
{
    CMaterial material = MakeMaterial(name, 0, 0.5f, 0.5f, 0.5f, 1.0f);
    material.m_texture = texture;
    CollectingMessageSink messages;
    LoadTexture(material, messages, TextureLookup{base, "/nonexistent/"});
    return material;
}

CTessaline SceneOf(std::vector<CMaterial> materials)
{
    CTessaline scene;
    for (std::size_t i = 0; i < materials.size(); ++i) {
        materials[i].m_id = static_cast<int>(i);
    }
    scene.m_materials = std::move(materials);
    return scene;
}

std::uint32_t PixelOf(const std::string& png)
{
    DibStream image;
    return LoadPNG(png, image) ? image.GetPixel(0, 0) & 0xFFFFFFu : 0xDEADu;
}

} // namespace

TEST_F(ExportTest, TexturesComeFromTheLoadedFilesAndStayInTheFolder)
{
    const std::string src = folder.Path("src");
    std::filesystem::create_directories(src + "/a");
    std::filesystem::create_directories(src + "/b");
    WriteText(src + "/a/wood.ppm", Ppm(10));
    WriteText(src + "/b/wood.ppm", Ppm(200));
    const std::uint8_t grey[3] = {90, 90, 90};
    const Bytes jpeg = EncodeJpeg(2, 2, 3, grey);
    WriteFileBytes(src + "/b/photo #1.JPG", jpeg);
    std::filesystem::create_directories(folder.Path("out"));
    WriteText(folder.Path("out/keep.png"), "not mine");
    WriteText(folder.Path("keep.ppm"), Ppm(77));

    CTessaline scene = SceneOf({
        Loaded("a", "a\\wood.ppm", src),
        Loaded("b", "b/wood.ppm", src),
        Loaded("again", "a\\wood.ppm", src),   // the same source shares the file
        Loaded("photo", "b\\photo #1.JPG", src),
        Loaded("missing", "nowhere.bmp", src), // not loaded: colour brush, reported
        Loaded("escape", "../keep.ppm", src),  // only the file name goes beside the document
    });
    ASSERT_TRUE(scene.m_materials[5].m_image);

    const std::string document = folder.Path("out/scene.xaml");
    const ExportResult result = ExportXaml(scene, document, 0, 2, false, 1.0f, false);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.skippedTextures, std::vector<std::string>{"nowhere.bmp"});
    const std::string out = folder.Path("out/");
    EXPECT_EQ(PixelOf(out + "wood.png"), 0x0A0A0Au);
    EXPECT_EQ(PixelOf(out + "wood_2.png"), 0xC8C8C8u);
    EXPECT_EQ(ReadFileBytes(out + "photo #1.JPG"), jpeg);
    EXPECT_EQ(ReadText(out + "keep.png"), "not mine"); // a file the export did not write stays
    EXPECT_EQ(PixelOf(out + "keep_2.png"), 0x4D4D4Du);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"keep.ppm", "out", "src"}));

    const std::string text = ReadText(document);
    for (const char* source : {"ImageSource=\"wood.png\"", "ImageSource=\"wood_2.png\"",
                               "ImageSource=\"photo%20%231.JPG\"", "ImageSource=\"keep_2.png\""}) {
        EXPECT_NE(text.find(source), std::string::npos) << source;
    }
    const std::size_t againAt = text.find("Material_scene_again");
    EXPECT_EQ(text.find("ImageSource=", againAt), text.find("ImageSource=\"wood.png\"", againAt));
    EXPECT_NE(text.find("Material_scene_missing\" >\r\n\t\t\t\t\t<DiffuseMaterial>\r\n\t\t\t\t\t\t<DiffuseMaterial.Brush>"
                        "\r\n\t\t\t\t\t\t\t<SolidColorBrush Color=\"#7f7f7f\""),
              std::string::npos);

    // A second export into the same folder finds its own files and writes no new ones.
    const ExportResult again = ExportXaml(scene, document, 0, 2, false, 1.0f, false);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(ReadText(document), text);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out), std::filesystem::directory_iterator{}), 6);
}

TEST_F(ExportTest, AFailedDocumentIsReportedAndKeepsTheOldOne)
{
    CTessaline scene;
    const ExportResult result = ExportXaml(scene, folder.Path("missing/x.xaml"), 0, 0, false, 1.0f, false);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, kXamlExportFailedMessage);
}

} // namespace vantomo
