// The Metasequoia writer: the exact text of a small scene, and documents that
// the reader gives back as they were.
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "ExportFixture.h"
#include "export/MqoWriter.h"
#include "import/LoaderMQO.h"

namespace vantomo {

namespace {

const std::string kCorpus = std::string(VANTOMO_CORPUS_DIR) + "/mqo/";

CTessaline SmallScene()
{
    CTessaline scene;
    CMaterial quoted = MakeMaterial("m\"x\ty", 5, 1.0f, 0.5f, 0.25f, 1.0f);
    quoted.m_diffuse = 0.8f;
    quoted.m_ambient = 0.6f;
    quoted.m_emissive = 0.0f;
    quoted.m_specular = 0.0f;
    quoted.m_power = 5.0f;
    quoted.m_shader = 2;
    quoted.m_texture = "tex\\wood.bmp";
    scene.m_materials.push_back(quoted);
    scene.m_materials.push_back(MakeMaterial("plain", 3, 0.0f, 0.0f, 0.0f, 1.0f));
    CModel model = MakeModel("obj", 0);
    AddVertex(model, 1.0f, -0.5f, 0.0f);
    AddVertex(model, 0.0f, 0.0f, 0.0f);
    AddVertex(model, 0.0f, 1.0f, 0.0f);
    AddVertex(model, 1.0f, 1.0f, 0.0f);
    model.m_faces.push_back(MakeFace(3, {0, 1, 2}, {{0.5f, 0.5f}, {1.0f, 0.0f}})); // two UVs only
    model.m_faces.push_back(MakeFace(5, {0, 1, 2, 3}, {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 0.125f}}));
    model.m_faces.push_back(MakeFace(9, {3, 2, 1})); // an id no material has
    scene.m_models.push_back(model);
    return scene;
}

// Lines joined with CR LF.
std::string Crlf(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace

TEST_F(ExportTest, MqoTextOfASmallScene)
{
    const CTessaline scene = SmallScene();
    const std::string path = folder.Path("small.mqo");
    ASSERT_TRUE(WriteMQO(scene, 2.0f, path, true).ok);
    const std::string expected = Crlf({
        "Metasequoia Document",
        "Format Text Ver 1.0",
        "",
        "Scene {",
        "\tpos 0.0000 0.0000 1500.0000",
        "\tlookat 0.0000 0.0000 0.0000",
        "\thead -0.5236",
        "\tpich 0.5236",
        "\tortho 0",
        "\tzoom2 5.0000",
        "\tamb 0.250 0.250 0.250",
        "}",
        "Material 2 {",
        "\t\"m_x_y\" shader(3) col(1.000000 0.500000 0.250000 1.000000) dif(0.800000) amb(0.600000) emi(0.000000) "
        "spc(0.000000) power(5.000000) tex(\"tex\\wood.bmp\")",
        "\t\"plain\" shader(3) col(0.000000 0.000000 0.000000 1.000000) dif(1.000000) amb(1.000000) emi(0.000000) "
        "spc(0.000000) power(0.200000)",
        "}",
        "Object \"obj\" {",
        "\tvisible 15",
        "\tlocking 1",
        "\tshading 1",
        "\tfacet 59.5",
        "\tcolor 0.898 0.498 0.698",
        "\tcolor_type 0",
        "\tvertex 4 {",
        "\t\t2.000000 -1.000000 0.000000",
        "\t\t0.000000 0.000000 0.000000",
        "\t\t0.000000 2.000000 0.000000",
        "\t\t2.000000 2.000000 0.000000",
        "\t}",
        "\tface 3 {",
        "\t\t3 V(0 1 2) M(1)",
        "\t\t4 V(0 1 2 3) M(0) UV(0.000000 0.000000 1.000000 0.000000 1.000000 1.000000 0.000000 0.125000)",
        "\t\t3 V(3 2 1) M(9)",
        "\t}",
        "",
        "}",
        "Eof",
    });
    EXPECT_EQ(ReadText(path), expected);
    EXPECT_EQ(scene.m_materials[0].m_name, "m\"x\ty"); // the scene keeps its names

    // Without the flag no face has a UV group; an empty scene has an empty material chunk.
    ASSERT_TRUE(WriteMQO(scene, 1.0f, path, false).ok);
    EXPECT_EQ(ReadText(path).find("UV("), std::string::npos);
    ASSERT_TRUE(WriteMQO(CTessaline{}, 1.0f, path, false).ok);
    EXPECT_NE(ReadText(path).find("}\r\nMaterial 0 {\r\n}\r\nEof\r\n"), std::string::npos);
}

TEST_F(ExportTest, MqoFailuresKeepTheOldFile)
{
    const ExportResult missing = WriteMQO(SmallScene(), 1.0f, folder.Path("no/such/folder/x.mqo"), false);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message, kMqoExportFailedMessage);
    EXPECT_FALSE(missing.detail.empty());

    // A file-size limit makes the disk look full part-way through the document.
    const std::string path = folder.Path("big.mqo");
    WriteText(path, "old");
    CTessaline scene = SmallScene();
    for (int i = 0; i < 20000; ++i) {
        AddVertex(scene.m_models[0], 1.0f, 2.0f, 3.0f);
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ExportResult full = WriteMQO(scene, 1.0f, path, false);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.message, kMqoExportFailedMessage);
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"big.mqo"}); // no temporary file left
}

// Every corpus document, written with UVs at scale 2 and read back, gives the
// same materials, vertices (scaled), faces and texture coordinates.
TEST_F(ExportTest, MqoCorpusRoundTrip)
{
    struct stat info {};
    if (stat(kCorpus.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        GTEST_SKIP() << "no corpus at " << kCorpus;
    }
    int documents = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".mqo" && ext != ".mqoz")) {
            continue;
        }
        const std::string file = entry.path().string();
        ResetAppValues();
        CollectingMessageSink messages;
        CTessaline original;
        (void)ImportMQO(original, file, messages, nullptr);
        const std::string written = folder.Path("round.mqo");
        ASSERT_TRUE(WriteMQO(original, 2.0f, written, true).ok) << file;
        CTessaline back;
        const OpenResult reread = ImportMQO(back, written, messages, nullptr);
        ASSERT_TRUE(reread.Complete()) << file;
        ++documents;

        ASSERT_EQ(back.m_materials.size(), original.m_materials.size()) << file;
        for (std::size_t i = 0; i < original.m_materials.size(); ++i) {
            const CMaterial& a = original.m_materials[i];
            const CMaterial& b = back.m_materials[i];
            EXPECT_EQ(b.m_texture, a.m_texture) << file;
            for (int c = 0; c < 4; ++c) {
                EXPECT_NEAR(b.m_color[c], a.m_color[c], 1e-6) << file;
            }
            EXPECT_NEAR(b.m_diffuse, a.m_diffuse, 1e-6) << file;
            EXPECT_NEAR(b.m_power, a.m_power, 1e-4) << file;
        }
        ASSERT_EQ(back.m_models.size(), original.m_models.size()) << file;
        const MaterialPositions positions(original.m_materials);
        for (std::size_t m = 0; m < original.m_models.size(); ++m) {
            const CModel& a = original.m_models[m];
            const CModel& b = back.m_models[m];
            EXPECT_EQ(b.m_name, a.m_name) << file;
            ASSERT_EQ(b.m_vertices.size(), a.m_vertices.size()) << file << " " << a.m_name;
            for (std::size_t v = 0; v < a.m_vertices.size(); ++v) {
                const CVector& p = a.m_vertices[v].m_position;
                const CVector& q = b.m_vertices[v].m_position;
                const float scaled[3] = {p.x * 2.0f, p.y * 2.0f, p.z * 2.0f};
                const float read[3] = {q.x, q.y, q.z};
                for (int k = 0; k < 3; ++k) {
                    ASSERT_NEAR(read[k], scaled[k], 5e-7 + std::abs(scaled[k]) * 1e-7) << file;
                }
            }
            ASSERT_EQ(b.m_faces.size(), a.m_faces.size()) << file << " " << a.m_name;
            for (std::size_t f = 0; f < a.m_faces.size(); ++f) {
                const CFace& fa = a.m_faces[f];
                const CFace& fb = b.m_faces[f];
                ASSERT_EQ(fb.m_indices.size(), fa.m_indices.size()) << file;
                for (std::size_t c = 0; c < fa.m_indices.size(); ++c) {
                    EXPECT_EQ(fb.m_indices[c], fa.m_indices[c]) << file;
                }
                // The reader numbers materials by position in a new scene.
                EXPECT_EQ(fb.m_material, positions.Of(fa.m_material)) << file;
                if (fa.m_uvs.size() >= fa.m_indices.size()) {
                    ASSERT_EQ(fb.m_uvs.size(), fa.m_uvs.size()) << file;
                    for (std::size_t c = 0; c < fa.m_uvs.size(); ++c) {
                        EXPECT_NEAR(fb.m_uvs[c].m_u, fa.m_uvs[c].m_u, 5e-7) << file;
                        EXPECT_NEAR(fb.m_uvs[c].m_v, fa.m_uvs[c].m_v, 5e-7) << file;
                    }
                }
            }
        }
    }
    EXPECT_GT(documents, 0);
}

} // namespace vantomo
