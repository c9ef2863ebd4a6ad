#include "scene/Normals.h"

#include <cmath>
#include <cstddef>

namespace vantomo {

namespace {

// A face with fewer than 3 corners, or a corner outside the model, has no normal.
bool HasNormal(const CFace& face, std::size_t vertexCount)
{
    if (face.m_indices.size() < 3) {
        return false;
    }
    for (const int index : face.m_indices) {
        if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
            return false;
        }
    }
    return true;
}

// The cross product of the face's first two edges from corner 0, unnormalised.
CVector FaceNormal(const CModel& model, const CFace& face)
{
    const CVector& p0 = model.m_vertices[static_cast<std::size_t>(face.m_indices[0])].m_position;
    const CVector& p1 = model.m_vertices[static_cast<std::size_t>(face.m_indices[1])].m_position;
    const CVector& p2 = model.m_vertices[static_cast<std::size_t>(face.m_indices[2])].m_position;
    const CVector a = p0 - p1;
    const CVector b = p0 - p2;
    return CVector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// `sum` of face normals made unit length; straight up when it has none.
CVector UnitOrUp(const CVector& sum)
{
    const float length = std::sqrt(sum.x * sum.x + sum.y * sum.y + sum.z * sum.z);
    if (length == 0.0f) {
        return CVector{0.0f, 1.0f, 0.0f};
    }
    const float inverse = 1.0f / length;
    return CVector{sum.x * inverse, sum.y * inverse, sum.z * inverse};
}

} // namespace

void ComputeNormals(CModel& model)
{
    const std::size_t vertexCount = model.m_vertices.size();
    for (CFace& face : model.m_faces) {
        if (!HasNormal(face, vertexCount)) {
            continue;
        }
        face.m_normal = FaceNormal(model, face);
    }
    const std::size_t faceCount = model.m_faces.size();
    for (CVertex& vertex : model.m_vertices) {
        CVector sum;
        for (const int f : vertex.m_faces) {
            if (f >= 0 && static_cast<std::size_t>(f) < faceCount) {
                sum += model.m_faces[static_cast<std::size_t>(f)].m_normal;
            }
        }
        vertex.m_normal = UnitOrUp(sum);
    }
}

std::vector<CVector> ComputeVertexNormals(const CModel& model)
{
    const std::size_t vertexCount = model.m_vertices.size();
    std::vector<CVector> sums(vertexCount);
    // Faces in order and each face's corners in order add up in the order the
    // face lists of LinkFaces give, so the float sums are the same.
    for (const CFace& face : model.m_faces) {
        if (!HasNormal(face, vertexCount)) {
            continue;
        }
        const CVector normal = FaceNormal(model, face);
        for (const int index : face.m_indices) {
            sums[static_cast<std::size_t>(index)] += normal;
        }
    }
    for (CVector& sum : sums) {
        sum = UnitOrUp(sum);
    }
    return sums;
}

std::vector<CVector> ComputeFrontNormals(const CModel& model)
{
    std::vector<CVector> normals = ComputeVertexNormals(model);
    for (CVector& n : normals) {
        n = CVector{0.0f - n.x, 0.0f - n.y, 0.0f - n.z};
    }
    return normals;
}

} // namespace vantomo
