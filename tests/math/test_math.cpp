#include <cfloat>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "math/D3DMath.h"

namespace vantomo {

namespace {

void ExpectNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = 1e-5f)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a.m[r][c], b.m[r][c], eps) << "element _" << r + 1 << c + 1;
        }
    }
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& v, const D3DXMATRIX& m) { return D3DXVec3TransformCoord(v, m); }

} // namespace

TEST(DegreeConversion, DividesInSingleThenMultipliesInDouble)
{
    EXPECT_EQ(DegreesToRadians(360.0f), static_cast<float>(6.28318530718));
    EXPECT_EQ(DegreesToRadians(90.0f), static_cast<float>(0.25 * 6.28318530718));
    // 1/3 of a turn is inexact in single precision; the product must use that single value.
    const float third = 120.0f / 360.0f;
    EXPECT_EQ(DegreesToRadians(120.0f), static_cast<float>(static_cast<double>(third) * 6.28318530718));
}

TEST(MatrixProduct, RowVectorsApplyTheLeftFactorFirst)
{
    const D3DXMATRIX s = D3DXMatrixScaling(2.0f, 2.0f, 2.0f);
    const D3DXMATRIX t = D3DXMatrixTranslation(10.0f, 0.0f, 0.0f);
    const D3DXVECTOR3 p = Transform({1.0f, 1.0f, 1.0f}, D3DXMatrixMultiply(s, t));
    EXPECT_FLOAT_EQ(p.x, 12.0f); // scaled first, then moved
    EXPECT_FLOAT_EQ(p.y, 2.0f);
    const D3DXVECTOR3 q = Transform({1.0f, 1.0f, 1.0f}, D3DXMatrixMultiply(t, s));
    EXPECT_FLOAT_EQ(q.x, 22.0f);
    EXPECT_EQ(t.m[3][0], 10.0f); // translation sits in the fourth row
}

TEST(Rotation, ElementLayoutFollowsTheD3DXDefinitions)
{
    const float a = 0.5f;
    const D3DXMATRIX x = D3DXMatrixRotationX(a);
    EXPECT_EQ(x.m[1][2], std::sin(a));
    EXPECT_EQ(x.m[2][1], -std::sin(a));
    const D3DXMATRIX y = D3DXMatrixRotationY(a);
    EXPECT_EQ(y.m[0][2], -std::sin(a));
    EXPECT_EQ(y.m[2][0], std::sin(a));
    const D3DXMATRIX z = D3DXMatrixRotationZ(a);
    EXPECT_EQ(z.m[0][1], std::sin(a));
    EXPECT_EQ(z.m[1][0], -std::sin(a));
    // Rotating +x by 90 degrees about z gives +y with row vectors.
    const D3DXVECTOR3 p = Transform({1.0f, 0.0f, 0.0f}, D3DXMatrixRotationZ(DegreesToRadians(90.0f)));
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
}

TEST(Rotation, AxisFormNormalisesAndMatchesTheSingleAxisForms)
{
    const float a = 1.2f;
    EXPECT_EQ(D3DXMatrixRotationAxis({1.0f, 0.0f, 0.0f}, a), D3DXMatrixRotationX(a));
    EXPECT_EQ(D3DXMatrixRotationAxis({5.0f, 0.0f, 0.0f}, a), D3DXMatrixRotationX(a));
    ExpectNear(D3DXMatrixRotationAxis({0.0f, 3.0f, 0.0f}, a), D3DXMatrixRotationY(a));
    ExpectNear(D3DXMatrixRotationAxis({0.0f, 0.0f, -2.0f}, a), D3DXMatrixRotationZ(-a));
}

TEST(Rotation, AnAxisThatCannotBeNormalisedGivesNoRotation)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const D3DXMATRIX identity = D3DXMatrixIdentity();
    EXPECT_EQ(D3DXMatrixRotationAxis({0.0f, 0.0f, 0.0f}, 1.0f), identity);
    EXPECT_EQ(D3DXMatrixRotationAxis({1e-30f, 0.0f, 0.0f}, 1.0f), identity);
    EXPECT_EQ(D3DXMatrixRotationAxis({nan, 1.0f, 0.0f}, 1.0f), identity);
    EXPECT_EQ(D3DXMatrixRotationAxis({inf, 0.0f, 0.0f}, 1.0f), identity);
    // Just long enough still rotates.
    EXPECT_NE(D3DXMatrixRotationAxis({1e-18f, 0.0f, 0.0f}, 1.0f), identity);
}

TEST(Inverse, UndoesAComposedTransformAndRefusesSingularMatrices)
{
    const D3DXMATRIX m = D3DXMatrixMultiply(
        D3DXMatrixMultiply(D3DXMatrixScaling(2.0f, 3.0f, 4.0f), D3DXMatrixRotationAxis({1.0f, 2.0f, 3.0f}, 0.7f)),
        D3DXMatrixTranslation(5.0f, -6.0f, 7.0f));
    D3DXMATRIX inv;
    ASSERT_TRUE(D3DXMatrixInverse(inv, m));
    ExpectNear(D3DXMatrixMultiply(m, inv), D3DXMatrixIdentity());
    D3DXMATRIX untouched = D3DXMatrixTranslation(1.0f, 2.0f, 3.0f);
    EXPECT_FALSE(D3DXMatrixInverse(untouched, D3DXMatrixScaling(1.0f, 0.0f, 1.0f)));
    EXPECT_EQ(untouched, D3DXMatrixTranslation(1.0f, 2.0f, 3.0f));
}

TEST(Projection, PerspectiveFovRHHasTheRightHandedLayout)
{
    const D3DXMATRIX p = D3DXMatrixPerspectiveFovRH(DegreesToRadians(90.0f), 2.0f, 1.0f, 101.0f);
    EXPECT_NEAR(p.m[1][1], 1.0f, 1e-6f);
    EXPECT_NEAR(p.m[0][0], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(p.m[2][2], 101.0f / -100.0f);
    EXPECT_EQ(p.m[2][3], -1.0f);
    EXPECT_FLOAT_EQ(p.m[3][2], 101.0f / -100.0f);
    EXPECT_EQ(p.m[3][3], 0.0f);
}

TEST(IntersectTri, HitsFromEitherSideAndMissesParallelOrBehind)
{
    const D3DXVECTOR3 a{0.0f, 0.0f, 0.0f}, b{1.0f, 0.0f, 0.0f}, c{0.0f, 1.0f, 0.0f};
    float u = -1, v = -1, d = -1;
    EXPECT_TRUE(D3DXIntersectTri(a, b, c, {0.25f, 0.25f, 5.0f}, {0.0f, 0.0f, -1.0f}, &u, &v, &d));
    EXPECT_FLOAT_EQ(d, 5.0f);
    EXPECT_FLOAT_EQ(u, 0.25f);
    EXPECT_TRUE(D3DXIntersectTri(a, b, c, {0.25f, 0.25f, -5.0f}, {0.0f, 0.0f, 1.0f}, nullptr, nullptr, nullptr));
    EXPECT_FALSE(D3DXIntersectTri(a, b, c, {0.25f, 0.25f, 5.0f}, {0.0f, 0.0f, 1.0f}, nullptr, nullptr, nullptr));
    EXPECT_FALSE(D3DXIntersectTri(a, b, c, {0.25f, 0.25f, 0.0f}, {1.0f, 0.0f, 0.0f}, nullptr, nullptr, nullptr));
    EXPECT_FALSE(D3DXIntersectTri(a, b, c, {0.9f, 0.9f, 5.0f}, {0.0f, 0.0f, -1.0f}, nullptr, nullptr, nullptr));
}

TEST(MatrixStack, MultMatrixLocalPremultipliesAndPopRestores)
{
    MatrixStack stack;
    EXPECT_EQ(stack.GetTop(), D3DXMatrixIdentity());
    stack.MultMatrixLocal(D3DXMatrixTranslation(1.0f, 0.0f, 0.0f));
    stack.Push();
    stack.MultMatrixLocal(D3DXMatrixScaling(2.0f, 2.0f, 2.0f));
    // top = S x T: a point is scaled, then moved.
    EXPECT_EQ(stack.GetTop(), D3DXMatrixMultiply(D3DXMatrixScaling(2.0f, 2.0f, 2.0f),
                                                 D3DXMatrixTranslation(1.0f, 0.0f, 0.0f)));
    stack.Pop();
    EXPECT_EQ(stack.GetTop(), D3DXMatrixTranslation(1.0f, 0.0f, 0.0f));
    stack.Pop(); // popping the last matrix keeps it
    EXPECT_EQ(stack.Depth(), 1u);
    stack.LoadIdentity();
    EXPECT_EQ(stack.GetTop(), D3DXMatrixIdentity());
}

TEST(EulerRotation, IsZThenYThenXInProductOrder)
{
    const D3DXMATRIX expected = D3DXMatrixMultiply(
        D3DXMatrixMultiply(D3DXMatrixRotationZ(DegreesToRadians(30.0f)), D3DXMatrixRotationY(DegreesToRadians(10.0f))),
        D3DXMatrixRotationX(DegreesToRadians(20.0f)));
    EXPECT_EQ(EulerRotation(20.0f, 10.0f, 30.0f), expected);
}

} // namespace vantomo
