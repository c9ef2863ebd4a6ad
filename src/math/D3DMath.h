// Vector and matrix operations with the conventions of the D3DX 9 math library.
//
// Row vectors multiplied on the left (v' = v x M), row-major 4x4 matrices whose
// element _rc is m[r-1][c-1], translation in the fourth row, A x B applies A first.
// Every operation computes in single precision in the order its comment writes,
// so results are bit-identical across machines (built with -ffp-contract=off).
#pragma once

#include <vector>

namespace vantomo {

struct D3DXVECTOR3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct D3DXVECTOR4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

struct D3DXMATRIX {
    float m[4][4] = {};

    bool operator==(const D3DXMATRIX&) const = default;
};

// Degrees to radians as the scene converts them: the division in single
// precision, the product in double precision, the result rounded to single.
float DegreesToRadians(float degrees);

D3DXMATRIX D3DXMatrixIdentity();

// out = A x B; out_ij = a_i1*b_1j + a_i2*b_2j + a_i3*b_3j + a_i4*b_4j, summed left to right.
D3DXMATRIX D3DXMatrixMultiply(const D3DXMATRIX& a, const D3DXMATRIX& b);

// Inverse of M. Returns false (and leaves out unchanged) when M is singular.
bool D3DXMatrixInverse(D3DXMATRIX& out, const D3DXMATRIX& mat);

D3DXMATRIX D3DXMatrixTranslation(float x, float y, float z);
D3DXMATRIX D3DXMatrixScaling(float sx, float sy, float sz);
D3DXMATRIX D3DXMatrixRotationX(float radians);
D3DXMATRIX D3DXMatrixRotationY(float radians);
D3DXMATRIX D3DXMatrixRotationZ(float radians);

// Rotation by `radians` about `axis`, which is normalised first. An axis that
// cannot be normalised (zero, |axis|^2 <= FLT_MIN, or not finite) gives the
// unit matrix: no rotation rather than NaN.
D3DXMATRIX D3DXMatrixRotationAxis(const D3DXVECTOR3& axis, float radians);
// Whether D3DXMatrixRotationAxis turns about (x, y, z) at all: a zero, too
// short or non-finite axis gives the unit matrix instead.
bool IsUsableRotationAxis(float x, float y, float z);

// Right-handed perspective projection; ys = cot(fovy/2), xs = ys/aspect.
D3DXMATRIX D3DXMatrixPerspectiveFovRH(float fovy, float aspect, float zn, float zf);

// (x, y, z, 0) x M, first three components.
D3DXVECTOR3 D3DXVec3TransformNormal(const D3DXVECTOR3& v, const D3DXMATRIX& mat);
// (x, y, z, 1) x M, divided by w (D3DXVec3TransformCoord).
D3DXVECTOR3 D3DXVec3TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& mat);
// v / length; a zero vector stays zero.
D3DXVECTOR3 D3DXVec3Normalize(const D3DXVECTOR3& v);
D3DXVECTOR4 D3DXVec4Transform(const D3DXVECTOR4& v, const D3DXMATRIX& mat);
D3DXVECTOR4 D3DXVec4Normalize(const D3DXVECTOR4& v);

// True when the ray origin + t*dir with t >= 0 meets the triangle, from either
// side. A ray parallel to the triangle's plane misses. The outputs may be null.
bool D3DXIntersectTri(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2,
                      const D3DXVECTOR3& origin, const D3DXVECTOR3& dir,
                      float* u, float* v, float* dist);

// Euler rotation of the camera from degrees about x, y and z: Rz(z) x Ry(y) x Rx(x).
D3DXMATRIX EulerRotation(float xDegrees, float yDegrees, float zDegrees);

// ID3DXMatrixStack: the top starts as the unit matrix.
class MatrixStack {
public:
    MatrixStack();
    void Push();                                 // duplicates the top
    void Pop();                                  // discards the top; the last one stays
    void LoadIdentity();                         // top := unit matrix
    void MultMatrixLocal(const D3DXMATRIX& mat); // top := M x top
    const D3DXMATRIX& GetTop() const { return m_stack.back(); }
    std::size_t Depth() const { return m_stack.size(); }

private:
    std::vector<D3DXMATRIX> m_stack;
};

} // namespace vantomo
