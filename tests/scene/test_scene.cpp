#include <gtest/gtest.h>

#include "scene/AppValues.h"
#include "scene/CTessaline.h"

namespace vantomo {

namespace {

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }
};

CModel ModelWithVertices(std::initializer_list<CVector> positions)
{
    CModel model;
    for (const CVector& p : positions) {
        CVertex v;
        v.m_position = p;
        model.m_vertices.push_back(v);
    }
    return model;
}

} // namespace

TEST(FrameRecord, StartsAtRestAndStaysCompact)
{
    const CAnimation record;
    EXPECT_EQ(record.m_position, CVector(0, 0, 0));
    EXPECT_EQ(record.m_axis, CVector(0, 1, 0));
    EXPECT_EQ(record.m_scale, CVector(1, 1, 1));
    EXPECT_EQ(record.m_angle, 0.0f);
    EXPECT_EQ(record.m_key, 0);
    EXPECT_LE(sizeof(CAnimation), 48u);
}

TEST(FrameRecord, CopyPoseLeavesTheKeyFlag)
{
    CAnimation key;
    key.m_key = 1;
    CAnimation source;
    source.m_position = CVector(1, 2, 3);
    source.m_angle = 45.0f;
    key.CopyPose(source);
    EXPECT_EQ(key.m_position, CVector(1, 2, 3));
    EXPECT_EQ(key.m_angle, 45.0f);
    EXPECT_EQ(key.m_key, 1);
}

TEST(Material, DefaultsDeriveTheFixedFunctionMaterial)
{
    const CMaterial m;
    EXPECT_EQ(m.m_name, "NoMaterial");
    EXPECT_FLOAT_EQ(m.m_color[0], 0.8f);
    EXPECT_EQ(m.m_color[3], 1.0f);
    EXPECT_EQ(m.m_d3dMaterial.Diffuse, (D3DCOLORVALUE{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(m.m_d3dMaterial.Ambient, (D3DCOLORVALUE{0.8f, 0.8f, 0.8f, 1.0f}));
    EXPECT_EQ(m.m_d3dMaterial.Specular, (D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(m.m_d3dMaterial.Emissive, (D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_FLOAT_EQ(m.m_d3dMaterial.Power, 0.2f);
}

TEST(Material, SpecularIsNotTintedByTheColour)
{
    CMaterial m;
    m.m_color[0] = 1.0f;
    m.m_color[1] = 0.0f;
    m.m_color[2] = 0.0f;
    m.m_color[3] = 1.0f;
    m.m_specular = 0.5f;
    m.m_emissive = 0.25f;
    m.m_diffuse = 0.5f;
    m.UpdateD3DMaterial();
    EXPECT_EQ(m.m_d3dMaterial.Specular, (D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 1.0f}));
    EXPECT_EQ(m.m_d3dMaterial.Emissive, (D3DCOLORVALUE{0.25f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(m.m_d3dMaterial.Diffuse, (D3DCOLORVALUE{0.5f, 0.0f, 0.0f, 1.0f}));
}

TEST(Model, UpdateBoundsIsRelativeToThePivot)
{
    CModel model = ModelWithVertices({{1, 2, 3}, {-1, 0, 5}});
    model.m_pivot = CVector(0, 1, 0);
    model.UpdateBounds();
    EXPECT_EQ(model.m_bounds[0], CVector(1, 1, 5));
    EXPECT_EQ(model.m_bounds[1], CVector(-1, -1, 3));

    CModel empty;
    empty.m_bounds[0] = CVector(9, 9, 9);
    empty.UpdateBounds();
    EXPECT_EQ(empty.m_bounds[0], CVector(0, 0, 0));
    EXPECT_EQ(empty.m_bounds[1], CVector(0, 0, 0));
}

TEST(Model, StartsUnplacedWithAUnitWorldMatrix)
{
    const CModel model;
    EXPECT_EQ(model.m_parent, -10000);
    EXPECT_EQ(model.m_parentName, "<NULL>");
    EXPECT_EQ(model.m_visible, 1);
    EXPECT_EQ(model.m_world, D3DXMatrixIdentity());
}

TEST(Model, CopiesShareTheDeviceHandle)
{
    CModel model = ModelWithVertices({{1, 2, 3}});
    model.m_vertexBuffer = 42;
    model.m_tracks.emplace_back(3);
    const CModel copy = model;
    EXPECT_EQ(copy.m_vertexBuffer, 42u);
    EXPECT_EQ(copy.m_tracks, model.m_tracks);
    EXPECT_EQ(copy.m_vertices.size(), 1u);
}

TEST_F(SceneTest, ResetTrackSizesEveryTrackAndRestsFromTheGivenFrame)
{
    CModel model;
    const TrackShape shape{2, 1, 5};
    model.m_tracks.resize(1);
    model.m_tracks[0].resize(7);
    model.ResetTrack(0, shape);
    ASSERT_EQ(model.m_tracks.size(), 2u);
    EXPECT_EQ(model.m_tracks[0].size(), 7u); // other animations keep their length
    ASSERT_EQ(model.m_tracks[1].size(), 5u);
    EXPECT_EQ(model.m_tracks[1][0].m_key, 1);

    model.m_tracks[1][1].m_position = CVector(5, 0, 0);
    model.m_tracks[1][3].m_position = CVector(7, 0, 0);
    model.m_tracks[1][3].m_key = 1;
    model.ResetTrack(2, shape);
    EXPECT_EQ(model.m_tracks[1][1].m_position, CVector(5, 0, 0)); // before `from`: kept
    EXPECT_EQ(model.m_tracks[1][3], CAnimation{});                 // from `from` on: rest
}

TEST_F(SceneTest, NewSceneState)
{
    CTessaline scene;
    EXPECT_EQ(scene.m_characterNames, std::vector<std::string>{"Character_0"});
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Animation_0"});
    EXPECT_TRUE(scene.m_models.empty());
    EXPECT_TRUE(scene.m_materials.empty());
    ASSERT_EQ(scene.m_camera.size(), 1u);
    EXPECT_EQ(scene.m_camera[0].m_position, CVector(0, 0, -1500));
    EXPECT_EQ(scene.m_camera[0].m_axis, CVector(20, 10, 0));
    EXPECT_EQ(scene.m_camera[0].m_scale, CVector(1, 1, 1));
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(scene.m_lastModelId, 5);
    EXPECT_EQ(scene.m_backgroundColor, 0x005A411Eu);
    EXPECT_FLOAT_EQ(scene.m_fieldOfView, 20.0f);
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(scene.m_fps, 30.0f);
}

TEST_F(SceneTest, ResetSceneClearsTheSceneButKeepsEditorSettings)
{
    CTessaline scene;
    scene.m_models.push_back(CModel{});
    scene.m_materials.push_back(CMaterial{});
    scene.m_characterNames.push_back("Other");
    scene.m_animationNames.push_back("Walk");
    scene.m_camera[0].m_position = CVector(1, 1, 1);
    scene.m_selectedModel = 0;
    scene.m_lastModelId = 99;
    scene.m_transformMode = 2;
    scene.m_enableY = 0;
    scene.m_languageName = "English";
    g_currentFrame = 12;
    g_currentAnimation = 1;
    g_animationCount = 2;

    scene.ResetScene();
    EXPECT_EQ(scene.m_characterNames.size(), 1u);
    EXPECT_EQ(scene.m_animationNames, std::vector<std::string>{"Animation_0"});
    EXPECT_TRUE(scene.m_models.empty());
    EXPECT_TRUE(scene.m_materials.empty());
    EXPECT_EQ(scene.m_camera[0].m_position, CVector(0, 0, -1500));
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(scene.m_lastModelId, 5);
    // The application-wide values belong to the document, which sets them on new and open.
    EXPECT_EQ(g_currentFrame, 12);
    EXPECT_EQ(g_currentAnimation, 1);
    EXPECT_EQ(g_animationCount, 2);
    EXPECT_EQ(scene.m_transformMode, 2);
    EXPECT_EQ(scene.m_enableY, 0);
    EXPECT_EQ(scene.m_languageName, "English");
}

TEST_F(SceneTest, RefreshDerivedFollowsParentChainsToTheirCharacter)
{
    CTessaline scene;
    scene.m_characterNames = {"Hero", "Villain"};
    scene.m_models.resize(3);
    scene.m_models[0].m_name = "body";
    scene.m_models[0].m_parent = ~1; // root of character 1
    scene.m_models[1].m_name = "arm";
    scene.m_models[1].m_parent = 0;
    scene.m_models[2].m_name = "hand";
    scene.m_models[2].m_parent = 1;
    scene.RefreshDerived();
    EXPECT_EQ(scene.m_models[0].m_parentName, "Villain");
    EXPECT_EQ(scene.m_models[1].m_parentName, "body");
    EXPECT_EQ(scene.m_models[2].m_parentName, "arm");
    EXPECT_EQ(scene.m_models[2].m_character, 1);
}

TEST_F(SceneTest, RefreshDerivedEndsOnParentCyclesAndBadReferences)
{
    CTessaline scene;
    scene.m_models.resize(3);
    scene.m_models[0].m_parent = 1;
    scene.m_models[1].m_parent = 0; // a cycle
    scene.m_models[2].m_parent = 17; // outside the list
    scene.RefreshDerived();
    // The cycle is broken at its lowest-index model and the bad reference
    // becomes a root of character 0, so both stay reachable from a character.
    EXPECT_EQ(scene.m_models[0].m_parent, -1);
    EXPECT_EQ(scene.m_models[1].m_parent, 0);
    EXPECT_EQ(scene.m_models[2].m_parent, -1);
    EXPECT_EQ(scene.m_models[1].m_character, 0);
    EXPECT_EQ(scene.m_models[2].m_parentName, "Character_0");
    scene.BuildTraversal();
    EXPECT_EQ(scene.m_traversal.size(), 2u + 2u * 3u);
}

TEST_F(SceneTest, AccessorsTreatOutOfRangeIndicesAsNone)
{
    CTessaline scene;
    EXPECT_EQ(scene.GetSelectedModel(), nullptr);
    scene.m_selectedModel = 0;
    EXPECT_EQ(scene.GetSelectedModel(), nullptr);
    scene.m_models.resize(1);
    EXPECT_NE(scene.GetSelectedModel(), nullptr);
    scene.m_selectedMaterial = 3;
    EXPECT_EQ(scene.GetSelectedMaterial(), nullptr);
    EXPECT_EQ(scene.GetCharacterName(5), "");
    EXPECT_EQ(scene.GetRecord(0, 0, 0), CAnimation{});
    EXPECT_EQ(scene.GetRecord(-1, 0, 0), CAnimation{});
}

TEST(TrackDirtiness, WritesMarkTheTrackAndConstReadsDoNot)
{
    Track track(5);
    track.MarkBaked();
    const Track& view = track;
    EXPECT_EQ(view[2].m_key, 0);
    EXPECT_FALSE(track.IsDirty());
    track[2].m_key = 1;
    EXPECT_TRUE(track.IsDirty());
    track.MarkBaked();
    track.resize(6);
    EXPECT_TRUE(track.IsDirty());
}

} // namespace vantomo
