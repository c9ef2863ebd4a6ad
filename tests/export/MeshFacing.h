// Which way an exported triangle mesh faces, worked out from what a reader
// of the format gets (positions, normals, triangle corners), and the corpus
// documents to try it on.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "scene/CModel.h"

namespace vantomo {

using Vec3 = std::array<double, 3>;

// One model as a format holds it: every triangle's corners index the
// positions and the normals.
struct TriangleMesh {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<std::array<std::uint32_t, 3>> triangles;
};

struct MeshFacing {
    // Every edge between two points is run as often one way as the other,
    // points being equal by position (a mirrored half meets its mirror image
    // at copies of the same points).
    bool closed = false;
    // Signed volume under the right-hand rule: positive when the triangles
    // run counter-clockwise seen from outside.
    double volume = 0;
    std::size_t withArea = 0; // triangles whose corners are not in one line
    // Of those, the ones whose corner normals lie on their counter-clockwise
    // side, taken together as shading blends them at the triangle's centre
    // (a smooth normal at a sharp crease may lean behind one of its faces).
    std::size_t facing = 0;
};

inline Vec3 Minus(const Vec3& a, const Vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

inline MeshFacing Facing(const TriangleMesh& mesh)
{
    MeshFacing facing;
    std::map<Vec3, int> pointOf;
    const auto point = [&](std::uint32_t index) {
        return pointOf.emplace(mesh.positions[index], static_cast<int>(pointOf.size())).first->second;
    };
    std::map<std::pair<int, int>, int> edges; // run a -> b counts +1, b -> a -1, keyed a < b
    bool any = false;
    for (const auto& t : mesh.triangles) {
        const Vec3& a = mesh.positions[t[0]];
        const Vec3& b = mesh.positions[t[1]];
        const Vec3& c = mesh.positions[t[2]];
        facing.volume += Dot(a, Cross(b, c)) / 6.0;
        for (int k = 0; k < 3; ++k) {
            const int from = point(t[static_cast<std::size_t>(k)]);
            const int to = point(t[static_cast<std::size_t>((k + 1) % 3)]);
            if (from != to) {
                edges[{std::min(from, to), std::max(from, to)}] += from < to ? 1 : -1;
                any = true;
            }
        }
        const Vec3 front = Cross(Minus(b, a), Minus(c, a));
        if (Dot(front, front) == 0.0) {
            continue;
        }
        ++facing.withArea;
        double along = 0;
        for (const std::uint32_t corner : t) {
            along += Dot(front, mesh.normals[corner]);
        }
        facing.facing += along > 0.0 ? 1 : 0;
    }
    facing.closed = any && std::all_of(edges.begin(), edges.end(), [](const auto& e) { return e.second == 0; });
    return facing;
}

// The model's faces as stored, each the fan (0, 1, 2), (0, 2, 3), with the
// vertex normals the renderer lights it with.
inline TriangleMesh StoredMesh(const CModel& model)
{
    TriangleMesh mesh;
    for (const CVertex& vertex : model.m_vertices) {
        mesh.positions.push_back({vertex.m_position.x, vertex.m_position.y, vertex.m_position.z});
        mesh.normals.push_back({vertex.m_normal.x, vertex.m_normal.y, vertex.m_normal.z});
    }
    for (const CFace& face : model.m_faces) {
        const auto corner = [&](std::size_t c) { return static_cast<std::uint32_t>(face.m_indices[c]); };
        mesh.triangles.push_back({corner(0), corner(1), corner(2)});
        if (face.m_indices.size() == 4) {
            mesh.triangles.push_back({corner(0), corner(2), corner(3)});
        }
    }
    return mesh;
}

// The Metasequoia documents of the corpus, sorted.
inline std::vector<std::string> CorpusDocuments()
{
    std::vector<std::string> documents;
    std::error_code ignored;
    const std::filesystem::path root = std::filesystem::path(VANTOMO_CORPUS_DIR) / "mqo";
    for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        const std::string extension = it->path().extension().string();
        if (extension == ".mqo" || extension == ".mqoz") {
            documents.push_back(it->path().string());
        }
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

} // namespace vantomo
