// Shared set-up of the document tests: the application-wide values of a fresh
// start, golden file access and small scene builders.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempFolder.h"

#include "document/Document.h"
#include "import/TextureLoader.h"
#include "scene/AppValues.h"
#include "scene/CTessaline.h"

namespace vantomo {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }
    void TearDown() override { ResetAppValues(); }
};

inline std::string GoldenPath(const std::string& name)
{
    return std::string(VANTOMO_TEST_DATA_DIR) + "/vtm/" + name;
}

inline std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<unsigned char> Golden(const std::string& name) { return ReadBytes(GoldenPath(name)); }

// The messages other than the one missing textures give: the golden
// projects name textures that are not shipped with them.
inline std::vector<std::string> WithoutTextureMessages(std::vector<std::string> messages)
{
    std::erase_if(messages, [](const std::string& m) { return m.starts_with(kTextureLoadFailedMessage); });
    return messages;
}

// A model of `frames` rest frames (record 0 a key) in each of `animations`
// tracks, under `parent`.
inline CModel Model(const std::string& name, int parent, int frames = 61, int animations = 1)
{
    static int id = 100;
    CModel model;
    model.m_id = ++id;
    model.m_name = name;
    model.m_parent = parent;
    for (int a = 0; a < animations; ++a) {
        model.m_tracks.emplace_back(static_cast<std::size_t>(frames));
        if (frames > 0) {
            model.m_tracks.back()[0].m_key = 1;
        }
    }
    return model;
}

// A triangle face of material `material` over vertices 0, 1, 2 (added when missing).
inline void AddTriangle(CModel& model, int material)
{
    while (model.m_vertices.size() < 3) {
        model.m_vertices.emplace_back();
    }
    CFace face;
    face.m_material = material;
    face.m_indices = {0, 1, 2};
    model.m_faces.push_back(face);
}

// The open operation with a texture lookup of its own, as a fresh program has.
inline OpenResult OpenForTest(CTessaline& scene, const std::string& path, MessageSink& messages, bool& modified)
{
    TextureLookup textures;
    return OpenInto(scene, path, messages, textures, modified);
}

} // namespace vantomo
