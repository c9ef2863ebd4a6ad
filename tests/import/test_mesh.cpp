#include <cmath>

#include <gtest/gtest.h>

#include "import/MeshBuilder.h"
#include "scene/Normals.h"

namespace vantomo {

namespace {

CFace Face(std::initializer_list<int> corners, int material = 0)
{
    CFace face;
    face.m_material = material;
    for (const int c : corners) {
        face.m_indices.push_back(c);
        face.m_uvs.push_back(CUV{static_cast<float>(c), static_cast<float>(c) / 2});
    }
    return face;
}

// A box of 8 vertices and 6 quadrilaterals.
CModel Box()
{
    CModel model;
    for (int i = 0; i < 8; ++i) {
        CVertex v;
        v.m_position = CVector{static_cast<float>(i & 1), static_cast<float>((i >> 1) & 1), static_cast<float>(i >> 2)};
        model.m_vertices.push_back(v);
    }
    model.m_faces = {Face({0, 1, 3, 2}), Face({4, 6, 7, 5}), Face({0, 4, 5, 1}),
                     Face({2, 3, 7, 6}), Face({0, 2, 6, 4}), Face({1, 5, 7, 3})};
    return model;
}

} // namespace

TEST(MeshBuilding, TwoCornerFacesGiveThePivotAndOnlyTrianglesAndQuadsRemain)
{
    CModel model = Box();
    model.m_faces = {Face({0, 1, 2, 3}), Face({4, 7}), Face({0}), Face({}), Face({1, 2, 3}), Face({6, 5})};
    ASSERT_TRUE(BuildMesh(model));
    ASSERT_EQ(model.m_faces.size(), 2u);
    EXPECT_EQ(model.m_faces[1].m_indices, (FixedVector<int, 4>{1, 2, 3}));
    EXPECT_EQ(model.m_pivot, model.m_vertices[6].m_position); // the last one wins

    CModel lines = Box();
    lines.m_faces = {Face({0, 1}), Face({2, 3})};
    EXPECT_FALSE(BuildMesh(lines));

    // Corners outside the vertices are never followed, not even for the pivot.
    CModel outside = Box();
    outside.m_faces = {Face({0, 1, 8}), Face({-1, 2, 3}), Face({9, 1}), Face({0, 1, 2})};
    ASSERT_TRUE(BuildMesh(outside));
    EXPECT_EQ(outside.m_faces.size(), 1u);
    EXPECT_EQ(outside.m_pivot, CVector{});
}

TEST(MeshBuilding, MirrorPassesInXYZOrder)
{
    CModel x = Box();
    x.m_mirrorAxis = 1;
    ASSERT_TRUE(BuildMesh(x));
    ASSERT_EQ(x.m_vertices.size(), 16u);
    ASSERT_EQ(x.m_faces.size(), 12u);
    EXPECT_EQ(x.m_faces[6].m_indices, (FixedVector<int, 4>{10, 11, 9, 8}));
    EXPECT_EQ(x.m_faces[6].m_uvs[0], (CUV{2.0f, 1.0f}));
    EXPECT_EQ(x.m_vertices[9].m_position, (CVector{-1.0f, 0.0f, 0.0f}));
    EXPECT_TRUE(std::signbit(x.m_vertices[8].m_position.x)); // 0 becomes -0

    CModel xy = Box();
    xy.m_mirrorAxis = 3;
    ASSERT_TRUE(BuildMesh(xy));
    ASSERT_EQ(xy.m_vertices.size(), 32u);
    ASSERT_EQ(xy.m_faces.size(), 24u);
    EXPECT_EQ(xy.m_faces[12].m_indices, (FixedVector<int, 4>{18, 19, 17, 16})); // offset 16
    EXPECT_EQ(xy.m_vertices[16 + 9].m_position, (CVector{-1.0f, -0.0f, 0.0f}));

    CModel all = Box();
    all.m_mirrorAxis = 7;
    ASSERT_TRUE(BuildMesh(all));
    EXPECT_EQ(all.m_vertices.size(), 64u);

    for (const int axis : {0, 8, -1, 100}) {
        CModel none = Box();
        none.m_mirrorAxis = axis;
        ASSERT_TRUE(BuildMesh(none));
        EXPECT_EQ(none.m_vertices.size(), 8u) << axis;
    }
}

TEST(MeshBuilding, LinkFacesListsEveryUseInOrder)
{
    CModel model = Box();
    model.m_faces.push_back(Face({0, 0, 1}));
    LinkFaces(model);
    EXPECT_EQ(model.m_vertices[0].m_faces, (std::vector<int>{0, 2, 4, 6, 6}));
    EXPECT_EQ(model.m_vertices[7].m_faces, (std::vector<int>{1, 3, 5}));
}

TEST(MeshBuilding, NormalsInSinglePrecision)
{
    CModel tri;
    for (const CVector p : {CVector{0, 0, 0}, CVector{1, 0, 0}, CVector{0, 1, 0}, CVector{5, 5, 5}}) {
        CVertex v;
        v.m_position = p;
        tri.m_vertices.push_back(v);
    }
    tri.m_faces = {Face({0, 1, 2})};
    LinkFaces(tri);
    ComputeNormals(tri);
    EXPECT_EQ(tri.m_faces[0].m_normal, (CVector{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(tri.m_vertices[0].m_normal, (CVector{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(tri.m_vertices[3].m_normal, (CVector{0.0f, 1.0f, 0.0f})); // used by no face

    // Two triangles at a right angle: the shared vertices get the area-weighted sum.
    CModel bent;
    for (const CVector p : {CVector{0, 0, 0}, CVector{1, 0, 0}, CVector{0, 2, 0}, CVector{0, 0, 1}}) {
        CVertex v;
        v.m_position = p;
        bent.m_vertices.push_back(v);
    }
    bent.m_faces = {Face({0, 1, 2}), Face({0, 3, 1})};
    LinkFaces(bent);
    ComputeNormals(bent);
    EXPECT_EQ(bent.m_faces[0].m_normal, (CVector{0.0f, 0.0f, 2.0f}));
    EXPECT_EQ(bent.m_faces[1].m_normal, (CVector{0.0f, 1.0f, 0.0f}));
    const float inverse = 1.0f / std::sqrt(5.0f);
    EXPECT_EQ(bent.m_vertices[0].m_normal, (CVector{0.0f, 1.0f * inverse, 2.0f * inverse}));

    // Normals cancelling out, and face references outside the model.
    CModel flat;
    flat.m_vertices = tri.m_vertices;
    flat.m_faces = {Face({0, 1, 2}), Face({0, 2, 1}), Face({0, 1, 7})};
    for (CVertex& v : flat.m_vertices) {
        v.m_faces = {0, 1, 2, 99, -3};
    }
    ComputeNormals(flat);
    EXPECT_EQ(flat.m_vertices[0].m_normal, (CVector{0.0f, 1.0f, 0.0f}));
}

} // namespace vantomo
