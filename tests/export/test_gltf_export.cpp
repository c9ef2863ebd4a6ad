// The glTF export of small hand-built scenes, read back with tinygltf.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <set>

#include "GltfReadBack.h"
#include "MeshFacing.h"
#include "TempFolder.h"

#include "animation/Pose.h"
#include "export/GltfExport.h"
#include "imaging/DibStream.h"
#include "import/LoaderMQO.h"
#include "scene/AppValues.h"
#include "scene/MessageSink.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A unit cube's corners around `centre`, with the six quads of the cube wound
// as real documents wind them: clockwise seen from outside.
void AddCube(CModel& model, const CVector& centre, int material)
{
    const int base = static_cast<int>(model.m_vertices.size());
    for (int i = 0; i < 8; ++i) {
        CVertex v;
        v.m_position = {centre.x + ((i & 1) ? 1.0f : -1.0f), centre.y + ((i & 2) ? 1.0f : -1.0f),
                        centre.z + ((i & 4) ? 1.0f : -1.0f)};
        model.m_vertices.push_back(v);
    }
    const int quads[6][4] = {{1, 3, 2, 0}, {6, 7, 5, 4}, {4, 5, 1, 0}, {3, 7, 6, 2}, {2, 6, 4, 0}, {5, 7, 3, 1}};
    for (const auto& quad : quads) {
        CFace face;
        face.m_material = material;
        for (int c = 0; c < 4; ++c) {
            face.m_indices.push_back(base + quad[c]);
            face.m_uvs.push_back(CUV{static_cast<float>(c & 1), static_cast<float>(c >> 1)});
        }
        model.m_faces.push_back(face);
    }
}

CModel MakeModel(int id, const std::string& name, int parent, const CVector& pivot, int frames0, int frames1)
{
    CModel model;
    model.m_id = id;
    model.m_name = name;
    model.m_parent = parent;
    model.m_pivot = pivot;
    model.m_tracks.emplace_back(static_cast<std::size_t>(frames0));
    model.m_tracks.emplace_back(static_cast<std::size_t>(frames1));
    model.m_tracks[0][0].m_key = 1;
    model.m_tracks[1][0].m_key = 1;
    return model;
}

CAnimation& Key(CModel& model, int animation, int frame)
{
    CAnimation& record = model.m_tracks[static_cast<std::size_t>(animation)][static_cast<std::size_t>(frame)];
    record.m_key = 1;
    return record;
}

// Two characters with models and one without; a hidden model that carries a
// child; keys that turn, move and scale, an axis that passes through zero.
std::unique_ptr<CTessaline> MakeScene()
{
    auto scene = std::make_unique<CTessaline>();
    scene->m_characterNames = {"Character_0", Utf8ToCp932("キャラ"), "empty"};
    scene->m_animationNames = {"walk", Utf8ToCp932("走る")};

    CMaterial red;
    red.m_id = 3;
    red.m_name = "red";
    red.m_color[0] = 1.0f;
    red.m_color[1] = 0.0f;
    red.m_color[2] = 0.0f;
    red.m_color[3] = 0.5f;
    red.m_diffuse = 0.8f;
    CMaterial bright;
    bright.m_id = 7;
    bright.m_name = Utf8ToCp932("明るい");
    bright.m_color[0] = 2.0f;
    bright.m_color[1] = std::numeric_limits<float>::quiet_NaN();
    bright.m_color[2] = -1.0f;
    scene->m_materials = {red, bright};

    CModel body = MakeModel(6, "body", -1, {1, 2, 3}, 11, 6);
    AddCube(body, {1, 2, 3}, 3);
    body.m_faces[1].m_material = 7;
    body.m_faces[2].m_material = 99; // no such material: the default one
    Key(body, 0, 10).m_angle = 90;
    Key(body, 0, 10).m_position = {5, 0, -2};
    Key(body, 1, 5).m_axis = {1, 1, 0};
    Key(body, 1, 5).m_angle = -170;

    CModel hidden = MakeModel(7, "hidden", 0, {0, 5, 0}, 11, 6);
    AddCube(hidden, {0, 5, 0}, 3);
    hidden.m_visible = 0;
    Key(hidden, 0, 4).m_scale = {2, 0.5f, 1};
    Key(hidden, 0, 4).m_axis = {0, 0, 1};
    Key(hidden, 0, 4).m_angle = 30;

    CModel hand = MakeModel(8, Utf8ToCp932("手"), 1, {0, 8, 0}, 11, 6);
    AddCube(hand, {0, 8, 0}, 7);
    Key(hand, 0, 0).m_axis = {1, 0, 0};
    Key(hand, 0, 10).m_axis = {-1, 0, 0}; // zero axis at frame 5
    Key(hand, 0, 10).m_angle = 60;
    Key(hand, 1, 3).m_scale = {1, 3, 1};

    CModel other = MakeModel(9, "other", ~1, {-4, 0, 0}, 11, 6);
    AddCube(other, {-4, 0, 0}, 3);
    Key(other, 1, 5).m_position = {0, 10, 0};

    scene->m_models = {body, hidden, hand, other};
    scene->RefreshDerived();
    InbetweenAll(*scene);
    return scene;
}

class GltfExportTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAppValues(); }
    void TearDown() override { ResetAppValues(); }
    TempFolder m_folder;
};

const tinygltf::Node* FindNode(const tinygltf::Model& model, const std::string& name, int* index = nullptr)
{
    for (std::size_t i = 0; i < model.nodes.size(); ++i) {
        if (model.nodes[i].name == name) {
            if (index != nullptr) {
                *index = static_cast<int>(i);
            }
            return &model.nodes[i];
        }
    }
    return nullptr;
}

// Every pose node's world matrix at every frame of every animation equals the
// scene's pose composition, and every mesh node's is that moved by -pivot.
void ExpectWorldsMatchScene(const CTessaline& scene, const tinygltf::Model& model, double scale)
{
    ASSERT_EQ(model.animations.size(), scene.m_animationNames.size());
    for (std::size_t a = 0; a < scene.m_animationNames.size(); ++a) {
        EXPECT_EQ(model.animations[a].name, Cp932ToUtf8(scene.m_animationNames[a]));
        const int frames = scene.FrameCountOf(static_cast<int>(a));
        for (int f = 0; f < frames; ++f) {
            const std::vector<Matrix4> worlds = NodeWorlds(model, static_cast<int>(a), f / 30.0);
            const std::vector<D3DXMATRIX> expected = ComposeWorldMatrices(scene, static_cast<int>(a), f);
            for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
                const std::string suffix = std::to_string(m) + ":" + Cp932ToUtf8(scene.m_models[m].m_name);
                int pose = -1, mesh = -1;
                ASSERT_NE(FindNode(model, "pose" + suffix, &pose), nullptr) << suffix;
                ASSERT_NE(FindNode(model, "mesh" + suffix, &mesh), nullptr) << suffix;
                const Matrix4 world = FromScene(expected[m], scale);
                EXPECT_LT(RelativeDifference(worlds[static_cast<std::size_t>(pose)], world), 1e-5)
                    << "animation " << a << " frame " << f << " model " << m;
                const CVector& p = scene.m_models[m].m_pivot;
                const double shift[3] = {-p.x * scale, -p.y * scale, -p.z * scale};
                const double none[4] = {0, 0, 0, 1};
                const double one[3] = {1, 1, 1};
                EXPECT_LT(RelativeDifference(worlds[static_cast<std::size_t>(mesh)],
                                             Multiply(world, Trs(shift, none, one))),
                          1e-5);
            }
        }
    }
}

TEST_F(GltfExportTest, NodeTreeFollowsCharactersAndParents)
{
    auto scene = MakeScene();
    const std::string path = m_folder.Path("scene.gltf");
    const ExportResult result = ExportGltf(*scene, path, {});
    ASSERT_TRUE(result.ok) << result.message;
    tinygltf::Model model;
    std::string error;
    ASSERT_TRUE(LoadGltf(path, model, error)) << error;

    ASSERT_EQ(model.scenes.size(), 1u);
    EXPECT_EQ(model.scenes[0].nodes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(model.nodes[0].name, "char0:Character_0");
    EXPECT_EQ(model.nodes[1].name, "char1:キャラ");
    EXPECT_EQ(model.nodes[2].name, "char2:empty");
    EXPECT_TRUE(model.nodes[2].children.empty());

    int pose0 = -1, mesh0 = -1, pose1 = -1, mesh1 = -1, pose2 = -1, mesh2 = -1, pose3 = -1;
    ASSERT_NE(FindNode(model, "pose0:body", &pose0), nullptr);
    ASSERT_NE(FindNode(model, "mesh0:body", &mesh0), nullptr);
    ASSERT_NE(FindNode(model, "pose1:hidden", &pose1), nullptr);
    ASSERT_NE(FindNode(model, "mesh1:hidden", &mesh1), nullptr);
    ASSERT_NE(FindNode(model, "pose2:手", &pose2), nullptr);
    ASSERT_NE(FindNode(model, "mesh2:手", &mesh2), nullptr);
    ASSERT_NE(FindNode(model, "pose3:other", &pose3), nullptr);
    EXPECT_EQ(model.nodes[0].children, std::vector<int>{pose0});
    EXPECT_EQ(model.nodes[1].children, std::vector<int>{pose3});
    EXPECT_EQ(model.nodes[static_cast<std::size_t>(pose0)].children, std::vector<int>{mesh0});
    EXPECT_EQ(model.nodes[static_cast<std::size_t>(mesh0)].children, std::vector<int>{pose1});
    // The hidden model has no mesh but still carries its child.
    EXPECT_EQ(model.nodes[static_cast<std::size_t>(mesh1)].mesh, -1);
    EXPECT_EQ(model.nodes[static_cast<std::size_t>(mesh1)].children, std::vector<int>{pose2});
    EXPECT_GE(model.nodes[static_cast<std::size_t>(mesh2)].mesh, 0);
    EXPECT_EQ(model.nodes[static_cast<std::size_t>(mesh0)].translation, (std::vector<double>{-1, -2, -3}));
    EXPECT_EQ(model.meshes.size(), 3u);

    // The frame rate rides along for readers that want frames back.
    ASSERT_TRUE(model.asset.extras.Has("fps"));
    EXPECT_EQ(model.asset.extras.Get("fps").GetNumberAsDouble(), 30.0);

    // Sampled, not keyed: the axis-angle in-betweening is not a slerp, so more
    // than the keys are kept for the turning body ...
    const tinygltf::Animation& walk = model.animations[0];
    for (const tinygltf::AnimationChannel& channel : walk.channels) {
        const tinygltf::AnimationSampler& sampler = walk.samplers[static_cast<std::size_t>(channel.sampler)];
        const tinygltf::Accessor& input = model.accessors[static_cast<std::size_t>(sampler.input)];
        EXPECT_EQ(sampler.interpolation, "LINEAR");
        ASSERT_EQ(input.minValues.size(), 1u);
        ASSERT_EQ(input.maxValues.size(), 1u);
        EXPECT_EQ(input.minValues[0], 0.0);
        if (channel.target_node == pose3) {
            // ... while the other character, at rest in this animation, keeps only the ends.
            EXPECT_EQ(input.count, 2u);
            EXPECT_EQ(input.maxValues[0], static_cast<double>(10.0f / 30.0f));
        }
        if (channel.target_node == pose0 && channel.target_path == "translation") {
            EXPECT_EQ(input.count, 2u); // linear motion: the ends reproduce it
        }
        if (channel.target_node == pose0 && channel.target_path == "rotation") {
            EXPECT_EQ(input.count, 11u);
        }
    }
    ExpectWorldsMatchScene(*scene, model, 1.0);
}

TEST_F(GltfExportTest, ThePoseNodesTakeTheMomentAskedForNotTheFrameShown)
{
    auto scene = MakeScene();
    InbetweenAll(*scene);
    g_currentAnimation = 0;
    g_currentFrame = 2; // what the program shows: it must not leak into the file
    const CVector& pivot = scene->m_models[0].m_pivot;
    for (const int frame : {0, 7, 10}) {
        GltfExportOptions options;
        options.pose = TimePoint{0, frame};
        options.scale = 2.0f;
        const std::string path = m_folder.Path("at" + std::to_string(frame) + ".gltf");
        ASSERT_TRUE(ExportGltf(*scene, path, options).ok);
        tinygltf::Model model;
        std::string error;
        ASSERT_TRUE(LoadGltf(path, model, error)) << error;
        const tinygltf::Node* pose = FindNode(model, "pose0:body");
        ASSERT_NE(pose, nullptr);
        const CVector at = scene->GetRecord(0, 0, frame).m_position;
        const std::vector<double> expected = {static_cast<double>((at.x + pivot.x) * 2.0f),
                                              static_cast<double>((at.y + pivot.y) * 2.0f),
                                              static_cast<double>((at.z + pivot.z) * 2.0f)};
        EXPECT_EQ(pose->translation, expected) << "frame " << frame;
    }
    // The frames asked for differ, so the check above tells them apart.
    EXPECT_NE(scene->GetRecord(0, 0, 7).m_position, scene->GetRecord(0, 0, 2).m_position);
    EXPECT_EQ(g_currentFrame, 2);
}

TEST_F(GltfExportTest, BinaryAndScaledExportsCarryTheSamePoses)
{
    auto scene = MakeScene();
    GltfExportOptions options;
    options.binary = true;
    options.scale = 2.5f;
    const std::string path = m_folder.Path("scene.glb");
    const ExportResult result = ExportGltf(*scene, path, options);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(m_folder.Entries(), std::vector<std::string>{"scene.glb"});
    tinygltf::Model model;
    std::string error;
    ASSERT_TRUE(LoadGltf(path, model, error)) << error;
    ExpectWorldsMatchScene(*scene, model, 2.5);

    // Positions are scaled too, and stay where the scene draws them.
    int mesh0 = -1;
    ASSERT_NE(FindNode(model, "mesh0:body", &mesh0), nullptr);
    const tinygltf::Primitive& primitive = model.meshes[0].primitives[0];
    const int position = primitive.attributes.at("POSITION");
    EXPECT_EQ(model.accessors[static_cast<std::size_t>(position)].minValues, (std::vector<double>{0, 2.5, 5}));
    EXPECT_EQ(model.accessors[static_cast<std::size_t>(position)].maxValues, (std::vector<double>{5, 7.5, 10}));
}

TEST_F(GltfExportTest, PrimitivesPerMaterialWithQuadsSplitAndUnitNormals)
{
    auto scene = MakeScene();
    for (const std::size_t f : {0u, 3u, 4u, 5u}) { // the faces of the first material
        scene->m_models[0].m_faces[f].m_uvs.clear();
    }
    const std::string path = m_folder.Path("scene.gltf");
    ASSERT_TRUE(ExportGltf(*scene, path, {}).ok);
    tinygltf::Model model;
    std::string error;
    ASSERT_TRUE(LoadGltf(path, model, error)) << error;

    // body: faces of materials 3 (four quads), 7 (one) and the unknown id 99
    // (one), in the order of the material list, the default material last.
    const tinygltf::Mesh& body = model.meshes[0];
    ASSERT_EQ(body.primitives.size(), 3u);
    EXPECT_EQ(body.primitives[0].material, 0);
    EXPECT_EQ(body.primitives[1].material, 1);
    EXPECT_EQ(body.primitives[2].material, 2);
    ASSERT_EQ(model.materials.size(), 3u);
    EXPECT_EQ(model.materials[2].name, "default");
    EXPECT_EQ(model.materials[2].pbrMetallicRoughness.baseColorFactor,
              (std::vector<double>{0.800000011920929, 0.800000011920929, 0.800000011920929, 1}));
    // Colour x diffuse with alpha, clamped to [0, 1], NaN as 0.
    EXPECT_EQ(model.materials[0].pbrMetallicRoughness.baseColorFactor,
              (std::vector<double>{0.800000011920929, 0, 0, 0.5}));
    EXPECT_EQ(model.materials[0].alphaMode, "BLEND");
    EXPECT_EQ(model.materials[1].name, "明るい");
    EXPECT_EQ(model.materials[1].pbrMetallicRoughness.baseColorFactor, (std::vector<double>{1, 0, 0, 1}));
    EXPECT_EQ(model.materials[1].alphaMode, "OPAQUE");
    EXPECT_EQ(model.materials[1].pbrMetallicRoughness.metallicFactor, 0.0);

    // Face 1 (corners 6, 7, 5, 4), stored clockwise seen from outside, is the
    // fan (6, 7, 5), (6, 5, 4) written reversed: (5, 7, 6) and (4, 5, 6).
    // Its material has no texture, but its corners' UVs go along.
    const tinygltf::Primitive& single = body.primitives[1];
    const int indices = single.indices;
    const int positions = single.attributes.at("POSITION");
    ASSERT_EQ(single.attributes.count("TEXCOORD_0"), 1u);
    const int uvs = single.attributes.at("TEXCOORD_0");
    ASSERT_EQ(model.accessors[static_cast<std::size_t>(indices)].count, 6u);
    const CModel& cube = scene->m_models[0];
    const int expectedCorners[6] = {2, 1, 0, 3, 2, 0}; // corners of face 1
    for (std::size_t i = 0; i < 6; ++i) {
        const auto vertex = ReadAccessor<std::uint32_t>(model, indices, i, 0);
        const auto corner = static_cast<std::size_t>(expectedCorners[i]);
        const CVector& p = cube.m_vertices[static_cast<std::size_t>(cube.m_faces[1].m_indices[corner])].m_position;
        EXPECT_EQ(ReadAccessor<float>(model, positions, vertex, 0), p.x);
        EXPECT_EQ(ReadAccessor<float>(model, positions, vertex, 1), p.y);
        EXPECT_EQ(ReadAccessor<float>(model, positions, vertex, 2), p.z);
        EXPECT_EQ(ReadAccessor<float>(model, uvs, vertex, 0), cube.m_faces[1].m_uvs[corner].m_u);
        EXPECT_EQ(ReadAccessor<float>(model, uvs, vertex, 1), cube.m_faces[1].m_uvs[corner].m_v);
    }
    // Faces without UVs: no coordinates, shared corners are one vertex;
    // normals are the renderer's smooth vertex normals turned to the front,
    // so the cube's corners point outwards diagonally.
    const tinygltf::Primitive& four = body.primitives[0];
    EXPECT_EQ(four.attributes.count("TEXCOORD_0"), 0u);
    const int normals = four.attributes.at("NORMAL");
    const int fourPositions = four.attributes.at("POSITION");
    const std::size_t count = model.accessors[static_cast<std::size_t>(normals)].count;
    EXPECT_EQ(count, 8u);
    const double centre[3] = {cube.m_pivot.x, cube.m_pivot.y, cube.m_pivot.z};
    for (std::size_t v = 0; v < count; ++v) {
        double length = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const double n = ReadAccessor<float>(model, normals, v, c);
            const double outwards = ReadAccessor<float>(model, fourPositions, v, c) - centre[c];
            EXPECT_NEAR(n, std::copysign(1 / std::sqrt(3.0), outwards), 1e-6) << "vertex " << v;
            length += n * n;
        }
        EXPECT_NEAR(length, 1.0, 1e-6);
    }
}

// All primitives of one glTF mesh together, as a reader gets them.
TriangleMesh ReadMesh(const tinygltf::Model& model, const tinygltf::Mesh& source)
{
    TriangleMesh mesh;
    for (const tinygltf::Primitive& primitive : source.primitives) {
        const auto base = static_cast<std::uint32_t>(mesh.positions.size());
        const int position = primitive.attributes.at("POSITION");
        const int normal = primitive.attributes.at("NORMAL");
        for (std::size_t v = 0; v < model.accessors[static_cast<std::size_t>(position)].count; ++v) {
            mesh.positions.push_back({ReadAccessor<float>(model, position, v, 0),
                                      ReadAccessor<float>(model, position, v, 1),
                                      ReadAccessor<float>(model, position, v, 2)});
            mesh.normals.push_back({ReadAccessor<float>(model, normal, v, 0), ReadAccessor<float>(model, normal, v, 1),
                                    ReadAccessor<float>(model, normal, v, 2)});
        }
        const std::size_t corners = model.accessors[static_cast<std::size_t>(primitive.indices)].count;
        for (std::size_t i = 0; i + 2 < corners; i += 3) {
            mesh.triangles.push_back({base + ReadAccessor<std::uint32_t>(model, primitive.indices, i, 0),
                                      base + ReadAccessor<std::uint32_t>(model, primitive.indices, i + 1, 0),
                                      base + ReadAccessor<std::uint32_t>(model, primitive.indices, i + 2, 0)});
        }
    }
    return mesh;
}

// Imports a corpus document (reading no texture file) with every model shown,
// so that each gets its mesh, and reads back its export as a .glb in `folder`.
bool ExportCorpusDocument(const std::string& document, const TempFolder& folder, CTessaline& scene,
                          tinygltf::Model& model)
{
    ResetAppValues();
    CollectingMessageSink messages;
    if (!ImportMQO(scene, document, messages, nullptr).ok) {
        ADD_FAILURE() << document << " does not open";
        return false;
    }
    for (CModel& m : scene.m_models) {
        m.m_visible = 1;
    }
    InbetweenAll(scene);
    const std::string path = folder.Path("corpus.glb");
    GltfExportOptions binary;
    binary.binary = true;
    const ExportResult result = ExportGltf(scene, path, binary);
    std::string error;
    if (!result.ok || !LoadGltf(path, model, error)) {
        ADD_FAILURE() << document << ": " << result.message << error;
        return false;
    }
    return true;
}

// The scene model of a mesh node "mesh<i>:<name>", or -1 for any other node.
int ModelOfMeshNode(const tinygltf::Node& node)
{
    return node.name.rfind("mesh", 0) == 0 && node.mesh >= 0 ? std::stoi(node.name.substr(4)) : -1;
}

// Real documents store their faces clockwise seen from outside; glTF viewers
// cull and light counter-clockwise fronts. Every closed model of the corpus
// comes out facing outwards, with its normals on the front side.
TEST_F(GltfExportTest, EveryClosedCorpusModelFacesOutwards)
{
    const std::vector<std::string> documents = CorpusDocuments();
    if (documents.empty()) {
        GTEST_SKIP() << "no corpus documents in " << VANTOMO_CORPUS_DIR;
    }
    std::size_t closedModels = 0;
    for (const std::string& document : documents) {
        CTessaline scene;
        tinygltf::Model model;
        if (!ExportCorpusDocument(document, m_folder, scene, model)) {
            continue;
        }
        for (const tinygltf::Node& node : model.nodes) {
            if (ModelOfMeshNode(node) < 0) {
                continue;
            }
            const auto m = static_cast<std::size_t>(ModelOfMeshNode(node));
            const MeshFacing stored = Facing(StoredMesh(scene.m_models[m]));
            if (!stored.closed) {
                continue;
            }
            ++closedModels;
            const std::string what = document + " " + node.name;
            EXPECT_LT(stored.volume, 0.0) << what << ": stored faces run clockwise seen from outside";
            const MeshFacing exported = Facing(ReadMesh(model, model.meshes[static_cast<std::size_t>(node.mesh)]));
            EXPECT_TRUE(exported.closed) << what;
            EXPECT_GT(exported.volume, 0.0) << what;
            EXPECT_NEAR(exported.volume, -stored.volume, 1e-6 * std::fabs(stored.volume)) << what;
            EXPECT_GE(static_cast<double>(exported.facing), 0.99 * static_cast<double>(exported.withArea))
                << what << ": " << exported.facing << " of " << exported.withArea << " triangles face their normals";
        }
    }
    // normal.mqo's cube and its four variants, 12 of d-chan2's 13 objects, ...
    EXPECT_GE(closedModels, 27u);
}

TEST_F(GltfExportTest, TheTextIsTheSameUnderACommaLocale)
{
    auto scene = MakeScene();
    const std::string first = m_folder.Path("c.gltf");
    ASSERT_TRUE(ExportGltf(*scene, first, {}).ok);
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (scripts/install-deps makes it)";
    }
    const std::string second = m_folder.Path("de.gltf");
    const ExportResult result = ExportGltf(*scene, second, {});
    std::setlocale(LC_ALL, old.c_str());
    ASSERT_TRUE(result.ok);
    std::vector<unsigned char> a = ReadBytes(first), b = ReadBytes(second);
    // The only difference allowed is the buffer's file name.
    const std::string text(b.begin(), b.end());
    std::string expected(a.begin(), a.end());
    expected.replace(expected.find("c.bin"), 5, "de.bin");
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find("0.800000011920929"), std::string::npos);
    EXPECT_EQ(ReadBytes(m_folder.Path("c.bin")), ReadBytes(m_folder.Path("de.bin")));
}

TEST_F(GltfExportTest, NonFiniteValuesAndBadOptionsAreRefusedWithoutTouchingFiles)
{
    auto scene = MakeScene();
    const std::string path = m_folder.Path("scene.gltf");
    ASSERT_TRUE(ExportGltf(*scene, path, {}).ok);
    const std::vector<unsigned char> before = ReadBytes(path);

    auto broken = MakeScene();
    broken->m_models[2].m_tracks[1][4].m_position.y = std::numeric_limits<float>::infinity();
    ExportResult result = ExportGltf(*broken, path, {});
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("手"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find("走る"), std::string::npos) << result.message;

    broken = MakeScene();
    broken->m_models[0].m_tracks[0][3].m_angle = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(ExportGltf(*broken, path, {}).ok);
    // A NaN angle about a zero axis turns nothing in the scene either: written as no rotation.
    broken = MakeScene();
    broken->m_models[0].m_tracks[0][3].m_axis = {0, 0, 0};
    broken->m_models[0].m_tracks[0][3].m_angle = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(ExportGltf(*broken, m_folder.Path("zero.gltf"), {}).ok);

    broken = MakeScene();
    broken->m_models[3].m_vertices[2].m_position.x = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(ExportGltf(*broken, path, {}).ok);

    GltfExportOptions bad;
    bad.scale = 0.0f;
    EXPECT_FALSE(ExportGltf(*scene, path, bad).ok);
    scene->m_fps = 0.0f;
    EXPECT_FALSE(ExportGltf(*scene, path, {}).ok);
    scene->m_fps = 30.0f;

    EXPECT_EQ(ReadBytes(path), before);

    // A folder that does not exist: a failed result with the system's reason.
    result = ExportGltf(*scene, m_folder.Path("missing/scene.gltf"), {});
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.detail.empty());
}

TEST_F(GltfExportTest, SceneWithoutModelsHasNoAnimationAndNoBuffer)
{
    CTessaline scene;
    const std::string path = m_folder.Path("empty.gltf");
    ASSERT_TRUE(ExportGltf(scene, path, {}).ok);
    EXPECT_EQ(m_folder.Entries(), std::vector<std::string>{"empty.gltf"});
    tinygltf::Model model;
    std::string error;
    ASSERT_TRUE(LoadGltf(path, model, error)) << error;
    EXPECT_TRUE(model.animations.empty());
    EXPECT_EQ(model.nodes.size(), 1u);
    GltfExportOptions binary;
    binary.binary = true;
    ASSERT_TRUE(ExportGltf(scene, m_folder.Path("empty.glb"), binary).ok);
    EXPECT_EQ(ReadBytes(m_folder.Path("empty.glb")).size() % 4, 0u);
}

std::shared_ptr<DibStream> MakeImage(int bits, std::uint8_t alpha)
{
    auto image = std::make_shared<DibStream>();
    EXPECT_TRUE(image->CreateDIB(2, 2, bits));
    for (std::int32_t y = 0; y < 2; ++y) {
        std::uint8_t* row = image->RowAddress(y);
        for (std::int32_t x = 0; x < 2 * bits / 8; ++x) {
            row[x] = static_cast<std::uint8_t>(40 * x + 7 * y);
        }
        if (bits == 32) {
            row[3] = alpha;
            row[7] = 255;
        }
    }
    return image;
}

TEST_F(GltfExportTest, TexturesGoBesideTheDocumentByFileNameOnly)
{
    auto scene = MakeScene();
    std::vector<CMaterial>& materials = scene->m_materials;
    materials.assign(7, CMaterial());
    const char* textures[] = {"tex\\wood.bmp", "other/wood.png", "../../evil.bmp", "keep.tga",
                              "missing.bmp", "tex\\wood.bmp", "missing.bmp"};
    for (std::size_t i = 0; i < materials.size(); ++i) {
        materials[i].m_id = 20 + static_cast<int>(i);
        materials[i].m_name = "m" + std::to_string(i);
        materials[i].m_texture = textures[i];
    }
    materials[0].m_image = MakeImage(24, 0);
    materials[1].m_image = MakeImage(32, 128); // alpha: blended
    materials[2].m_image = MakeImage(24, 0);
    materials[3].m_image = MakeImage(24, 0);
    materials[5].m_image = materials[0].m_image; // the same source again
    // Every material on a face of the body, so each is used.
    for (std::size_t f = 0; f < 6; ++f) {
        scene->m_models[0].m_faces[f].m_material = 20 + static_cast<int>(f);
    }
    scene->m_models[3].m_faces[0].m_material = 26;
    {
        std::ofstream keep(m_folder.Path("keep.png"), std::ios::binary);
        keep << "not ours";
    }
    const std::string path = m_folder.Path("scene.gltf");
    const ExportResult result = ExportGltf(*scene, path, {});
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.skippedTextures, (std::vector<std::string>{"keep.tga", "missing.bmp"}));
    EXPECT_EQ(m_folder.Entries(), (std::vector<std::string>{"evil.png", "keep.png", "scene.bin", "scene.gltf",
                                                            "wood.png", "wood_2.png"}));
    EXPECT_EQ(ReadBytes(m_folder.Path("keep.png")), (std::vector<unsigned char>{'n', 'o', 't', ' ', 'o', 'u', 'r', 's'}));

    tinygltf::Model model;
    std::string error;
    ASSERT_TRUE(LoadGltf(path, model, error)) << error;
    ASSERT_EQ(model.images.size(), 3u);
    EXPECT_EQ(model.images[0].uri, "wood.png");
    EXPECT_EQ(model.images[1].uri, "wood_2.png");
    EXPECT_EQ(model.images[2].uri, "evil.png");
    EXPECT_EQ(model.materials[0].pbrMetallicRoughness.baseColorTexture.index, 0);
    EXPECT_EQ(model.materials[5].pbrMetallicRoughness.baseColorTexture.index, 0);
    EXPECT_EQ(model.materials[1].alphaMode, "BLEND");
    EXPECT_EQ(model.materials[0].alphaMode, "OPAQUE");
    EXPECT_EQ(model.materials[3].pbrMetallicRoughness.baseColorTexture.index, -1);
    EXPECT_EQ(model.materials[4].pbrMetallicRoughness.baseColorTexture.index, -1);
    // Textured primitives carry their coordinates as they are.
    const tinygltf::Primitive& textured = model.meshes[0].primitives[0];
    ASSERT_EQ(textured.attributes.count("TEXCOORD_0"), 1u);

    // Exporting again finds its own identical files and keeps using them.
    const ExportResult again = ExportGltf(*scene, path, {});
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.skippedTextures, result.skippedTextures);

    // In a .glb the images travel inside.
    GltfExportOptions binary;
    binary.binary = true;
    TempFolder other;
    ASSERT_TRUE(ExportGltf(*scene, other.Path("scene.glb"), binary).ok);
    EXPECT_EQ(other.Entries(), std::vector<std::string>{"scene.glb"});
    tinygltf::Model embedded;
    ASSERT_TRUE(LoadGltf(other.Path("scene.glb"), embedded, error)) << error;
    ASSERT_EQ(embedded.images.size(), 4u); // keep.tga too: nothing stands in its way
    EXPECT_EQ(embedded.images[0].mimeType, "image/png");
    EXPECT_EQ(embedded.images[0].width, 2);
}

// Faces keep their UVs whether their material is textured or not, so a
// model textured elsewhere later keeps its mapping; a primitive none of whose
// faces has UVs goes without. No texture file is read here, so every
// material is untextured.
TEST_F(GltfExportTest, CorpusFacesKeepTheirUVsWithoutATexture)
{
    const std::vector<std::string> documents = CorpusDocuments();
    if (documents.empty()) {
        GTEST_SKIP() << "no corpus documents in " << VANTOMO_CORPUS_DIR;
    }
    std::size_t withUVs = 0;
    for (const std::string& document : documents) {
        CTessaline scene;
        tinygltf::Model model;
        if (!ExportCorpusDocument(document, m_folder, scene, model)) {
            continue;
        }
        for (const tinygltf::Node& node : model.nodes) {
            if (ModelOfMeshNode(node) < 0) {
                continue;
            }
            const CModel& source = scene.m_models[static_cast<std::size_t>(ModelOfMeshNode(node))];
            for (const tinygltf::Primitive& primitive : model.meshes[static_cast<std::size_t>(node.mesh)].primitives) {
                const auto slot = static_cast<std::size_t>(primitive.material);
                ASSERT_LT(slot, scene.m_materials.size()) << document; // every face names a material
                bool uvs = false;
                for (const CFace& face : source.m_faces) {
                    uvs = uvs || (face.m_material == scene.m_materials[slot].m_id && !face.m_uvs.empty());
                }
                EXPECT_EQ(model.materials[slot].pbrMetallicRoughness.baseColorTexture.index, -1) << document;
                EXPECT_EQ(primitive.attributes.count("TEXCOORD_0"), uvs ? 1u : 0u) << document << " " << node.name;
                withUVs += uvs ? 1 : 0;
            }
        }
    }
    EXPECT_GT(withUVs, 0u);
}

} // namespace

} // namespace vantomo
