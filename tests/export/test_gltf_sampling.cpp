// Rotations as quaternions and the dropping of animation samples.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "export/GltfSampling.h"
#include "math/D3DMath.h"

namespace vantomo {

namespace {

std::vector<float> Times(std::size_t count)
{
    std::vector<float> times;
    for (std::size_t f = 0; f < count; ++f) {
        times.push_back(static_cast<float>(static_cast<double>(f) / 30.0));
    }
    return times;
}

TEST(GltfQuaternion, UnusableAxesAreNoRotationAndOthersMatchTheSceneMatrix)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::array<float, 4> identity{0, 0, 0, 1};
    EXPECT_EQ(AxisAngleToQuaternion({0, 0, 0}, 90), identity);
    EXPECT_EQ(AxisAngleToQuaternion({1e-20f, 0, 0}, 90), identity);
    EXPECT_EQ(AxisAngleToQuaternion({nan, 1, 0}, 90), identity);
    EXPECT_EQ(AxisAngleToQuaternion({inf, 0, 0}, 90), identity);
    // Even a NaN angle: the scene's matrix ignores the angle for such an axis.
    EXPECT_EQ(AxisAngleToQuaternion({0, 0, 0}, nan), identity);

    const std::array<float, 4> q = AxisAngleToQuaternion({0, 2, 0}, 90); // axis not of unit length
    EXPECT_NEAR(q[1], std::sqrt(0.5), 1e-7);
    EXPECT_NEAR(q[3], std::sqrt(0.5), 1e-7);
    EXPECT_EQ(q[0], 0.0f);

    // glTF's column-vector matrix of the quaternion is the transpose of the
    // scene's row-vector matrix, for any axis and angle.
    const CVector axes[] = {{1, 0, 0}, {0.3f, -2, 0.7f}, {-1, -1, 5}, {1e-3f, 0, 0}};
    const float angles[] = {0, 37.5f, -120, 359, 725};
    for (const CVector& axis : axes) {
        for (const float angle : angles) {
            const std::array<double, 9> m = QuaternionToMatrix(AxisAngleToQuaternion(axis, angle));
            const D3DXMATRIX r = D3DXMatrixRotationAxis(axis, DegreesToRadians(angle));
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) {
                    EXPECT_NEAR(m[static_cast<std::size_t>(row * 3 + col)], r.m[col][row], 2e-6)
                        << axis.x << " " << axis.y << " " << axis.z << " " << angle;
                }
            }
        }
    }
}

TEST(GltfQuaternion, ContinuityFlipsTheOppositeHemisphere)
{
    std::vector<float> q = {0, 0, 0, 1, 0, 0, 0.1f, -0.99f, 0, 0, 0.2f, -0.98f};
    MakeQuaternionsContinuous(q);
    EXPECT_EQ(q[7], 0.99f);
    EXPECT_EQ(q[6], -0.1f);
    EXPECT_EQ(q[11], 0.98f); // compared with the flipped neighbour, so flipped too
}

TEST(GltfSampling, LinearAndConstantRunsKeepOnlyTheirEnds)
{
    const std::vector<float> times = Times(11);
    std::vector<float> linear, constant;
    for (int f = 0; f <= 10; ++f) {
        linear.insert(linear.end(), {static_cast<float>(f), 2.0f * static_cast<float>(f), -5});
        constant.insert(constant.end(), {1, 2, 3});
    }
    EXPECT_EQ(KeptSamples(times, linear, 3, false), (std::vector<std::uint32_t>{0, 10}));
    EXPECT_EQ(KeptSamples(times, constant, 3, false), (std::vector<std::uint32_t>{0, 10}));
    EXPECT_EQ(KeptSamples(Times(1), std::vector<float>{1, 2, 3}, 3, false), (std::vector<std::uint32_t>{0}));
    EXPECT_TRUE(KeptSamples({}, {}, 3, false).empty());

    // Two linear pieces (a baked key at frame 4, then held): the corners stay.
    std::vector<float> pieces;
    for (int f = 0; f <= 10; ++f) {
        pieces.push_back(static_cast<float>(std::min(f, 4)) * 10.0f);
    }
    EXPECT_EQ(KeptSamples(times, pieces, 1, false), (std::vector<std::uint32_t>{0, 4, 10}));
}

TEST(GltfSampling, ADeviationBeyondTheToleranceKeepsTheSample)
{
    const std::vector<float> times = Times(3);
    // Relative tolerance 1e-6 of the value: 1000 + 0.002 is beyond it, + 0.0005 is not.
    EXPECT_EQ(KeptSamples(times, std::vector<float>{0, 1000.002f, 2000}, 1, false).size(), 3u);
    EXPECT_EQ(KeptSamples(times, std::vector<float>{0, 1000.0005f, 2000}, 1, false).size(), 2u);
    // Below 1 the tolerance is absolute.
    EXPECT_EQ(KeptSamples(times, std::vector<float>{0, 2e-6f, 0}, 1, false).size(), 3u);
    EXPECT_EQ(KeptSamples(times, std::vector<float>{0, 5e-7f, 0}, 1, false).size(), 2u);
}

TEST(GltfSampling, RotationsNeedSphericalAndComponentWiseAgreement)
{
    // A steady turn about one axis: slerp reproduces every frame, blending
    // the components does not, so every sample stays.
    const std::vector<float> times = Times(5);
    std::vector<float> turn;
    for (int f = 0; f < 5; ++f) {
        const std::array<float, 4> q = AxisAngleToQuaternion({0, 1, 0}, 40.0f * static_cast<float>(f));
        turn.insert(turn.end(), q.begin(), q.end());
    }
    EXPECT_EQ(KeptSamples(times, turn, 4, true).size(), 5u);
    // A middle sample exactly halfway between its neighbours, component by
    // component: blending reproduces it, slerp (which stays on the unit
    // sphere) does not, so as a rotation it stays.
    const std::array<float, 4> a = AxisAngleToQuaternion({0, 1, 0}, 0);
    const std::array<float, 4> b = AxisAngleToQuaternion({0, 1, 0}, 90);
    std::vector<float> halfway(a.begin(), a.end());
    for (std::size_t c = 0; c < 4; ++c) {
        halfway.push_back((a[c] + b[c]) * 0.5f);
    }
    halfway.insert(halfway.end(), b.begin(), b.end());
    EXPECT_EQ(KeptSamples(Times(3), halfway, 4, false).size(), 2u);
    EXPECT_EQ(KeptSamples(Times(3), halfway, 4, true).size(), 3u);

    // Held rotations and rotations about a zero axis drop to the ends.
    std::vector<float> held;
    for (int f = 0; f < 5; ++f) {
        const std::array<float, 4> q = AxisAngleToQuaternion({1, 1, 0}, 30.0f);
        held.insert(held.end(), q.begin(), q.end());
    }
    EXPECT_EQ(KeptSamples(times, held, 4, true), (std::vector<std::uint32_t>{0, 4}));
}

} // namespace

} // namespace vantomo
