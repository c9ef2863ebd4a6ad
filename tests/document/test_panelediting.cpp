// The control panel's value fields applied to the scene.
#include "Fixture.h"

#include "document/PanelEditing.h"

namespace vantomo {

namespace {

class PanelEditingTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        scene.m_models.push_back(Model("arm", -1));
        scene.RefreshDerived();
        scene.BuildTraversal();
        g_currentFrame = 5;
    }
    CAnimation& Record() { return scene.m_models[0].m_tracks[0][5]; }
    CTessaline scene;
};

TEST_F(PanelEditingTest, EachModeWritesOnlyItsComponentOfTheCurrentRecordWithUndo)
{
    scene.m_selectedModel = 0;
    scene.m_transformMode = 0;
    ApplyPanelValues(scene, 1, 2, 3, 99);
    EXPECT_EQ(Record().m_position.x, 1.0f);
    EXPECT_EQ(Record().m_position.z, 3.0f);
    EXPECT_EQ(Record().m_angle, 0.0f);

    scene.m_transformMode = 2;
    ApplyPanelValues(scene, 2, 2, 2, 0);
    EXPECT_EQ(Record().m_scale.y, 2.0f);
    EXPECT_EQ(Record().m_position.y, 2.0f);
    EXPECT_EQ(Record().m_key, 0) << "the key flag is not touched";
    EXPECT_EQ(scene.m_models[0].m_tracks[0][6].m_scale.y, 1.0f) << "no in-betweening";
}

TEST_F(PanelEditingTest, AZeroAxisIsStoredAsTheYAxis)
{
    scene.m_selectedModel = 0;
    scene.m_transformMode = 1;
    ApplyPanelValues(scene, 0, 0, 0, 45);
    EXPECT_EQ(Record().m_axis.y, 1.0f);
    EXPECT_EQ(Record().m_angle, 45.0f);
}

TEST_F(PanelEditingTest, WithoutSelectionTheCameraTakesPositionAndAnglesButNoScale)
{
    ApplyPanelValues(scene, 10, 20, 30, 7);
    EXPECT_EQ(scene.GetCameraRecord().m_position.y, 20.0f);
    scene.m_transformMode = 1;
    ApplyPanelValues(scene, 0, 0, 0, 7);
    EXPECT_EQ(scene.GetCameraRecord().m_axis.y, 0.0f) << "the camera's angles are taken as typed";
    EXPECT_EQ(scene.GetCameraRecord().m_angle, 0.0f);
    scene.m_transformMode = 2;
    const CVector before = scene.GetCameraRecord().m_scale;
    ApplyPanelValues(scene, 5, 5, 5, 0);
    EXPECT_EQ(scene.GetCameraRecord().m_scale.x, before.x);
}

} // namespace

} // namespace vantomo
