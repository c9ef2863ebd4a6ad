// The commands as the menus send them: through Execute, with their enable and
// check rules, the hints the views hear and the modified mark.
#include <filesystem>
#include <functional>
#include <set>

#include "document/Commands.h"
#include "document/Structure.h"
#include "document/Document.h"
#include "document/Fixture.h"

namespace vantomo {

namespace {

class HintRecorder final : public DocumentView {
public:
    void OnChange(const ChangeNotice& change) override { hints.push_back(change.Number()); }
    std::vector<int> hints;
};

class CommandTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        doc.AddView(&views);
    }
    void TearDown() override
    {
        doc.RemoveView(&views);
        DocumentTest::TearDown();
    }
    // Two models of character 0, the second selected.
    void TwoModels()
    {
        CTessaline& scene = doc.Scene();
        scene.m_models.push_back(Model("a", -1));
        scene.m_models.push_back(Model("b", -1));
        scene.RefreshDerived();
        scene.BuildTraversal();
        doc.SelectModelItem(1);
        views.hints.clear();
    }
    void Answer(DialogAnswer::Kind kind, std::vector<std::string> texts = {})
    {
        ui.answers.push_back({kind, std::move(texts)});
    }
    std::string Textured() const { return std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo"; }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    HintRecorder views;
};

} // namespace

TEST_F(CommandTest, EveryTableEntryHasAnEnableAndCheckAnswerAndDisabledCommandsDoNothing)
{
    std::set<std::string_view> names;
    for (const CommandInfo& info : CommandTable()) {
        // One stable name each, found again by that name; a document command knows what to do.
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        EXPECT_EQ(FindCommand(info.name), &info);
        EXPECT_EQ(info.owner == CommandOwner::Document && info.id != kCmdMouseModel, info.execute != nullptr)
            << info.name;
        if (info.owner == CommandOwner::None) {
            EXPECT_FALSE(doc.IsEnabled(info.id)) << info.id;
            EXPECT_FALSE(doc.Execute(info.id)) << info.id;
        }
    }
    EXPECT_FALSE(doc.IsEnabled(12345));
    // Without a selection the key and clipboard commands are disabled: nothing runs, no message.
    for (int id : {kCmdKeyDialog, kCmdAddKeySelected, kCmdAddKeyAll, kCmdDeleteKeySelected, kCmdDeleteKeyAll,
                   kCmdCopyAnimation, kCmdPasteAnimation, kCmdUndo, kCmdRedo, kCmdMouseModel}) {
        EXPECT_FALSE(doc.IsEnabled(id)) << id;
        EXPECT_FALSE(doc.Execute(id)) << id;
    }
    EXPECT_TRUE(views.hints.empty());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CommandTest, ModesAreRadioGroupsAndCameraModeClearsTheSelection)
{
    TwoModels();
    const int modes[3] = {kCmdModeMove, kCmdModeRotate, kCmdModeScale};
    for (int m = 0; m < 3; ++m) {
        ASSERT_TRUE(doc.Execute(modes[m]));
        for (int other = 0; other < 3; ++other) {
            EXPECT_EQ(doc.IsChecked(modes[other]), other == m);
        }
    }
    EXPECT_EQ(views.hints, (std::vector<int>{110, 111, 112}));

    ASSERT_TRUE(doc.Execute(kCmdMouseAnimation));
    EXPECT_TRUE(doc.IsChecked(kCmdMouseAnimation));
    EXPECT_EQ(doc.Scene().m_selectedModel, 1); // animation mode keeps the selection
    ASSERT_TRUE(doc.Execute(kCmdMouseCamera));
    EXPECT_TRUE(doc.IsChecked(kCmdMouseCamera));
    EXPECT_FALSE(doc.IsChecked(kCmdMouseAnimation));
    EXPECT_EQ(doc.Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(views.hints.back(), 114);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CommandTest, CopyAndPasteBetweenModelsCopiesKeysEmptiesTheHistoryAndMarksModified)
{
    TwoModels();
    CTessaline& scene = doc.Scene();
    scene.m_models[1].m_tracks[0][7].m_position = {1, 2, 3};
    scene.m_models[1].m_tracks[0][7].m_key = 1;
    ASSERT_TRUE(doc.Execute(kCmdCopyAnimation));
    doc.SelectModelItem(0);
    ASSERT_TRUE(doc.Execute(kCmdAddKeySelected)); // something on the undo stack... and modified
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.Execute(kCmdPasteAnimation));
    EXPECT_EQ(scene.m_models[0].m_tracks[0][7].m_position, CVector(1, 2, 3));
    EXPECT_EQ(scene.m_models[0].m_tracks[0][7].m_key, 1);
    EXPECT_EQ(doc.History().UndoLabel(), kPasteAnimationLabel);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(views.hints.back(), 115);
}

TEST_F(CommandTest, KeyFrameAndFrameDialogsOpenOnTheCurrentFrameAndRefuseBadText)
{
    TwoModels();
    g_currentFrame = 12;
    // A dialog with no answer is cancelled: nothing changes.
    ASSERT_TRUE(doc.Execute(kCmdKeyDialog));
    EXPECT_EQ(doc.Scene().m_models[1].m_tracks[0][12].m_key, 0);
    EXPECT_FALSE(doc.IsModified());

    // A refused text keeps the dialog open; the next answer is taken.
    Answer(DialogAnswer::Kind::Key, {"1.5", "0"});
    Answer(DialogAnswer::Kind::Key, {" 20 ", "1"});
    ASSERT_TRUE(doc.Execute(kCmdKeyDialog));
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kEnterIntegerMessage}));
    EXPECT_EQ(doc.Scene().m_models[0].m_tracks[0][20].m_key, 1); // all models of the character
    EXPECT_EQ(doc.Scene().m_models[1].m_tracks[0][20].m_key, 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(views.hints.back(), 115);

    Answer(DialogAnswer::Kind::Insert, {"12", "3"});
    ASSERT_TRUE(doc.Execute(kCmdInsertFrames));
    EXPECT_EQ(doc.Scene().m_models[0].m_tracks[0].size(), 64u);
    EXPECT_EQ(views.hints.back(), 117);
    Answer(DialogAnswer::Kind::Delete, {"500", "600"});
    ASSERT_TRUE(doc.Execute(kCmdDeleteFrames));
    EXPECT_EQ(ui.messages.back(), "フレーム番号が範囲外です！");
    EXPECT_EQ(doc.Scene().m_models[0].m_tracks[0].size(), 64u);
}

TEST(DialogExchange, IntegersAndFiniteNumbersOnly)
{
    int i = 7;
    EXPECT_TRUE(ExchangeInteger(" -12 ", i));
    EXPECT_EQ(i, -12);
    for (const char* bad : {"", "1.0", "12a", "99999999999", "+-1", "0x10"}) {
        EXPECT_FALSE(ExchangeInteger(bad, i)) << bad;
    }
    EXPECT_EQ(i, -12);
    float f = 1.0f;
    EXPECT_TRUE(ExchangeFloat("2.5e1", f));
    EXPECT_EQ(f, 25.0f);
    for (const char* bad : {"nan", "inf", "-inf", "1e40", "", "1,5", "2x"}) {
        EXPECT_FALSE(ExchangeFloat(bad, f)) << bad;
    }
    EXPECT_EQ(f, 25.0f);
}

TEST_F(CommandTest, SavingAnUntitledDocumentGoesToSaveAsAndUnknownExtensionsWriteNothing)
{
    TempFolder folder;
    TwoModels();
    doc.SetModifiedFlag();
    Answer(DialogAnswer::Kind::File, {folder.Path("scene.abc")});
    ASSERT_TRUE(doc.Execute(kCmdFileSave));
    EXPECT_EQ(ui.fileRequests.back().defaultExtension, "vtm");
    EXPECT_TRUE(ui.fileRequests.back().save);
    EXPECT_EQ(ui.messages.back(), kUnknownSaveFormatMessage);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("scene.abc")));
    EXPECT_TRUE(doc.IsModified());

    Answer(DialogAnswer::Kind::File, {folder.Path("scene.VTM")});
    ASSERT_TRUE(doc.Execute(kCmdFileSave));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("scene.VTM")));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), folder.Path("scene.VTM"));
    // Now titled: save writes there without asking.
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.Execute(kCmdFileSave));
    EXPECT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(CommandTest, OpeningAProjectOffersToSaveFirstWhileImportingAddsToTheScene)
{
    TwoModels();
    doc.SetModifiedFlag();
    Answer(DialogAnswer::Kind::File, {GoldenPath("two_characters.vtm")});
    Answer(DialogAnswer::Kind::Cancel);
    ASSERT_TRUE(doc.Execute(kCmdFileOpen));
    EXPECT_EQ(doc.Scene().m_models.size(), 2u); // cancelled: the work is still here
    EXPECT_EQ(doc.Scene().m_models[0].m_name, "a");
    EXPECT_TRUE(doc.IsModified());

    Answer(DialogAnswer::Kind::File, {Textured()});
    ASSERT_TRUE(doc.Execute(kCmdFileOpen)); // an import asks nothing
    EXPECT_GT(doc.Scene().m_models.size(), 2u);
    EXPECT_EQ(doc.Scene().m_models[0].m_name, "a");
    EXPECT_EQ(views.hints.back(), 102);

    Answer(DialogAnswer::Kind::File, {GoldenPath("two_characters.vtm")});
    Answer(DialogAnswer::Kind::No);
    ASSERT_TRUE(doc.Execute(kCmdFileOpen));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), GoldenPath("two_characters.vtm"));
}

TEST_F(CommandTest, SettingsCommandsSendTheirHintsAndMarkOnlyWhatIsSaved)
{
    // Shading, camera and background are stored in the project: each asks to be saved.
    ASSERT_TRUE(doc.Execute(kCmdSmoothShading));
    EXPECT_EQ(doc.Scene().m_smoothShading, 0);
    EXPECT_FALSE(doc.IsChecked(kCmdSmoothShading));
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);
    doc.Scene().GetCameraRecord().m_position = {5, 5, 5};
    ASSERT_TRUE(doc.Execute(kCmdCameraReset));
    EXPECT_EQ(doc.Scene().GetCameraRecord().m_position, CVector(0, 0, -1500));
    EXPECT_TRUE(doc.IsModified());
    doc.SetModifiedFlag(false);

    ASSERT_TRUE(doc.Execute(kCmdBackgroundColor)); // cancelled
    EXPECT_FALSE(doc.IsModified());
    Answer(DialogAnswer::Kind::Color, {"1", "2", "3"});
    ASSERT_TRUE(doc.Execute(kCmdBackgroundColor));
    EXPECT_EQ(doc.Scene().m_backgroundColor, 0x00030201u);
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.Execute(kCmdCameraTop));
    const CAnimation& camera = doc.Scene().GetCameraRecord();
    EXPECT_EQ(camera.m_position, CVector(0, 0, -1500));
    EXPECT_EQ(camera.m_axis, CVector(90, 0, 0));
    EXPECT_EQ(views.hints, (std::vector<int>{107, 106, 106, 122}));
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.Execute(kCmdCameraFront));
    EXPECT_TRUE(doc.IsModified());
    // What is shown is stored too.
    TwoModels();
    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.Execute(kCmdShowHideModel));
    EXPECT_EQ(doc.Scene().m_models[1].m_visible, 0);
    EXPECT_TRUE(doc.IsModified());

    ASSERT_TRUE(doc.Execute(kCmdMainToolbar));
    EXPECT_FALSE(doc.IsChecked(kCmdMainToolbar));
    EXPECT_TRUE(doc.IsChecked(kCmdStatusBar));
}

TEST_F(CommandTest, RenamesIgnoreAnEmptyNameAndRefuseDuplicates)
{
    TwoModels();
    Answer(DialogAnswer::Kind::Name, {""});
    ASSERT_TRUE(doc.Execute(kCmdRenameModel));
    EXPECT_EQ(doc.Scene().m_models[1].m_name, "b");
    EXPECT_TRUE(ui.messages.empty());
    Answer(DialogAnswer::Kind::Name, {"a"});
    ASSERT_TRUE(doc.Execute(kCmdRenameModel));
    EXPECT_EQ(doc.Scene().m_models[1].m_name, "b");
    EXPECT_EQ(ui.messages.back(), "同名のアイテムが存在します！");
    EXPECT_FALSE(doc.IsModified());
    Answer(DialogAnswer::Kind::Name, {"c"});
    ASSERT_TRUE(doc.Execute(kCmdRenameModel));
    EXPECT_EQ(doc.Scene().m_models[1].m_name, "c");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(CommandTest, NewDocumentSetsTheApplicationValuesTheSceneLeavesAlone)
{
    TwoModels();
    ASSERT_TRUE(doc.Execute(kCmdAddAnimation));
    g_currentFrame = 9;
    ASSERT_TRUE(doc.Execute(kCmdFileNew)); // modified: asks, and no answer cancels
    EXPECT_EQ(g_animationCount, 2);
    Answer(DialogAnswer::Kind::No);
    ASSERT_TRUE(doc.Execute(kCmdFileNew));
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_currentAnimation, 0);
    EXPECT_EQ(g_animationCount, 1);
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(views.hints.back(), 101);
}

TEST_F(CommandTest, DeletingTheLastAnimationMovesToThePreviousOne)
{
    TwoModels();
    ASSERT_TRUE(doc.Execute(kCmdAddAnimation));
    ASSERT_TRUE(doc.SelectAnimationItem(1));
    g_currentFrame = 5;
    ASSERT_TRUE(doc.Execute(kCmdDeleteAnimation));
    EXPECT_EQ(g_currentAnimation, 0);
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(views.hints.back(), 108);
}

TEST_F(CommandTest, SaveAsExportsByExtensionKeepsTheChoicesAndLeavesTheDocumentModified)
{
    TempFolder folder;
    Answer(DialogAnswer::Kind::File, {Textured()});
    ASSERT_TRUE(doc.Execute(kCmdFileOpen));
    doc.SetModifiedFlag(false);

    // The options dialog cancelled: nothing written, but the command counts as an export.
    Answer(DialogAnswer::Kind::File, {folder.Path("a.xaml")});
    ASSERT_TRUE(doc.Execute(kCmdFileSaveAs));
    EXPECT_FALSE(std::filesystem::exists(folder.Path("a.xaml")));
    EXPECT_TRUE(doc.IsModified());

    // An option the kind does not offer keeps the dialog open; the next answer is taken.
    Answer(DialogAnswer::Kind::File, {folder.Path("a.mqo")});
    Answer(DialogAnswer::Kind::Export, {"--normals"});
    Answer(DialogAnswer::Kind::Export, {"--scale", "2", "--uv"});
    ASSERT_TRUE(doc.Execute(kCmdFileSaveAs));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("a.mqo")));
    EXPECT_EQ(doc.m_mqoSettings.scale, 2.0f);
    EXPECT_EQ(doc.m_mqoSettings.writeUV, 1);
    EXPECT_EQ(doc.m_mqoSettings.writeNormals, 1); // the unavailable box counts as ticked
    EXPECT_EQ(doc.m_mqoSettings.writeNormalsLock, -1);
    EXPECT_EQ(doc.m_xamlSettings.scale, 1.0f);

    doc.SetModifiedFlag(false);
    Answer(DialogAnswer::Kind::File, {folder.Path("a.XAML")});
    Answer(DialogAnswer::Kind::Export, {});
    ASSERT_TRUE(doc.Execute(kCmdFileSave)); // untitled: save goes to save as
    EXPECT_TRUE(std::filesystem::exists(folder.Path("a.XAML")));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().empty());

    Answer(DialogAnswer::Kind::File, {folder.Path("a.glb")});
    Answer(DialogAnswer::Kind::Export, {"--scale", "0.5"});
    ASSERT_TRUE(doc.Execute(kCmdFileSaveAs));
    EXPECT_TRUE(std::filesystem::exists(folder.Path("a.glb")));
    EXPECT_EQ(doc.m_gltfSettings.scale, 0.5f);
    EXPECT_EQ(ui.fileRequests.back().filter, kSaveFilter);
}

TEST_F(CommandTest, MaterialDialogCopiesEveryValueBackAndRefusesAnotherMaterialsName)
{
    CTessaline& scene = doc.Scene();
    scene.m_materials.resize(2);
    scene.m_materials[0].m_name = "wood";
    scene.m_materials[1].m_name = "Iron";
    EXPECT_FALSE(doc.EditMaterial(2));
    EXPECT_FALSE(doc.EditMaterial(0)); // no answer: cancelled
    EXPECT_FALSE(doc.IsModified());

    Answer(DialogAnswer::Kind::Material, {"iron", "1.5", "0.5", "0.25", "1", "0.7", "0", "0.1", "nan", "0.3", ""});
    Answer(DialogAnswer::Kind::Material, {"iron", "1.5", "0.5", "0.25", "1", "0.7", "0", "0.1", "5.5", "0.3", ""});
    ASSERT_TRUE(doc.EditMaterial(0));
    const CMaterial& m = scene.m_materials[0];
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kEnterNumberMessage, "同名のアイテムが存在します！"}));
    EXPECT_EQ(m.m_name, "wood"); // "Iron" in another case is taken
    EXPECT_EQ(m.m_color[0], 1.5f); // stored as typed, shown clamped
    EXPECT_EQ(m.m_power, 5.5f);
    EXPECT_EQ(MaterialDisplayColor(m), 0x003F7FFFu);
    EXPECT_EQ(views.hints.back(), 107);
    EXPECT_TRUE(doc.IsModified());

    // Its own name in another case is accepted.
    Answer(DialogAnswer::Kind::Name, {"WOOD"});
    ASSERT_TRUE(doc.Execute(kCmdRenameMaterial));
    EXPECT_EQ(m.m_name, "WOOD");

    doc.SetModifiedFlag(false);
    ASSERT_TRUE(doc.Execute(kCmdMaterialColor)); // cancelled, but counts as an edit
    EXPECT_TRUE(doc.IsModified());
    Answer(DialogAnswer::Kind::Color, {"255", "0", "51"});
    ASSERT_TRUE(doc.Execute(kCmdMaterialColor));
    EXPECT_EQ(m.m_color[2], 0.2f);
    EXPECT_EQ(m.m_color[3], 1.0f);
}

TEST_F(CommandTest, TreeClicksAndDropsThroughTheItemMethods)
{
    TwoModels();
    CTessaline& scene = doc.Scene();
    scene.m_models.push_back(Model("c", 0)); // under a
    scene.RefreshDerived();
    scene.BuildTraversal();

    // A right click selects but keeps the camera mode.
    doc.Execute(kCmdMouseCamera);
    doc.SelectModelItem(0, false);
    EXPECT_EQ(doc.m_mouseMode, MouseMode::Camera);
    EXPECT_EQ(scene.m_selectedModel, 0);
    doc.SelectModelItem(1);
    EXPECT_EQ(doc.m_mouseMode, MouseMode::Animation);

    // A model cannot go below itself or its own child; nothing is recorded then.
    EXPECT_FALSE(doc.CanDropModel(0, 0));
    EXPECT_FALSE(doc.CanDropModel(0, 2));
    EXPECT_TRUE(doc.CanDropModel(2, 1));
    EXPECT_TRUE(doc.CanDropModel(0, ~0));
    EXPECT_FALSE(doc.CanDropModel(0, ~1)); // no second character
    EXPECT_FALSE(doc.CanDropModel(3, ~0));
    doc.SetModifiedFlag(false);
    EXPECT_FALSE(doc.DropModel(0, 2));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.History().CanUndo());
    EXPECT_TRUE(doc.DropModel(0, 1));
    EXPECT_EQ(scene.m_models[0].m_parent, 1);
    EXPECT_EQ(scene.m_models[2].m_parent, 0); // the subtree moves along
    EXPECT_EQ(doc.History().UndoCount(), 1u); // one step, not one per side
}

namespace {

// Answers renames as the headless interface does, but first lets `during`
// change the document, as a click may while an in-place edit waits.
class ChangingUi final : public UserInterface {
public:
    HeadlessUserInterface inner;
    std::function<void()> during;

    void ShowMessage(std::string_view text) override { inner.ShowMessage(text); }
    std::optional<std::string> AskPath(const FileDialogRequest& r) override { return inner.AskPath(r); }
    SaveChoice AskYesNoCancel(std::string_view text) override { return inner.AskYesNoCancel(text); }
    std::optional<std::uint32_t> AskColor(std::uint32_t c) override { return inner.AskColor(c); }
    bool RunKeyFrameDialog(KeyFrameDialog& d) override { return inner.RunKeyFrameDialog(d); }
    bool RunFrameInsertDialog(FrameInsertDialog& d) override { return inner.RunFrameInsertDialog(d); }
    bool RunFrameDeleteDialog(FrameDeleteDialog& d) override { return inner.RunFrameDeleteDialog(d); }
    bool RunExportDialog(ExportDialog& d) override { return inner.RunExportDialog(d); }
    bool RunMaterialDialog(MaterialDialog& d) override { return inner.RunMaterialDialog(d); }
    void BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit) override
    {
        if (during) {
            during();
        }
        inner.BeginRename(target, std::move(commit));
    }
    void RunShellCommand(int id) override { inner.RunShellCommand(id); }
    bool IsShellCommandChecked(int id) const override { return inner.IsShellCommandChecked(id); }
};

} // namespace

TEST_F(DocumentTest, RenameActsOnTheItemEditedEvenWhenTheSelectionMovesMeanwhile)
{
    ChangingUi ui;
    CVantomoDoc doc{ui};
    CTessaline& scene = doc.Scene();
    scene.m_models.push_back(Model("a", -1));
    scene.m_models.push_back(Model("b", -1));
    scene.RefreshDerived();
    doc.SelectModelItem(0);

    // Another model clicked before the edit ends: "a" is renamed all the same.
    ui.during = [&] { doc.SelectModelItem(1); };
    ui.inner.answers.push_back({DialogAnswer::Kind::Name, {"arm"}});
    doc.Execute(kCmdRenameModel);
    EXPECT_EQ(scene.m_models[0].m_name, "arm");
    EXPECT_EQ(scene.m_models[1].m_name, "b");
    EXPECT_EQ(scene.m_selectedModel, 1);

    // The duplicate test excludes the edited model, not the selected one.
    doc.SelectModelItem(0);
    ui.during = [&] { doc.SelectModelItem(1); };
    ui.inner.answers.push_back({DialogAnswer::Kind::Name, {"B"}});
    doc.Execute(kCmdRenameModel);
    EXPECT_EQ(ui.inner.messages, std::vector<std::string>{kDuplicateNameMessage});
    EXPECT_EQ(scene.m_models[0].m_name, "arm");

    // The edited model deleted meanwhile: the name belongs to nothing.
    doc.SelectModelItem(0);
    ui.during = [&] { doc.Execute(kCmdDeleteModel); };
    ui.inner.answers.push_back({DialogAnswer::Kind::Name, {"leg"}});
    doc.Execute(kCmdRenameModel);
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, "b");

    // Materials likewise: the material edited keeps the new name.
    scene.m_materials.resize(2);
    scene.m_materials[0].m_name = "wood";
    scene.m_materials[1].m_name = "iron";
    doc.SelectMaterialItem(1);
    ui.during = [&] { doc.SelectMaterialItem(0); };
    ui.inner.answers.push_back({DialogAnswer::Kind::Name, {"steel"}});
    doc.Execute(kCmdRenameMaterial);
    EXPECT_EQ(scene.m_materials[1].m_name, "steel");
    EXPECT_EQ(scene.m_materials[0].m_name, "wood");
    EXPECT_EQ(scene.m_selectedMaterial, 0);
}

} // namespace vantomo

namespace vantomo {

TEST_F(CommandTest, OperationsActOnTheIndexTheyAreGivenNotOnTheSelection)
{
    TwoModels();
    CTessaline& scene = doc.Scene();
    // Model 0 renamed while model 1 is selected: the selection stays.
    ASSERT_TRUE(doc.RenameModel(0, "first").ok);
    EXPECT_EQ(scene.m_models[0].m_name, "first");
    EXPECT_EQ(scene.m_selectedModel, 1);
    EXPECT_EQ(views.hints.back(), static_cast<int>(Change::Structure));
    EXPECT_TRUE(doc.IsModified());

    // Refusals change nothing and say why.
    doc.SetModifiedFlag(false);
    views.hints.clear();
    EXPECT_FALSE(doc.RenameModel(0, "b").ok);
    EXPECT_FALSE(doc.RenameModel(0, "").ok);
    EXPECT_FALSE(doc.RenameModel(7, "x").ok);
    EXPECT_FALSE(doc.DeleteModel(-1).ok);
    const OperationResult tooLong = doc.SetLastFrame(99999999999LL);
    EXPECT_FALSE(tooLong.ok);
    EXPECT_FALSE(tooLong.message.empty());
    EXPECT_FALSE(doc.SetLastFrame(-2).ok);
    EXPECT_FALSE(doc.InsertFrames(500, 1).ok);
    EXPECT_EQ(scene.m_models[0].m_name, "first");
    EXPECT_TRUE(views.hints.empty());
    EXPECT_FALSE(doc.IsModified());

    // A key at frame 10 of the selected model, in-betweened, then the last
    // frame moved: every track follows.
    ASSERT_TRUE(doc.SetKey(true, false, 10).ok);
    EXPECT_EQ(scene.m_models[1].m_tracks[0][10].m_key, 1);
    ASSERT_TRUE(doc.SetLastFrame(90).ok);
    EXPECT_EQ(scene.m_models[0].m_tracks[0].size(), 91u);
    EXPECT_EQ(scene.m_models[1].m_tracks[0].size(), 91u);

    ASSERT_TRUE(doc.DeleteModel(0).ok);
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, "b");
    EXPECT_EQ(views.hints.back(), static_cast<int>(Change::ModelAddedOrDeleted));
}

} // namespace vantomo
