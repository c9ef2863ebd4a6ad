// Shared set-up of the export tests: fresh application-wide values, scene
// builders and file access.
#pragma once

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "scene/AppValues.h"
#include "scene/CTessaline.h"

namespace vantomo {

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }
    void TearDown() override { ResetAppValues(); }
    TempFolder folder;
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ExportGolden(const std::string& name)
{
    return ReadText(std::string(VANTOMO_TEST_DATA_DIR) + "/export/" + name);
}

inline CMaterial MakeMaterial(const std::string& name, int id, float r, float g, float b, float a)
{
    CMaterial material;
    material.m_name = name;
    material.m_id = id;
    material.m_color[0] = r;
    material.m_color[1] = g;
    material.m_color[2] = b;
    material.m_color[3] = a;
    return material;
}

// A model at the root of `character`, with `frames` rest records (record 0 a
// key) in each of `animations` tracks.
inline CModel MakeModel(const std::string& name, int character, int frames = 61, int animations = 1)
{
    CModel model;
    model.m_id = 6;
    model.m_name = name;
    model.m_parent = ~character;
    for (int a = 0; a < animations; ++a) {
        model.m_tracks.emplace_back(static_cast<std::size_t>(frames));
        model.m_tracks.back()[0].m_key = 1;
    }
    return model;
}

inline void AddVertex(CModel& model, float x, float y, float z)
{
    CVertex vertex;
    vertex.m_position = CVector{x, y, z};
    vertex.m_normal = CVector{0.0f, 0.0f, 1.0f};
    model.m_vertices.push_back(vertex);
}

inline CFace MakeFace(int material, std::initializer_list<int> corners, std::initializer_list<CUV> uvs = {})
{
    CFace face;
    face.m_material = material;
    for (int c : corners) {
        face.m_indices.push_back(c);
    }
    for (const CUV& uv : uvs) {
        face.m_uvs.push_back(uv);
    }
    return face;
}

} // namespace vantomo
