// The export settings records, the options that change them, and the one
// dispatch by extension that every caller uses.
#include <clocale>

#include "ExportFixture.h"
#include "export/ExportScene.h"
#include "export/ExportSettings.h"

namespace vantomo {

namespace {

CTessaline AnimatedScene()
{
    CTessaline scene;
    scene.m_materials.push_back(MakeMaterial("m", 0, 0.25f, 0.5f, 0.75f, 1.0f));
    CModel model = MakeModel("box", 0);
    AddVertex(model, 0.5f, -1.25f, 3.0f);
    AddVertex(model, 1.5f, 0.0f, 0.0f);
    AddVertex(model, 0.0f, 2.0f, 0.0f);
    model.m_faces.push_back(MakeFace(0, {0, 1, 2}, {{0.25f, 0.5f}, {1.0f, 0.0f}, {0.0f, 1.0f}}));
    model.m_tracks[0][30].m_key = 1;
    model.m_tracks[0][30].m_position = CVector{3.0f, 0.0f, 0.0f};
    scene.m_models.push_back(model);
    return scene;
}

} // namespace

TEST(ExportSettings, InitialRecordsAndTheirLocks)
{
    const ExportSettings mqo = InitialMqoSettings();
    EXPECT_EQ(mqo.extension, "mqo");
    EXPECT_EQ(mqo.animationKeys, 2);
    EXPECT_FALSE(mqo.AnimationKeyAvailable(0) || mqo.AnimationKeyAvailable(1) || mqo.AnimationKeyAvailable(2));
    EXPECT_FALSE(mqo.MeshLayoutAvailable() || mqo.WriteNormalsAvailable() || mqo.WriteLightsAvailable());
    EXPECT_TRUE(mqo.WriteUVAvailable());
    EXPECT_EQ(mqo.scale, 1.0f);

    const ExportSettings xaml = InitialXamlSettings();
    EXPECT_EQ(xaml.extension, "xaml");
    EXPECT_EQ(xaml.animationKeys, 0);
    EXPECT_TRUE(xaml.AnimationKeyAvailable(0) && xaml.AnimationKeyAvailable(2));
    EXPECT_FALSE(xaml.AnimationKeyAvailable(1) || xaml.WriteLightsAvailable());
    EXPECT_TRUE(xaml.MeshLayoutAvailable() && xaml.WriteUVAvailable() && xaml.WriteNormalsAvailable());
    EXPECT_EQ(xaml.speed, 0);

    const ExportSettings gltf = InitialGltfSettings();
    EXPECT_FALSE(gltf.WriteUVAvailable() || gltf.MeshLayoutAvailable() || gltf.AnimationKeyAvailable(2));
    EXPECT_EQ(gltf.animationKeys, kAnimationKeysMoveRotateScale) << "the animation is written: not shown as none";

    EXPECT_EQ(InitialSettingsForPath("a/B.GLB")->extension, "gltf");
    EXPECT_EQ(InitialSettingsForPath("x.Xaml")->extension, "xaml");
    EXPECT_FALSE(InitialSettingsForPath("x.vtm"));
    EXPECT_FALSE(InitialSettingsForPath("x.xyz"));
}

TEST(ExportSettings, OptionsFollowTheLocks)
{
    ExportSettings xaml = InitialXamlSettings();
    EXPECT_EQ(ApplyExportOptions({"--scale", "2.5", "--uv", "--normals", "--mesh-layout", "1", "--no-animation"}, &xaml),
              "");
    EXPECT_EQ(xaml.scale, 2.5f);
    EXPECT_EQ(xaml.writeUV, 1);
    EXPECT_EQ(xaml.writeNormals, 1);
    EXPECT_EQ(xaml.meshLayout, 1);
    EXPECT_EQ(xaml.animationKeys, 2);

    ExportSettings mqo = InitialMqoSettings();
    EXPECT_EQ(ApplyExportOptions({"--uv", "--scale", "-3"}, &mqo), "");
    EXPECT_EQ(mqo.scale, -3.0f);
    for (const char* refused : {"--normals", "--mesh-layout", "--no-animation"}) {
        ExportSettings s = InitialMqoSettings();
        EXPECT_NE(ApplyExportOptions({refused, "0"}, &s), "") << refused;
    }
    ExportSettings gltf = InitialGltfSettings();
    EXPECT_NE(ApplyExportOptions({"--uv"}, &gltf), "");
    EXPECT_EQ(ApplyExportOptions({"--scale", "0.01"}, &gltf), "");
    EXPECT_NE(ApplyExportOptions({"--scale"}, &xaml), "");
    EXPECT_NE(ApplyExportOptions({"--scale", "2,5"}, &xaml), "");
    EXPECT_NE(ApplyExportOptions({"--scale", "inf"}, &xaml), "");
    EXPECT_NE(ApplyExportOptions({"--mesh-layout", "2"}, &xaml), "");
    EXPECT_NE(ApplyExportOptions({"--light"}, &xaml), "");
    EXPECT_NE(ApplyExportOptions({"--scale", "2"}, nullptr), ""); // a project file takes no option
    EXPECT_EQ(ApplyExportOptions({}, nullptr), "");
}

TEST_F(ExportTest, DispatchByExtensionInbetweensFirst)
{
    CTessaline scene = AnimatedScene();
    scene.m_models[0].m_tracks[0][15].m_position = CVector{99.0f, 0.0f, 0.0f}; // stale in-between

    EXPECT_TRUE(ExportScene(scene, folder.Path("a.VTM"), ExportSettings{}, TimePoint{}).ok);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][15].m_position.x, 99.0f); // saving a project bakes nothing

    ASSERT_TRUE(ExportScene(scene, folder.Path("a.xaml"), InitialXamlSettings(), TimePoint{}).ok);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][15].m_position.x, 1.5f);
    EXPECT_TRUE(ExportScene(scene, folder.Path("a.mqo"), InitialMqoSettings(), TimePoint{}).ok);

    EXPECT_TRUE(ExportScene(scene, folder.Path("a.glb"), InitialGltfSettings(), TimePoint{}).ok);
    EXPECT_FALSE(ExportScene(scene, folder.Path("a.xyz"), InitialXamlSettings(), TimePoint{}).ok);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.VTM", "a.glb", "a.mqo", "a.xaml"}));
}

// The writers never follow the process locale: a comma-decimal locale gives
// the same bytes as "C".
TEST_F(ExportTest, OutputDoesNotFollowTheLocale)
{
    ExportSettings xaml = InitialXamlSettings();
    xaml.writeUV = xaml.writeNormals = 1;
    xaml.scale = 1.5f;
    ExportSettings mqo = InitialMqoSettings();
    mqo.writeUV = 1;
    mqo.scale = 0.75f;
    std::string c[2], german[2];
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "de_DE.UTF-8 is not generated (scripts/install-deps does it)";
        }
        std::string* out = pass == 0 ? c : german;
        CTessaline scene = AnimatedScene();
        ASSERT_TRUE(ExportScene(scene, folder.Path("l.xaml"), xaml, TimePoint{}).ok);
        ASSERT_TRUE(ExportScene(scene, folder.Path("l.mqo"), mqo, TimePoint{}).ok);
        out[0] = ReadText(folder.Path("l.xaml"));
        out[1] = ReadText(folder.Path("l.mqo"));
    }
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(german[0], c[0]);
    EXPECT_EQ(german[1], c[1]);
    EXPECT_NE(c[0].find("Value=\"4.500000\""), std::string::npos);
    EXPECT_NE(c[1].find("\t\t0.375000 -0.937500 2.250000\r\n"), std::string::npos);
}

} // namespace vantomo
