#include "math/D3DMath.h"

#include <cfloat>
#include <cmath>

namespace vantomo {

float DegreesToRadians(float degrees)
{
    const float turns = degrees / 360.0f;
    return static_cast<float>(static_cast<double>(turns) * 6.28318530718);
}

D3DXMATRIX D3DXMatrixIdentity()
{
    D3DXMATRIX out;
    out.m[0][0] = out.m[1][1] = out.m[2][2] = out.m[3][3] = 1.0f;
    return out;
}

D3DXMATRIX D3DXMatrixMultiply(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    D3DXMATRIX out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            out.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                          a.m[i][3] * b.m[3][j];
        }
    }
    return out;
}

bool D3DXMatrixInverse(D3DXMATRIX& out, const D3DXMATRIX& mat)
{
    // Cofactor expansion over 2x2 sub-determinants.
    const float(&a)[4][4] = mat.m;
    const float s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    const float s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    const float s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    const float s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    const float s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    const float s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    const float c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    const float c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    const float c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    const float c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    const float c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    const float c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (det == 0.0f || !std::isfinite(det)) {
        return false;
    }
    const float inv = 1.0f / det;
    D3DXMATRIX r;
    r.m[0][0] = (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * inv;
    r.m[0][1] = (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * inv;
    r.m[0][2] = (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * inv;
    r.m[0][3] = (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * inv;
    r.m[1][0] = (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * inv;
    r.m[1][1] = (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * inv;
    r.m[1][2] = (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * inv;
    r.m[1][3] = (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * inv;
    r.m[2][0] = (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * inv;
    r.m[2][1] = (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * inv;
    r.m[2][2] = (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * inv;
    r.m[2][3] = (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * inv;
    r.m[3][0] = (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * inv;
    r.m[3][1] = (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * inv;
    r.m[3][2] = (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * inv;
    r.m[3][3] = (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * inv;
    out = r;
    return true;
}

D3DXMATRIX D3DXMatrixTranslation(float x, float y, float z)
{
    D3DXMATRIX out = D3DXMatrixIdentity();
    out.m[3][0] = x;
    out.m[3][1] = y;
    out.m[3][2] = z;
    return out;
}

D3DXMATRIX D3DXMatrixScaling(float sx, float sy, float sz)
{
    D3DXMATRIX out;
    out.m[0][0] = sx;
    out.m[1][1] = sy;
    out.m[2][2] = sz;
    out.m[3][3] = 1.0f;
    return out;
}

D3DXMATRIX D3DXMatrixRotationX(float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    D3DXMATRIX out = D3DXMatrixIdentity();
    out.m[1][1] = c;
    out.m[1][2] = s;
    out.m[2][1] = -s;
    out.m[2][2] = c;
    return out;
}

D3DXMATRIX D3DXMatrixRotationY(float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    D3DXMATRIX out = D3DXMatrixIdentity();
    out.m[0][0] = c;
    out.m[0][2] = -s;
    out.m[2][0] = s;
    out.m[2][2] = c;
    return out;
}

D3DXMATRIX D3DXMatrixRotationZ(float radians)
{
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    D3DXMATRIX out = D3DXMatrixIdentity();
    out.m[0][0] = c;
    out.m[0][1] = s;
    out.m[1][0] = -s;
    out.m[1][1] = c;
    return out;
}

bool IsUsableRotationAxis(float x, float y, float z)
{
    const float lengthSquared = x * x + y * y + z * z;
    return lengthSquared > FLT_MIN && std::isfinite(lengthSquared);
}

D3DXMATRIX D3DXMatrixRotationAxis(const D3DXVECTOR3& axis, float radians)
{
    // A zero axis arises naturally when in-betweening passes through the origin;
    // it must draw unrotated, never as NaN.
    if (!IsUsableRotationAxis(axis.x, axis.y, axis.z)) {
        return D3DXMatrixIdentity();
    }
    const D3DXVECTOR3 n = D3DXVec3Normalize(axis);
    const float x = n.x;
    const float y = n.y;
    const float z = n.z;
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    const float t = 1.0f - c;
    D3DXMATRIX out;
    out.m[0][0] = t * x * x + c;
    out.m[0][1] = t * x * y + s * z;
    out.m[0][2] = t * x * z - s * y;
    out.m[1][0] = t * x * y - s * z;
    out.m[1][1] = t * y * y + c;
    out.m[1][2] = t * y * z + s * x;
    out.m[2][0] = t * x * z + s * y;
    out.m[2][1] = t * y * z - s * x;
    out.m[2][2] = t * z * z + c;
    out.m[3][3] = 1.0f;
    return out;
}

D3DXMATRIX D3DXMatrixPerspectiveFovRH(float fovy, float aspect, float zn, float zf)
{
    const float ys = 1.0f / std::tan(fovy / 2.0f);
    const float xs = ys / aspect;
    D3DXMATRIX out;
    out.m[0][0] = xs;
    out.m[1][1] = ys;
    out.m[2][2] = zf / (zn - zf);
    out.m[2][3] = -1.0f;
    out.m[3][2] = zn * zf / (zn - zf);
    return out;
}

D3DXVECTOR3 D3DXVec3TransformNormal(const D3DXVECTOR3& v, const D3DXMATRIX& mat)
{
    const auto& a = mat.m;
    return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0],
            v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1],
            v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2]};
}

D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& mat)
{
    const D3DXVECTOR4 r = D3DXVec4Transform({v.x, v.y, v.z, 1.0f}, mat);
    if (r.w == 0.0f) {
        return {r.x, r.y, r.z};
    }
    return {r.x / r.w, r.y / r.w, r.z / r.w};
}

D3DXVECTOR3 D3DXVec3Normalize(const D3DXVECTOR3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {v.x / length, v.y / length, v.z / length};
}

D3DXVECTOR4 D3DXVec4Transform(const D3DXVECTOR4& v, const D3DXMATRIX& mat)
{
    const auto& a = mat.m;
    return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0] + v.w * a[3][0],
            v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1] + v.w * a[3][1],
            v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2] + v.w * a[3][2],
            v.x * a[0][3] + v.y * a[1][3] + v.z * a[2][3] + v.w * a[3][3]};
}

D3DXVECTOR4 D3DXVec4Normalize(const D3DXVECTOR4& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z + v.w * v.w);
    if (length == 0.0f) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    return {v.x / length, v.y / length, v.z / length, v.w / length};
}

namespace {
D3DXVECTOR3 Sub(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
} // namespace

bool D3DXIntersectTri(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
                      const D3DXVECTOR3& origin, const D3DXVECTOR3& dir,
                      float* u, float* v, float* dist)
{
    // Moller-Trumbore, two-sided.
    const D3DXVECTOR3 e1 = Sub(p1, p0);
    const D3DXVECTOR3 e2 = Sub(p2, p0);
    const D3DXVECTOR3 p = Cross(dir, e2);
    const float det = Dot(e1, p);
    if (det == 0.0f || !std::isfinite(det)) {
        return false;
    }
    const float inv = 1.0f / det;
    const D3DXVECTOR3 s = Sub(origin, p0);
    const float bu = Dot(s, p) * inv;
    if (bu < 0.0f || bu > 1.0f) {
        return false;
    }
    const D3DXVECTOR3 q = Cross(s, e1);
    const float bv = Dot(dir, q) * inv;
    if (bv < 0.0f || bu + bv > 1.0f) {
        return false;
    }
    const float t = Dot(e2, q) * inv;
    if (t < 0.0f) {
        return false;
    }
    if (u != nullptr) {
        *u = bu;
    }
    if (v != nullptr) {
        *v = bv;
    }
    if (dist != nullptr) {
        *dist = t;
    }
    return true;
}

D3DXMATRIX EulerRotation(float xDegrees, float yDegrees, float zDegrees)
{
    const D3DXMATRIX rz = D3DXMatrixRotationZ(DegreesToRadians(zDegrees));
    const D3DXMATRIX ry = D3DXMatrixRotationY(DegreesToRadians(yDegrees));
    const D3DXMATRIX rx = D3DXMatrixRotationX(DegreesToRadians(xDegrees));
    return D3DXMatrixMultiply(D3DXMatrixMultiply(rz, ry), rx);
}

MatrixStack::MatrixStack() : m_stack{D3DXMatrixIdentity()} {}

void MatrixStack::Push() { m_stack.push_back(m_stack.back()); }

void MatrixStack::Pop()
{
    if (m_stack.size() > 1) {
        m_stack.pop_back();
    }
}

void MatrixStack::LoadIdentity() { m_stack.back() = D3DXMatrixIdentity(); }

void MatrixStack::MultMatrixLocal(const D3DXMATRIX& mat)
{
    m_stack.back() = D3DXMatrixMultiply(mat, m_stack.back());
}

} // namespace vantomo
