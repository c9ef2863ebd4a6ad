#include "import/MeshBuilder.h"

#include <climits>
#include <cstddef>
#include <vector>

namespace vantomo {

namespace {

bool CornersInside(const CFace& face, std::size_t vertexCount)
{
    for (const int index : face.m_indices) {
        if (index < 0 || static_cast<std::size_t>(index) >= vertexCount) {
            return false;
        }
    }
    return true;
}

void MirrorPass(CModel& model, int axis)
{
    const std::size_t vertexCount = model.m_vertices.size();
    const std::size_t faceCount = model.m_faces.size();
    const int offset = static_cast<int>(vertexCount);
    model.m_vertices.reserve(vertexCount * 2);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        CVertex copy;
        copy.m_position = model.m_vertices[i].m_position;
        float& component = axis == 0 ? copy.m_position.x : axis == 1 ? copy.m_position.y : copy.m_position.z;
        component = -component;
        model.m_vertices.push_back(std::move(copy));
    }
    model.m_faces.reserve(faceCount * 2);
    for (std::size_t j = 0; j < faceCount; ++j) {
        const CFace& face = model.m_faces[j];
        CFace copy;
        copy.m_material = face.m_material;
        copy.m_normal = face.m_normal;
        for (std::size_t c = face.m_indices.size(); c-- > 0;) {
            copy.m_indices.push_back(face.m_indices[c] + offset);
        }
        for (std::size_t c = face.m_uvs.size(); c-- > 0;) {
            copy.m_uvs.push_back(face.m_uvs[c]);
        }
        model.m_faces.push_back(copy);
    }
}

} // namespace

bool BuildMesh(CModel& model)
{
    const std::size_t vertexCount = model.m_vertices.size();
    std::size_t kept = 0;
    for (std::size_t j = 0; j < model.m_faces.size(); ++j) {
        const CFace& face = model.m_faces[j];
        const std::size_t corners = face.m_indices.size();
        if (corners < 2 || !CornersInside(face, vertexCount)) {
            continue;
        }
        if (corners == 2) {
            model.m_pivot = model.m_vertices[static_cast<std::size_t>(face.m_indices[0])].m_position;
            continue;
        }
        if (kept != j) {
            model.m_faces[kept] = face;
        }
        ++kept;
    }
    model.m_faces.resize(kept);

    const int axes = model.m_mirrorAxis;
    if (axes >= 1 && axes <= 7) {
        std::size_t copies = 1;
        for (int bit = 0; bit < 3; ++bit) {
            copies *= (axes & (1 << bit)) != 0 ? 2 : 1;
        }
        // Indices are ints: a mirror that would number vertices beyond that is not made.
        if (vertexCount <= static_cast<std::size_t>(INT_MAX) / copies) {
            model.m_vertices.reserve(vertexCount * copies);
            model.m_faces.reserve(kept * copies);
            for (int bit = 0; bit < 3; ++bit) {
                if ((axes & (1 << bit)) != 0) {
                    MirrorPass(model, bit);
                }
            }
        }
    }
    return !model.m_faces.empty();
}

void LinkFaces(CModel& model)
{
    const std::size_t vertexCount = model.m_vertices.size();
    // Count first so every list is allocated once at its final size.
    std::vector<int> uses(vertexCount, 0);
    for (const CFace& face : model.m_faces) {
        for (const int index : face.m_indices) {
            if (index >= 0 && static_cast<std::size_t>(index) < vertexCount) {
                ++uses[static_cast<std::size_t>(index)];
            }
        }
    }
    for (std::size_t i = 0; i < vertexCount; ++i) {
        if (uses[i] > 0) {
            std::vector<int>& list = model.m_vertices[i].m_faces;
            list.reserve(list.size() + static_cast<std::size_t>(uses[i]));
        }
    }
    const int faceCount = static_cast<int>(model.m_faces.size());
    for (int f = 0; f < faceCount; ++f) {
        for (const int index : model.m_faces[static_cast<std::size_t>(f)].m_indices) {
            if (index >= 0 && static_cast<std::size_t>(index) < vertexCount) {
                model.m_vertices[static_cast<std::size_t>(index)].m_faces.push_back(f);
            }
        }
    }
}

} // namespace vantomo
