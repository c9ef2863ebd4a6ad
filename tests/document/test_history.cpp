// Undo and redo of pose edits.
#include "document/Fixture.h"
#include "document/History.h"
#include "document/KeyEditing.h"
#include "document/Structure.h"

namespace vantomo {

namespace {

class HistoryTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        scene.m_models = {Model("body", -1), Model("arm", 0)};
        scene.RefreshDerived();
    }
    CAnimation& Record(int model, int frame, int animation = 0)
    {
        return scene.m_models[static_cast<std::size_t>(model)]
            .m_tracks[static_cast<std::size_t>(animation)][static_cast<std::size_t>(frame)];
    }
    CTessaline scene;
};

} // namespace

TEST_F(HistoryTest, UndoRestoresTheRecordParentAndFrameAndRedoReappliesIt)
{
    SelectModel(scene, 1);
    g_currentFrame = 10;
    PushUndoSelected(scene); // the press of a drag
    Record(1, 10).m_position = CVector(5, 6, 7);
    scene.m_models[1].m_parent = -1;

    SelectModel(scene, 0);
    g_currentFrame = 30;
    ASSERT_TRUE(Undo(scene));
    EXPECT_EQ(scene.m_selectedModel, 1);
    EXPECT_EQ(g_currentFrame, 10);
    EXPECT_EQ(Record(1, 10).m_position, CVector(0, 0, 0));
    EXPECT_EQ(scene.m_models[1].m_parent, 0);
    EXPECT_TRUE(scene.m_undoNames.empty());
    ASSERT_EQ(scene.m_redoNames.size(), 1u);

    ASSERT_TRUE(Redo(scene));
    EXPECT_EQ(Record(1, 10).m_position, CVector(5, 6, 7));
    EXPECT_EQ(scene.m_models[1].m_parent, -1);
    EXPECT_EQ(scene.m_undoNames.size(), 1u);

    ASSERT_TRUE(Undo(scene));
    PushUndo(scene, 0, 2); // a new change empties the redo stack
    EXPECT_TRUE(scene.m_redoNames.empty());
    EXPECT_EQ(scene.m_undoNames.size(), 1u);
}

TEST_F(HistoryTest, UndoOfAKeyReturnsTheFrameToAnInbetween)
{
    SelectModel(scene, 0);
    g_currentFrame = 10;
    Record(0, 10).m_position = CVector(0, 20, 0);
    AddKey(scene, false, 10);
    g_currentFrame = 30;
    ASSERT_TRUE(Undo(scene));
    EXPECT_EQ(Record(0, 10).m_key, 0);
    EXPECT_EQ(g_currentFrame, 10);
    ASSERT_TRUE(Redo(scene));
    EXPECT_EQ(Record(0, 10).m_key, 1);
}

TEST_F(HistoryTest, EntriesGoToTheFirstModelOfTheNameAndToTheirOwnAnimation)
{
    scene.m_models.push_back(Model("body", -1, 61, 1));
    scene.m_animationNames.push_back("Walk");
    g_animationCount = 2;
    for (CModel& model : scene.m_models) {
        model.m_tracks.resize(2);
        model.m_tracks[1].resize(61);
    }
    g_currentAnimation = 1;
    PushUndo(scene, 2, 4); // the second "body", animation 1
    Record(2, 4, 1).m_angle = 33.0f;
    Record(0, 4, 1).m_angle = 11.0f;
    g_currentAnimation = 0;
    ASSERT_TRUE(Undo(scene));
    EXPECT_EQ(scene.m_selectedModel, 0);
    EXPECT_EQ(Record(0, 4, 1).m_angle, 0.0f); // restored into the first "body"
    EXPECT_EQ(Record(2, 4, 1).m_angle, 33.0f);
    EXPECT_EQ(g_currentAnimation, 0);
}

TEST_F(HistoryTest, AnEntryWhoseModelWasRenamedIsDropped)
{
    PushUndo(scene, 1, 3);
    scene.m_models[1].m_name = "renamed";
    SelectModel(scene, 0);
    Record(0, 3).m_angle = 5.0f;
    g_currentFrame = 8;
    EXPECT_FALSE(Undo(scene));
    EXPECT_TRUE(scene.m_undoNames.empty());
    EXPECT_TRUE(scene.m_undoRecords.empty());
    EXPECT_TRUE(scene.m_redoNames.empty());
    EXPECT_EQ(scene.m_selectedModel, 0);
    EXPECT_EQ(Record(0, 3).m_angle, 5.0f);
    EXPECT_EQ(g_currentFrame, 8);

    scene.m_models.clear();
    scene.m_undoNames = {"x"};
    EXPECT_FALSE(Undo(scene)); // no model: nothing at all happens
    EXPECT_EQ(scene.m_undoNames.size(), 1u);
}

TEST_F(HistoryTest, AReparentPushesTwoEntriesAndTwoUndosReturnTheParent)
{
    scene.m_models.push_back(Model("hand", -1));
    scene.RefreshDerived();
    SelectModel(scene, 2);
    PushUndoSelected(scene);
    ReparentModel(scene, 2, 1);
    PushUndoSelected(scene);
    ASSERT_TRUE(Undo(scene));
    EXPECT_EQ(scene.m_models[2].m_parent, 1); // the state after the move
    EXPECT_EQ(scene.m_traversal.size(), 2u + 6u); // body > arm, body > hand
    ASSERT_TRUE(Undo(scene));
    EXPECT_EQ(scene.m_models[2].m_parent, -1);
    EXPECT_EQ(scene.m_traversal.back(), (TraversalEntry{kEndCharacter, 2})); // hand is a root again
    EXPECT_EQ(scene.m_traversal[5], (TraversalEntry{kEnterModel, 2}));
}

} // namespace vantomo
