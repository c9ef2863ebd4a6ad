// Models and materials for the renderer tests, built in memory.
#pragma once

#include <initializer_list>
#include <vector>

#include "animation/SceneBuilder.h"
#include "import/MeshBuilder.h"
#include "math/D3DMath.h"
#include "scene/CMaterial.h"
#include "scene/CTessaline.h"

namespace vantomo {

// A material whose every face reads as `r, g, b` whatever the light: ambient
// 1 (times the white global ambient and the light's 0.1) saturates it.
inline CMaterial FlatColour(int id, float r, float g, float b)
{
    CMaterial m;
    m.m_id = id;
    m.m_color[0] = r;
    m.m_color[1] = g;
    m.m_color[2] = b;
    m.m_color[3] = 1.0f;
    m.m_ambient = 1.0f;
    m.m_diffuse = 0.0f;
    m.UpdateD3DMaterial();
    return m;
}

// (P1 - P0) x (P2 - P0) of a face's first three corners.
inline D3DXVECTOR3 Winding(const CModel& model, const CFace& face)
{
    const CVector& a = model.m_vertices[static_cast<std::size_t>(face.m_indices[0])].m_position;
    const CVector& b = model.m_vertices[static_cast<std::size_t>(face.m_indices[1])].m_position;
    const CVector& c = model.m_vertices[static_cast<std::size_t>(face.m_indices[2])].m_position;
    const D3DXVECTOR3 u{b.x - a.x, b.y - a.y, b.z - a.z};
    const D3DXVECTOR3 v{c.x - a.x, c.y - a.y, c.z - a.z};
    return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

inline void AddFace(CModel& model, std::initializer_list<int> corners, int material)
{
    CFace face;
    face.m_material = material;
    for (int c : corners) {
        face.m_indices.push_back(c);
    }
    model.m_faces.push_back(face);
}

// A closed box between two corners, seen from outside: as in the modeller's
// files, the corners of a face seen from outside run clockwise, so the
// winding normal (P1 - P0) x (P2 - P0) points into the box.
inline CModel Box(int id, int parent, D3DXVECTOR3 lo, D3DXVECTOR3 hi, int material)
{
    CModel model = MakeAnimatedModel(id, parent, 61);
    for (int i = 0; i < 8; ++i) {
        CVertex v;
        v.m_position = {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
        model.m_vertices.push_back(v);
    }
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    const D3DXVECTOR3 centre{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, (lo.z + hi.z) / 2};
    for (const auto& q : quads) {
        AddFace(model, {q[0], q[1], q[2], q[3]}, material);
        CFace& face = model.m_faces.back();
        D3DXVECTOR3 mid{};
        for (int c : q) {
            const CVector& p = model.m_vertices[static_cast<std::size_t>(c)].m_position;
            mid = {mid.x + p.x / 4, mid.y + p.y / 4, mid.z + p.z / 4};
        }
        const D3DXVECTOR3 out{mid.x - centre.x, mid.y - centre.y, mid.z - centre.z};
        const D3DXVECTOR3 n = Winding(model, face);
        if (n.x * out.x + n.y * out.y + n.z * out.z > 0) {
            face.m_indices = {};
            for (int k = 3; k >= 0; --k) {
                face.m_indices.push_back(q[k]);
            }
        }
    }
    model.UpdateBounds();
    return model;
}

// The scene's hierarchy after models were appended with parents set, and
// each vertex's list of faces, which its normal is averaged from.
inline void Finish(CTessaline& scene)
{
    for (CModel& model : scene.m_models) {
        LinkFaces(model);
    }
    scene.RepairParents();
    scene.RefreshDerived();
    scene.BuildTraversal();
}

} // namespace vantomo
