#include <gtest/gtest.h>

#include "animation/SceneBuilder.h"
#include "render/RenderGeometry.h"
#include "scene/CMaterial.h"

namespace vantomo {

namespace {

CModel QuadAndTriangle(int firstMaterial, int secondMaterial)
{
    CModel model;
    model.m_pivot = {1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        CVertex v;
        v.m_position = {static_cast<float>(i), 10.0f, 0.0f};
        v.m_normal = {0, 0, 1};
        model.m_vertices.push_back(v);
    }
    CFace quad;
    quad.m_material = firstMaterial;
    for (int i = 0; i < 4; ++i) {
        quad.m_indices.push_back(i);
    }
    quad.m_uvs.push_back({0.5f, 0.25f}); // shorter than the corners
    CFace tri;
    tri.m_material = secondMaterial;
    tri.m_indices.push_back(0);
    tri.m_indices.push_back(1);
    tri.m_indices.push_back(2);
    CFace line; // two corners: not drawn
    line.m_indices.push_back(0);
    line.m_indices.push_back(1);
    model.m_faces = {quad, line, tri};
    return model;
}

std::vector<CMaterial> Materials(std::initializer_list<int> ids)
{
    std::vector<CMaterial> out;
    for (int id : ids) {
        CMaterial m;
        m.m_id = id;
        out.push_back(m);
    }
    return out;
}

} // namespace

TEST(FixedGeometry, HasTheTabledVertexCountsAndColours)
{
    EXPECT_EQ(GridVertices().size(), 90u);
    EXPECT_EQ(GridVertices()[0].color, kColourX);
    EXPECT_EQ(GridVertices()[89].x, 500.0f);
    EXPECT_EQ(GridVertices()[89].z, 500.0f);
    const int sizes[3] = {78, 72, 150};
    const int triangles[3] = {24, 24, 48};
    for (int mode = 0; mode < 3; ++mode) {
        const ManipulatorGeometry g = GetManipulatorGeometry(mode);
        EXPECT_EQ(static_cast<int>(g.vertices.size()), sizes[mode]);
        EXPECT_EQ(3 * g.triangles + 2 * g.stems, sizes[mode]);
        EXPECT_EQ(g.triangles, triangles[mode]);
    }
    EXPECT_TRUE(GetManipulatorGeometry(3).vertices.empty());
    // Move: Y head's first triangle (0, 2, 1) in green, then the yellow centre block.
    const ManipulatorGeometry move = GetManipulatorGeometry(0);
    EXPECT_EQ(move.vertices[12].y, 100.0f);
    EXPECT_EQ(move.vertices[13].x, -8.0f);
    EXPECT_EQ(move.vertices[12].color, kColourY);
    EXPECT_EQ(move.vertices[36].color, kColourCentre);
    EXPECT_EQ(move.vertices[77].z, 80.0f);
}

TEST(MeshBuffer, OneVertexPerCornerRelativeToThePivotWithQuadsSplitAtCornerZero)
{
    const CModel model = QuadAndTriangle(7, 7);
    const std::vector<CMaterial> materials = Materials({3, 7});
    const MeshBuffer b = BuildMeshBuffer(model, materials);
    ASSERT_EQ(b.vertices.size(), 7u);
    EXPECT_EQ(b.vertices[1].x, 0.0f);
    EXPECT_EQ(b.vertices[1].y, 8.0f);
    EXPECT_EQ(b.vertices[1].z, -3.0f);
    EXPECT_EQ(b.vertices[0].u, 0.5f);
    EXPECT_EQ(b.vertices[1].u, 0.0f); // missing coordinates read (0, 0)
    EXPECT_EQ(b.indices, (std::vector<std::uint32_t>{1, 2, 0, 2, 3, 0, 4, 5, 6}));
    ASSERT_EQ(b.batches.size(), 1u); // one run, one draw
    EXPECT_EQ(b.batches[0].material, 1);
    EXPECT_EQ(b.batches[0].count, 9u);
}

TEST(MeshBuffer, FacesWithUnknownOrDuplicatedMaterialsStayInStepWithTheDraws)
{
    const CModel model = QuadAndTriangle(42, 7);
    const std::vector<CMaterial> materials = Materials({7, 7});
    const MeshBuffer b = BuildMeshBuffer(model, materials);
    ASSERT_EQ(b.vertices.size(), 7u); // each face once, matched twice or not at all
    ASSERT_EQ(b.batches.size(), 2u);
    EXPECT_EQ(b.batches[0].material, -1);
    EXPECT_EQ(b.batches[0].count, 6u);
    EXPECT_EQ(b.batches[1].material, 0);
    EXPECT_EQ(b.batches[1].firstIndex, 6u);
    EXPECT_EQ(b.batches[1].count, 3u);
}

TEST(ManipulatorWorld, StandsAtThePivotMovedByThePositionWithoutOwnRotationOrZoom)
{
    CTessaline scene;
    scene.m_models.push_back(MakeAnimatedModel(0, -1, 1));
    scene.m_models.push_back(MakeAnimatedModel(1, 0, 1));
    scene.m_models[1].m_pivot = {10, 0, 0};
    CAnimation& parent = scene.m_models[0].m_tracks[0][0];
    parent.m_position = {0, 5, 0};
    parent.m_scale = {2, 2, 2};
    CAnimation& child = scene.m_models[1].m_tracks[0][0];
    child.m_position = {1, 0, 0};
    child.m_axis = {0, 0, 1};
    child.m_angle = 90;
    scene.RefreshDerived();
    scene.BuildTraversal();
    scene.GetCameraRecord().m_scale = {2, 2, 2};
    scene.m_selectedModel = 1;

    D3DXMATRIX w;
    ASSERT_TRUE(ComposeManipulatorWorld(scene, 0, 0, w));
    // Parent scaling does not reach it; its own rotation does not turn it.
    EXPECT_FLOAT_EQ(w.m[0][0], 0.5f);
    EXPECT_FLOAT_EQ(w.m[0][1], 0.0f);
    EXPECT_FLOAT_EQ(w.m[3][0], 11.0f);
    EXPECT_FLOAT_EQ(w.m[3][1], 5.0f);

    scene.m_models[1].m_visible = 0;
    D3DXMATRIX untouched = D3DXMatrixIdentity();
    EXPECT_FALSE(ComposeManipulatorWorld(scene, 0, 0, untouched));
    EXPECT_EQ(untouched, D3DXMatrixIdentity());
    scene.m_models[1].m_visible = 1;
    scene.m_transformMode = 3;
    EXPECT_FALSE(ComposeManipulatorWorld(scene, 0, 0, untouched));
    scene.m_transformMode = 0;
    scene.m_selectedModel = kNoModel;
    EXPECT_FALSE(ComposeManipulatorWorld(scene, 0, 0, untouched));
}

} // namespace vantomo
