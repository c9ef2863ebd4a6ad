// The project file: golden bytes, round trips, hostile input and the open,
// new and save operations of the document.
#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "document/Document.h"
#include "document/Fixture.h"
#include "base/Cp932.h"
#include "scene/ProjectFile.h"
#include "import/TextureLoader.h"
#include "base/FileIo.h"

namespace vantomo {

namespace {

std::vector<unsigned char> Store(CTessaline& scene)
{
    Archive ar;
    EXPECT_TRUE(StoreProject(scene, ar));
    return {ar.Stored().begin(), ar.Stored().end()};
}

// The invariants every open scene keeps, whatever file it came from.
void ExpectConsistent(const CTessaline& scene)
{
    ASSERT_FALSE(scene.m_characterNames.empty());
    ASSERT_FALSE(scene.m_animationNames.empty());
    ASSERT_FALSE(scene.m_camera.empty());
    EXPECT_EQ(g_animationCount, static_cast<int>(scene.m_animationNames.size()));
    const int count = static_cast<int>(scene.m_models.size());
    std::multiset<int> entered;
    for (const TraversalEntry& e : scene.m_traversal) {
        ASSERT_GE(e.model, 0);
        ASSERT_LT(e.model, count);
        if (e.kind == kEnterModel) {
            entered.insert(e.model);
        }
    }
    for (int i = 0; i < count; ++i) {
        const CModel& model = scene.m_models[static_cast<std::size_t>(i)];
        // The chain ends at a character within the list.
        int r = model.m_parent;
        for (int steps = 0; r >= 0 && steps <= count; ++steps) {
            ASSERT_LT(r, count);
            r = scene.m_models[static_cast<std::size_t>(r)].m_parent;
        }
        ASSERT_LT(r, 0) << "model " << i << " hangs in a cycle";
        EXPECT_LT(~r, static_cast<int>(scene.m_characterNames.size()));
        EXPECT_EQ(entered.count(i), 1u) << "model " << i << " is not walked exactly once";
        ASSERT_EQ(model.m_tracks.size(), scene.m_animationNames.size());
        ASSERT_EQ(model.m_tracks[0].size(), static_cast<std::size_t>(g_lastFrame) + 1);
        EXPECT_EQ(model.m_tracks[0][0].m_key, 1);
        for (const CFace& face : model.m_faces) {
            ASSERT_TRUE(face.m_indices.size() == 3 || face.m_indices.size() == 4);
            for (int corner : face.m_indices) {
                ASSERT_GE(corner, 0);
                ASSERT_LT(static_cast<std::size_t>(corner), model.m_vertices.size());
            }
        }
        for (const CVertex& vertex : model.m_vertices) {
            for (int f : vertex.m_faces) {
                ASSERT_GE(f, 0);
                ASSERT_LT(static_cast<std::size_t>(f), model.m_faces.size());
            }
        }
    }
}

class RecordingView final : public DocumentView {
public:
    void OnChange(const ChangeNotice& change) override { hints.push_back(change.Number()); }
    std::vector<int> hints;
};

class ProjectFileTest : public DocumentTest {};

} // namespace

TEST_F(ProjectFileTest, WriterGivesTheGoldenBytes)
{
    CTessaline scene;
    scene.m_version = 1.0f; // saving sets it to 1.7 first
    EXPECT_EQ(Store(scene), Golden("new_scene.vtm"));
    EXPECT_EQ(scene.m_version, 1.7f);

    CTessaline named;
    named.m_characterNames[0].clear();
    for (int i = 0; i < 300; ++i) {
        named.m_characterNames[0].push_back(static_cast<char>('A' + i % 26));
    }
    const std::vector<unsigned char> bytes = Store(named);
    EXPECT_EQ(bytes, Golden("long_name.vtm"));
    EXPECT_EQ(bytes[20], 0xFF);
    EXPECT_EQ(bytes[21], 0x2C);
    EXPECT_EQ(bytes[22], 0x01);
}

TEST_F(ProjectFileTest, AStreamingArchiveGivesTheSameBytesInBlocks)
{
    class Collect final : public ArchiveSink {
    public:
        bool Write(const unsigned char* data, std::size_t size) override
        {
            bytes.insert(bytes.end(), data, data + size);
            ++blocks;
            return blocks < failAt;
        }
        std::vector<unsigned char> bytes;
        int blocks = 0;
        int failAt = INT32_MAX;
    };
    LoadedProject loaded;
    const std::vector<unsigned char> golden = Golden("two_characters.vtm");
    ASSERT_TRUE(LoadProject(golden, loaded));
    Collect sink;
    Archive ar(sink, 100); // records and strings larger than the buffer pass straight through
    ASSERT_TRUE(StoreProject(*loaded.scene, ar));
    ASSERT_TRUE(ar.Flush());
    EXPECT_EQ(sink.bytes, golden);
    EXPECT_GT(sink.blocks, 20);

    Collect failing;
    failing.failAt = 3;
    Archive broken(failing, 100);
    StoreProject(*loaded.scene, broken);
    EXPECT_FALSE(broken.Flush());
    EXPECT_EQ(failing.blocks, 3); // nothing more is sent after the failure
}

TEST_F(ProjectFileTest, StringPrefixesAtEveryBoundaryReadBack)
{
    for (std::size_t length : {0u, 254u, 255u, 0xFFFDu, 0xFFFEu, 0xFFFFu, 0x10000u}) {
        std::string text(length, 'x');
        Archive out;
        out.String(text);
        const std::span<const unsigned char> bytes = out.Stored();
        const std::size_t prefix = length < 0xFF ? 1 : length < 0xFFFE ? 3 : 7;
        ASSERT_EQ(bytes.size(), prefix + length) << length;
        Archive in(bytes);
        std::string back;
        in.String(back);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(back.size(), length);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST_F(ProjectFileTest, GoldenFilesOpenAndSaveToTheSameBytes)
{
    TempFolder folder;
    for (const char* name : {"new_scene.vtm", "long_name.vtm", "two_characters.vtm", "long_track.vtm"}) {
        ResetAppValues();
        CTessaline scene;
        CollectingMessageSink messages;
        bool modified = true;
        ASSERT_TRUE(OpenForTest(scene, GoldenPath(name), messages, modified).ok) << name;
        EXPECT_FALSE(modified);
        ASSERT_TRUE(SaveProjectFile(scene, folder.Path(name))) << name;
        EXPECT_EQ(ReadBytes(folder.Path(name)), Golden(name)) << name;
        EXPECT_EQ(ProjectFileSize(scene), Golden(name).size()) << name;
    }
}

TEST_F(ProjectFileTest, OpeningFillsTheSceneAndTheFrameValues)
{
    CTessaline scene;
    CollectingMessageSink messages;
    bool modified = false;
    g_currentFrame = 9;
    ASSERT_TRUE(OpenForTest(scene, GoldenPath("two_characters.vtm"), messages, modified).ok);
    EXPECT_EQ(scene.m_fps, 24.0f);
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(g_prevLastFrame, 60);
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_animationCount, 2);
    EXPECT_EQ(scene.m_smoothShading, 0);
    EXPECT_EQ(scene.m_lastModelId, 8);
    EXPECT_EQ(scene.m_nextMaterialId, 5);
    EXPECT_EQ(scene.m_characterNames, (std::vector<std::string>{"\x97\x45\x8E\xD2", "Villain"}));
    EXPECT_EQ(scene.m_animationNames, (std::vector<std::string>{"Animation_0", "Walk"}));
    ASSERT_EQ(scene.m_models.size(), 3u);
    const CModel& body = scene.m_models[0];
    const CModel& arm = scene.m_models[1];
    EXPECT_EQ(arm.m_parent, 0);
    EXPECT_EQ(arm.m_visible, 0);
    EXPECT_EQ(scene.m_models[2].m_character, 1);
    EXPECT_EQ(body.m_tracks[0].size(), 61u);
    EXPECT_EQ(body.m_tracks[1].size(), 31u); // other animations keep their length
    EXPECT_EQ(body.m_tracks[0][10].m_key, 1);
    EXPECT_EQ(body.m_tracks[0][10].m_angle, 90.0f);
    EXPECT_EQ(body.m_tracks[1][0].m_scale, CVector(2, 2, 2));
    ASSERT_EQ(body.m_faces.size(), 2u);
    EXPECT_EQ(body.m_faces[0].m_uvs.size(), 3u);
    EXPECT_TRUE(body.m_faces[1].m_uvs.empty());
    EXPECT_EQ(body.m_vertices[1].m_faces, (std::vector<int>{0, 1}));
    EXPECT_EQ(body.m_bounds[0], CVector(10, 10, 5)); // bounds are derived after reading
    ASSERT_EQ(scene.m_materials.size(), 2u);
    EXPECT_EQ(scene.m_materials[0].m_texture, "tex\\wood.bmp");
    EXPECT_EQ(scene.m_materials[0].m_d3dMaterial.Specular.r, 0.5f);
    EXPECT_EQ(scene.m_materials[1].m_bump, "b.bmp");
    const std::vector<TraversalEntry> walk = {{kBeginCharacter, 0}, {kEnterModel, 0}, {kEnterModel, 1},
                                              {kLeaveModel, 1},     {kLeaveModel, 0},  {kEndCharacter, 1},
                                              {kBeginCharacter, 2}, {kEnterModel, 2},  {kLeaveModel, 2},
                                              {kEndCharacter, 2}};
    EXPECT_EQ(scene.m_traversal, walk);

    ASSERT_TRUE(OpenForTest(scene, GoldenPath("long_track.vtm"), messages, modified).ok);
    EXPECT_EQ(g_lastFrame, 120);
    EXPECT_EQ(scene.m_fps, 12.5f);
}

TEST_F(ProjectFileTest, Utf16NamesAreReadAsCp932)
{
    LoadedProject loaded;
    const std::vector<unsigned char> bytes = Golden("utf16_names.vtm");
    ASSERT_TRUE(LoadProject(bytes, loaded));
    EXPECT_EQ(loaded.scene->m_characterNames[0], Utf8ToCp932("三角形"));
    EXPECT_EQ(loaded.scene->m_animationNames[0], "Walk");
}

TEST_F(ProjectFileTest, AFailedOpenLeavesEverythingAsItWas)
{
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(GoldenPath("two_characters.vtm")));
    doc.Scene().m_selectedModel = 1;
    g_currentFrame = 7;
    const std::vector<unsigned char> before = Store(doc.Scene());

    EXPECT_FALSE(doc.OnOpenDocument(GoldenPath("truncated.vtm")));
    ASSERT_EQ(WithoutTextureMessages(ui.messages), std::vector<std::string>{"予期しないファイル形式です。"});
    EXPECT_FALSE(doc.OnOpenDocument(GoldenPath("missing.vtm")));
    EXPECT_EQ(ui.messages.back(), "ドキュメントを開くことに失敗しました。");

    EXPECT_EQ(doc.GetPathName(), GoldenPath("two_characters.vtm"));
    EXPECT_EQ(doc.GetTitle(), GoldenPath("two_characters.vtm"));
    EXPECT_EQ(doc.Scene().m_selectedModel, 1);
    EXPECT_EQ(g_currentFrame, 7);
    EXPECT_EQ(doc.Scene().m_fps, 24.0f);
    EXPECT_EQ(g_animationCount, 2);
    EXPECT_EQ(Store(doc.Scene()), before);
}

TEST_F(ProjectFileTest, EveryTruncatedPrefixFailsCleanly)
{
    const std::vector<unsigned char> whole = Golden("two_characters.vtm");
    for (std::size_t n = 1; n < whole.size(); ++n) {
        LoadedProject loaded;
        ASSERT_FALSE(LoadProject(std::span(whole.data(), n), loaded)) << n;
        EXPECT_EQ(loaded.scene, nullptr);
    }
    EXPECT_EQ(g_animationCount, 1); // reading never touches the application values
}

TEST_F(ProjectFileTest, RandomByteFlipsFailOrOpenIntoAConsistentScene)
{
    std::mt19937 random(12345);
    int opened = 0;
    for (const char* name : {"two_characters.vtm", "long_track.vtm"}) {
        const std::vector<unsigned char> golden = Golden(name);
        for (int round = 0; round < 1500; ++round) {
            std::vector<unsigned char> bytes = golden;
            const int flips = 1 + static_cast<int>(random() % 4);
            for (int k = 0; k < flips; ++k) {
                bytes[random() % bytes.size()] ^= static_cast<unsigned char>(1u << (random() % 8));
            }
            ResetAppValues();
            LoadedProject loaded;
            if (!LoadProject(bytes, loaded)) {
                continue;
            }
            CTessaline scene;
            AdoptLoadedProject(scene, std::move(*loaded.scene));
            bool modified = false;
            CollectingMessageSink messages;
            // The steps after loading, as the open runs them.
            ASSERT_TRUE(OpenForTest(scene, "no-file.txt", messages, modified).ok);
            ExpectConsistent(scene);
            ++opened;
        }
    }
    EXPECT_GT(opened, 100);
}

TEST_F(ProjectFileTest, HostileCountsAreRefusedBeforeAllocating)
{
    auto header = [](std::int32_t models, std::int32_t cameras, std::int32_t materials, std::int32_t names) {
        Archive ar;
        float version = 1.7f;
        ar.Float(version);
        ar.Int(models);
        ar.Int(cameras);
        ar.Int(materials);
        ar.Int(names);
        return std::vector<unsigned char>(ar.Stored().begin(), ar.Stored().end());
    };
    for (const auto& bytes : {header(INT32_MAX, 1, 0, 1), header(0, INT32_MAX, 0, 1), header(0, 1, -1, 1),
                              header(0, 1, 0, INT32_MAX), header(-5, 1, 0, 1)}) {
        LoadedProject loaded;
        EXPECT_FALSE(LoadProject(bytes, loaded));
    }
    // A string claiming 4 GiB.
    std::vector<unsigned char> bytes = header(0, 1, 0, 1);
    for (unsigned char b : {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) {
        bytes.push_back(b);
    }
    LoadedProject loaded;
    EXPECT_FALSE(LoadProject(bytes, loaded));

    // A short first track that opening would stretch over very many models.
    CTessaline big;
    big.m_models.push_back(Model("long", -1, 2000));
    big.m_models.resize(30000);
    for (CModel& model : big.m_models) {
        model.m_parent = -1;
    }
    big.m_models[1].m_tracks.clear();
    Archive ar;
    ASSERT_TRUE(StoreProject(big, ar));
    EXPECT_FALSE(LoadProject(ar.Stored(), loaded));
}

TEST_F(ProjectFileTest, BadIndicesAreRepairedOnReading)
{
    CTessaline scene;
    scene.m_characterNames.clear();
    scene.m_animationNames.clear();
    scene.m_camera.clear();
    scene.m_models = {Model("a", 1), Model("b", 0), Model("c", 99), Model("d", ~7), Model("e", 3)};
    CModel& mesh = scene.m_models[4];
    mesh.m_tracks.resize(3); // more tracks than animations
    AddTriangle(mesh, 0);
    AddTriangle(mesh, 0);
    AddTriangle(mesh, 1);
    mesh.m_faces[0].m_indices = {0, 1, 5}; // a corner outside the vertices
    mesh.m_faces[2].m_uvs = {CUV{}, CUV{}}; // coordinates that do not pair with the corners
    mesh.m_vertices[0].m_faces = {0, 1, 2, 9};
    scene.m_models.push_back(Model("f", -1));
    AddTriangle(scene.m_models[5], 0);
    scene.m_models[5].m_vertices[2].m_faces = {-1, 0, 7};
    Archive ar;
    ASSERT_TRUE(StoreProject(scene, ar));

    LoadedProject loaded;
    ASSERT_TRUE(LoadProject(ar.Stored(), loaded));
    const CTessaline& read = *loaded.scene;
    EXPECT_EQ(read.m_characterNames, std::vector<std::string>{"Character_0"});
    EXPECT_EQ(read.m_animationNames, std::vector<std::string>{"Animation_0"});
    ASSERT_EQ(read.m_camera.size(), 1u);
    EXPECT_EQ(read.m_camera[0].m_position, CVector(0, 0, -1500));
    EXPECT_EQ(read.m_models[0].m_parent, -1); // the cycle a <-> b is broken at a
    EXPECT_EQ(read.m_models[1].m_parent, 0);
    EXPECT_EQ(read.m_models[2].m_parent, -1); // no such model
    EXPECT_EQ(read.m_models[3].m_parent, -1); // no such character
    const CModel& repaired = read.m_models[4];
    EXPECT_EQ(repaired.m_tracks.size(), 1u);
    ASSERT_EQ(repaired.m_faces.size(), 2u);
    EXPECT_EQ(repaired.m_faces[1].m_material, 1);
    EXPECT_TRUE(repaired.m_faces[1].m_uvs.empty());
    EXPECT_EQ(repaired.m_vertices[0].m_faces, (std::vector<int>{0, 1})); // renumbered past the dropped face
    EXPECT_EQ(read.m_models[5].m_faces.size(), 1u);
    EXPECT_EQ(read.m_models[5].m_vertices[2].m_faces, std::vector<int>{0});
}

TEST_F(ProjectFileTest, FramesComeFromTheFirstModelWithRecords)
{
    CTessaline scene;
    scene.m_animationNames = {"Animation_0", "Walk"};
    scene.m_models = {Model("imported-later", -1, 0, 2), Model("first", -1, 30, 2)};
    scene.m_models[0].m_tracks[1].resize(61);
    TempFolder folder;
    ASSERT_TRUE(SaveProjectFile(scene, folder.Path("x.vtm")));

    CTessaline opened;
    CollectingMessageSink messages;
    bool modified = false;
    ASSERT_TRUE(OpenForTest(opened, folder.Path("x.vtm"), messages, modified).ok);
    EXPECT_EQ(g_lastFrame, 29);
    for (const CModel& model : opened.m_models) {
        EXPECT_EQ(model.m_tracks[0].size(), 30u);
        EXPECT_EQ(model.m_tracks[0][0].m_key, 1);
    }
}

TEST_F(ProjectFileTest, EmptyAndForeignFilesRunOnlyTheStepsAfterLoading)
{
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    RecordingView view;
    doc.AddView(&view);
    doc.Scene().m_models = {Model("kept", -1)};
    doc.History().BeginScene(doc.Scene()); // stands for an earlier edit
    doc.History().CommitScene("x");
    doc.Scene().m_selectedModel = 0;
    g_currentFrame = 5;
    doc.Scene().m_fps = 10.0f;

    ASSERT_TRUE(doc.OnOpenDocument(GoldenPath("empty.vtm")));
    EXPECT_EQ(doc.Scene().m_models.size(), 1u);
    EXPECT_FALSE(doc.History().CanUndo());
    EXPECT_EQ(doc.Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(doc.Scene().m_fps, 10.0f);
    EXPECT_EQ(doc.GetPathName(), GoldenPath("empty.vtm"));

    g_currentFrame = 5;
    doc.Scene().m_selectedModel = 0;
    ASSERT_TRUE(doc.OnOpenDocument("/nowhere/notes.txt"));
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(doc.Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(doc.GetPathName(), GoldenPath("empty.vtm"));
    EXPECT_EQ(view.hints, (std::vector<int>{102, 102}));
    EXPECT_EQ(ExtensionOf("C:\\a.b\\scene.VTM"), "vtm");
    EXPECT_EQ(ExtensionOf("dir.x/name"), "");
}

TEST_F(ProjectFileTest, SavesAreAtomicAndAFailureKeepsTheOldFile)
{
    TempFolder folder;
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    const std::string path = folder.Path("scene.vtm");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(ReadBytes(path), Golden("new_scene.vtm"));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"scene.vtm"}); // no temporary file left

    // A target that cannot be replaced: the save fails, the flag and the old entry stay.
    const std::string blocked = folder.Path("blocked.vtm");
    std::filesystem::create_directory(blocked);
    std::ofstream(blocked + "/inside") << "old";
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnSaveDocument(blocked));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"ドキュメントの保存に失敗しました。"});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ReadBytes(blocked + "/inside").size(), 3u);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"blocked.vtm", "scene.vtm"}));
    EXPECT_FALSE(doc.OnSaveDocument(folder.Path("no/such/folder.vtm")));

    // Saving over a file replaces it whole and keeps its permission bits.
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    doc.Scene().m_characterNames[0] = "Renamed";
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(ReadBytes(path).size(), 104u);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(ProjectFileTest, NewDocumentResetsTheSceneAndTheFrameValues)
{
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    RecordingView view;
    doc.AddView(&view);
    ASSERT_TRUE(doc.OnOpenDocument(GoldenPath("long_track.vtm")));
    g_playing = 1;
    g_currentFrame = 3;
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(doc.Scene().m_models.empty());
    EXPECT_TRUE(doc.Scene().m_traversal.empty());
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(g_prevLastFrame, 60);
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_playing, 0);
    EXPECT_EQ(view.hints.back(), 101);
    // The rate last chosen goes on into the new document; all else is new.
    EXPECT_EQ(doc.Scene().m_fps, 12.5f);
    doc.Scene().m_fps = 30.0f;
    EXPECT_EQ(Store(doc.Scene()), Golden("new_scene.vtm"));
}

TEST_F(ProjectFileTest, AddModelImportsUnderTheSelectedCharacterAndRebuildsTheWalk)
{
    HeadlessUserInterface ui;
    CVantomoDoc doc(ui);
    doc.Scene().m_characterNames.push_back("Second");
    doc.Scene().m_selectedCharacter = 1;
    doc.History().BeginScene(doc.Scene()); // stands for an earlier edit
    doc.History().CommitScene("x");

    EXPECT_FALSE(doc.AddModel()); // the dialog was cancelled
    EXPECT_FALSE(doc.IsModified());

    ui.paths.push_back(std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo");
    ASSERT_TRUE(doc.AddModel());
    const CTessaline& scene = doc.Scene();
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_parent, ~1);
    EXPECT_EQ(scene.m_models[0].m_parentName, "Second");
    EXPECT_EQ(scene.m_models[0].m_id, 6);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.History().UndoCount(), 2u); // the import is one more step
    EXPECT_EQ(doc.History().UndoLabel(), kAddModelLabel);
    EXPECT_EQ(scene.m_selectedModel, kNoModel);
    EXPECT_EQ(scene.m_selectedCharacter, 0);
    EXPECT_EQ(scene.m_traversal, (std::vector<TraversalEntry>{{kBeginCharacter, 0}, {kEnterModel, 0},
                                                             {kLeaveModel, 0}, {kEndCharacter, 0}}));
}

TEST_F(ProjectFileTest, TexturesBesideAProjectLoadWhereverTheProgramRuns)
{
    // The sample's texture lies beside it; the test runs in another folder.
    TempFolder folder;
    for (const char* name : {"walker.vtm", "walker.png"}) {
        std::filesystem::copy_file(std::string(VANTOMO_SOURCE_DIR) + "/samples/" + name, folder.Path(name));
    }
    ASSERT_NE(std::filesystem::current_path().string(), folder.Folder());
    CTessaline scene;
    CollectingMessageSink messages;
    TextureLookup textures;
    bool modified = false;
    ASSERT_TRUE(OpenInto(scene, folder.Path("walker.vtm"), messages, textures, modified).ok);
    EXPECT_TRUE(messages.messages.empty());
    const auto textured = std::find_if(scene.m_materials.begin(), scene.m_materials.end(),
                                       [](const CMaterial& m) { return !m.m_texture.empty(); });
    ASSERT_NE(textured, scene.m_materials.end());
    EXPECT_NE(textured->m_image, nullptr);
}

} // namespace vantomo
