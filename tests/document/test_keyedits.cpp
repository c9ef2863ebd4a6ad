// Keys edited as sets (move, copy and paste, delete), on real documents: the
// records they carry, the in-betweens they leave, what a refusal leaves
// alone, the script lines that name them, and the selection that follows
// them.
#include <algorithm>
#include <climits>
#include <filesystem>
#include <functional>
#include <memory>

#include "Fixture.h"
#include "document/KeyEditing.h"
#include "document/Script.h"
#include "scene/Archive.h"
#include "scene/ProjectFile.h"

namespace vantomo {

namespace {

// A document driven through scripts, as the command-line tool drives one.
struct Session : DocumentView {
    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    ScriptRunner runner{doc, ui, [](const CTessaline&) {}};
    std::vector<Change> changes;

    Session() { doc.AddView(this); }
    ~Session() override { doc.RemoveView(this); }
    void OnChange(const ChangeNotice& change) override { changes.push_back(change.kind); }

    ScriptResult Run(const std::string& text) { return runner.Run(text, "."); }

    std::vector<unsigned char> Bytes()
    {
        Archive ar;
        EXPECT_TRUE(StoreProject(doc.Scene(), ar));
        return {ar.Stored().begin(), ar.Stored().end()};
    }

    const Track& TrackOf(int model) const
    {
        return doc.Scene().m_models[static_cast<std::size_t>(model)].m_tracks[static_cast<std::size_t>(g_currentAnimation)];
    }

    std::vector<int> KeysOf(int model) const
    {
        std::vector<int> keys;
        const Track& track = TrackOf(model);
        for (std::size_t f = 0; f < track.size(); ++f) {
            if (f == 0 || track[f].m_key == 1) {
                keys.push_back(static_cast<int>(f));
            }
        }
        return keys;
    }
};

std::string Corpus(const char* name) { return std::string(VANTOMO_CORPUS_DIR) + "/mqo/" + name; }

// d-chan2: thirteen objects of a character read from a real Metasequoia
// document, posed with keys on three of its models.
const char* const kDChan = "garlic-flavor_mqo_loader/dsan/d-chan2.mqo";

std::string PosedScript(int a, int b, int c)
{
    const auto line = [](const std::string& s) { return s + "\n"; };
    return line("import \"" + Corpus(kDChan) + "\"") + line("select-model #2") + line("frame " + std::to_string(a)) +
           line("values 5 6 7") + line("add-key") + line("frame 30") + line("values -3 0 9") + line("add-key") +
           line("select-model #4") + line("frame " + std::to_string(b)) + line("mode rotate") + line("values 0 0 1 45") +
           line("add-key") + line("select-model #7") + line("frame " + std::to_string(c)) + line("mode scale") +
           line("values 2 2 2") + line("add-key") + line("mode move") + line("frame 0");
}

class KeyEditsTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        if (!std::filesystem::exists(Corpus(kDChan))) {
            GTEST_SKIP() << "corpus document missing: " << Corpus(kDChan);
        }
        s = std::make_unique<Session>();
        const ScriptResult posed = s->Run(PosedScript(10, 20, 40));
        ASSERT_TRUE(posed.ok) << posed.line << ": " << posed.error;
        ASSERT_EQ(s->KeysOf(2), (std::vector<int>{0, 10, 30}));
        s->doc.SetModifiedFlag(false);
    }

    std::unique_ptr<Session> s;
};

TEST_F(KeyEditsTest, MovedKeysCarryTheirRecordsAndLeaveTheInbetweensOfKeysPlacedThereByHand)
{
    const CAnimation atTen = s->TrackOf(2)[10];
    s->changes.clear();
    const OperationResult moved = s->doc.MoveKeys({{2, 10}, {4, 20}, {7, 40}}, 5);
    ASSERT_TRUE(moved.ok) << moved.message;
    EXPECT_EQ(s->KeysOf(2), (std::vector<int>{0, 15, 30}));
    EXPECT_EQ(s->KeysOf(4), (std::vector<int>{0, 25}));
    EXPECT_EQ(s->TrackOf(2)[15], atTen) << "the record goes with its key";
    EXPECT_EQ(s->doc.SelectedKeys(), (KeySelection{{2, 15}, {4, 25}, {7, 45}}));
    EXPECT_TRUE(s->doc.IsModified());
    EXPECT_EQ(std::count(s->changes.begin(), s->changes.end(), Change::Keys), 1);

    // The same poses keyed at the new frames by hand bake every frame alike.
    Session byHand;
    const ScriptResult posed = byHand.Run(PosedScript(15, 25, 45));
    ASSERT_TRUE(posed.ok) << posed.error;
    for (std::size_t m = 0; m < s->doc.Scene().m_models.size(); ++m) {
        EXPECT_EQ(s->TrackOf(static_cast<int>(m)), byHand.TrackOf(static_cast<int>(m))) << "model " << m;
    }

    // Keys that move into each other's frames move together; frame 0 moved
    // is copied and stays.
    const CAnimation rest = s->TrackOf(2)[0];
    ASSERT_TRUE(s->doc.MoveKeys({{2, 0}, {2, 15}, {2, 30}}, 15).ok);
    EXPECT_EQ(s->KeysOf(2), (std::vector<int>{0, 15, 30, 45}));
    EXPECT_EQ(s->TrackOf(2)[0], rest);
    EXPECT_EQ(s->TrackOf(2)[15].m_position.x, rest.m_position.x);
    EXPECT_EQ(s->TrackOf(2)[30], atTen);
}

TEST_F(KeyEditsTest, ARefusedEditChangesNothingAndSaysWhy)
{
    const std::vector<unsigned char> before = s->Bytes();
    const KeySelection selectedBefore{{2, 10}};
    s->doc.SelectKeys(selectedBefore);
    s->changes.clear();
    struct Case {
        const char* what;
        OperationResult result;
        const char* message; // "" for a refusal without a message
    };
    ASSERT_FALSE(s->doc.PasteKeys(0, {}).ok); // nothing copied yet
    const std::vector<Case> cases = {
        {"past the last frame", s->doc.MoveKeys({{2, 30}}, 31), kFrameOutOfRangeMessage},
        {"before frame 0", s->doc.MoveKeys({{2, 10}, {2, 30}}, -11), kFrameOutOfRangeMessage},
        {"onto another key", s->doc.MoveKeys({{2, 10}}, 20), kKeyInTheWayMessage},
        {"onto frame 0", s->doc.MoveKeys({{2, 10}}, -10), kKeyInTheWayMessage},
        {"one of them blocked", s->doc.MoveKeys({{4, 20}, {2, 10}}, 20), kKeyInTheWayMessage},
        {"not a key", s->doc.MoveKeys({{2, 10}, {2, 11}}, 1), kNotAKeyMessage},
        {"no such model", s->doc.MoveKeys({{99, 10}}, 1), kNotAKeyMessage},
        {"no keys", s->doc.MoveKeys({}, 1), kSelectKeysMessage},
        {"a huge offset", s->doc.MoveKeys({{2, 10}}, LLONG_MAX), kFrameOutOfRangeMessage},
        {"no offset", s->doc.MoveKeys({{2, 10}}, 0), ""},
        {"frame 0 only", s->doc.DeleteKeys({{2, 0}, {4, 0}}), ""},
        {"deleting a non-key", s->doc.DeleteKeys({{2, 10}, {2, 12}}), kNotAKeyMessage},
        {"copying a non-key", s->doc.CopyKeys({{2, 12}}), kNotAKeyMessage},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.result.ok) << c.what;
        EXPECT_EQ(c.result.message, c.message) << c.what;
    }
    EXPECT_TRUE(s->doc.GetCopiedKeys().Empty()) << "a refused copy keeps the old copy";

    ASSERT_TRUE(s->doc.CopyKeys({{2, 10}, {2, 30}, {4, 20}}).ok);
    const std::vector<Case> pastes = {
        {"pasted past the end", s->doc.PasteKeys(41, {}), kFrameOutOfRangeMessage},
        {"pasted before 0", s->doc.PasteKeys(-1, {}), kFrameOutOfRangeMessage},
        {"two copies onto three models", s->doc.PasteKeys(0, {0, 1, 3}), kNoPasteTargetMessage},
        {"onto no such model", s->doc.PasteKeys(0, {1, 99}), kNoPasteTargetMessage},
        {"twice onto one model", s->doc.PasteKeys(0, {1, 1}), kNoPasteTargetMessage},
    };
    for (const Case& c : pastes) {
        EXPECT_FALSE(c.result.ok) << c.what;
        EXPECT_EQ(c.result.message, c.message) << c.what;
    }
    EXPECT_EQ(s->Bytes(), before);
    EXPECT_FALSE(s->doc.IsModified());
    EXPECT_TRUE(s->changes.empty()) << "nothing announced";
    EXPECT_EQ(s->doc.SelectedKeys(), selectedBefore);
    // Every refusal with a message showed it.
    EXPECT_EQ(std::count(s->ui.messages.begin(), s->ui.messages.end(), std::string(kKeyInTheWayMessage)), 3);
}

TEST_F(KeyEditsTest, PastedKeysKeepTheirRelativeFramesOnTheModelsOfTheirNamesOrInOrder)
{
    CTessaline& scene = s->doc.Scene();
    ASSERT_TRUE(s->doc.CopyKeys({{4, 20}, {2, 10}, {2, 30}}).ok);
    const CopiedKeys& copied = s->doc.GetCopiedKeys();
    ASSERT_EQ(copied.models.size(), 2u);
    EXPECT_EQ(copied.models[0].name, scene.m_models[4].m_name) << "in the order of the selection";
    EXPECT_EQ(copied.models[1].frames, (std::vector<int>{0, 20}));
    EXPECT_EQ(copied.models[0].frames, (std::vector<int>{10}));

    // No models named: back onto the models of the copied names.
    const CAnimation atTen = s->TrackOf(2)[10];
    const CAnimation atTwenty = s->TrackOf(4)[20];
    ASSERT_TRUE(s->doc.PasteKeys(35, {}).ok);
    EXPECT_EQ(s->KeysOf(2), (std::vector<int>{0, 10, 30, 35, 55}));
    EXPECT_EQ(s->KeysOf(4), (std::vector<int>{0, 20, 45}));
    EXPECT_EQ(s->TrackOf(2)[35], atTen);
    EXPECT_EQ(s->TrackOf(4)[45], atTwenty);
    EXPECT_EQ(s->doc.SelectedKeys(), (KeySelection{{4, 45}, {2, 35}, {2, 55}}));

    // The same models named in another order still go by name; other models by order.
    ASSERT_TRUE(s->doc.PasteKeys(1, {2, 4}).ok);
    EXPECT_EQ(s->KeysOf(2), (std::vector<int>{0, 1, 10, 21, 30, 35, 55}));
    EXPECT_EQ(s->KeysOf(4), (std::vector<int>{0, 11, 20, 45}));
    ASSERT_TRUE(s->doc.PasteKeys(40, {9, 8}).ok);
    EXPECT_EQ(s->KeysOf(9), (std::vector<int>{0, 50}));
    EXPECT_EQ(s->KeysOf(8), (std::vector<int>{0, 40, 60}));
    EXPECT_EQ(s->TrackOf(8)[60].m_position, s->TrackOf(2)[30].m_position);

    // One copied model goes onto every model named, over the keys there.
    ASSERT_TRUE(s->doc.CopyKeys({{7, 40}}).ok);
    ASSERT_TRUE(s->doc.PasteKeys(40, {8, 10, 11}).ok);
    for (const int m : {8, 10, 11}) {
        EXPECT_EQ(s->TrackOf(m)[40].m_scale, s->TrackOf(7)[40].m_scale) << m;
        EXPECT_EQ(s->TrackOf(m)[40].m_key, 1);
    }
    // A paste onto frame 0 gives record 0 the pose; it stays a key.
    ASSERT_TRUE(s->doc.PasteKeys(0, {3}).ok);
    EXPECT_EQ(s->TrackOf(3)[0].m_scale, s->TrackOf(7)[40].m_scale);
    EXPECT_EQ(s->TrackOf(3)[5].m_scale, s->TrackOf(7)[40].m_scale) << "held after the last key";
}

TEST_F(KeyEditsTest, DeletedKeysLeaveTheInbetweensOfTheKeyCommandsAndFrameZero)
{
    Session byCommand;
    ASSERT_TRUE(byCommand.Run(PosedScript(10, 20, 40) + "select-model #2\ndelete-key 10\nselect-model #4\n"
                              "delete-key 20\n")
                    .ok);
    s->doc.SelectKeys({{2, 10}, {4, 20}, {2, 0}});
    ASSERT_TRUE(s->doc.DeleteKeys(s->doc.SelectedKeys()).ok);
    EXPECT_EQ(s->KeysOf(2), (std::vector<int>{0, 30}));
    EXPECT_EQ(s->KeysOf(4), (std::vector<int>{0}));
    EXPECT_TRUE(s->doc.SelectedKeys().Empty());
    for (const int m : {2, 4, 7}) {
        EXPECT_EQ(s->TrackOf(m), byCommand.TrackOf(m)) << m;
    }
}

TEST_F(KeyEditsTest, ScriptLinesNameKeysByModelAndFrame)
{
    // A name may hold colons and spaces: the frame follows the last colon.
    ASSERT_TRUE(s->Run("select-model #2\nrename-model \"arm: left\"\n").ok);
    ScriptResult result = s->Run("move-keys 2 \"arm: left:10\" #4:20\n"
                                 "expect key \"arm: left\" 12\n"
                                 "expect key #4 22\n"
                                 "copy-keys #4:22\n"
                                 "paste-keys 50 #5 #6\n"
                                 "expect key #5 50\n"
                                 "expect key #6 50\n"
                                 "delete-keys #5:50 #6:50 \"arm: left:12\"\n"
                                 "expect not key #5 50\n"
                                 "expect not key #2 12\n"
                                 "paste-keys 3\n"
                                 "expect key #4 3\n"
                                 "move-keys 1 #4:3\n"
                                 "expect not key #4 3\n"
                                 "delete-keys #4:7\n"
                                 "expect message キーではないフレームが選ばれています！\n"
                                 "move-keys 100 #4:4\n"
                                 "expect message フレーム番号が範囲外です！\n"
                                 "move-keys 1 #4:99999999999999999999\n"
                                 "expect message キーではないフレームが選ばれています！\n");
    ASSERT_TRUE(result.ok) << result.line << ": " << result.error;

    // Arguments that name nothing stop the script at their line.
    for (const char* bad : {"move-keys x #4:4\n", "move-keys 1 #4\n", "move-keys 1 #4:x\n", "delete-keys nobody:3\n",
                            "copy-keys #99:0\n", "paste-keys x\n", "paste-keys 1 nobody\n", "move-keys 1\n",
                            "delete-keys\n"}) {
        result = s->Run(bad);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_EQ(result.line, 1) << bad;
    }
}

TEST_F(KeyEditsTest, TheSelectedKeysAreKeysOfTheModelsAndFramesShown)
{
    // Frames that are not keys are left out of a selection.
    s->doc.SelectKeys({{2, 10}, {2, 11}, {99, 0}, {4, 20}});
    EXPECT_EQ(s->doc.SelectedKeys(), (KeySelection{{2, 10}, {4, 20}}));
    EXPECT_EQ(s->doc.SelectedKeys().Models(), (std::vector<int>{2, 4}));

    // A key deleted by the key command leaves the selection.
    ASSERT_TRUE(s->Run("select-model #4\ndelete-key 20\n").ok);
    EXPECT_EQ(s->doc.SelectedKeys(), (KeySelection{{2, 10}}));
    // Frames and playback leave it alone; inserted frames, another
    // animation and a deleted model renumber what it names and clear it.
    ASSERT_TRUE(s->Run("frame 12\nnext-frame\nplay\nstop\n").ok);
    EXPECT_FALSE(s->doc.SelectedKeys().Empty());
    for (const char* renumbering : {"insert-frames 3 2\n", "add-animation\n", "delete-model\n"}) {
        s->doc.SelectKeys({{2, 0}});
        ASSERT_EQ(s->doc.SelectedKeys().Size(), 1u);
        ASSERT_TRUE(s->Run(std::string("select-model #2\n") + renumbering).ok);
        EXPECT_TRUE(s->doc.SelectedKeys().Empty()) << renumbering;
    }
}

// Each key edit is one step of the undo history, which puts the tracks back.
class KeyEditsUndoTest : public KeyEditsTest {
protected:
    void SetUp() override
    {
        KeyEditsTest::SetUp();
    }

    // The edit, then one undo: the project's bytes as before the edit and
    // the undo command disabled again (the edit was one step, the history
    // held nothing before it).
    void ExpectOneUndoStep(const char* what, const std::function<OperationResult()>& edit)
    {
        s->doc.History().Clear();
        const std::vector<unsigned char> before = s->Bytes();
        ASSERT_TRUE(edit().ok) << what;
        ASSERT_NE(s->Bytes(), before) << what;
        ASSERT_TRUE(s->doc.IsEnabled(kCmdUndo)) << what;
        ASSERT_TRUE(s->doc.Execute(kCmdUndo)) << what;
        EXPECT_EQ(s->Bytes(), before) << what;
        EXPECT_FALSE(s->doc.IsEnabled(kCmdUndo)) << what << ": more than one step";
        ASSERT_TRUE(s->doc.Execute(kCmdRedo)) << what;
        ASSERT_TRUE(s->doc.Execute(kCmdUndo)) << what;
        EXPECT_EQ(s->Bytes(), before) << what;
    }
};

TEST_F(KeyEditsUndoTest, UndoRestoresTheProjectBytesOfEveryKeyEdit)
{
    ExpectOneUndoStep("move", [&] { return s->doc.MoveKeys({{2, 10}, {2, 0}, {4, 20}, {7, 40}}, 7); });
    ExpectOneUndoStep("delete", [&] { return s->doc.DeleteKeys({{2, 10}, {4, 20}}); });
    ASSERT_TRUE(s->doc.CopyKeys({{2, 10}, {2, 30}}).ok);
    ExpectOneUndoStep("paste", [&] { return s->doc.PasteKeys(25, {2, 4}); });
    ExpectOneUndoStep("paste over keys", [&] { return s->doc.PasteKeys(30, {}); });
}

TEST_F(KeyEditsUndoTest, ARefusedEditRecordsNoUndoStep)
{
    s->doc.History().Clear();
    static_cast<void>(s->doc.MoveKeys({{2, 10}}, 20));
    static_cast<void>(s->doc.MoveKeys({{2, 10}}, 0));
    static_cast<void>(s->doc.DeleteKeys({{2, 0}}));
    static_cast<void>(s->doc.CopyKeys({{2, 10}}));
    static_cast<void>(s->doc.PasteKeys(61, {})); // past the last frame
    EXPECT_FALSE(s->doc.IsEnabled(kCmdUndo));
}

} // namespace

} // namespace vantomo
