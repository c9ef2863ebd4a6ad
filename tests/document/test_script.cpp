// The script engine drives the operations as the desktop program's commands do.
#include <algorithm>
#include <cmath>
#include <sstream>

#include "document/Commands.h"
#include "document/Fixture.h"
#include "document/Script.h"
#include "render/Camera.h"
#include "render/Framing.h"
#include "base/Cp932.h"
#include "base/FileIo.h"

namespace vantomo {

namespace {

class ScriptTest : public DocumentTest {
protected:
    ScriptResult Run(const std::string& text, const std::string& folder = GoldenPath(""))
    {
        return runner.Run(text, folder);
    }
    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    int prints = 0;
    ScriptRunner runner{doc, ui, [this](const CTessaline&) { ++prints; }};
};

} // namespace

TEST(ScriptTokens, QuotesHoldSpacesAndHashStartsAComment)
{
    std::vector<std::string> tokens;
    std::string error;
    ASSERT_TRUE(TokenizeScriptLine("  select-model \"left arm\" # the arm\t", tokens, error));
    EXPECT_EQ(tokens, (std::vector<std::string>{"select-model", "left arm"}));
    ASSERT_TRUE(TokenizeScriptLine("open a\"b c\"d \"#x\"", tokens, error));
    EXPECT_EQ(tokens, (std::vector<std::string>{"open", "ab cd", "#x"}));
    ASSERT_TRUE(TokenizeScriptLine("# only a comment", tokens, error));
    EXPECT_TRUE(tokens.empty());
    ASSERT_TRUE(TokenizeScriptLine("select-model #12 #2nd is a comment", tokens, error));
    EXPECT_EQ(tokens, (std::vector<std::string>{"select-model", "#12"}));
    EXPECT_FALSE(TokenizeScriptLine("open \"unterminated", tokens, error));
}

TEST_F(ScriptTest, EditsAProjectAndSavesIt)
{
    TempFolder folder;
    const std::string script = "open two_characters.vtm\n"
                               "select-model 腕   # a CP932 name written in UTF-8\n"
                               "frame 500\n"
                               "values 1 2 3\n"
                               "add-key\n"
                               "add-key all 40\n"
                               "print\n"
                               "save " + folder.Path("out.vtm") + "\n";
    const ScriptResult result = Run(script);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    EXPECT_TRUE(WithoutTextureMessages(ui.messages).empty());
    EXPECT_EQ(prints, 1);
    const CTessaline& scene = doc.Scene();
    ASSERT_EQ(scene.m_selectedModel, 1);
    EXPECT_EQ(g_currentFrame, 60); // clamped to the last frame
    const Track& arm = scene.m_models[1].m_tracks[0];
    EXPECT_EQ(arm[60].m_position, CVector(1, 2, 3));
    EXPECT_EQ(arm[60].m_key, 1);
    EXPECT_EQ(arm[40].m_key, 1);
    EXPECT_EQ(arm[40].m_position, CVector(1, 2, 3)); // the key dialog's key takes the pose shown
    EXPECT_EQ(scene.m_models[0].m_tracks[0][40].m_key, 1); // all: the whole character
    EXPECT_EQ(scene.m_models[2].m_tracks[0][40].m_key, 0);
    EXPECT_EQ(doc.History().UndoCount(), 3u); // the values, and one step for each key command

    ResetAppValues();
    CTessaline reread;
    CollectingMessageSink messages;
    bool modified = false;
    ASSERT_TRUE(OpenForTest(reread, folder.Path("out.vtm"), messages, modified).ok);
    EXPECT_EQ(reread.m_models[1].m_tracks[0][60].m_position, CVector(1, 2, 3));
}

TEST_F(ScriptTest, MessagesGoOnAndBadCommandsStopAtTheirLine)
{
    ScriptResult result = Run("new\n"
                              "delete-frames 0 60\n"
                              "insert-frames 70 1\n"
                              "add-key\n"
                              "set-last-frame 99999999999\n");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(WithoutTextureMessages(ui.messages), (std::vector<std::string>{"フレーム番号が範囲外です！", "フレーム番号が範囲外です！",
                                                     "モデルを選択してください！", "フレーム番号が範囲外です！"}));

    result = Run("new\n\n# comment\nfrobnicate 3\nnew\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, 4);
    for (const char* bad : {"insert-frames 1 x", "select-model nobody", "animation 3", "mode spin",
                            "values 1 2", "reparent #0 character:9", "open", "add-key 1 2"}) {
        result = Run(bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_EQ(result.line, 1);
    }
}

TEST_F(ScriptTest, AnimationsFramesUndoAndStructure)
{
    const ScriptResult result = Run("open two_characters.vtm\n"
                                    "animation 1\n"          // 31 frames, sized everywhere
                                    "select-model villain\n"
                                    "mode rotate\n"
                                    "values 0 0 0 45\n"      // a zero axis becomes (0, 1, 0)
                                    "undo\n"
                                    "redo\n"
                                    "insert-frames 10 4\n"
                                    "add-animation\n"
                                    "delete-animation\n"
                                    "reparent villain body\n"
                                    "select-character 1\n"
                                    "delete-character\n"
                                    "clear-selection\n"
                                    "camera-reset\n");
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    EXPECT_TRUE(WithoutTextureMessages(ui.messages).empty());
    const CTessaline& scene = doc.Scene();
    EXPECT_EQ(scene.m_animationNames, (std::vector<std::string>{"Animation_0", "Walk"}));
    EXPECT_EQ(g_currentAnimation, 0); // deleting a character returns to the first animation
    EXPECT_EQ(g_lastFrame, 60);
    EXPECT_EQ(scene.m_characterNames.size(), 1u); // character 1 ("Villain") is gone...
    ASSERT_EQ(scene.m_models.size(), 3u);          // ...but the villain had moved to character 0
    EXPECT_EQ(scene.m_models[2].m_parent, 0);
    const Track& villain = scene.m_models[2].m_tracks[1];
    ASSERT_EQ(villain.size(), 35u);
    EXPECT_EQ(villain[0].m_axis, CVector(0, 1, 0));
    EXPECT_EQ(villain[0].m_angle, 45.0f);
    EXPECT_EQ(scene.m_models[0].m_tracks[1].size(), 35u);
}

TEST_F(ScriptTest, ClipboardAndVisibility)
{
    const ScriptResult result = Run("open long_track.vtm\n"
                                    "copy-animation\n"         // nothing selected: disabled
                                    "select-model cube\n"
                                    "frame 50\n"
                                    "values 9 9 9\n"
                                    "add-key\n"
                                    "copy-animation\n"
                                    "hide\n"
                                    "paste-animation\n"        // hidden: selection cleared
                                    "select-model #0\n"
                                    "show\n"
                                    "paste-animation\n");
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    // A command that is disabled does nothing, not even a message.
    EXPECT_TRUE(WithoutTextureMessages(ui.messages).empty());
    EXPECT_EQ(doc.GetAnimationClipboard().size(), 121u);
    EXPECT_EQ(doc.Scene().m_models[0].m_visible, 1);
    EXPECT_EQ(doc.History().UndoLabel(), kPasteAnimationLabel); // the paste is one step
}

TEST_F(ScriptTest, AnAnimationTakesItsLengthFromAModelThatHasRecords)
{
    CTessaline& scene = doc.Scene();
    scene.m_animationNames = {"Animation_0", "Walk"};
    g_animationCount = 2;
    // Model 0 came in while animation 0 was current and has no frames of "Walk" yet.
    scene.m_models = {Model("early", -1, 61, 1), Model("late", -1, 61, 2)};
    scene.m_models[0].m_tracks.resize(2);
    scene.m_models[1].m_tracks[1].resize(40);
    scene.RefreshDerived();
    ASSERT_TRUE(Run("animation 1\n").ok);
    EXPECT_EQ(g_lastFrame, 39);
    EXPECT_EQ(scene.m_models[0].m_tracks[1].size(), 40u);
    EXPECT_EQ(scene.m_models[0].m_tracks[1][0].m_key, 1);
    ASSERT_TRUE(Run("delete-animation\n").ok); // back on animation 0 with its own length
    EXPECT_EQ(g_currentAnimation, 0);
    EXPECT_EQ(g_lastFrame, 60);
}

TEST_F(ScriptTest, RenamesAndImportsThroughTheOpenCommand)
{
    const ScriptResult result = Run("open two_characters.vtm\n"
                                    "select-model 腕\n"
                                    "rename-model \"left hand\"\n"
                                    "rename-character Villain   # taken by the other character\n"
                                    "rename-character Knight\n"
                                    "rename-animation walk      # taken, without regard to case\n"
                                    "rename-animation Idle\n"
                                    "new\n"
                                    "open ../mqo/textured.mqo\n");
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    EXPECT_EQ(WithoutTextureMessages(ui.messages),
              (std::vector<std::string>{"同名のアイテムが存在します！", "同名のアイテムが存在します！"}));
    const CTessaline& scene = doc.Scene();
    ASSERT_EQ(scene.m_models.size(), 1u);
    EXPECT_EQ(scene.m_models[0].m_name, "board");

    EXPECT_FALSE(Run("rename-model \"\xF0\x9F\x98\x80\"\n").ok); // not in CP932: a bad argument
}

TEST_F(ScriptTest, RenamedNamesAreSaved)
{
    TempFolder folder;
    ASSERT_TRUE(Run("open two_characters.vtm\nselect-model 腕\nrename-model Hand\nrename-character Knight\n"
                    "rename-animation Idle\nsave " + folder.Path("out.vtm") + "\nnew\nopen " +
                    folder.Path("out.vtm") + "\n")
                    .ok);
    const CTessaline& scene = doc.Scene();
    EXPECT_EQ(scene.m_models[1].m_name, "Hand");
    EXPECT_EQ(scene.m_characterNames[0], "Knight");
    EXPECT_EQ(scene.m_animationNames[0], "Idle");
}

TEST_F(ScriptTest, ExportsAndSetsTheRate)
{
    TempFolder folder;
    ASSERT_TRUE(Run("open two_characters.vtm\nrate 12.5\nexport " + folder.Path("a.xaml") +
                    " --scale 2 --no-animation\nexport " + folder.Path("a.mqo") + " --uv\nexport " +
                    folder.Path("a.vtm") + "\n")
                    .ok);
    EXPECT_EQ(doc.Scene().m_fps, 12.5f);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"a.mqo", "a.vtm", "a.xaml"}));
    EXPECT_EQ(ReadBytes(folder.Path("a.vtm")).size(), ReadBytes(GoldenPath("two_characters.vtm")).size());
    ASSERT_TRUE(Run("rate -3\n").ok);
    EXPECT_EQ(doc.Scene().m_fps, 30.0f);
    ASSERT_TRUE(Run("rate abc\n").ok);
    EXPECT_EQ(doc.Scene().m_fps, 30.0f);

    // An option the kind cannot use or an unknown type stops the script; a
    // failed write is a message and the script goes on.
    EXPECT_FALSE(Run("export " + folder.Path("b.mqo") + " --normals\n").ok);
    EXPECT_FALSE(Run("export " + folder.Path("b.txt") + "\n").ok);
    // A failed export stops the script with the message.
    const ScriptResult failed = Run("export " + folder.Path("none/b.xaml") + "\n");
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("XAMLファイルへの書き出しに失敗しました。"), std::string::npos);
    EXPECT_EQ(ui.messages.back(), "XAMLファイルへの書き出しに失敗しました。");
    EXPECT_EQ(folder.Entries().size(), 3u);

    // The options may also come as the answer of a dialog line, as for save.
    ASSERT_TRUE(Run("export " + folder.Path("c.mqo") + "\ndialog export --uv\n").ok);
    EXPECT_EQ(ReadBytes(folder.Path("c.mqo")), ReadBytes(folder.Path("a.mqo")));
}

TEST_F(ScriptTest, MouseLinesPickDragAndZoomAsTheViewDoes)
{
    const std::string script = "open ../mqo/textured.mqo\n"
                               "camera-reset                 # the camera the points below are worked out for\n"
                               "view-size 400 200\n"
                               "wheel 12000                  # zoom in so the board covers the centre\n"
                               "mouse press 200 100          # the world origin, on the board\n"
                               "mouse move 210 100\n"
                               "mouse release 210 100\n"
                               "mouse press 200 100 right\n"
                               "mouse move 200 110 right     # orbit: 10 degrees about x\n"
                               "mouse release 200 110 right\n";
    const ScriptResult result = Run(script);
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    const CTessaline& scene = doc.Scene();
    EXPECT_EQ(scene.m_selectedModel, 0);
    EXPECT_EQ(doc.m_mouseMode, MouseMode::Animation);
    EXPECT_EQ(scene.m_models[0].m_tracks[0][0].m_position, CVector(10, 0, 0));
    EXPECT_EQ(scene.GetCameraRecord().m_scale, CVector(25, 25, 25));
    EXPECT_EQ(scene.GetCameraRecord().m_axis, CVector(30, 10, 0));
    EXPECT_EQ(doc.History().UndoCount(), 2u); // the import and the drag; the orbit moved only the camera
    EXPECT_EQ(scene.m_models[0].m_boxVertices[1].x, scene.m_models[0].m_bounds[1].x);
    EXPECT_TRUE(doc.IsModified());

    EXPECT_FALSE(Run("mouse press 1 2 sideways\n").ok);
    EXPECT_FALSE(Run("mouse push 1 2\n").ok);
    EXPECT_FALSE(Run("wheel up\n").ok);
    // Points at the ends of the int range: no overflow in the motion.
    EXPECT_TRUE(Run("mouse move -2147483648 0\nmouse move 2147483647 0 middle\n").ok);
    EXPECT_EQ(doc.Scene().GetCameraRecord().m_position.x, 4294967295.0f);

    // A middle press only remembers where the pan starts: nothing is picked,
    // selected or snapshotted, whatever lies under it.
    ASSERT_TRUE(Run("clear-selection\n").ok);
    const std::size_t history = doc.History().UndoCount();
    const CVector camera = doc.Scene().GetCameraRecord().m_position;
    ASSERT_TRUE(Run("mouse press 320 240 middle\nmouse move 330 240 middle\nmouse release 330 240 middle\n").ok);
    EXPECT_EQ(doc.Scene().m_selectedModel, kNoModel);
    EXPECT_EQ(doc.History().UndoCount(), history);
    EXPECT_EQ(doc.Scene().GetCameraRecord().m_position.x, camera.x + 10.0f) << "the pan starts at the press";
}

TEST_F(ScriptTest, FramingSetsTheStoredCameraAndTheOnionSkinIsNoEditOfTheProject)
{
    TempFolder folder;
    const CAnimation& camera = doc.Scene().GetCameraRecord();
    const auto framed = [this](int onlyModel) { // every shown corner inside the view
        const D3DXMATRIX viewProj = D3DXMatrixMultiply(ViewMatrix(doc.Scene()), ProjectionMatrix(doc.Scene(), doc.View()));
        const std::vector<D3DXVECTOR3> corners = ShownBoxCorners(doc.Scene(), 0, g_currentFrame, onlyModel);
        return !corners.empty() && std::all_of(corners.begin(), corners.end(), [&viewProj](const D3DXVECTOR3& p) {
            const D3DXVECTOR3 c = D3DXVec3TransformCoord(p, viewProj);
            return std::fabs(c.x) <= 1.0f && std::fabs(c.y) <= 1.0f && c.z >= 0.0f && c.z <= 1.0f;
        });
    };
    ASSERT_TRUE(Run("view-size 640 480\nimport ../panes/tower.mqo\n").ok); // into an empty scene: framed
    const CAnimation imported = camera;
    EXPECT_NE(imported.m_position, CAnimation{}.m_position);
    EXPECT_EQ(imported.m_axis, CVector(20, 10, 0));
    EXPECT_TRUE(framed(-1));
    ScriptResult result = Run("camera-reset\nframe-all\nexpect hint 122\nexpect modified\nexpect not enabled 32906\n"
                              "select-model #1\nframe 20\nvalues 0 400 0\nframe-selected\nexpect hint 122\n"
                              "save " + folder.Path("tower.vtm") + "\n"
                              "onion-skin\nexpect checked 32900\nexpect checked 32901\nexpect hint 129\n"
                              "onion-skin-2\nexpect checked 32903\nexpect not checked 32901\nexpect not modified\n");
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    EXPECT_TRUE(framed(1)); // the model as it stands at frame 20
    EXPECT_EQ(doc.GetOnionSkin(), (OnionSkin{true, 2}));
    const CAnimation before = camera; // a second import adds to models: the camera stays
    ASSERT_TRUE(Run("import ../panes/cart.mqo\n").ok);
    EXPECT_EQ(camera, before);
}

TEST_F(ScriptTest, EveryCommandIdRunsWithItsDialogsAndExpectations)
{
    const std::vector<unsigned char> bytes = ReadBytes(std::string(VANTOMO_TEST_DATA_DIR) + "/scripts/every_command.txt");
    std::string text(bytes.begin(), bytes.end());
    for (std::size_t at = text.find("@DATA@"); at != std::string::npos; at = text.find("@DATA@")) {
        text.replace(at, 6, VANTOMO_TEST_DATA_DIR);
    }
    TempFolder folder;
    const ScriptResult result = Run(text, folder.Path(""));
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"scene.vtm", "scene.xaml"}));
    EXPECT_EQ(ui.shellCommands.size(), 18u);

    // Every id of the table appears in a command line of the script.
    for (const CommandInfo& info : CommandTable()) {
        const bool named = text.find("command " + std::to_string(info.id)) != std::string::npos ||
                           text.find("enabled " + std::to_string(info.id)) != std::string::npos;
        EXPECT_TRUE(named) << info.id;
    }
}

TEST_F(ScriptTest, FailedOpenImportSaveAndExpectationsStopTheScriptAtTheirLine)
{
    TempFolder folder;
    ScriptResult result = Run("open missing.vtm\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, 1);
    result = Run("import truncated.vtm\n");
    EXPECT_FALSE(result.ok);
    result = Run("new\nsave " + folder.Path("x.txt") + "\n");
    EXPECT_EQ(result.line, 2);
    EXPECT_NE(result.error.find("このファイル形式では保存できません。"), std::string::npos);
    result = Run("save " + folder.Path("none/x.vtm") + "\n");
    EXPECT_FALSE(result.ok);

    result = Run("frame 5\nexpect frame 6\n");
    EXPECT_EQ(result.line, 2);
    EXPECT_NE(result.error.find("(5)"), std::string::npos);
    EXPECT_FALSE(Run("expect sideways\n").ok);
    EXPECT_FALSE(Run("dialog file x\n").ok);                         // no command before it
    EXPECT_FALSE(Run("command 57601\ndialog key 1 0\n").ok);          // an answer left unused
    EXPECT_FALSE(Run("command 99999\n").ok);
    EXPECT_TRUE(Run("command 57601\ndialog cancel\nexpect not modified\n").ok);
}

} // namespace vantomo
