// Scenes for the picking and mouse tests: a camera looking straight down -z
// at the origin and models made of one quad, with the screen position of any
// local point computed through the same matrices picking uses.
#pragma once

#include <gtest/gtest.h>

#include "animation/Pose.h"
#include "animation/SceneBuilder.h"
#include "render/Camera.h"
#include "render/Picking.h"
#include "render/RenderGeometry.h"
#include "render/ViewState.h"
#include "scene/AppValues.h"

namespace vantomo {

inline constexpr float kViewW = 400.0f;
inline constexpr float kViewH = 200.0f;

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        view.m_viewWidth = kViewW;
        view.m_viewHeight = kViewH;
        CAnimation& camera = scene.GetCameraRecord();
        camera.m_axis = {0, 0, 0};
    }
    void TearDown() override { ResetAppValues(); }

    // A model holding one square of side 2 * half centred on its pivot in the
    // plane z = pivot.z, facing the camera; `frames` rest records.
    CModel& AddSquare(int id, int parent, const CVector& pivot, float half = 10.0f, int frames = 5)
    {
        CModel model = MakeAnimatedModel(id, parent, frames);
        model.m_pivot = pivot;
        const float corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
        CFace face;
        for (int i = 0; i < 4; ++i) {
            CVertex v;
            v.m_position = {pivot.x + corners[i][0], pivot.y + corners[i][1], pivot.z};
            model.m_vertices.push_back(v);
            face.m_indices.push_back(i);
        }
        model.m_faces.push_back(face);
        model.UpdateBounds();
        scene.m_models.push_back(model);
        scene.RefreshDerived();
        scene.BuildTraversal();
        return scene.m_models.back();
    }

    // Where a point in the local coordinates of an object drawn with `world` appears.
    ScreenPoint Project(const D3DXVECTOR3& local, const D3DXMATRIX& world) const
    {
        const D3DXMATRIX wvp =
            D3DXMatrixMultiply(D3DXMatrixMultiply(world, ViewMatrix(scene)), ProjectionMatrix(scene, view));
        const D3DXVECTOR3 ndc = D3DXVec3TransformCoord(local, wvp);
        return {(ndc.x + 1.0f) * 0.5f * kViewW, (1.0f - ndc.y) * 0.5f * kViewH, kViewW, kViewH};
    }

    ScreenPoint ProjectModel(int model, const D3DXVECTOR3& local = {}) const
    {
        return Project(local, ComposeWorldMatrix(scene, model, g_currentAnimation, g_currentFrame));
    }

    // As the renderer leaves them after drawing the manipulator of the selection.
    void MarkManipulatorDrawn()
    {
        ASSERT_TRUE(RecordDrawnManipulator(scene, view, Now()));
    }

    ScreenPoint ProjectManipulator(const D3DXVECTOR3& local) const { return Project(local, view.m_manipulatorWorld); }

    // The moment the frame values show, as the document hands it on.
    static TimePoint Now() { return {g_currentAnimation, g_currentFrame}; }

    CTessaline scene;
    ViewState view;
};

} // namespace vantomo
