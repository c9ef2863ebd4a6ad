// The XAML export: golden documents, documents an XML reader and WPF accept
// whatever the names, times and colours, and the number formats.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <regex>
#include <set>

#include <pugixml.hpp>

#include "ExportFixture.h"
#include "MeshFacing.h"
#include "export/TextOutput.h"
#include "export/XamlExport.h"
#include "export/XamlNames.h"
#include "imaging/DibStream.h"
#include "import/LoaderMQO.h"
#include "scene/MessageSink.h"

namespace vantomo {

namespace {

// One quadrilateral in the one-vertex-per-corner layout at scale 2, with a
// rotation and an offset key, and a second animation of 31 frames.
CTessaline QuadScene()
{
    CTessaline scene;
    scene.m_camera[0].m_axis = CVector{0.0f, 0.0f, 0.0f};
    scene.m_animationNames = {"Animation_0", "walk"};
    scene.m_materials.push_back(MakeMaterial("paint", 0, 1.0f, 0.5f, 0.0f, 0.25f));
    CModel model = MakeModel("box", 0);
    model.m_pivot = CVector{1.0f, 2.0f, 3.0f};
    AddVertex(model, 0.0f, 0.0f, 0.0f);
    AddVertex(model, 1.0f, 0.0f, 0.0f);
    AddVertex(model, 1.0f, 1.0f, 0.0f);
    AddVertex(model, 0.0f, 1.0f, 0.0f);
    model.m_faces.push_back(MakeFace(0, {0, 1, 2, 3}));
    model.m_tracks[0][0].m_position = CVector{10.0f, 0.0f, 0.0f};
    model.m_tracks[0][45].m_key = 1;
    model.m_tracks[0][45].m_position = CVector{10.0f, 0.0f, 0.0f};
    model.m_tracks[0][45].m_angle = 90.0f;
    model.m_tracks.emplace_back(31);
    model.m_tracks[1][0].m_key = 1;
    scene.m_models.push_back(model);
    return scene;
}

// Shared vertices with normals and texture coordinates; a textured and an
// unused material; the model in the second of two characters.
CTessaline TwoScene()
{
    CTessaline scene;
    scene.m_camera[0].m_axis = CVector{0.0f, 0.0f, 0.0f};
    scene.m_characterNames = {"Empty", "hero"};
    CMaterial wood = MakeMaterial("wood", 0, 1.0f, 1.0f, 1.0f, 1.0f);
    wood.m_texture = "tex\\wood.bmp";
    wood.m_image = std::make_shared<DibStream>();
    wood.m_image->CreateDIB(2, 2, 24);
    scene.m_materials.push_back(wood);
    scene.m_materials.push_back(MakeMaterial("red", 1, 1.0f, 0.0f, 0.0f, 1.0f));
    CModel model = MakeModel("tri", 1);
    AddVertex(model, 0.0f, 0.0f, 0.0f);
    AddVertex(model, 1.0f, 0.0f, 0.0f);
    AddVertex(model, 1.0f, 1.0f, 0.0f);
    AddVertex(model, 0.0f, 1.0f, 0.0f);
    model.m_faces.push_back(MakeFace(0, {0, 1, 2, 3}, {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}));
    model.m_faces.push_back(MakeFace(0, {0, 1, 3})); // no UVs: the shared vertices keep their first ones
    scene.m_models.push_back(model);
    return scene;
}

bool IsTimeSpan(const std::string& text)
{
    static const std::regex pattern(R"(^(\d+\.)?\d+:\d+:\d+(\.\d+)?$)");
    return std::regex_match(text, pattern);
}

// What WPF needs of a document beyond well-formed XML: names that are
// identifiers and unique, references that resolve, times it can parse.
void ExpectLoadable(const std::string& path)
{
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
    ASSERT_TRUE(parsed) << parsed.description() << " at " << parsed.offset;
    std::set<std::string> names, keys;
    std::vector<std::string> resources, targets;
    std::vector<pugi::xml_node> stack{doc};
    while (!stack.empty()) {
        const pugi::xml_node node = stack.back();
        stack.pop_back();
        for (const pugi::xml_attribute attribute : node.attributes()) {
            const std::string name = attribute.name();
            const std::string value = attribute.value();
            if (name == "x:Name") {
                EXPECT_EQ(ToXamlIdentifier(value), value) << value;
                EXPECT_TRUE(names.insert(value).second) << "duplicate name " << value;
            } else if (name == "x:Key") {
                EXPECT_TRUE(keys.insert(value).second) << "duplicate key " << value;
            } else if (name == "Storyboard.TargetName") {
                targets.push_back(value);
            } else if (name == "KeyTime" || name == "BeginTime" ||
                       (name == "Duration" && value != "Forever")) {
                EXPECT_TRUE(IsTimeSpan(value)) << name << "=" << value;
            }
            const std::string prefix = "{StaticResource ";
            if (value.rfind(prefix, 0) == 0) {
                resources.push_back(value.substr(prefix.size(), value.size() - prefix.size() - 1));
            }
        }
        for (const pugi::xml_node child : node.children()) {
            stack.push_back(child);
        }
    }
    for (const std::string& key : resources) {
        EXPECT_EQ(keys.count(key), 1u) << "no resource " << key;
    }
    for (const std::string& target : targets) {
        EXPECT_EQ(names.count(target), 1u) << "no element " << target;
    }
}

// The numbers of a mesh attribute: "x,y,z x,y,z " or "a,b,c ".
std::vector<double> Numbers(std::string_view text)
{
    std::vector<double> values;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        if (*p == ',' || *p == ' ') {
            ++p;
            continue;
        }
        double value = 0;
        const std::from_chars_result read = std::from_chars(p, end, value);
        if (read.ec != std::errc{}) {
            ADD_FAILURE() << "not a number at " << std::string_view(p, static_cast<std::size_t>(end - p));
            break;
        }
        values.push_back(value);
        p = read.ptr;
    }
    return values;
}

// Appends a MeshGeometry3D to `mesh` as WPF reads it.
void AppendMesh(const pugi::xml_node& geometry, TriangleMesh& mesh)
{
    const auto base = static_cast<std::uint32_t>(mesh.positions.size());
    const std::vector<double> positions = Numbers(geometry.attribute("Positions").value());
    const std::vector<double> normals = Numbers(geometry.attribute("Normals").value());
    const std::vector<double> indices = Numbers(geometry.attribute("TriangleIndices").value());
    ASSERT_EQ(normals.size(), positions.size());
    for (std::size_t i = 0; i + 2 < positions.size(); i += 3) {
        mesh.positions.push_back({positions[i], positions[i + 1], positions[i + 2]});
        mesh.normals.push_back({normals[i], normals[i + 1], normals[i + 2]});
    }
    for (std::size_t i = 0; i + 2 < indices.size(); i += 3) {
        mesh.triangles.push_back({base + static_cast<std::uint32_t>(indices[i]),
                                  base + static_cast<std::uint32_t>(indices[i + 1]),
                                  base + static_cast<std::uint32_t>(indices[i + 2])});
    }
}

} // namespace

TEST_F(ExportTest, XamlGoldenDocuments)
{
    CTessaline quad = QuadScene();
    const std::string quadPath = folder.Path("quad.xaml");
    const ExportResult quadResult = ExportXaml(quad, quadPath, 1, 0, false, 2.0f, false);
    ASSERT_TRUE(quadResult.ok) << quadResult.message;
    EXPECT_EQ(ReadText(quadPath), ExportGolden("quad.xaml"));
    ExpectLoadable(quadPath);

    CTessaline two = TwoScene();
    const std::string twoPath = folder.Path("two.xaml");
    const ExportResult twoResult = ExportXaml(two, twoPath, 0, 2, true, 1.0f, true);
    ASSERT_TRUE(twoResult.ok) << twoResult.message;
    EXPECT_TRUE(twoResult.skippedTextures.empty());
    EXPECT_EQ(ReadText(twoPath), ExportGolden("two.xaml"));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"quad.xaml", "two.xaml", "wood.png"}));
    ExpectLoadable(twoPath);

    // The normals come from the positions: a scene whose stored vertex normals
    // were never filled, as after reading a project, writes the same document.
    for (CModel& model : two.m_models) {
        for (CVertex& vertex : model.m_vertices) {
            vertex.m_normal = CVector{};
        }
    }
    ASSERT_TRUE(ExportXaml(two, twoPath, 0, 2, true, 1.0f, true).ok);
    EXPECT_EQ(ReadText(twoPath), ExportGolden("two.xaml"));
}

// WPF's FieldOfView is horizontal: the view's vertical 90 degrees span
// 2 atan(4/3) across the Viewport3D's 400 x 300. The eye moves with the
// scale, as every other coordinate does.
TEST_F(ExportTest, XamlCameraFramesWhatTheViewFrames)
{
    CTessaline scene = QuadScene();
    scene.m_fieldOfView = 90.0f;
    const std::string path = folder.Path("camera.xaml");
    ASSERT_TRUE(ExportXaml(scene, path, 0, 2, false, 0.5f, false).ok);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("Position=\"0.000000,0.000000,750.000000\" LookDirection=\"0.000000,0.000000,-1.000000\""),
              std::string::npos);
    EXPECT_NE(text.find("FieldOfView=\"106.260205\""), std::string::npos);
}

// Real documents store their faces clockwise seen from outside. WPF's front
// faces run counter-clockwise, so the document reverses every triangle, and
// the normals must face that front too, or the directional light never
// reaches a model. Checked on every closed model of the corpus.
TEST_F(ExportTest, XamlNormalsFaceTheFrontOfEveryClosedCorpusModel)
{
    const std::vector<std::string> documents = CorpusDocuments();
    if (documents.empty()) {
        GTEST_SKIP() << "no corpus documents in " << VANTOMO_CORPUS_DIR;
    }
    std::size_t closedModels = 0;
    for (const std::string& document : documents) {
        ResetAppValues();
        CTessaline scene;
        CollectingMessageSink messages;
        ASSERT_TRUE(ImportMQO(scene, document, messages, nullptr).ok) << document;
        const std::string path = folder.Path("corpus.xaml");
        ASSERT_TRUE(ExportXaml(scene, path, 0, 2, false, 1.0f, true).ok) << document;
        pugi::xml_document xaml;
        ASSERT_TRUE(xaml.load_file(path.c_str())) << document;
        std::map<std::string, pugi::xml_node> geometries;
        for (const pugi::xpath_node& found : xaml.select_nodes("//MeshGeometry3D")) {
            geometries[found.node().attribute("x:Key").value()] = found.node();
        }
        std::vector<std::string> modelNames;
        for (const CModel& model : scene.m_models) {
            modelNames.push_back(model.m_name);
        }
        const std::vector<std::string> parts = XamlNameParts(modelNames);
        for (std::size_t m = 0; m < scene.m_models.size(); ++m) {
            if (!Facing(StoredMesh(scene.m_models[m])).closed) {
                continue;
            }
            ++closedModels;
            TriangleMesh mesh;
            for (const CMaterial& material : scene.m_materials) {
                const auto geometry = geometries.find("Geometry_" + XamlTitlePart(path) + "_" + parts[m] + "_" +
                                                      std::to_string(material.m_id));
                if (geometry != geometries.end()) {
                    AppendMesh(geometry->second, mesh);
                }
            }
            const MeshFacing facing = Facing(mesh);
            const std::string what = document + " model " + std::to_string(m);
            EXPECT_TRUE(facing.closed) << what;
            EXPECT_GT(facing.volume, 0.0) << what;
            EXPECT_GE(static_cast<double>(facing.facing), 0.99 * static_cast<double>(facing.withArea))
                << what << ": " << facing.facing << " of " << facing.withArea << " triangles face their normals";
        }
    }
    // normal.mqo's cube and its four variants, 12 of d-chan2's 13 objects, ...
    EXPECT_GE(closedModels, 27u);
}

TEST_F(ExportTest, XamlNamesBecomeUniqueIdentifiers)
{
    EXPECT_EQ(ToXamlIdentifier("Arm_01"), "Arm_01");
    EXPECT_EQ(ToXamlIdentifier("左腕ー"), "左腕ー"); // the long-vowel mark is a modifier letter
    EXPECT_EQ(ToXamlIdentifier("a b-c・d.e&\"<"), "a_b_c_d_e___");
    EXPECT_EQ(ToXamlIdentifier("x\xFFy"), "x_y");
    EXPECT_EQ(XamlNameParts({"a b", "a-b", "a_b", "A_B", "a_b_2"}),
              (std::vector<std::string>{"a_b", "a_b_2", "a_b_3", "A_B", "a_b_2_2"}));
    // CP932 "腕" and an invalid sequence, which becomes U+FFFD and then '_'.
    EXPECT_EQ(XamlNameParts({"\x98\x72", "\x81"}), (std::vector<std::string>{"腕", "_"}));
    EXPECT_EQ(XamlTitlePart("/out/scene.one.xaml"), "scene_one");
    EXPECT_EQ(XamlTitlePart("/out/.xaml"), "Scene");

    CTessaline scene = QuadScene();
    scene.m_characterNames = {"the hero", "the-hero"};
    scene.m_animationNames = {"run & jump", "run&&&jump", "\x83\x41\x83\x6A\x83\x81"};
    scene.m_materials.push_back(MakeMaterial("pa\"int", 1, 2.0f, -1.0f, std::nanf(""), 7.0f));
    scene.m_materials.push_back(MakeMaterial("pa int", 2, 0.5f, 0.5f, 0.5f, -3.0f));
    CModel& box = scene.m_models[0];
    box.m_name = "\x83\x7B\x83\x62\x83\x4E\x83\x58 1"; // "ボックス 1"
    box.m_faces.push_back(MakeFace(1, {0, 1, 2}));
    box.m_faces.push_back(MakeFace(2, {0, 2, 3}));
    CModel second = box;
    second.m_name = "\x83\x7B\x83\x62\x83\x4E\x83\x58-1";
    second.m_parent = 0;
    CModel third = box;
    third.m_name = "third";
    third.m_parent = ~1;
    scene.m_models.push_back(second); // `box` dangles from here on
    scene.m_models.push_back(third);
    const std::string path = folder.Path("scene.one.xaml");
    ASSERT_TRUE(ExportXaml(scene, path, 0, 0, true, 1.0f, true).ok);
    ExpectLoadable(path);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("x:Name=\"Viewbox_scene_one\""), std::string::npos);
    EXPECT_NE(text.find("x:Name=\"Model_scene_one_ボックス_1_2\""), std::string::npos);
    EXPECT_NE(text.find("x:Key=\"Animation_scene_one_run___jump_2\""), std::string::npos);
    EXPECT_NE(text.find("x:Key=\"Animation_scene_one_アニメ\""), std::string::npos);
    EXPECT_NE(text.find("x:Name=\"Character_scene_one_the_hero_2\""), std::string::npos);
    // Colours outside [0, 1] and NaN are held to the range.
    EXPECT_NE(text.find("<SolidColorBrush Color=\"#ff0000\" Opacity=\"1.000000\"/>"), std::string::npos);
    EXPECT_NE(text.find("<SolidColorBrush Color=\"#7f7f7f\" Opacity=\"0.000000\"/>"), std::string::npos);
}

TEST_F(ExportTest, XamlHierarchyFollowsTheRebuiltWalk)
{
    CTessaline scene = QuadScene();
    scene.m_characterNames = {"A", "B", "C"};
    CModel child = scene.m_models[0];
    child.m_name = "child";
    child.m_parent = 0;
    scene.m_models.push_back(child);
    CModel orphan = scene.m_models[0];
    orphan.m_name = "orphan";
    orphan.m_parent = 7; // reaches no character
    scene.m_models.push_back(orphan);
    scene.m_models[0].m_parent = ~2;
    scene.m_traversal.clear(); // stale: the export walks the hierarchy anew
    const std::string path = folder.Path("h.xaml");
    ASSERT_TRUE(ExportXaml(scene, path, 0, 0, false, 1.0f, false).ok);
    ExpectLoadable(path);
    const std::string text = ReadText(path);
    EXPECT_NE(text.find("<ModelVisual3D x:Name=\"Character_h_C\""), std::string::npos);
    EXPECT_EQ(text.find("<ModelVisual3D x:Name=\"Character_h_A\""), std::string::npos);
    // The child nests in its parent's group; the orphan is a resource only.
    EXPECT_NE(text.find("Model_h_box}\">\r\n\t\t\t\t\t\t<GeometryModel3D x:Name=\"Geometry_Model_h_box_0\""
                        " Geometry=\"{StaticResource Geometry_h_box_0}\" Material=\"{StaticResource Material_h_paint}\"/>"
                        "\r\n\t\t\t\t\t<Model3DGroup x:Name=\"Model_h_child\""),
              std::string::npos);
    EXPECT_EQ(text.find("x:Name=\"Model_h_orphan\""), std::string::npos);
    EXPECT_EQ(text.find("TargetName=\"Model_h_orphan\""), std::string::npos);
    EXPECT_NE(text.find("TargetName=\"Model_h_child\""), std::string::npos);
}

TEST_F(ExportTest, XamlTimeSpans)
{
    EXPECT_EQ(XamlTimeSpan(2.0f), "0:0:2.000000");
    EXPECT_EQ(XamlTimeSpan(61.5f), "0:1:1.500000");
    EXPECT_EQ(XamlTimeSpan(1800.0f / 30.0f), "0:1:0.000000");
    EXPECT_EQ(XamlTimeSpan(45.0f / 30.0f), "0:0:1.500000");
    EXPECT_EQ(XamlTimeSpan(3723.25f), "1:2:3.250000");
    EXPECT_EQ(XamlTimeSpan(86399.5f), "23:59:59.500000");
    EXPECT_EQ(XamlTimeSpan(86400.0f), "1.0:0:0.000000");
    EXPECT_EQ(XamlTimeSpan(90061.5f), "1.1:1:1.500000");
    EXPECT_EQ(XamlTimeSpan(1.0e7f), "115.17:46:40.000000");
    for (const float bad : {0.0f, -0.0f, -1.0f / 30.0f, std::numeric_limits<float>::infinity(), std::nanf("")}) {
        EXPECT_EQ(XamlTimeSpan(bad), "0:0:0.000000") << bad;
    }
    EXPECT_TRUE(IsTimeSpan(XamlTimeSpan(3.0e38f)));

    // An empty track and a rate of 0 never give a negative or unreadable time.
    CTessaline scene = QuadScene();
    scene.m_models[0].m_tracks[1].clear();
    scene.m_fps = 0.0f;
    const std::string path = folder.Path("t.xaml");
    ASSERT_TRUE(ExportXaml(scene, path, 0, 0, false, 1.0f, false).ok);
    ExpectLoadable(path);
}

TEST(TextOutputNumbers, FixedSixMatchesTheGeneralConversion)
{
    const auto reference = [](float value) {
        char buffer[128];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                     std::chars_format::fixed, 6);
        return std::string(buffer, r.ptr);
    };
    const auto fast = [](float value) {
        char buffer[kMaxFixed6Chars];
        return std::string(buffer, FormatFloatFixed6(buffer, value));
    };
    std::vector<float> values = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-7f, -1e-7f, 4.9999997e-7f, 5e-7f,
                                 122.0703125f, 0.0000025f, 8.999999e9f, 9.0e9f, 1.0e10f, 3.0e38f, -3.0e38f,
                                 std::numeric_limits<float>::denorm_min()};
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t b = bits(random);
        float f = 0.0f;
        std::memcpy(&f, &b, sizeof f);
        if (std::isfinite(f)) {
            values.push_back(f);
        }
        values.push_back(static_cast<float>(static_cast<int>(b % 2000001) - 1000000) / 128.0f); // exact ties
        values.push_back(static_cast<float>(b % 100000000) / 1000.0f);
    }
    for (const float value : values) {
        ASSERT_EQ(fast(value), reference(value)) << value;
    }
}

} // namespace vantomo
