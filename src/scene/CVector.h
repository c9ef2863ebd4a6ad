// The scene's three-float vector. The transform caches that once lived in every
// vector are gone: matrices are built when needed (see animation/Pose.h), so a
// vector is exactly its three components.
#pragma once

#include "math/D3DMath.h"

namespace vantomo {

struct CVector : D3DXVECTOR3 {
    constexpr CVector() : D3DXVECTOR3{0.0f, 0.0f, 0.0f} {}
    constexpr CVector(float ax, float ay, float az) : D3DXVECTOR3{ax, ay, az} {}

    CVector operator+(const CVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
    CVector operator-(const CVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
    // Component-wise sum stored in this vector; a copy is returned.
    CVector operator+=(const CVector& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    bool operator==(const CVector& o) const { return x == o.x && y == o.y && z == o.z; }
};
static_assert(sizeof(CVector) == 12);

} // namespace vantomo
