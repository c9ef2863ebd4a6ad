#include "render/RenderGeometry.h"

#include <cmath>

#include "animation/Pose.h"
#include "scene/CMaterial.h"
#include "scene/CTessaline.h"

namespace vantomo {

namespace {

using V3 = D3DXVECTOR3;

constexpr std::array<std::array<V3, 5>, 3> kMoveHeads = {{
    {{{100, 0, 0}, {80, 0, 10}, {80, -8, -5}, {80, 8, -5}, {80, 0, 0}}},
    {{{0, 100, 0}, {0, 80, 10}, {-8, 80, -5}, {8, 80, -5}, {0, 80, 0}}},
    {{{0, 0, 100}, {0, 10, 80}, {-8, -5, 80}, {8, -5, 80}, {0, 0, 80}}},
}};

constexpr std::array<std::array<V3, 4>, 3> kRotateSpikes = {{
    {{{10, 0, 0}, {80, 0, 10}, {80, -8, -5}, {80, 8, -5}}},
    {{{0, 10, 0}, {0, 80, 10}, {-8, 80, -5}, {8, 80, -5}}},
    {{{0, 0, 10}, {0, 10, 80}, {-8, -5, 80}, {8, -5, 80}}},
}};

constexpr std::array<std::array<V3, 8>, 3> kScaleBlocks = {{
    {{{80, -5, 5}, {80, 5, 5}, {90, -5, 5}, {90, 5, 5}, {90, -5, -5}, {90, 5, -5}, {80, -5, -5}, {80, 5, -5}}},
    {{{-5, 80, 5}, {5, 80, 5}, {-5, 90, 5}, {5, 90, 5}, {-5, 90, -5}, {5, 90, -5}, {-5, 80, -5}, {5, 80, -5}}},
    {{{-5, 5, 80}, {5, 5, 80}, {-5, 5, 90}, {5, 5, 90}, {-5, -5, 90}, {5, -5, 90}, {-5, -5, 80}, {5, -5, 80}}},
}};

constexpr std::array<V3, 8> kCentreBlock = {
    {{-5, 5, -5}, {5, 5, -5}, {-5, 5, 5}, {5, 5, 5}, {-5, -5, 5}, {5, -5, 5}, {-5, -5, -5}, {5, -5, -5}}};

constexpr std::uint32_t kAxisColours[3] = {kColourX, kColourY, kColourZ};

int AxisIndex(int axis) { return axis >= 0 && axis <= 2 ? axis : 0; }

ColouredVertex Coloured(float x, float y, float z, std::uint32_t colour)
{
    ColouredVertex v;
    v.x = x;
    v.y = y;
    v.z = z;
    v.nx = 0.0f;
    v.ny = 0.0f;
    v.nz = 1.0f;
    v.color = colour;
    return v;
}

ColouredVertex Coloured(const V3& p, std::uint32_t colour) { return Coloured(p.x, p.y, p.z, colour); }

template <std::size_t N, std::size_t T>
void AppendTriangles(std::vector<ColouredVertex>& out, const std::array<V3, N>& corners,
                     const int (&triangles)[T][3], std::uint32_t colour)
{
    for (const auto& tri : triangles) {
        for (int corner : tri) {
            out.push_back(Coloured(corners[static_cast<std::size_t>(corner)], colour));
        }
    }
}

void AppendStems(std::vector<ColouredVertex>& out)
{
    out.push_back(Coloured(0, 0, 0, kColourStem));
    out.push_back(Coloured(80, 0, 0, kColourStem));
    out.push_back(Coloured(0, 0, 0, kColourStem));
    out.push_back(Coloured(0, 80, 0, kColourStem));
    out.push_back(Coloured(0, 0, 0, kColourStem));
    out.push_back(Coloured(0, 0, 80, kColourStem));
}

std::vector<ColouredVertex> MakeGrid()
{
    std::vector<ColouredVertex> v;
    v.reserve(90);
    auto line = [&v](float x0, float y0, float z0, float x1, float y1, float z1, std::uint32_t c) {
        v.push_back(Coloured(x0, y0, z0, c));
        v.push_back(Coloured(x1, y1, z1, c));
    };
    line(0, 0, 0, 600, 0, 0, kColourX);
    line(0, 0, 0, 0, 600, 0, kColourY);
    line(0, 0, 0, 0, 0, 600, kColourZ);
    line(-500, 0, 0, 0, 0, 0, kColourGrid);
    line(0, 0, -500, 0, 0, 0, kColourGrid);
    // The loops count with a float, as the table was first built.
    for (float g = -500.0f; g <= 500.0f; g += 50.0f) {
        if (g != 0.0f) {
            line(g, 0, -500, g, 0, 500, kColourGrid);
        }
    }
    for (float h = -500.0f; h <= 500.0f; h += 50.0f) {
        if (h != 0.0f) {
            line(-500, 0, h, 500, 0, h, kColourGrid);
        }
    }
    return v;
}

std::vector<ColouredVertex> MakeManipulator(int mode)
{
    std::vector<ColouredVertex> v;
    for (int axis = 0; axis < 3; ++axis) {
        const std::uint32_t c = kAxisColours[axis];
        if (mode == 0) {
            std::array<V3, 4> head{};
            for (std::size_t i = 0; i < 4; ++i) {
                head[i] = kMoveHeads[static_cast<std::size_t>(axis)][i];
            }
            AppendTriangles(v, head, kTetrahedronTriangles, c);
        } else if (mode == 1) {
            AppendTriangles(v, kRotateSpikes[static_cast<std::size_t>(axis)], kTetrahedronTriangles, c);
        } else {
            AppendTriangles(v, kScaleBlocks[static_cast<std::size_t>(axis)], kBoxTriangles, c);
        }
    }
    AppendTriangles(v, kCentreBlock, kBoxTriangles, kColourCentre);
    if (mode != 1) {
        AppendStems(v);
    }
    return v;
}

} // namespace

const std::array<D3DXVECTOR3, 5>& MoveArrowHead(int axis) { return kMoveHeads[static_cast<std::size_t>(AxisIndex(axis))]; }
const std::array<D3DXVECTOR3, 4>& RotateSpike(int axis) { return kRotateSpikes[static_cast<std::size_t>(AxisIndex(axis))]; }
const std::array<D3DXVECTOR3, 8>& ScaleBlock(int axis) { return kScaleBlocks[static_cast<std::size_t>(AxisIndex(axis))]; }
const std::array<D3DXVECTOR3, 8>& CentreBlock() { return kCentreBlock; }

std::span<const ColouredVertex> GridVertices()
{
    static const std::vector<ColouredVertex> grid = MakeGrid();
    return grid;
}

ManipulatorGeometry GetManipulatorGeometry(int transformMode)
{
    static const std::vector<ColouredVertex> manipulators[3] = {MakeManipulator(0), MakeManipulator(1),
                                                                MakeManipulator(2)};
    static constexpr int kTriangles[3] = {24, 24, 48};
    static constexpr int kStems[3] = {3, 0, 3};
    if (transformMode < 0 || transformMode > 2) {
        return {};
    }
    const auto m = static_cast<std::size_t>(transformMode);
    return {manipulators[m], kTriangles[m], kStems[m]};
}

std::array<ColouredVertex, 24> SelectionBoxVertices(const CVector& a, const CVector& b)
{
    const V3 ends[24] = {
        {a.x, a.y, a.z}, {b.x, a.y, a.z}, {a.x, a.y, a.z}, {a.x, b.y, a.z}, {a.x, a.y, a.z}, {a.x, a.y, b.z},
        {b.x, a.y, b.z}, {a.x, a.y, b.z}, {b.x, a.y, b.z}, {b.x, a.y, a.z}, {b.x, a.y, b.z}, {b.x, b.y, b.z},
        {a.x, b.y, b.z}, {b.x, b.y, b.z}, {a.x, b.y, b.z}, {a.x, b.y, a.z}, {a.x, b.y, b.z}, {a.x, a.y, b.z},
        {b.x, b.y, a.z}, {b.x, b.y, b.z}, {b.x, b.y, a.z}, {a.x, b.y, a.z}, {b.x, b.y, a.z}, {b.x, a.y, a.z},
    };
    std::array<ColouredVertex, 24> out{};
    for (std::size_t i = 0; i < 24; ++i) {
        out[i] = Coloured(ends[i], 0xFFFFFFFFu);
    }
    return out;
}

MeshBuffer BuildMeshBuffer(const CModel& model, std::span<const CMaterial> materials)
{
    MeshBuffer out;
    std::size_t corners = 0;
    std::size_t triangles = 0;
    for (const CFace& face : model.m_faces) {
        const std::size_t n = face.m_indices.size();
        if (n == 3 || n == 4) {
            corners += n;
            triangles += n - 2;
        }
    }
    out.vertices.reserve(corners);
    out.indices.reserve(triangles * 3);

    const std::size_t vertexCount = model.m_vertices.size();
    const CVector& p = model.m_pivot;
    int lastId = 0;        // material id of the face before
    int lastMaterial = -2; // position of the material of the run being built
    for (const CFace& face : model.m_faces) {
        const std::size_t n = face.m_indices.size();
        if (n != 3 && n != 4) {
            continue;
        }
        // Consecutive faces usually share their id; look the material up only when it changes.
        if (out.batches.empty() || face.m_material != lastId) {
            lastId = face.m_material;
            int found = -1;
            for (std::size_t m = 0; m < materials.size(); ++m) {
                if (materials[m].m_id == face.m_material) {
                    found = static_cast<int>(m);
                    break;
                }
            }
            if (found != lastMaterial) {
                lastMaterial = found;
                MeshBatch batch;
                batch.material = found;
                batch.firstIndex = static_cast<std::uint32_t>(out.indices.size());
                out.batches.push_back(batch);
            }
        }
        const auto base = static_cast<std::uint32_t>(out.vertices.size());
        for (std::size_t c = 0; c < n; ++c) {
            MeshVertex v;
            const int index = face.m_indices[c];
            if (index >= 0 && static_cast<std::size_t>(index) < vertexCount) {
                const CVertex& vertex = model.m_vertices[static_cast<std::size_t>(index)];
                v.x = vertex.m_position.x - p.x;
                v.y = vertex.m_position.y - p.y;
                v.z = vertex.m_position.z - p.z;
                v.nx = vertex.m_normal.x;
                v.ny = vertex.m_normal.y;
                v.nz = vertex.m_normal.z;
            }
            if (c < face.m_uvs.size()) {
                v.u = face.m_uvs[c].m_u;
                v.v = face.m_uvs[c].m_v;
            }
            out.vertices.push_back(v);
        }
        // A quad is the fan (0, 1, 2), (0, 2, 3). Flat shading colours a fan's
        // triangle i by its corner i + 1, so each of its triangles starts
        // there, for renderers that take the first vertex's colour; a
        // triangle starts at corner 0. The rotation changes nothing else.
        if (n == 3) {
            out.indices.insert(out.indices.end(), {base, base + 1, base + 2});
        } else {
            out.indices.insert(out.indices.end(), {base + 1, base + 2, base, base + 2, base + 3, base});
        }
        out.batches.back().count = static_cast<std::uint32_t>(out.indices.size()) - out.batches.back().firstIndex;
    }
    return out;
}

bool ComposeManipulatorWorld(const CTessaline& scene, int animation, int frame, D3DXMATRIX& out)
{
    if (scene.m_transformMode < 0 || scene.m_transformMode > 2) {
        return false;
    }
    const CModel* selected = scene.GetSelectedModel();
    if (selected == nullptr) {
        return false;
    }
    const std::size_t count = scene.m_models.size();
    static const CAnimation kRest{};
    // Every walk starts with one unit matrix on the stack, so nothing left
    // over from an earlier frame can grow it.
    MatrixStack stack;
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.model < 0 || static_cast<std::size_t>(entry.model) >= count) {
            continue;
        }
        const CModel& m = scene.m_models[static_cast<std::size_t>(entry.model)];
        if (m.m_character != scene.m_selectedCharacter) {
            continue;
        }
        const CVector& p = m.m_pivot;
        const CAnimation* found = m.FindRecord(animation, frame);
        const CAnimation& record = found != nullptr ? *found : kRest;
        if (entry.kind == kBeginCharacter) {
            stack.LoadIdentity();
        } else if (entry.kind == kEnterModel) {
            stack.Push();
            stack.MultMatrixLocal(D3DXMatrixTranslation(p.x, p.y, p.z));
            stack.MultMatrixLocal(BuildMotionMatrix(record, 1.0f));
            stack.MultMatrixLocal(D3DXMatrixTranslation(-p.x, -p.y, -p.z));
        } else if (entry.kind == kLeaveModel) {
            stack.Pop();
            stack.Push();
            stack.MultMatrixLocal(D3DXMatrixTranslation(p.x, p.y, p.z));
            stack.MultMatrixLocal(
                D3DXMatrixTranslation(record.m_position.x, record.m_position.y, record.m_position.z));
            stack.MultMatrixLocal(D3DXMatrixTranslation(-p.x, -p.y, -p.z));
            stack.MultMatrixLocal(D3DXMatrixTranslation(p.x, p.y, p.z));
            if (m.m_id == selected->m_id && m.m_visible != 0) {
                const CVector& s = scene.GetCameraRecord().m_scale;
                stack.MultMatrixLocal(D3DXMatrixScaling(1.0f / s.x, 1.0f / s.y, 1.0f / s.z));
                out = stack.GetTop();
                return true;
            }
            stack.Pop();
        }
    }
    return false;
}

} // namespace vantomo
