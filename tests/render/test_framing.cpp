// Frame All and Frame Selected without a device: the boxes of the shown models
// at the current frame end inside the view, filling it, seen from where the
// camera looked.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "animation/Pose.h"
#include "animation/SceneBuilder.h"
#include "render/Camera.h"
#include "render/Framing.h"

namespace vantomo {

namespace {

// A model whose eight vertices are the corners of the box lo..hi around its pivot.
CModel BoxModel(int id, int parent, const CVector& lo, const CVector& hi, const CVector& pivot = {})
{
    CModel model = MakeAnimatedModel(id, parent, 21);
    model.m_pivot = pivot;
    for (int i = 0; i < 8; ++i) {
        CVertex v;
        v.m_position = {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
        model.m_vertices.push_back(v);
    }
    model.UpdateBounds();
    return model;
}

void Finish(CTessaline& scene)
{
    scene.RefreshDerived();
    scene.BuildTraversal();
}

// Where the camera puts a world point: x and y of the picture in -1 .. 1,
// depth in 0 .. 1 between the clipping planes.
D3DXVECTOR3 Clip(const CTessaline& scene, const D3DXVECTOR3& world)
{
    return D3DXVec3TransformCoord(world, D3DXMatrixMultiply(ViewMatrix(scene), ProjectionMatrix(scene)));
}

struct Spread {
    float widest = 0.0f; // the largest |x| or |y| of a framed corner
    bool inside = true;
};

Spread Check(const CTessaline& scene, const std::vector<D3DXVECTOR3>& corners)
{
    Spread spread;
    for (const D3DXVECTOR3& corner : corners) {
        const D3DXVECTOR3 c = Clip(scene, corner);
        spread.inside = spread.inside && std::fabs(c.x) <= 1.0f && std::fabs(c.y) <= 1.0f && c.z >= 0.0f && c.z <= 1.0f;
        spread.widest = std::max({spread.widest, std::fabs(c.x), std::fabs(c.y)});
    }
    return spread;
}

} // namespace

TEST(Framing, EveryCornerOfTheBoundsEndsInsideAFilledViewSeenFromTheSameSide)
{
    struct Box {
        CVector lo, hi;
    };
    const Box boxes[] = {
        {{-100, 0, -50}, {150, 300, 80}},                   // a figure near the origin
        {{2.5f, 1.5f, 0.5f}, {3.5f, 2.5f, 1.5f}},           // one unit, off the origin
        {{-40000, 0, -20000}, {40000, 10, 20000}},          // a ground plate past the far plane
        {{99000, -500, -800}, {101000, 9000, 800}},         // a tower far to the side
        {{-5000, -5000, -5000}, {-4999, -4999, 5000}},      // a long thin rod
    };
    const CVector angles[] = {{20, 10, 0}, {0, 0, 0}, {90, 0, 0}, {-35, 140, 15}, {0, -90, 0}, {180, 45, 0}};
    const int views[][2] = {{640, 480}, {200, 600}, {1, 1}};
    for (const Box& box : boxes) {
        for (const CVector& angle : angles) {
            for (const auto& view : views) {
                for (const float zoom : {1.0f, 0.05f, 4.0f}) {
                    CTessaline scene;
                    scene.m_models.push_back(BoxModel(6, -1, box.lo, box.hi, {7, 8, 9}));
                    Finish(scene);
                    scene.m_viewWidth = static_cast<float>(view[0]);
                    scene.m_viewHeight = static_cast<float>(view[1]);
                    CAnimation& camera = scene.GetCameraRecord();
                    camera.m_axis = angle;
                    camera.m_scale = {zoom, zoom, zoom};
                    camera.m_position = {123, -45, -678};
                    const std::vector<D3DXVECTOR3> corners = ShownBoxCorners(scene, 0, 0);
                    ASSERT_EQ(corners.size(), 8u);
                    ASSERT_TRUE(FrameCamera(scene, corners, camera));
                    const Spread spread = Check(scene, corners);
                    const std::string where = "box " + std::to_string(box.lo.x) + ", angles " +
                                              std::to_string(angle.x) + " " + std::to_string(angle.y) + ", view " +
                                              std::to_string(view[0]) + "x" + std::to_string(view[1]);
                    EXPECT_TRUE(spread.inside) << where;
                    // The tighter side takes the share the border leaves; a
                    // rod seen end on, ten thousand units deep, would reach past
                    // the clipping planes were it drawn large.
                    const bool endOn = box.hi.x - box.lo.x < 10 && angle == CVector(0, 0, 0);
                    if (!endOn) {
                        EXPECT_NEAR(spread.widest, kFrameFill, 0.01f) << where;
                    }
                    EXPECT_EQ(camera.m_axis, angle) << where;
                    EXPECT_EQ(camera.m_scale.x, camera.m_scale.y);
                }
            }
        }
    }
}

TEST(Framing, TheBoundsAreTheShownModelsAtTheFrameAsked)
{
    CTessaline scene;
    scene.m_characterNames.push_back("Character_1");
    scene.m_models.push_back(BoxModel(6, -1, {-10, -10, -10}, {10, 10, 10}));
    CModel walker = BoxModel(7, 0, {-5, 0, -5}, {5, 20, 5}, {0, 10, 0});
    Key(walker, 10).m_position = {2000, 0, 0};
    Inbetween(walker);
    scene.m_models.push_back(walker);
    scene.m_models.push_back(BoxModel(8, -1, {500, 500, 500}, {600, 600, 600}));
    scene.m_models.push_back(BoxModel(9, ~1, {-9000, 0, 0}, {-8000, 10, 10})); // another character
    scene.m_models[2].m_visible = 0;
    Finish(scene);

    const auto widest = [](const std::vector<D3DXVECTOR3>& corners) {
        float x = -std::numeric_limits<float>::infinity();
        for (const D3DXVECTOR3& c : corners) {
            x = std::max(x, c.x);
        }
        return x;
    };
    // The child follows its parent... which stays; its own key carries it.
    EXPECT_EQ(ShownBoxCorners(scene, 0, 0).size(), 16u); // the hidden and the other character's are left out
    EXPECT_EQ(widest(ShownBoxCorners(scene, 0, 0)), 10.0f);
    EXPECT_EQ(widest(ShownBoxCorners(scene, 0, 10)), 2005.0f);
    EXPECT_EQ(widest(ShownBoxCorners(scene, 0, 5)), 1005.0f);
    const std::vector<D3DXVECTOR3> alone = ShownBoxCorners(scene, 0, 10, 1);
    ASSERT_EQ(alone.size(), 8u);
    EXPECT_EQ(alone.front().x, 1995.0f);
    EXPECT_TRUE(ShownBoxCorners(scene, 0, 10, 2).empty()); // hidden
    EXPECT_TRUE(HasShownModel(scene));

    scene.m_selectedCharacter = 1;
    EXPECT_EQ(widest(ShownBoxCorners(scene, 0, 0)), -8000.0f);

    // A box that is not a number is no bound at all.
    scene.m_models[3].m_bounds[0].x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(ShownBoxCorners(scene, 0, 0).size(), 4u);
    scene.m_models[3].m_visible = 0;
    EXPECT_FALSE(HasShownModel(scene));
}

TEST(Framing, ASinglePointIsCentredAtTheUsualDistanceAndNothingLeavesTheCameraAlone)
{
    CTessaline scene;
    scene.m_viewWidth = 400;
    scene.m_viewHeight = 300;
    CAnimation camera = scene.GetCameraRecord();
    const D3DXVECTOR3 point{30, 40, 50};
    ASSERT_TRUE(FrameCamera(scene, std::span(&point, 1), camera));
    scene.GetCameraRecord() = camera;
    const D3DXVECTOR3 eye = D3DXVec3TransformCoord(point, ViewMatrix(scene));
    EXPECT_NEAR(eye.x, 0.0f, 1e-3f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-3f);
    EXPECT_NEAR(eye.z, -1500.0f, 1e-2f);
    EXPECT_EQ(camera.m_scale, CVector(1, 1, 1)); // a point has no size to zoom to

    const CAnimation before = scene.GetCameraRecord();
    EXPECT_FALSE(FrameCamera(scene, {}, camera));
    const D3DXVECTOR3 far{std::numeric_limits<float>::max(), 0, -std::numeric_limits<float>::max()};
    EXPECT_FALSE(FrameCamera(scene, std::span(&far, 1), camera));
    scene.m_viewHeight = 0.0f; // a minimised window
    EXPECT_FALSE(FrameCamera(scene, std::span(&point, 1), camera));
    scene.m_viewHeight = 300.0f;
    scene.m_fieldOfView = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(FrameCamera(scene, std::span(&point, 1), camera));
    EXPECT_EQ(camera, before);
}

} // namespace vantomo
