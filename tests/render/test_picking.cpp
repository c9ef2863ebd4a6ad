#include <cmath>

#include <gtest/gtest.h>

#include "RenderScene.h"
#include "render/RenderGeometry.h"

namespace vantomo {

namespace {

using PickingTest = RenderTest;

TEST_F(PickingTest, TheEyeLooksDownMinusZAfterZoomTurnAndShift)
{
    // Zoom first, then the turn: x is doubled before y turns it onto -z.
    scene.GetCameraRecord().m_scale = {2, 1, 1};
    scene.GetCameraRecord().m_axis = {0, 90, 0};
    const D3DXVECTOR3 v = D3DXVec3TransformCoord({100, 0, 0}, ViewMatrix(scene));
    EXPECT_NEAR(v.x, 0.0f, 1e-3f);
    EXPECT_NEAR(v.z, -1700.0f, 1e-3f);

    // The top middle pixel looks up by half the 20 degree field of view.
    const auto ray = PickRay({kViewW / 2, 0, kViewW, kViewH}, ProjectionMatrix(scene, view), D3DXMatrixIdentity(),
                             D3DXMatrixIdentity());
    ASSERT_TRUE(ray);
    EXPECT_EQ(ray->origin.z, 0.0f);
    EXPECT_EQ(ray->direction.x, 0.0f);
    EXPECT_NEAR(ray->direction.y, std::tan(10.0 * M_PI / 180.0), 1e-6);
    EXPECT_EQ(ray->direction.z, -1.0f);

    // Before the view has had a size event with area, nothing can be picked.
    view.m_viewHeight = 0;
    EXPECT_FALSE(PickRay({1, 1, kViewW, kViewH}, ProjectionMatrix(scene, view), D3DXMatrixIdentity(),
                         D3DXMatrixIdentity()));
}

TEST_F(PickingTest, APressOnAModelSelectsItWhereverItIsDrawn)
{
    // A turned camera, a turned and moved parent, a child posed at frame 3.
    scene.GetCameraRecord().m_axis = {20, 10, 0};
    AddSquare(1, -1, {0, 0, 0});
    AddSquare(2, 0, {40, 0, 0});
    CAnimation& parent = scene.m_models[0].m_tracks[0][3];
    parent.m_axis = {0, 1, 0};
    parent.m_angle = 30;
    parent.m_position = {-50, 20, 0};
    scene.m_models[1].m_tracks[0][3].m_position = {60, 30, 10};
    g_currentFrame = 3;
    // What the last paint left is not read: the records are.
    scene.m_models[1].m_world = D3DXMATRIX{};

    const ScreenPoint centre = ProjectModel(1);
    const PickResult pick = PickAt(scene, view, Now(), centre);
    EXPECT_TRUE(pick.hit);
    EXPECT_EQ(pick.selectModel, 1);
    EXPECT_EQ(view.m_grabbedHandle, 3);
    EXPECT_EQ(scene.m_models[1].m_boxVertices[1].x, scene.m_models[1].m_bounds[1].x);

    // At frame 0 the child stands elsewhere: the same point misses it.
    g_currentFrame = 0;
    const PickResult before = PickAt(scene, view, Now(), centre);
    EXPECT_NE(before.selectModel, 1);
    // The pick poses at the moment it is told, whatever frame is shown.
    EXPECT_EQ(PickAt(scene, view, TimePoint{0, 3}, centre).selectModel, 1);
    g_currentFrame = 3;
    EXPECT_NE(PickAt(scene, view, TimePoint{0, 0}, centre).selectModel, 1);
}

TEST_F(PickingTest, WhereModelsOverlapTheFirstInTheListWinsNotTheNearest)
{
    AddSquare(1, -1, {0, 0, -200}); // farther from the eye
    AddSquare(2, -1, {0, 0, 200});
    const PickResult pick = PickAt(scene, view, Now(), ProjectModel(1));
    EXPECT_TRUE(pick.hit);
    EXPECT_EQ(pick.selectModel, 0);
}

TEST_F(PickingTest, HiddenModelsOtherCharactersAndUnwalkedModelsAreNotPicked)
{
    AddSquare(1, -1, {0, 0, 0});
    const ScreenPoint at = ProjectModel(0);
    scene.m_models[0].m_visible = 0;
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    scene.m_models[0].m_visible = 1;
    scene.m_selectedCharacter = 1;
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    scene.m_selectedCharacter = 0;
    scene.m_traversal.clear(); // not drawn until the walk is rebuilt
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    scene.BuildTraversal();
    EXPECT_TRUE(PickAt(scene, view, Now(), at).hit);
}

TEST_F(PickingTest, AQuadIsHitThroughEitherTriangleAndNotBesideIt)
{
    const CModel& model = AddSquare(1, -1, {0, 0, 0});
    const D3DXMATRIX world = ComposeWorldMatrix(scene, 0, 0, 0);
    const auto hit = [&](float x, float y) {
        const auto ray = PickRay(Project({x, y, 0}, world), ProjectionMatrix(scene, view), ViewMatrix(scene), world);
        return ray ? HitFace(model, *ray) : -2;
    };
    EXPECT_EQ(hit(-5, 5), 0); // triangle (0, 2, 3)
    EXPECT_EQ(hit(5, -5), 0); // triangle (0, 1, 2)
    EXPECT_EQ(hit(15, 0), -1);
}

TEST(HitFace, RaysParallelToTheFaceOrPointingAwayMissAndOddFacesAreSkipped)
{
    CModel model;
    model.m_pivot = {1, 0, 0};
    for (const CVector& p : {CVector{1, 0, 0}, CVector{11, 0, 0}, CVector{1, 10, 0}}) {
        CVertex v;
        v.m_position = p;
        model.m_vertices.push_back(v);
    }
    CFace line;
    line.m_indices = {0, 1};
    CFace tri;
    tri.m_indices = {0, 1, 2};
    model.m_faces = {line, tri};
    // Local corners (0, 0, 0), (10, 0, 0), (0, 10, 0).
    EXPECT_EQ(HitFace(model, {{2, 2, 5}, {0, 0, -1}}), 1);
    EXPECT_EQ(HitFace(model, {{2, 2, -5}, {0, 0, -1}}), -1); // behind the eye
    EXPECT_EQ(HitFace(model, {{-5, 2, 5}, {1, 0, 0}}), -1);  // parallel, above
    EXPECT_EQ(HitFace(model, {{-5, 2, 0}, {1, 0, 0}}), -1);  // in the face's plane

    // A corner outside the vertex list reads as the local origin, as drawn.
    model.m_faces[1].m_indices = {7, 1, 2};
    model.m_pivot = {0, 0, 0};
    EXPECT_EQ(HitFace(model, {{0.5f, 0.5f, 5}, {0, 0, -1}}), 1);
}

TEST_F(PickingTest, AHandleUnderThePointIsGrabbedAndTheSelectionKept)
{
    AddSquare(1, -1, {0, 0, 0});
    AddSquare(2, -1, {85, 0, -300}, 40); // behind the X handle
    scene.m_selectedModel = 0;
    for (int mode = 0; mode < 3; ++mode) {
        scene.m_transformMode = mode;
        MarkManipulatorDrawn();
        // Inside the X arrow head, the X spike and the X scale block.
        const float x = mode == 1 ? 62.5f : 85.0f;
        const PickResult pick = PickAt(scene, view, Now(), ProjectManipulator({x, 0, 0}));
        EXPECT_TRUE(pick.hit) << mode;
        EXPECT_EQ(pick.selectModel, -1) << mode;
        EXPECT_EQ(view.m_grabbedHandle, 0) << mode;
        EXPECT_EQ(scene.m_selectedModel, 0);
    }
    // The Z handle points at the eye and covers the centre block: the axis wins.
    scene.m_transformMode = 0;
    MarkManipulatorDrawn();
    EXPECT_EQ(PickManipulator(scene, view, Now(), ProjectManipulator({0, 0, 0})), 2);
    EXPECT_EQ(PickManipulator(scene, view, Now(), ProjectManipulator({4.5f, 4.5f, 0})), 3);
    EXPECT_EQ(PickManipulator(scene, view, Now(), ProjectManipulator({0, 50, 0})), -1);
}

TEST_F(PickingTest, AManipulatorNotOnScreenCannotBeGrabbed)
{
    AddSquare(1, -1, {0, 0, 0});
    AddSquare(2, -1, {85, 0, -300}, 40);
    scene.m_selectedModel = 0;
    MarkManipulatorDrawn();
    const ScreenPoint head = ProjectManipulator({85, 0, 0});
    ASSERT_EQ(PickManipulator(scene, view, Now(), head), 0);

    scene.m_transformMode = 1; // switched, not yet drawn in the new mode
    EXPECT_EQ(PickManipulator(scene, view, Now(), ProjectManipulator({62.5f, 0, 0})), -1);
    scene.m_transformMode = 0;
    view.m_manipulatorModelId = 2; // drawn for another selection
    EXPECT_EQ(PickManipulator(scene, view, Now(), head), -1);
    view.m_manipulatorModelId = 1;
    scene.m_models[0].m_visible = 0; // hidden since: nothing to take hold of
    EXPECT_EQ(PickManipulator(scene, view, Now(), head), -1);
    scene.m_models[0].m_visible = 1;
    scene.m_transformMode = 5;
    view.m_manipulatorMode = 5;
    EXPECT_EQ(PickManipulator(scene, view, Now(), ProjectManipulator({4.5f, 4.5f, 0})), -1);

    // So the press goes through to the model behind the handle.
    scene.m_transformMode = 1;
    const PickResult pick = PickAt(scene, view, Now(), head);
    EXPECT_EQ(pick.selectModel, 1);
    EXPECT_EQ(view.m_grabbedHandle, 3);
}

TEST_F(PickingTest, AMissKeepsTheSelectionAndDropsTheGrabOnlyWhenSomethingIsSelected)
{
    AddSquare(1, -1, {0, 0, 0});
    const ScreenPoint empty{5, 5, kViewW, kViewH};
    view.m_grabbedHandle = 2;
    EXPECT_FALSE(PickAt(scene, view, Now(), empty).hit);
    EXPECT_EQ(view.m_grabbedHandle, 2);
    scene.m_selectedModel = 0;
    MarkManipulatorDrawn();
    EXPECT_FALSE(PickAt(scene, view, Now(), empty).hit);
    EXPECT_EQ(view.m_grabbedHandle, -1);
    EXPECT_EQ(scene.m_selectedModel, 0);
}

TEST_F(PickingTest, AViewWithoutAreaOrACollapsedModelPicksNothing)
{
    AddSquare(1, -1, {0, 0, 0});
    ScreenPoint at = ProjectModel(0);
    ASSERT_TRUE(PickAt(scene, view, Now(), at).hit);
    at.viewWidth = 0;
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    at.viewWidth = kViewW;
    at.viewHeight = NAN;
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    at.viewHeight = kViewH;
    scene.m_models[0].m_tracks[0][0].m_scale = {0, 0, 0};
    EXPECT_FALSE(PickAt(scene, view, Now(), at).hit);
    EXPECT_FALSE(PickRay(at, ProjectionMatrix(scene, view), ViewMatrix(scene), D3DXMATRIX{}));
}

} // namespace

} // namespace vantomo
