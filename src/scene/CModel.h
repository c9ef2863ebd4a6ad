// A model: one rigid mesh with its pivot, its place in a character's hierarchy
// and one track of frame records per animation.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "math/D3DMath.h"
#include "scene/CVector.h"
#include "scene/FixedVector.h"
#include "scene/Track.h"

namespace vantomo {

// Opaque handle of an object the renderer owns (vertex buffer, texture), 0 for none.
// The renderer keys its objects by model and material id; the scene keeps only this.
using DeviceHandle = std::uint64_t;

struct CUV {
    float m_u = 0.0f;
    float m_v = 0.0f;
    bool operator==(const CUV&) const = default;
};

struct CVertex {
    CVector m_position;
    CVector m_normal; // derived from the faces; not saved
    std::vector<int> m_faces; // positions in the model's m_faces of the faces using this vertex
};

struct CFace {
    int m_material = 0; // id (not position) of the face's material
    CVector m_normal{0.0f, 1.0f, 0.0f};
    FixedVector<int, 4> m_indices; // 3 or 4 corner positions in the model's m_vertices
    FixedVector<CUV, 4> m_uvs;     // one per corner, or empty
};

// One vertex of the selection box's line list.
struct BoxVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float nx = 0.0f, ny = 0.0f, nz = 1.0f;
    std::uint32_t color = 0xFFFFFFFFu;
};

// How the editor sizes tracks: one per animation, the current one with the
// current animation's frame count. The document knows these values; the
// scene only applies them.
struct TrackShape {
    int animations = 1;
    int current = 0;
    int frames = 61;
};

// Parent reference value of a model not yet placed in any hierarchy.
inline constexpr int kNoParent = -10000;

class CModel {
public:
    int m_id = 0;
    std::string m_name;
    // >= 0: position of the parent model in CTessaline::m_models;
    // < 0: ~character index of the character at whose root the model hangs.
    int m_parent = kNoParent;
    std::string m_parentName = "<NULL>";
    CVector m_pivot;
    DeviceHandle m_vertexBuffer = 0;
    std::array<CVector, 2> m_bounds{}; // [0] maximum, [1] minimum corner, relative to m_pivot
    std::array<BoxVertex, 24> m_boxVertices{};
    int m_mirrorAxis = 0; // not saved
    float m_facet = 0.0f; // smoothing angle in degrees
    int m_visible = 1;
    int m_inTree = 0;
    std::vector<CVertex> m_vertices;
    std::vector<CFace> m_faces;
    std::vector<Track> m_tracks; // track i belongs to animation i; record f is frame f
    // The world matrix the model was last drawn with. Picking does not read
    // it: it composes the matrix from the current records, which stay right
    // before the first paint and between an edit and the next paint.
    D3DXMATRIX m_world = D3DXMatrixIdentity();
    int m_character = 0;
    // Tells the undo history which model is which while it holds meshes
    // apart from their models; 0 until the history first sees the model.
    // Not saved.
    std::uint64_t m_historyKey = 0;

    // Record `frame` of the track of `animation`, or null when either lies
    // outside the tracks. Every bounded record access goes through here.
    const CAnimation* FindRecord(int animation, int frame) const;
    // Goes through the track's non-const access, so the track counts as changed.
    CAnimation* FindRecord(int animation, int frame);

    // Recompute m_bounds from the vertices relative to the pivot. Without
    // vertices both corners are (0, 0, 0).
    void UpdateBounds();

    // Size the tracks to the animation count and the current track to the frame
    // count of `shape`, then set frames from..last of the current track to
    // rest; record 0 becomes a key.
    void ResetTrack(int from, const TrackShape& shape);
};

} // namespace vantomo
