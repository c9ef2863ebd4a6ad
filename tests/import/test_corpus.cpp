// Real documents that nobody here wrote (see the corpus manifest).
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

const std::string kCorpus = std::string(VANTOMO_CORPUS_DIR) + "/mqo/";

bool CorpusPresent()
{
    struct stat info {};
    return stat(kCorpus.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// What the rest of the program relies on after any import, complete or not.
void ExpectConsistent(const CTessaline& scene, const std::string& what)
{
    EXPECT_FALSE(scene.m_materials.empty()) << what;
    for (const CModel& model : scene.m_models) {
        ASSERT_FALSE(model.m_faces.empty()) << what;
        EXPECT_GT(model.m_id, 5) << what;
        ASSERT_EQ(model.m_tracks.size(), static_cast<std::size_t>(g_animationCount)) << what;
        EXPECT_EQ(model.m_tracks[0].size(), static_cast<std::size_t>(g_lastFrame) + 1) << what;
        for (const CFace& face : model.m_faces) {
            ASSERT_TRUE(face.m_indices.size() == 3 || face.m_indices.size() == 4) << what;
            ASSERT_TRUE(face.m_uvs.empty() || face.m_uvs.size() == face.m_indices.size()) << what;
            for (const int index : face.m_indices) {
                ASSERT_TRUE(index >= 0 && static_cast<std::size_t>(index) < model.m_vertices.size()) << what;
            }
        }
        for (const CVertex& vertex : model.m_vertices) {
            for (const int f : vertex.m_faces) {
                ASSERT_TRUE(f >= 0 && static_cast<std::size_t>(f) < model.m_faces.size()) << what;
            }
        }
    }
}

struct Expected {
    const char* file;
    int code;
    std::size_t models, vertices, faces, materials;
};

// The counts follow from the reader's rules: objects whose vertices sit in
// binary BVertex blocks keep no face, two-corner faces become pivots, mirrors
// double an object per axis.
const Expected kDocuments[] = {
    {"Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case5.mqoz", 0, 1, 3, 1, 1},
    {"Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case7.mqo", 0, 1, 3, 1, 1},
    {"binzume_mqo-jsmacro-plugin/scripts/autocsg_sample.mqo", 0, 2, 608, 494, 2},
    {"garlic-flavor_mqo_loader/dsan/d-chan2.mqo", 0, 13, 502, 483, 3},
    {"garlic-flavor_mqo_loader/dsan/d-chan3.mqo", 0, 0, 0, 0, 3},
    {"garlic-flavor_mqo_loader/dsan/ワイルドDさん.mqo", 0, 3, 1825, 1788, 10},
    {"garlic-flavor_mqo_loader/dsan/初代Dさん.mqo", 0, 7, 448, 448, 3},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/mirrored.mqo", 0, 1, 8, 2, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/normal.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_material_with_materialex2.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object.mqoz", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object_with_bvertex.mqo", 0, 0, 0, 0, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object_with_dup_vertices.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/vertexattr.mqo", 0, 1, 8, 6, 1},
    {"wertrain_webgl-metasequoia/app/models/isu.mqo", 0, 3, 348, 284, 2},
};

} // namespace

TEST(Corpus, EveryDocumentImportsWithItsResultCode)
{
    if (!CorpusPresent()) {
        GTEST_SKIP() << "no corpus at " << kCorpus;
    }
    for (const Expected& expected : kDocuments) {
        ResetAppValues();
        CTessaline scene;
        CollectingMessageSink messages;
        const OpenResult result = ImportMQO(scene, kCorpus + expected.file, messages, nullptr);
        ASSERT_TRUE(result.ok) << expected.file << ": " << result.detail;
        EXPECT_EQ(result.importCode, expected.code) << expected.file;
        std::size_t vertices = 0;
        std::size_t faces = 0;
        for (const CModel& model : scene.m_models) {
            vertices += model.m_vertices.size();
            faces += model.m_faces.size();
        }
        EXPECT_EQ(scene.m_models.size(), expected.models) << expected.file;
        EXPECT_EQ(vertices, expected.vertices) << expected.file;
        EXPECT_EQ(faces, expected.faces) << expected.file;
        EXPECT_EQ(scene.m_materials.size(), expected.materials) << expected.file;
        ExpectConsistent(scene, expected.file);
    }
}

TEST(Corpus, NamesAndPivotsOfKnownDocuments)
{
    if (!CorpusPresent()) {
        GTEST_SKIP() << "no corpus at " << kCorpus;
    }
    ResetAppValues();
    CTessaline scene;
    CollectingMessageSink messages;
    ASSERT_TRUE(ImportMQO(scene, kCorpus + "wertrain_webgl-metasequoia/app/models/isu.mqo", messages, nullptr).Complete());
    ASSERT_EQ(scene.m_models.size(), 3u);
    EXPECT_EQ(scene.m_models[0].m_name, "\x83\x43\x83\x58"); // イス, CP932 as written
    EXPECT_EQ(scene.m_models[0].m_id, 6);
    EXPECT_EQ(scene.m_models[2].m_id, 8);

    // The UTF-8 document inside a container arrives with CP932 names.
    const std::string zipped = "Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case5.mqoz";
    ASSERT_TRUE(ImportMQO(scene, kCorpus + zipped, messages, nullptr).Complete());
    EXPECT_EQ(scene.m_models.back().m_name, "\x8E\x4F\x8A\x70\x8C\x60"); // 三角形
    EXPECT_EQ(scene.m_materials.back().m_name, "\x83\x7D\x83\x65\x83\x8A\x83\x41\x83\x8B"); // マテリアル

    // The lathe-style document: two-corner faces set pivots, a texture is named.
    CTessaline wild;
    TextureLookup textures;
    const OpenResult result = ImportMQO(wild, kCorpus + "garlic-flavor_mqo_loader/dsan/ワイルドDさん.mqo", messages, &textures);
    ASSERT_TRUE(result.Complete());
    EXPECT_EQ(result.texturesFound + result.texturesMissing, 1);
}

TEST(Corpus, EveryTruncatedPrefixEndsConsistently)
{
    if (!CorpusPresent()) {
        GTEST_SKIP() << "no corpus at " << kCorpus;
    }
    struct Source {
        const char* file;
        std::size_t stride; // 1: every prefix (larger files take every stride-th, to keep the test quick)
    };
    const Source sources[] = {
        {"Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case7.mqo", 1},
        {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object_with_bvertex.mqo", 1},
        {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_material_with_materialex2.mqo", 1},
        {"wertrain_webgl-metasequoia/app/models/isu.mqo", 7},
        {"garlic-flavor_mqo_loader/dsan/d-chan3.mqo", 41},
        {"garlic-flavor_mqo_loader/dsan/d-chan2.mqo", 53},
    };
    for (const Source& source : sources) {
        const std::string bytes = ReadFile(kCorpus + source.file);
        ASSERT_FALSE(bytes.empty()) << source.file;
        for (std::size_t length = 0; length <= bytes.size(); length += source.stride) {
            ResetAppValues();
            CTessaline scene;
            CollectingMessageSink messages;
            MemoryByteSource prefix(std::string_view(bytes).substr(0, length));
            const OpenResult result = ImportMQO(scene, prefix, messages, nullptr);
            ASSERT_TRUE(result.importCode <= 0 && result.importCode >= -4) << source.file << " @" << length;
            ExpectConsistent(scene, std::string(source.file) + " @" + std::to_string(length));
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

} // namespace vantomo
