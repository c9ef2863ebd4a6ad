// One frame record of one track (also the camera record): a complete local pose
// and the key flag. Kept at 44 bytes, the size of its on-disk record, because a
// scene holds millions of them; its matrix is computed on demand, never cached.
#pragma once

#include "scene/CVector.h"

namespace vantomo {

struct CAnimation {
    CVector m_position{0.0f, 0.0f, 0.0f};
    CVector m_axis{0.0f, 1.0f, 0.0f}; // camera record: Euler angles in degrees
    CVector m_scale{1.0f, 1.0f, 1.0f};
    float m_angle = 0.0f; // degrees about m_axis
    int m_key = 0;        // 1 on key frames; any other value counts as no key

    // Copies the pose (position, axis, scale, angle) but not the key flag.
    void CopyPose(const CAnimation& from)
    {
        m_position = from.m_position;
        m_axis = from.m_axis;
        m_scale = from.m_scale;
        m_angle = from.m_angle;
    }

    bool operator==(const CAnimation&) const = default;
};
static_assert(sizeof(CAnimation) == 44);

// Smallest scale component a model record or the camera may hold: a zero
// scale would collapse the world matrix, which then has no inverse to pick
// through.
inline constexpr float kMinScale = 0.01f;

// Raise every component of `scale` below kMinScale to kMinScale; a NaN
// component also becomes kMinScale.
inline void FloorScale(CVector& scale)
{
    if (!(scale.x >= kMinScale)) scale.x = kMinScale;
    if (!(scale.y >= kMinScale)) scale.y = kMinScale;
    if (!(scale.z >= kMinScale)) scale.z = kMinScale;
}

} // namespace vantomo
