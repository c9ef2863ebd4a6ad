#include "render/Picking.h"

#include <cmath>
#include <vector>

#include "animation/Pose.h"
#include "render/Camera.h"
#include "render/RenderGeometry.h"

namespace vantomo {

std::optional<PickRayResult> PickRay(const ScreenPoint& point, const D3DXMATRIX& projection,
                                     const D3DXMATRIX& view, const D3DXMATRIX& world)
{
    const float w = point.viewWidth;
    const float h = point.viewHeight;
    if (!(w > 0.0f) || !(h > 0.0f) || !std::isfinite(w) || !std::isfinite(h)) {
        return std::nullopt;
    }
    const float vx = (point.x * 2.0f / w - 1.0f) / projection.m[0][0];
    const float vy = -((point.y * 2.0f / h - 1.0f) / projection.m[1][1]);
    if (!std::isfinite(vx) || !std::isfinite(vy)) {
        return std::nullopt;
    }
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(inverse, D3DXMatrixMultiply(world, view))) {
        return std::nullopt;
    }
    const auto& i = inverse.m;
    PickRayResult ray;
    // The view-space direction (vx, vy, -1) turned into local space; the
    // projection is right-handed, so the eye looks along -z.
    ray.direction = {vx * i[0][0] + vy * i[1][0] - i[2][0], vx * i[0][1] + vy * i[1][1] - i[2][1],
                     vx * i[0][2] + vy * i[1][2] - i[2][2]};
    ray.origin = {i[3][0], i[3][1], i[3][2]};
    return ray;
}

int HitFace(const CModel& model, const PickRayResult& ray)
{
    const std::size_t vertexCount = model.m_vertices.size();
    const CVector& p = model.m_pivot;
    const auto corner = [&](int index) {
        if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
            return D3DXVECTOR3{0.0f, 0.0f, 0.0f};
        }
        const CVector& v = model.m_vertices[static_cast<std::size_t>(index)].m_position;
        return D3DXVECTOR3{v.x - p.x, v.y - p.y, v.z - p.z};
    };
    const int faceCount = static_cast<int>(model.m_faces.size());
    for (int f = 0; f < faceCount; ++f) {
        const CFace& face = model.m_faces[static_cast<std::size_t>(f)];
        const std::size_t n = face.m_indices.size();
        if (n == 4) {
            const D3DXVECTOR3 q0 = corner(face.m_indices[0]);
            const D3DXVECTOR3 q1 = corner(face.m_indices[1]);
            const D3DXVECTOR3 q2 = corner(face.m_indices[2]);
            const D3DXVECTOR3 q3 = corner(face.m_indices[3]);
            if (D3DXIntersectTri(q0, q2, q3, ray.origin, ray.direction, nullptr, nullptr, nullptr) ||
                D3DXIntersectTri(q0, q1, q2, ray.origin, ray.direction, nullptr, nullptr, nullptr)) {
                return f;
            }
        } else if (n == 3) {
            const D3DXVECTOR3 q0 = corner(face.m_indices[0]);
            const D3DXVECTOR3 q1 = corner(face.m_indices[1]);
            const D3DXVECTOR3 q2 = corner(face.m_indices[2]);
            if (D3DXIntersectTri(q0, q1, q2, ray.origin, ray.direction, nullptr, nullptr, nullptr)) {
                return f;
            }
        }
    }
    return -1;
}

namespace {

template <std::size_t N, std::size_t T>
bool HitsAny(const std::array<D3DXVECTOR3, N>& corners, const int (&triangles)[T][3], const PickRayResult& ray)
{
    for (const auto& t : triangles) {
        if (D3DXIntersectTri(corners[static_cast<std::size_t>(t[0])], corners[static_cast<std::size_t>(t[1])],
                             corners[static_cast<std::size_t>(t[2])], ray.origin, ray.direction, nullptr,
                             nullptr, nullptr)) {
            return true;
        }
    }
    return false;
}

// The four head corners of a move arrow (the fifth entry is the stem's end).
std::array<D3DXVECTOR3, 4> ArrowHead(int axis)
{
    const auto& head = MoveArrowHead(axis);
    return {head[0], head[1], head[2], head[3]};
}

} // namespace

int PickManipulator(const CTessaline& scene, const ViewState& viewState, const TimePoint& time,
                    const ScreenPoint& point)
{
    const CModel* selected = scene.GetSelectedModel();
    if (selected == nullptr || viewState.m_manipulatorModelId != selected->m_id ||
        viewState.m_manipulatorMode != scene.m_transformMode) {
        return -1;
    }
    D3DXMATRIX world;
    if (!ComposeManipulatorWorld(scene, time.animation, time.frame, world)) {
        return -1;
    }
    const std::optional<PickRayResult> ray = PickRay(point, ProjectionMatrix(scene, viewState), ViewMatrix(scene), world);
    if (!ray) {
        return -1;
    }
    for (int axis = 0; axis < 3; ++axis) {
        bool hit = false;
        switch (scene.m_transformMode) {
        case 0:
            hit = HitsAny(ArrowHead(axis), kTetrahedronTriangles, *ray);
            break;
        case 1:
            hit = HitsAny(RotateSpike(axis), kTetrahedronTriangles, *ray);
            break;
        case 2:
            hit = HitsAny(ScaleBlock(axis), kBoxTriangles, *ray);
            break;
        default:
            break;
        }
        if (hit) {
            return axis;
        }
    }
    return HitsAny(CentreBlock(), kBoxTriangles, *ray) ? 3 : -1;
}

PickResult PickAt(CTessaline& scene, ViewState& viewState, const TimePoint& time, const ScreenPoint& point)
{
    if (scene.HasSelectedModel()) {
        const int handle = PickManipulator(scene, viewState, time, point);
        viewState.m_grabbedHandle = handle;
        if (handle >= 0) {
            return {true, -1};
        }
    }
    const std::size_t count = scene.m_models.size();
    // Only models the renderer reaches through the traversal are ever drawn.
    std::vector<char> drawn(count, 0);
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.kind == kLeaveModel && entry.model >= 0 && static_cast<std::size_t>(entry.model) < count) {
            drawn[static_cast<std::size_t>(entry.model)] = 1;
        }
    }
    const D3DXMATRIX projection = ProjectionMatrix(scene, viewState);
    const D3DXMATRIX view = ViewMatrix(scene);
    std::vector<D3DXMATRIX> worlds;
    for (std::size_t i = 0; i < count; ++i) {
        CModel& model = scene.m_models[i];
        if (model.m_character != scene.m_selectedCharacter || model.m_visible == 0 || drawn[i] == 0) {
            continue;
        }
        if (worlds.empty()) {
            worlds = ComposeWorldMatrices(scene, time.animation, time.frame);
        }
        const std::optional<PickRayResult> ray = PickRay(point, projection, view, worlds[i]);
        if (ray && HitFace(model, *ray) >= 0) {
            BuildSelectionBox(model);
            viewState.m_grabbedHandle = 3;
            return {true, static_cast<int>(i)};
        }
    }
    return {};
}

bool RecordDrawnManipulator(const CTessaline& scene, ViewState& viewState, const TimePoint& time)
{
    D3DXMATRIX world;
    if (!ComposeManipulatorWorld(scene, time.animation, time.frame, world)) {
        return false;
    }
    viewState.m_manipulatorWorld = world;
    viewState.m_manipulatorModelId = scene.GetSelectedModel()->m_id;
    viewState.m_manipulatorMode = scene.m_transformMode;
    return true;
}

void BuildSelectionBox(CModel& model)
{
    model.m_boxVertices = SelectionBoxVertices(model.m_bounds[0], model.m_bounds[1]);
}

} // namespace vantomo
