// Real documents that nobody here wrote (see the corpus manifest).
#include <sys/stat.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/LoaderMQO.h"
#include "scene/AppValues.h"
#include "scene/ProjectFile.h"

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

// The counts follow from the reader's rules: two-corner faces become pivots,
// mirrors double an object per axis.
const Expected kDocuments[] = {
    {"Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case5.mqoz", 0, 1, 3, 1, 1},
    {"Kotatsu-RTM_mqoIO/src/test/resources/dev/siro256/mqoio/MqoIOTest/case7.mqo", 0, 1, 3, 1, 1},
    {"binzume_mqo-jsmacro-plugin/scripts/autocsg_sample.mqo", 0, 2, 608, 494, 2},
    {"garlic-flavor_mqo_loader/dsan/d-chan2.mqo", 0, 13, 502, 483, 3},
    {"garlic-flavor_mqo_loader/dsan/d-chan3.mqo", 0, 7, 376, 403, 3},
    {"garlic-flavor_mqo_loader/dsan/ワイルドDさん.mqo", 0, 3, 1825, 1788, 10},
    {"garlic-flavor_mqo_loader/dsan/初代Dさん.mqo", 0, 7, 448, 448, 3},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/mirrored.mqo", 0, 1, 8, 2, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/normal.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_material_with_materialex2.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object.mqoz", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object_with_bvertex.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/single_object_with_dup_vertices.mqo", 0, 1, 8, 6, 1},
    {"nutti_blender-mqo/tests/python/blender_mqo_test/mqo_files/vertexattr.mqo", 0, 1, 8, 6, 1},
    {"wertrain_webgl-metasequoia/app/models/isu.mqo", 0, 3, 348, 284, 2},
};

// A BVertex chunk as the test reads it from the bytes, without the reader.
struct BinaryVertexChunk {
    std::size_t begin = 0;   // first byte of the "BVertex" line
    std::size_t payload = 0; // first byte of the floats
    std::size_t end = 0;     // past the line of the closing brace
    std::vector<CVector> vertices;
};

// Every chunk "BVertex n {", "Vector n [12n]", 12n bytes of little-endian
// float triples, "}" of a document.
std::vector<BinaryVertexChunk> FindBinaryVertexChunks(const std::string& bytes)
{
    std::vector<BinaryVertexChunk> chunks;
    for (std::size_t at = bytes.find("BVertex"); at != std::string::npos; at = bytes.find("BVertex", at)) {
        BinaryVertexChunk chunk;
        chunk.begin = bytes.rfind('\n', at) + 1;
        const std::size_t vector = bytes.find("Vector", at);
        int count = 0;
        int size = 0;
        if (vector == std::string::npos ||
            std::sscanf(bytes.c_str() + vector, "Vector %d [%d]", &count, &size) != 2 || size != 12 * count) {
            ADD_FAILURE() << "no Vector line after byte " << at;
            return chunks;
        }
        chunk.payload = bytes.find('\n', vector) + 1;
        if (chunk.payload + static_cast<std::size_t>(size) > bytes.size()) {
            ADD_FAILURE() << "the floats after byte " << chunk.payload << " run past the end";
            return chunks;
        }
        for (int v = 0; v < count; ++v) {
            float xyz[3];
            for (int c = 0; c < 3; ++c) {
                const std::size_t b = chunk.payload + 12 * static_cast<std::size_t>(v) + 4 * static_cast<std::size_t>(c);
                std::uint32_t bits = 0;
                for (int i = 3; i >= 0; --i) {
                    bits = bits << 8 | static_cast<unsigned char>(bytes[b + static_cast<std::size_t>(i)]);
                }
                xyz[c] = std::bit_cast<float>(bits);
            }
            chunk.vertices.push_back(CVector{xyz[0], xyz[1], xyz[2]});
        }
        chunk.end = bytes.find('\n', bytes.find('}', chunk.payload + static_cast<std::size_t>(size))) + 1;
        at = chunk.end;
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

// The document with every BVertex chunk written as a text vertex chunk of the same floats.
std::string WithTextVertices(const std::string& bytes, const std::vector<BinaryVertexChunk>& chunks)
{
    std::string text;
    std::size_t copied = 0;
    for (const BinaryVertexChunk& chunk : chunks) {
        text.append(bytes, copied, chunk.begin - copied);
        text += "\tvertex " + std::to_string(chunk.vertices.size()) + " {\n";
        for (const CVector& v : chunk.vertices) {
            char line[80];
            std::snprintf(line, sizeof line, "\t\t%.9g %.9g %.9g\n", v.x, v.y, v.z);
            text += line;
        }
        text += "\t}\n";
        copied = chunk.end;
    }
    text.append(bytes, copied);
    return text;
}

std::vector<unsigned char> ProjectBytes(CTessaline& scene)
{
    Archive ar;
    EXPECT_TRUE(StoreProject(scene, ar));
    return {ar.Stored().begin(), ar.Stored().end()};
}

OpenResult ImportBytes(CTessaline& scene, const std::string& bytes, CollectingMessageSink& messages)
{
    ResetAppValues();
    MemoryByteSource source(bytes);
    return ImportMQO(scene, source, messages, nullptr);
}

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
        // No document of the corpus leaves an object out or ends without a model.
        EXPECT_TRUE(result.unreadObjects.empty()) << expected.file;
        EXPECT_TRUE(result.objectsWithoutModel.empty()) << expected.file;
        EXPECT_TRUE(messages.messages.empty()) << expected.file;
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

namespace vantomo {

TEST(Corpus, BinaryVerticesAreTheFilesFloatsAndReadAsTheirTextWould)
{
    std::vector<std::string> documents = {std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/single_object_with_bvertex.mqo"};
    if (CorpusPresent()) {
        documents.push_back(kCorpus + "garlic-flavor_mqo_loader/dsan/d-chan3.mqo");
    }
    for (const std::string& path : documents) {
        const std::string bytes = ReadFile(path);
        const std::vector<BinaryVertexChunk> chunks = FindBinaryVertexChunks(bytes);
        ASSERT_FALSE(chunks.empty()) << path;

        CTessaline scene;
        CollectingMessageSink messages;
        ASSERT_TRUE(ImportBytes(scene, bytes, messages).Complete()) << path;
        // Every object holds one block and neither document mirrors.
        ASSERT_EQ(scene.m_models.size(), chunks.size()) << path;
        for (std::size_t m = 0; m < chunks.size(); ++m) {
            ASSERT_EQ(scene.m_models[m].m_vertices.size(), chunks[m].vertices.size()) << path;
            for (std::size_t v = 0; v < chunks[m].vertices.size(); ++v) {
                EXPECT_EQ(scene.m_models[m].m_vertices[v].m_position, chunks[m].vertices[v]) << path << " " << m;
            }
        }
        const std::vector<unsigned char> project = ProjectBytes(scene);

        CTessaline fromText;
        ASSERT_TRUE(ImportBytes(fromText, WithTextVertices(bytes, chunks), messages).Complete()) << path;
        EXPECT_EQ(ProjectBytes(fromText), project) << path;

        LoadedProject loaded;
        ASSERT_TRUE(LoadProject(project, loaded)) << path;
        EXPECT_EQ(ProjectBytes(*loaded.scene), project) << path;
        EXPECT_TRUE(messages.messages.empty()) << path;
    }
}

TEST(Corpus, CutOrInconsistentBinaryVertexBlocksAreReadOnlyInPart)
{
    if (!CorpusPresent()) {
        GTEST_SKIP() << "no corpus at " << kCorpus;
    }
    const std::string bytes = ReadFile(kCorpus + "garlic-flavor_mqo_loader/dsan/d-chan3.mqo");
    const std::vector<BinaryVertexChunk> chunks = FindBinaryVertexChunks(bytes);
    ASSERT_EQ(chunks.size(), 7u);
    for (std::size_t k = 0; k < chunks.size(); ++k) {
        const BinaryVertexChunk& chunk = chunks[k];
        const std::string what = "block " + std::to_string(k);
        const std::size_t size = 12 * chunk.vertices.size();
        const std::string payload = bytes.substr(chunk.payload, size);
        const std::string before = bytes.substr(0, chunk.begin);
        const std::string after = bytes.substr(chunk.payload + size);
        const std::string n = std::to_string(chunk.vertices.size());

        // Cut inside the floats: the objects before stay, reading stops.
        CTessaline cut;
        CollectingMessageSink messages;
        const OpenResult result = ImportBytes(cut, bytes.substr(0, chunk.payload + size / 2 + 1), messages);
        EXPECT_EQ(result.importCode, kMqoMalformed) << what;
        EXPECT_EQ(cut.m_models.size(), k) << what;
        EXPECT_EQ(result.unreadObjects.size(), 1u) << what;
        EXPECT_EQ(messages.messages.size(), 1u) << what;
        ExpectConsistent(cut, what);

        // A byte size that is not the count's: the object is left out, and
        // whatever follows the announced size is read as it comes.
        for (const std::size_t wrong : {size - 4, size + 4, size + 12}) {
            const std::string resized = before + "\tBVertex " + n + " {\n\t\tVector " + n + " [" +
                                        std::to_string(wrong) + "]\n" + payload + after;
            CTessaline scene;
            const OpenResult wrongResult = ImportBytes(scene, resized, messages);
            EXPECT_FALSE(wrongResult.Complete()) << what << " [" << wrong << "]";
            EXPECT_FALSE(wrongResult.unreadObjects.empty()) << what << " [" << wrong << "]";
            ExpectConsistent(scene, what);
        }
    }
}

} // namespace vantomo
