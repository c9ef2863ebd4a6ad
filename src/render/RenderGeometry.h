// The fixed geometry of the 3D view (ground grid, axes, the three
// manipulators), the triangle tables picking shares with it, and the CPU side
// of a model's vertex buffer. Plain data: the GL renderer uploads it, picking
// intersects rays with it, tests read it without a device.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "math/D3DMath.h"
#include "scene/CModel.h"

namespace vantomo {

class CMaterial;
class CTessaline;

// Coloured vertex: position, normal, colour 0xAARRGGBB; 28 bytes, the layout
// of the grid, the manipulators and the selection box.
using ColouredVertex = BoxVertex;
static_assert(sizeof(ColouredVertex) == 28);

// Mesh vertex: position (relative to the model's pivot), normal, texture
// coordinates; 32 bytes.
struct MeshVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float nx = 0.0f, ny = 0.0f, nz = 0.0f;
    float u = 0.0f, v = 0.0f;
};
static_assert(sizeof(MeshVertex) == 32);

inline constexpr std::uint32_t kColourX = 0xFFFF0000u;
inline constexpr std::uint32_t kColourY = 0xFF00FF00u;
inline constexpr std::uint32_t kColourZ = 0xFF0000FFu;
inline constexpr std::uint32_t kColourCentre = 0xFFFFFF00u;
inline constexpr std::uint32_t kColourStem = 0xFF646464u;
inline constexpr std::uint32_t kColourGrid = 0xFF5B695Bu;

// Triangles over the four corners of an arrow head or spike, and over the
// eight corners of a block, in drawing and picking order.
inline constexpr int kTetrahedronTriangles[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};
inline constexpr int kBoxTriangles[12][3] = {
    {1, 3, 2}, {1, 2, 0}, {3, 5, 4}, {3, 4, 2}, {5, 7, 6}, {5, 6, 4},
    {7, 1, 0}, {7, 0, 6}, {7, 5, 3}, {7, 3, 1}, {0, 2, 4}, {0, 4, 6}};

// Corner sets of the manipulator's parts, in its own frame; `axis` is 0 (X),
// 1 (Y) or 2 (Z), anything else reads as X. The move arrow head has a fifth
// entry, the stem's end.
const std::array<D3DXVECTOR3, 5>& MoveArrowHead(int axis);
const std::array<D3DXVECTOR3, 4>& RotateSpike(int axis);
const std::array<D3DXVECTOR3, 8>& ScaleBlock(int axis);
const std::array<D3DXVECTOR3, 8>& CentreBlock();

// The 90 vertices of the axes and the ground grid: 45 lines, vertex 2k to 2k+1.
std::span<const ColouredVertex> GridVertices();

// The vertices of the manipulator of a transform mode (0 move: 78, 1 rotate:
// 72, 2 scale: 150): `triangles` triangles from vertex 0, then `stems` lines
// from vertex 3 * triangles. Empty for any other mode.
struct ManipulatorGeometry {
    std::span<const ColouredVertex> vertices;
    int triangles = 0;
    int stems = 0;
};
ManipulatorGeometry GetManipulatorGeometry(int transformMode);

// The 24 vertices (twelve white edges) of the box between corners a and b, in
// the edge order the selection box is drawn in.
std::array<ColouredVertex, 24> SelectionBoxVertices(const CVector& a, const CVector& b);

// A run of consecutive faces that share one material: `count` indices from
// `firstIndex` of the index list, drawn as a triangle list. `material` is the
// position in the material list, or -1 for the opaque white untextured default
// used by faces whose material id matches no material.
struct MeshBatch {
    int material = -1;
    std::uint32_t firstIndex = 0;
    std::uint32_t count = 0;
};

// The CPU side of a model's vertex buffer: one vertex per face corner (faces of
// 3 or 4 corners only, in face order), position = vertex position - pivot,
// normal = the vertex's m_normal (computed by the caller), (u, v) = the face's
// texture coordinate of that corner or (0, 0) when the face has too few; a
// quad's corners are drawn as the triangles (0, 1, 2), (0, 2, 3), indexed as
// (1, 2, 0), (2, 3, 0) so that each starts at the corner whose colour flat
// shading gives it (a fan's triangle i takes corner i + 1). Each face is
// written once, with the first material whose m_id matches its m_material.
// Corners outside the vertex list read as the origin.
struct MeshBuffer {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
    std::vector<MeshBatch> batches;
};
MeshBuffer BuildMeshBuffer(const CModel& model, std::span<const CMaterial> materials);

// The manipulator's world matrix for the current selection at (animation,
// frame), composed as it is drawn: it stands at the selected model's pivot
// moved by the record's position, carried by the ancestors' rotations and
// positions but no scaling, and scaled by the inverse of the camera scale so it
// keeps its size on screen. False (out untouched) when no manipulator is drawn:
// no valid selection, the selected model hidden or outside the selected
// character or not reached by the traversal, or a mode outside 0..2.
bool ComposeManipulatorWorld(const CTessaline& scene, int animation, int frame, D3DXMATRIX& out);

} // namespace vantomo
