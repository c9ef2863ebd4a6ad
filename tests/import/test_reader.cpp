#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "import/LoaderMQO.h"
#include "scene/AppValues.h"
#include "scene/ProjectFile.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

const std::string kHeader = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n";

const std::string kSquare = "\tvertex 4 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t\t1 1 0\r\n\t}\r\n";

// An object of 4 vertices; `faces` is the body of its face chunk. `vertices`
// are the chunks that hold its vertices.
std::string Object(const std::string& name, const std::string& faces, const std::string& extra = "",
                   const std::string& vertices = kSquare)
{
    return "Object \"" + name + "\" {\r\n\tfacet 59.5\r\n" + extra + vertices + "\tface 1 {\r\n" + faces +
           "\t}\r\n}\r\n";
}

// Floats as a binary vertex block stores them: 4 bytes each, little-endian.
std::string FloatBytes(std::initializer_list<float> values)
{
    std::string bytes;
    for (const float value : values) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
        }
    }
    return bytes;
}

// A BVertex chunk whose Vector line announces `vectors` triples in `size` bytes.
std::string BinaryVertices(int count, int vectors, int size, const std::string& payload)
{
    return "\tBVertex " + std::to_string(count) + " {\r\n\t\tVector " + std::to_string(vectors) + " [" +
           std::to_string(size) + "]\r\n" + payload + "\r\n\t}\r\n";
}

std::string BinaryVertices(const std::string& payload)
{
    const int count = static_cast<int>(payload.size() / 12);
    return BinaryVertices(count, count, static_cast<int>(payload.size()), payload);
}

std::vector<unsigned char> ProjectBytes(CTessaline& scene)
{
    Archive ar;
    EXPECT_TRUE(StoreProject(scene, ar));
    return {ar.Stored().begin(), ar.Stored().end()};
}

class Reader : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }

    OpenResult Import(const std::string& text)
    {
        MemoryByteSource source(text);
        return ImportMQO(scene, source, messages, nullptr, nullptr, shape); // parse only: no disk
    }

    CTessaline scene;
    TrackShape shape; // the tracks of a fresh program: one animation of 61 frames
    CollectingMessageSink messages;
};

} // namespace

TEST_F(Reader, HeaderLines)
{
    EXPECT_EQ(Import("metasequoia document\nformat text ver 1.0\n").importCode, kMqoOk);
    EXPECT_EQ(Import("Metasequoia Document\nFormat Text Ver 0.9\n" + Object("a", "\t\t3 V(0 1 2)\r\n")).importCode,
              kMqoBadFormat);
    EXPECT_TRUE(scene.m_models.empty());
    EXPECT_EQ(Import("\nMetasequoia Document\nFormat Text Ver 1.0\n").importCode, kMqoNotDocument);
    EXPECT_EQ(Import("Metasequoia Document\nFormat Compress Ver 1.0\n").importCode, kMqoBadFormat);
    EXPECT_EQ(Import("").importCode, kMqoNotDocument);
    EXPECT_EQ(Import("Metasequoia Document\nFormat Text Ver 1.2\nCodePage utf8\n").importCode, kMqoOk);
    // Whatever the result, the scene ends with a material.
    ASSERT_EQ(scene.m_materials.size(), 1u);
    EXPECT_EQ(scene.m_materials[0].m_name, "NoMaterial");
}

TEST_F(Reader, MaterialsTakeTheNextIdsAndTheirAttributes)
{
    const std::string first = kHeader + "Material 3 {\r\n"
                                        "\t\"a\" shader(3) vcol(1) col(1.000 0.000 0.000 1.000) dif(0.500)\r\n"
                                        "\t\"b\" col(0.5 0.5 dif(0.25)\r\n"
                                        "\t\"c\" spc(0.1) emi(0.2) amb(0.3) power(7.5) aplane(\"al.png\") bump(\"bu.png\")\r\n"
                                        "}\r\n" +
                              Object("one", "\t\t3 V(0 1 2) M(2)\r\n\t\t3 V(1 2 3)\r\n");
    ASSERT_EQ(Import(first).importCode, kMqoOk);
    ASSERT_EQ(scene.m_materials.size(), 3u);
    const CMaterial& a = scene.m_materials[0];
    EXPECT_EQ(a.m_id, 0);
    EXPECT_EQ(a.m_shader, 3);
    EXPECT_EQ(a.m_color[0], 1.0f);
    EXPECT_EQ(a.m_color[1], 0.0f);
    EXPECT_EQ(a.m_diffuse, 0.5f);
    EXPECT_EQ(a.m_d3dMaterial.Diffuse.r, 0.5f); // derived after the import
    const CMaterial& b = scene.m_materials[1];
    EXPECT_EQ(b.m_color[0], 0.8f); // col without its ")" ends the line: defaults remain
    EXPECT_EQ(b.m_diffuse, 1.0f);
    const CMaterial& c = scene.m_materials[2];
    EXPECT_EQ(c.m_specular, 0.1f);
    EXPECT_EQ(c.m_emissive, 0.2f);
    EXPECT_EQ(c.m_ambient, 0.3f);
    EXPECT_EQ(c.m_power, 7.5f);
    EXPECT_EQ(c.m_alphaPlane, "al.png");
    EXPECT_EQ(c.m_bump, "bu.png");
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_faces[0].m_material, 2);
    EXPECT_EQ(scene.m_models[0].m_faces[1].m_material, 0);

    // A second document numbers its materials after the first one's.
    const std::string second = kHeader + "Material 2 {\r\n\t\"x\"\r\n\t\"y\"\r\n}\r\n" +
                               Object("two", "\t\t3 V(0 1 2) M(1)\r\n");
    ASSERT_EQ(Import(second).importCode, kMqoOk);
    ASSERT_EQ(scene.m_materials.size(), 5u);
    EXPECT_EQ(scene.m_materials[4].m_id, 4);
    EXPECT_EQ(scene.m_models[1].m_faces[0].m_material, 4);
    EXPECT_EQ(scene.m_nextMaterialId, 5);
}

TEST_F(Reader, ModelsHangAtTheSelectedCharacterWithIdsAndTracks)
{
    scene.m_characterNames.push_back("Second");
    scene.m_selectedCharacter = 1;
    shape.frames = 31;
    ASSERT_EQ(Import(kHeader + Object("m", "\t\t4 V(0 1 3 2)\r\n\t\t2 V(3 0)\r\n")).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    const CModel& m = scene.m_models[0];
    EXPECT_EQ(m.m_id, 6);
    EXPECT_EQ(m.m_parent, -2);
    EXPECT_EQ(m.m_parentName, "Second");
    EXPECT_EQ(m.m_facet, 59.5f);
    EXPECT_EQ(m.m_pivot, (CVector{1.0f, 1.0f, 0.0f}));
    ASSERT_EQ(m.m_tracks.size(), 1u);
    EXPECT_EQ(m.m_tracks[0].size(), 31u);
    EXPECT_EQ(m.m_tracks[0][0].m_key, 1);
    EXPECT_EQ(m.m_vertices[0].m_faces, (std::vector<int>{0}));
    EXPECT_EQ(m.m_faces[0].m_normal, (CVector{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(m.m_bounds[0], (CVector{0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(m.m_bounds[1], (CVector{-1.0f, -1.0f, 0.0f}));
    // A default material with id 0 was added.
    ASSERT_EQ(scene.m_materials.size(), 1u);
    EXPECT_EQ(scene.m_materials[0].m_id, 0);
    EXPECT_EQ(scene.m_nextMaterialId, 1);
}

TEST_F(Reader, FaceLines)
{
    const std::string text = kHeader + Object("f",
                                              "\t\t5 V(0 1 2 3 0) M(1)\r\n"                    // first four corners kept
                                              "\t\t3 V(0 1 2) UV(0.5 0.25 1 0 0 1)\r\n"       // uvs, no material
                                              "\t\t3 V(0 1 2) M 0) UV(0 0 0 0 0 0)\r\n"       // broken M: ignored
                                              "\t\t3 V 0 1 2 ) x\r\n"                         // no "(": ignored
                                              "\t\t3 V(0 1 9)\r\n"                            // outside: dropped
                                              "\t\t3 V(0 -1 2)\r\n"                           // outside: dropped
                                              "\t\t3 V(2 1 0) COL(1 2 3)\r\n"                 // extras ignored
                                              "\t\t1 V(0)\r\n");
    ASSERT_EQ(Import(text).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    const auto& faces = scene.m_models[0].m_faces;
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_EQ(faces[0].m_indices, (FixedVector<int, 4>{0, 1, 2, 3}));
    EXPECT_EQ(faces[0].m_material, 1);
    EXPECT_TRUE(faces[0].m_uvs.empty());
    EXPECT_EQ(faces[1].m_material, 0);
    ASSERT_EQ(faces[1].m_uvs.size(), 3u);
    EXPECT_EQ(faces[1].m_uvs[0], (CUV{0.5f, 0.25f}));
    EXPECT_EQ(faces[1].m_uvs[2], (CUV{0.0f, 1.0f}));
    EXPECT_EQ(faces[2].m_indices, (FixedVector<int, 4>{2, 1, 0}));

    // A face line without "V" fails the whole import.
    EXPECT_EQ(Import(kHeader + Object("g", "\t\t3 X(0 1 2)\r\n")).importCode, kMqoMalformed);
    // Corner counts at the int limit must not wrap the index arithmetic.
    EXPECT_EQ(Import(kHeader + Object("h", "\t\t2147483647 V(0 1 2)\r\n")).importCode, kMqoMalformed);
    EXPECT_EQ(Import(kHeader + Object("i", "\t\t-2147483648 V(0 1 2)\r\n")).importCode, kMqoOk);
    EXPECT_EQ(scene.m_models.size(), 1u); // neither object kept a face
}

TEST_F(Reader, ObjectsWithoutUsableFacesOrNotReadToTheirEndNeverReachTheScene)
{
    ASSERT_EQ(Import(kHeader + Object("lines", "\t\t2 V(0 1)\r\n\t\t2 V(2 3)\r\n")).importCode, kMqoOk);
    EXPECT_TRUE(scene.m_models.empty());
    EXPECT_EQ(scene.m_lastModelId, 5);

    // Cut inside the second object's face chunk: the first object stays.
    const std::string both = kHeader + Object("kept", "\t\t3 V(0 1 2)\r\n") + Object("cut", "\t\t3 V(0 1 2)\r\n");
    const std::string cut = both.substr(0, both.rfind("\t}\r\n}"));
    EXPECT_EQ(Import(cut).importCode, kMqoEndInChunk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, "kept");

    // A vertex chunk line without its brace fails the object.
    EXPECT_EQ(Import(kHeader + "Object \"v\" {\r\n\tvertex 3 x\r\n\t\t0 0 0\r\n}\r\n").importCode, kMqoMalformed);
    EXPECT_EQ(Import(kHeader + "Material 1 x\r\n").importCode, kMqoMalformed);
    EXPECT_EQ(Import(kHeader + "Material 1 {\r\n\t\"m\"\r\n").importCode, kMqoEndInChunk);
    EXPECT_EQ(Import(kHeader + "Scene {\r\n\tpos 1 2 3\r\n").importCode, kMqoEndInChunk);
    EXPECT_EQ(scene.m_models.size(), 1u);
    for (const CModel& model : scene.m_models) {
        EXPECT_FALSE(model.m_tracks.empty());
    }
}

TEST_F(Reader, UnknownChunksAndBinaryBlocksAreSkipped)
{
    std::string binary(96, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = "{}\"\n\r\0["[i % 7];
    }
    const std::string text = kHeader + "Scene {\r\n\tdirlights 1 {\r\n\t\tlight {\r\n\t\t}\r\n\t}\r\n}\r\n"
                                       "IncludeXml \"x.mqx\"\r\n"
                                       "Object \"b\" {\r\n\tBlob 8 {\r\n\t\tVector 8 [96]\r\n" + binary +
                             "\t}\r\n\tvertexattr {\r\n\t\tuid {\r\n\t\t\t1\r\n\t\t}\r\n\t}\r\n"
                             "\tvertex 3 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t}\r\n"
                             "\tface 1 {\r\n\t\t3 V(0 1 2)\r\n\t}\r\n}\r\nEof\r\n";
    ASSERT_EQ(Import(text).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_vertices.size(), 3u);

    // A negative byte count would send the reader back for ever.
    EXPECT_EQ(Import(kHeader + "Thumb {\r\n\tdata [ -20 ]\r\n}\r\n").importCode, kMqoMalformed);
    // A count beyond the end leaves the reader at the end.
    EXPECT_EQ(Import(kHeader + "Thumb {\r\n\tdata [ 100000 ]\r\n}\r\n").importCode, kMqoEndInChunk);
    EXPECT_EQ(Import(kHeader + "data [ 100000 ]\r\nrest\r\n").importCode, kMqoOk);
}

TEST_F(Reader, BinaryVerticesAreReadAsTheSameVerticesInTextWouldBe)
{
    // The last vertex's bytes hold LF, CR, "}" and "{", which a line reader
    // would take for the end of the block.
    const float awkward[3] = {std::bit_cast<float>(0x7D0A0D7Bu), std::bit_cast<float>(0x3F800A0Du),
                              std::bit_cast<float>(0xC2227D0Au)};
    const std::string payload = FloatBytes({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, awkward[0], awkward[1], awkward[2]});
    std::string text = "\tvertex 5 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t\t1 1 0\r\n";
    char line[80];
    std::snprintf(line, sizeof line, "\t\t%.9g %.9g %.9g\r\n\t}\r\n", awkward[0], awkward[1], awkward[2]);
    text += line;
    const std::string faces = "\t\t4 V(0 1 3 2) UV(0 0 1 0 1 1 0 1)\r\n\t\t3 V(1 4 3)\r\n";
    const std::string mirror = "\tmirror 1\r\n\tmirror_axis 3\r\n";

    ASSERT_EQ(Import(kHeader + Object("m", faces, mirror, BinaryVertices(payload))).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    const CModel& binary = scene.m_models[0];
    ASSERT_EQ(binary.m_vertices.size(), 20u); // mirrored over x, then y
    EXPECT_EQ(binary.m_vertices[4].m_position, (CVector{awkward[0], awkward[1], awkward[2]}));
    EXPECT_EQ(binary.m_vertices[9].m_position, (CVector{-awkward[0], awkward[1], awkward[2]}));
    EXPECT_EQ(binary.m_faces.size(), 8u);

    ResetAppValues();
    CTessaline fromText;
    const std::string document = kHeader + Object("m", faces, mirror, text);
    MemoryByteSource source(document);
    ASSERT_TRUE(ImportMQO(fromText, source, messages, nullptr).Complete());
    EXPECT_EQ(ProjectBytes(scene), ProjectBytes(fromText));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Reader, AnObjectTakesTheFirstVertexListItMeets)
{
    const std::string doubled = FloatBytes({0, 0, 0, 2, 0, 0, 0, 2, 0, 2, 2, 0});
    ASSERT_EQ(Import(kHeader + Object("b", "\t\t3 V(0 1 2)\r\n", "", BinaryVertices(doubled) + kSquare)).importCode,
              kMqoOk);
    ASSERT_EQ(Import(kHeader + Object("t", "\t\t3 V(0 1 2)\r\n", "", kSquare + BinaryVertices(doubled))).importCode,
              kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 2u);
    ASSERT_EQ(scene.m_models[0].m_vertices.size(), 4u);
    EXPECT_EQ(scene.m_models[0].m_vertices[3].m_position, (CVector{2.0f, 2.0f, 0.0f}));
    ASSERT_EQ(scene.m_models[1].m_vertices.size(), 4u);
    EXPECT_EQ(scene.m_models[1].m_vertices[3].m_position, (CVector{1.0f, 1.0f, 0.0f}));
}

TEST_F(Reader, BrokenBinaryVertexBlocksLeaveTheirObjectOutAndTheImportSaysWhich)
{
    const std::string square = FloatBytes({0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0});
    const std::string face = "\t\t3 V(0 1 2)\r\n";
    const std::string good = Object("good", face);
    // A count that disagrees with the byte size, on either line: the block's
    // size still says where it ends, so the objects after it are read.
    const std::string wrongBytes = Object("bytes", face, "", BinaryVertices(4, 4, 47, square.substr(0, 47)));
    const std::string wrongCount = Object("count", face, "", BinaryVertices(5, 4, 48, square));
    OpenResult result = Import(kHeader + wrongBytes + good + wrongCount);
    EXPECT_EQ(result.importCode, kMqoMalformed);
    EXPECT_FALSE(result.Complete());
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, "good");
    EXPECT_EQ(result.unreadObjects, (std::vector<std::string>{"bytes", "count"}));
    EXPECT_TRUE(result.objectsWithoutModel.empty());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], std::string(kUnreadObjectsMessage) + "\nbytes\ncount");

    // A block running past the end of the file, and a negative size: reading
    // stops there, never beyond what the file holds.
    const std::string cut = kHeader + good + Object("cut", face, "", BinaryVertices(square));
    for (const std::size_t keep : {cut.find("[48]\r\n") + 6, cut.find("[48]\r\n") + 6 + 47}) {
        ResetAppValues();
        CTessaline partial;
        MemoryByteSource source(std::string_view(cut).substr(0, keep));
        result = ImportMQO(partial, source, messages, nullptr);
        EXPECT_EQ(result.importCode, kMqoMalformed);
        ASSERT_EQ(partial.m_models.size(), 1u);
        EXPECT_EQ(result.unreadObjects, (std::vector<std::string>{"cut"}));
    }
    EXPECT_EQ(Import(kHeader + Object("n", face, "", BinaryVertices(-4, -4, -48, ""))).importCode, kMqoMalformed);
    // A huge count with a matching size reserves only what the file could hold.
    EXPECT_EQ(Import(kHeader + Object("big", face, "", BinaryVertices(100000000, 100000000, 1200000000, square)))
                  .importCode,
              kMqoMalformed);

    // Objects found, no model made: the import names them although the
    // document itself was read whole.
    messages.messages.clear();
    result = Import(kHeader + Object("line", "\t\t2 V(0 1)\r\n") + Object("empty", ""));
    EXPECT_TRUE(result.Complete());
    EXPECT_EQ(result.objectsWithoutModel, (std::vector<std::string>{"line", "empty"}));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], std::string(kObjectsWithoutModelMessage) + "\nline\nempty");
    // ... but an object without faces beside one that gave a model is nothing to report.
    messages.messages.clear();
    result = Import(kHeader + Object("line", "\t\t2 V(0 1)\r\n") + good);
    EXPECT_TRUE(result.objectsWithoutModel.empty());
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(Reader, ShiftJisNamesAndUtf8Documents)
{
    // An object name whose trail byte is "{" does not open a block.
    const std::string sjis = "\x83\x7B\x81\x5B\x83\x8B"; // ボール
    ASSERT_EQ(Import(kHeader + Object(sjis, "\t\t3 V(0 1 2)\r\n")).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, sjis);

    // UTF-8 text: names arrive as CP932; what CP932 lacks becomes "?".
    const std::string utf8 = "Metasequoia Document\r\nFormat Text Ver 1.2\r\nCodePage utf8\r\n"
                             "Material 1 {\r\n\t\"ぁ\" tex(\"テクスチャ😀.png\")\r\n}\r\n" +
                             Object("三角形", "\t\t3 V(0 1 2)\r\n");
    ASSERT_EQ(Import(utf8).importCode, kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 2u);
    EXPECT_EQ(scene.m_models[1].m_name, Utf8ToCp932("三角形"));
    EXPECT_EQ(scene.m_materials.back().m_name, Utf8ToCp932("ぁ"));
}

TEST_F(Reader, DuplicateNamesAreMadeUnique)
{
    ASSERT_EQ(Import(kHeader + "Material 2 {\r\n\t\"m\"\r\n\t\"M\"\r\n}\r\n" +
                     Object("part", "\t\t3 V(0 1 2)\r\n") + Object("PART", "\t\t3 V(0 1 2)\r\n"))
                  .importCode,
              kMqoOk);
    ASSERT_EQ(scene.m_models.size(), 2u);
    EXPECT_EQ(scene.m_models[1].m_name, "PART_2");
    EXPECT_EQ(scene.m_materials[1].m_name, "M_2");
}

TEST_F(Reader, MirrorAxisDoublesTheObject)
{
    ASSERT_EQ(Import(kHeader + Object("m", "\t\t3 V(0 1 2) UV(0 0 1 0 0 1)\r\n", "\tmirror 1\r\n\tmirror_axis 1\r\n"))
                  .importCode,
              kMqoOk);
    const CModel& m = scene.m_models[0];
    ASSERT_EQ(m.m_vertices.size(), 8u);
    ASSERT_EQ(m.m_faces.size(), 2u);
    EXPECT_EQ(m.m_faces[1].m_indices, (FixedVector<int, 4>{6, 5, 4}));
    EXPECT_EQ(m.m_faces[1].m_uvs[0], (CUV{0.0f, 1.0f}));
    EXPECT_EQ(m.m_vertices[5].m_position, (CVector{-1.0f, 0.0f, 0.0f}));
}

TEST_F(Reader, DocumentsReadTheSameUnderACommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "de_DE.UTF-8 is not generated on this machine";
    }
    const OpenResult result =
        Import(kHeader + "Material 1 {\r\n\t\"m\" col(0.25 0.5 0.75 1.0)\r\n}\r\n" + Object("x", "\t\t3 V(0 1 2)\r\n"));
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_EQ(result.importCode, kMqoOk);
    EXPECT_EQ(scene.m_materials[0].m_color[1], 0.5f);
    EXPECT_EQ(scene.m_models[0].m_facet, 59.5f);
}

TEST_F(Reader, FilesMoveTheLookupsBaseFolderAndLoadTexturesThroughIt)
{
    const std::string folder = std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/";
    TextureLookup textures{"elsewhere", "/nonexistent/"};
    const OpenResult result = ImportMQO(scene, folder + "textured.mqo", messages, &textures);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.importCode, kMqoOk);
    EXPECT_EQ(textures.baseFolder, folder);
    EXPECT_EQ(result.texturesFound + result.texturesMissing, 1);
    ASSERT_EQ(scene.m_materials.size(), 1u);
    ASSERT_EQ(scene.m_models.size(), 1u);

    const OpenResult zipped = ImportMQO(scene, folder + "textured.mqoz", messages, &textures);
    ASSERT_TRUE(zipped.ok) << zipped.detail;
    EXPECT_EQ(zipped.importCode, kMqoOk);
    EXPECT_EQ(scene.m_models.size(), 2u);

    textures.baseFolder = "unchanged";
    const OpenResult missing = ImportMQO(scene, folder + "no such file.mqo", messages, &textures);
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.detail.empty());
    EXPECT_EQ(textures.baseFolder, "unchanged");

    // Without a lookup the reader parses only: the texture name is kept, no file is read.
    CTessaline parsed;
    const OpenResult bare = ImportMQO(parsed, folder + "textured.mqo", messages, nullptr);
    EXPECT_TRUE(bare.Complete());
    EXPECT_EQ(bare.texturesFound + bare.texturesMissing, 0);
    ASSERT_FALSE(parsed.m_materials.empty());
    EXPECT_FALSE(parsed.m_materials[0].m_texture.empty());
    EXPECT_EQ(parsed.m_materials[0].m_image, nullptr);
}

} // namespace vantomo
