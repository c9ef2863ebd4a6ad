// Frame All and Frame Selected without a device: the boxes of the shown models
// at the current frame end inside a filled view, seen from where the camera looked.
#include <cmath>
#include <limits>
#include <tuple>

#include <gtest/gtest.h>

#include "animation/Pose.h"
#include "animation/SceneBuilder.h"
#include "render/Camera.h"
#include "render/Framing.h"

namespace vantomo {

namespace {

// A model whose box is lo..hi around its pivot, in the walk of the scene.
CModel& AddBox(CTessaline& scene, int parent, const CVector& lo, const CVector& hi, const CVector& pivot = {})
{
    CModel model = MakeAnimatedModel(static_cast<int>(scene.m_models.size()) + 6, parent, 21);
    model.m_pivot = pivot;
    for (const CVector& corner : {lo, hi}) {
        CVertex v;
        v.m_position = corner;
        model.m_vertices.push_back(v);
    }
    model.UpdateBounds();
    scene.m_models.push_back(model);
    scene.RefreshDerived();
    scene.BuildTraversal();
    return scene.m_models.back();
}

} // namespace

TEST(Framing, EveryCornerOfTheBoundsEndsInsideAFilledViewSeenFromTheSameSide)
{
    const CVector boxes[][2] = {
        {{-100, 0, -50}, {150, 300, 80}},           // a figure near the origin
        {{2.5f, 1.5f, 0.5f}, {3.5f, 2.5f, 1.5f}},   // one unit, off the origin
        {{-40000, 0, -20000}, {40000, 10, 20000}},  // a ground plate past the far plane
        {{99000, -500, -800}, {101000, 9000, 800}}, // a tower far to the side
        {{-5000, -5000, -5000}, {-4999, -4999, 5000}}, // a rod, seen end on from the front
    };
    const CVector angles[] = {{20, 10, 0}, {0, 0, 0}, {90, 0, 0}, {-35, 140, 15}, {180, 45, 0}};
    for (const auto& box : boxes) {
        for (const CVector& angle : angles) {
            for (const auto& [width, height, zoom] : {std::tuple{640, 480, 1.0f}, {200, 600, 0.05f}, {1, 1, 4.0f}}) {
                CTessaline scene;
                ViewState view;
                AddBox(scene, -1, box[0], box[1], {7, 8, 9});
                view.m_viewWidth = static_cast<float>(width);
                view.m_viewHeight = static_cast<float>(height);
                CAnimation& camera = scene.GetCameraRecord();
                camera = {{123, -45, -678}, angle, {zoom, zoom, zoom}, 0.0f, 0};
                const std::vector<D3DXVECTOR3> corners = ShownBoxCorners(scene, 0, 0);
                ASSERT_EQ(corners.size(), 8u);
                ASSERT_TRUE(FrameCamera(scene, view, corners, camera));
                const D3DXMATRIX viewProj = D3DXMatrixMultiply(ViewMatrix(scene), ProjectionMatrix(scene, view));
                float widest = 0.0f;
                for (const D3DXVECTOR3& corner : corners) {
                    const D3DXVECTOR3 c = D3DXVec3TransformCoord(corner, viewProj);
                    EXPECT_TRUE(std::fabs(c.x) <= 1 && std::fabs(c.y) <= 1 && c.z >= 0 && c.z <= 1)
                        << box[0].x << " seen from " << angle.x << ", " << angle.y << " in " << width << "x" << height;
                    widest = std::max({widest, std::fabs(c.x), std::fabs(c.y)});
                }
                // The tighter side takes the share the border leaves; the rod
                // end on would reach past the clipping planes were it drawn large.
                if (box[1].x - box[0].x > 10 || !(angle == CVector(0, 0, 0))) {
                    EXPECT_NEAR(widest, kFrameFill, 0.01f) << box[0].x << " seen from " << angle.x;
                }
                EXPECT_EQ(camera.m_axis, angle);
            }
        }
    }
    // One point: centred 1500 units ahead, the zoom kept; nothing to frame, nothing changed.
    CTessaline scene;
    ViewState view;
    CAnimation camera = scene.GetCameraRecord();
    const D3DXVECTOR3 point{30, 40, 50};
    ASSERT_TRUE(FrameCamera(scene, view, std::span(&point, 1), camera));
    scene.GetCameraRecord() = camera;
    const D3DXVECTOR3 eye = D3DXVec3TransformCoord(point, ViewMatrix(scene));
    EXPECT_NEAR(eye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(eye.z, -1500.0f, 1e-2f);
    EXPECT_EQ(camera.m_scale, CVector(1, 1, 1));
    const D3DXVECTOR3 far{std::numeric_limits<float>::max(), 0, -std::numeric_limits<float>::max()};
    EXPECT_FALSE(FrameCamera(scene, view, {}, camera));
    EXPECT_FALSE(FrameCamera(scene, view, std::span(&far, 1), camera));
    view.m_viewHeight = 0.0f; // a minimised window
    EXPECT_FALSE(FrameCamera(scene, view, std::span(&point, 1), camera));
    EXPECT_EQ(camera, scene.GetCameraRecord());
}

TEST(Framing, TheBoundsAreTheShownModelsAtTheFrameAsked)
{
    CTessaline scene;
    scene.m_characterNames.push_back("Character_1");
    AddBox(scene, -1, {-10, -10, -10}, {10, 10, 10});
    CModel& child = AddBox(scene, 0, {-5, 0, -5}, {5, 20, 5}, {0, 10, 0});
    Key(child, 10).m_position = {2000, 0, 0};
    Inbetween(child);
    AddBox(scene, -1, {500, 500, 500}, {600, 600, 600}).m_visible = 0;
    AddBox(scene, ~1, {-9000, 0, 0}, {-8000, 10, 10}); // another character's
    const auto right = [&scene](int frame, int only = -1) {
        float x = -std::numeric_limits<float>::infinity();
        for (const D3DXVECTOR3& c : ShownBoxCorners(scene, 0, frame, only)) {
            x = std::max(x, c.x);
        }
        return x;
    };
    EXPECT_EQ(ShownBoxCorners(scene, 0, 0).size(), 16u); // neither the hidden box nor the other character's
    EXPECT_EQ(right(5), 1005.0f);                       // as in-betweened at that frame
    EXPECT_EQ(right(10, 1), 2005.0f);
    scene.m_selectedCharacter = 1;
    EXPECT_EQ(right(0), -8000.0f);
}

} // namespace vantomo
