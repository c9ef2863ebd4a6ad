#include "scene/CModel.h"


namespace vantomo {

void CModel::UpdateBounds()
{
    if (m_vertices.empty()) {
        m_bounds[0] = CVector{};
        m_bounds[1] = CVector{};
        return;
    }
    CVector maxCorner = m_vertices.front().m_position - m_pivot;
    CVector minCorner = maxCorner;
    for (const CVertex& vertex : m_vertices) {
        const CVector d = vertex.m_position - m_pivot;
        if (d.x > maxCorner.x) maxCorner.x = d.x;
        if (d.y > maxCorner.y) maxCorner.y = d.y;
        if (d.z > maxCorner.z) maxCorner.z = d.z;
        if (d.x < minCorner.x) minCorner.x = d.x;
        if (d.y < minCorner.y) minCorner.y = d.y;
        if (d.z < minCorner.z) minCorner.z = d.z;
    }
    m_bounds[0] = maxCorner;
    m_bounds[1] = minCorner;
}

void CModel::ResetTrack(int from, const TrackShape& shape)
{
    m_tracks.resize(shape.animations > 0 ? static_cast<std::size_t>(shape.animations) : 0u);
    if (shape.current < 0 || static_cast<std::size_t>(shape.current) >= m_tracks.size()) {
        return;
    }
    Track& track = m_tracks[static_cast<std::size_t>(shape.current)];
    const std::size_t count = shape.frames >= 1 ? static_cast<std::size_t>(shape.frames) : 1u;
    track.resize(count);
    const CAnimation rest;
    for (std::size_t f = from > 0 ? static_cast<std::size_t>(from) : 0u; f < count; ++f) {
        track[f] = rest;
    }
    track[0].m_key = 1;
}

const CAnimation* CModel::FindRecord(int animation, int frame) const
{
    if (animation < 0 || static_cast<std::size_t>(animation) >= m_tracks.size()) {
        return nullptr;
    }
    const Track& track = m_tracks[static_cast<std::size_t>(animation)];
    if (frame < 0 || static_cast<std::size_t>(frame) >= track.size()) {
        return nullptr;
    }
    return &track[static_cast<std::size_t>(frame)];
}

CAnimation* CModel::FindRecord(int animation, int frame)
{
    if (animation < 0 || static_cast<std::size_t>(animation) >= m_tracks.size()) {
        return nullptr;
    }
    Track& track = m_tracks[static_cast<std::size_t>(animation)];
    if (frame < 0 || static_cast<std::size_t>(frame) >= track.size()) {
        return nullptr;
    }
    return &track[static_cast<std::size_t>(frame)];
}

} // namespace vantomo
