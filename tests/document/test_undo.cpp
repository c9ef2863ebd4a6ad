// Undo and redo of every edit the project file keeps: each is one step, undo
// gives back the project's bytes exactly, redo the bytes after the edit, and
// the history stays within its memory.
#include <functional>

#include "Fixture.h"
#include "document/Commands.h"
#include "document/Structure.h"
#include "scene/Archive.h"
#include "scene/ProjectFile.h"

namespace vantomo {

namespace {

std::string Sample() { return std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm"; }

class UndoTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        ASSERT_TRUE(doc.OnOpenDocument(Sample()));
    }

    std::vector<unsigned char> Bytes()
    {
        Archive ar;
        EXPECT_TRUE(StoreProject(doc.Scene(), ar));
        return {ar.Stored().begin(), ar.Stored().end()};
    }

    int ModelNamed(const std::string& name) const
    {
        const auto& models = doc.Scene().m_models;
        for (std::size_t i = 0; i < models.size(); ++i) {
            if (models[i].m_name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // The edit as one step: undo gives the bytes before, redo the bytes
    // after, and a second undo the bytes before again.
    void ExpectOneStep(const char* what, const char* label, const std::function<void()>& edit)
    {
        doc.History().Clear();
        const std::vector<unsigned char> before = Bytes();
        edit();
        const std::vector<unsigned char> after = Bytes();
        ASSERT_NE(after, before) << what << " changed nothing";
        EXPECT_EQ(doc.History().UndoCount(), 1u) << what;
        EXPECT_EQ(doc.History().UndoLabel(), label) << what;
        ASSERT_TRUE(doc.Execute(kCmdUndo)) << what;
        EXPECT_EQ(Bytes(), before) << what;
        EXPECT_FALSE(doc.IsEnabled(kCmdUndo)) << what;
        ASSERT_TRUE(doc.Execute(kCmdRedo)) << what;
        EXPECT_EQ(Bytes(), after) << what;
        ASSERT_TRUE(doc.Execute(kCmdUndo)) << what;
        EXPECT_EQ(Bytes(), before) << what;
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
};

std::size_t MeshVertices(const CTessaline& scene)
{
    std::size_t n = 0;
    for (const CModel& model : scene.m_models) {
        n += model.m_vertices.size() + model.m_faces.size();
    }
    return n;
}

} // namespace

TEST_F(UndoTest, EveryEditOfTheProjectIsOneStepThatUndoesToTheSameBytes)
{
    CTessaline& scene = doc.Scene();
    const int body = ModelNamed("body");
    ASSERT_GE(body, 0);
    const int arm = static_cast<int>(scene.m_models.size()) - 1;

    ExpectOneStep("delete model", kDeleteModelLabel, [&] { ASSERT_TRUE(doc.DeleteModel(body).ok); });
    ExpectOneStep("delete character", kDeleteCharacterLabel, [&] {
        doc.SelectCharacterItem(0);
        ASSERT_TRUE(doc.Execute(kCmdDeleteCharacter));
    });
    ExpectOneStep("add character", kAddCharacterLabel, [&] { ASSERT_TRUE(doc.Execute(kCmdAddCharacter)); });
    ExpectOneStep("add animation", kAddAnimationLabel, [&] { ASSERT_TRUE(doc.Execute(kCmdAddAnimation)); });
    ExpectOneStep("delete animation", kDeleteAnimationLabel, [&] { ASSERT_TRUE(doc.Execute(kCmdDeleteAnimation)); });
    ExpectOneStep("rename model", kRenameLabel, [&] { ASSERT_TRUE(doc.RenameModel(arm, "hand").ok); });
    ExpectOneStep("rename character", kRenameLabel, [&] { ASSERT_TRUE(doc.RenameCharacter(0, "hero").ok); });
    ExpectOneStep("rename animation", kRenameLabel, [&] { ASSERT_TRUE(doc.RenameAnimation(0, "run").ok); });
    ExpectOneStep("rename material", kRenameLabel, [&] { ASSERT_TRUE(doc.RenameMaterial(0, "skin").ok); });
    ExpectOneStep("hide", kShowHideLabel, [&] { ASSERT_TRUE(doc.ShowHideModel(arm)); });
    ExpectOneStep("last frame", kLastFrameLabel, [&] { ASSERT_TRUE(doc.SetLastFrame(90).ok); });
    ExpectOneStep("insert frames", kInsertFramesLabel, [&] { ASSERT_TRUE(doc.InsertFrames(10, 4).ok); });
    ExpectOneStep("delete frames", kDeleteFramesLabel, [&] { ASSERT_TRUE(doc.DeleteFrames(3, 20).ok); });
    ExpectOneStep("key dialog", kAddKeyLabel, [&] {
        doc.SelectModelItem(arm);
        ASSERT_TRUE(doc.SetKey(true, true, 7).ok);
    });
    ExpectOneStep("key command", kDeleteKeyLabel, [&] {
        doc.SelectModelItem(arm);
        g_currentFrame = 15;
        ASSERT_TRUE(doc.Execute(kCmdDeleteKeyAll));
    });
    ExpectOneStep("typed pose", kPoseLabel, [&] {
        doc.SelectModelItem(arm);
        g_currentFrame = 15;
        doc.ApplyValueFields(4, 5, 6, std::nullopt);
    });
    ExpectOneStep("paste animation", kPasteAnimationLabel, [&] {
        doc.SelectModelItem(body);
        ASSERT_TRUE(doc.Execute(kCmdCopyAnimation));
        doc.SelectModelItem(arm);
        ASSERT_TRUE(doc.Execute(kCmdPasteAnimation));
    });
    ExpectOneStep("reparent", kReparentLabel, [&] { ASSERT_TRUE(doc.DropModel(arm, ~0)); });
    ExpectOneStep("material colour", kMaterialColorLabel, [&] {
        ASSERT_TRUE(doc.SelectMaterialItem(0));
        ui.answers.push_back({DialogAnswer::Kind::Color, {"10", "20", "30"}});
        ASSERT_TRUE(doc.Execute(kCmdMaterialColor));
    });
    ExpectOneStep("import", kAddModelLabel, [&] {
        ASSERT_TRUE(doc.AddModelFromPath(std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo").ok);
    });
}

TEST_F(UndoTest, DeletedModelsComeBackWithTheirMeshesSelectedAndImportsGoWithTheirMaterials)
{
    CTessaline& scene = doc.Scene();
    const std::size_t meshes = MeshVertices(scene);
    const std::size_t models = scene.m_models.size();
    const std::size_t materials = scene.m_materials.size();
    doc.SelectCharacterItem(0);
    ASSERT_TRUE(doc.Execute(kCmdDeleteCharacter));
    ASSERT_TRUE(scene.m_models.empty());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(scene.m_models.size(), models);
    EXPECT_EQ(MeshVertices(scene), meshes);

    const int body = ModelNamed("body");
    g_currentFrame = 12;
    ASSERT_TRUE(doc.DeleteModel(body).ok);
    EXPECT_EQ(g_currentFrame, 0);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(scene.m_selectedModel, body) << "the model comes back selected";
    EXPECT_EQ(g_currentFrame, 12) << "at the frame of the edit";
    EXPECT_EQ(MeshVertices(scene), meshes);

    ASSERT_TRUE(doc.AddModelFromPath(std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo").ok);
    const std::size_t imported = MeshVertices(scene);
    ASSERT_GT(scene.m_materials.size(), materials);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(scene.m_models.size(), models);
    EXPECT_EQ(scene.m_materials.size(), materials);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(MeshVertices(scene), imported) << "redo brings the imported meshes back";
}

TEST_F(UndoTest, TheFramingOfAFirstImportGoesWithItAndOtherwiseTheCameraIsNoStep)
{
    ASSERT_TRUE(doc.OnNewDocument());
    const std::string board = std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo";
    const CAnimation start = doc.Scene().GetCameraRecord();
    ASSERT_TRUE(doc.AddModelFromPath(board).ok);
    const CAnimation framed = doc.Scene().GetCameraRecord();
    ASSERT_FALSE(framed == start) << "a first import frames its models";
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Scene().GetCameraRecord(), start);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.Scene().GetCameraRecord(), framed);

    // A second import frames nothing, and its undo leaves the camera where the user put it.
    ASSERT_TRUE(doc.AddModelFromPath(board).ok);
    doc.Scene().GetCameraRecord().m_position.x += 100.0f;
    const CAnimation moved = doc.Scene().GetCameraRecord();
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Scene().GetCameraRecord(), moved);
}

TEST_F(UndoTest, AReparentUndoneThenAnotherDeleteKeepsTheModelUnderItsRestoredParent)
{
    CTessaline& scene = doc.Scene();
    // A model whose parent is a model, moved to the character's root.
    int child = -1;
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_parent >= 0) {
            child = static_cast<int>(i);
        }
    }
    ASSERT_GE(child, 0);
    const std::string parentName = scene.m_models[static_cast<std::size_t>(scene.m_models[child].m_parent)].m_name;
    const std::string childName = scene.m_models[static_cast<std::size_t>(child)].m_name;
    ASSERT_TRUE(doc.DropModel(child, ~0));
    ASSERT_TRUE(doc.Undo());
    // Delete a model that is neither of the two nor above them.
    int other = -1;
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_name != childName && scene.m_models[i].m_name != parentName &&
            !IsDescendantOrSelf(scene, child, static_cast<int>(i))) {
            other = static_cast<int>(i);
        }
    }
    ASSERT_GE(other, 0);
    ASSERT_TRUE(doc.DeleteModel(other).ok);
    const CModel& moved = scene.m_models[static_cast<std::size_t>(ModelNamed(childName))];
    ASSERT_GE(moved.m_parent, 0);
    EXPECT_EQ(scene.m_models[static_cast<std::size_t>(moved.m_parent)].m_name, parentName);
    EXPECT_EQ(moved.m_parentName, parentName);
}

TEST_F(UndoTest, APressThatMovesNothingIsNoStepAndKeepsRedo)
{
    CTessaline& scene = doc.Scene();
    doc.SelectModelItem(0);
    doc.ApplyValueFields(9, 9, 9, std::nullopt);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.History().CanRedo());
    doc.RecordPoseEdit(); // a press in the view
    doc.EndPoseEdit();    // released where it was
    EXPECT_FALSE(doc.History().CanUndo());
    EXPECT_TRUE(doc.History().CanRedo());
    doc.RecordPoseEdit();
    scene.m_models[0].m_tracks[0][0].m_position.x += 1.0f; // the drag
    doc.EndPoseEdit();
    EXPECT_EQ(doc.History().UndoLabel(), kPoseLabel);
    EXPECT_FALSE(doc.History().CanRedo()) << "a new edit empties the redo stack";
}

TEST_F(UndoTest, TheUndoAndRedoItemsNameTheirStep)
{
    EXPECT_EQ(doc.CommandText(kCmdUndo), "元に戻す");
    ASSERT_TRUE(doc.DeleteModel(0).ok);
    EXPECT_EQ(doc.CommandText(kCmdUndo), "元に戻す: モデルの削除");
    EXPECT_EQ(doc.CommandText(kCmdRedo), "繰り返す");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.CommandText(kCmdRedo), "繰り返す: モデルの削除");
    EXPECT_EQ(doc.CommandText(kCmdAddModel), "ﾓﾃﾞﾙ追加");
}

TEST_F(UndoTest, TheMemoryLimitDropsTheOldestStepsAndKeepsTheNewest)
{
    UndoHistory& history = doc.History();
    history.Clear();
    for (const char* name : {"a", "b", "c", "d"}) {
        ASSERT_TRUE(doc.RenameCharacter(0, name).ok);
    }
    ASSERT_EQ(history.UndoCount(), 4u);
    const std::size_t perStep = history.MemoryUsed() / 4;
    history.SetMemoryLimit(perStep * 2 + perStep / 2);
    EXPECT_EQ(history.UndoCount(), 2u) << "the two oldest go";
    EXPECT_LE(history.MemoryUsed(), history.MemoryLimit());
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Scene().m_characterNames[0], "b") << "the newest steps were kept";
    EXPECT_FALSE(doc.Undo());

    // A new edit after an undo frees what the redo steps held.
    const std::size_t twoSteps = history.MemoryUsed();
    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.RenameCharacter(0, "e").ok);
    EXPECT_EQ(history.RedoCount(), 0u);
    EXPECT_LE(history.MemoryUsed(), twoSteps);

    history.SetMemoryLimit(1); // less than any step: the newest still stays
    EXPECT_EQ(history.UndoCount(), 1u);
    EXPECT_EQ(history.RedoCount(), 0u);
    EXPECT_GT(UndoHistory::DefaultMemoryLimit(), std::size_t{0});
}

} // namespace vantomo
