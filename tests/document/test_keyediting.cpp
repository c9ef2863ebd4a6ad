// Keys and the length of the timeline.
#include <climits>

#include "document/Fixture.h"
#include "document/KeyEditing.h"
#include "document/Structure.h"

namespace vantomo {

namespace {

class KeyEditingTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        scene.m_characterNames = {"A", "B"};
        scene.m_models = {Model("a", ~0), Model("a2", ~0), Model("b", ~1)};
        SelectModel(scene, 0);
    }
    Track& TrackOf(int model) { return scene.m_models[static_cast<std::size_t>(model)].m_tracks[0]; }
    std::vector<int> Keys(int model)
    {
        std::vector<int> keys;
        const Track& track = TrackOf(model);
        for (std::size_t f = 0; f < track.size(); ++f) {
            if (track[f].m_key == 1) {
                keys.push_back(static_cast<int>(f));
            }
        }
        return keys;
    }
    CTessaline scene;
    CollectingMessageSink messages;
};

} // namespace

TEST_F(KeyEditingTest, AKeyAtAnotherFrameTakesThePoseShownNow)
{
    g_currentFrame = 5;
    TrackOf(0)[5].m_position = CVector(0, 10, 0);
    AddKey(scene, false, 20);
    EXPECT_EQ(TrackOf(0)[20].m_position, CVector(0, 10, 0));
    EXPECT_EQ(TrackOf(0)[20].m_key, 1);
    EXPECT_EQ(TrackOf(0)[10].m_position, CVector(0, 5, 0)); // re-filled between the keys
    EXPECT_EQ(TrackOf(0)[60].m_position, CVector(0, 10, 0)); // held after the last key
    EXPECT_EQ(Keys(1), std::vector<int>{0});

    AddKey(scene, true, 30); // every model of the selected character, not character B
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 20, 30}));
    EXPECT_EQ(Keys(1), (std::vector<int>{0, 30}));
    EXPECT_EQ(Keys(2), std::vector<int>{0});

    const CTessaline before = scene;
    for (long long frame : {-1LL, 61LL, LLONG_MIN, LLONG_MAX}) {
        AddKey(scene, false, frame);
    }
    ClearSelection(scene);
    AddKey(scene, false, 0);
    for (int model = 0; model < 3; ++model) {
        EXPECT_EQ(TrackOf(model), before.m_models[static_cast<std::size_t>(model)].m_tracks[0]);
    }
}

TEST_F(KeyEditingTest, DeletingAKeyRefillsAroundItAndFrameZeroKeepsItsKey)
{
    TrackOf(0)[10].m_key = 1;
    TrackOf(0)[10].m_position = CVector(10, 0, 0);
    TrackOf(0)[20].m_key = 1;
    DeleteKey(scene, false, 0);
    DeleteKey(scene, false, -3);
    DeleteKey(scene, false, 99);
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 10, 20}));
    DeleteKey(scene, false, 10);
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 20}));
    EXPECT_EQ(TrackOf(0)[10].m_position, CVector(0, 0, 0));
}

TEST_F(KeyEditingTest, InsertingFramesMovesLaterKeysBack)
{
    TrackOf(0)[10].m_key = 1;
    TrackOf(0)[10].m_position = CVector(15, 0, 0);
    g_currentFrame = 7;
    ASSERT_TRUE(InsertFrames(scene, 3, 5));
    EXPECT_EQ(g_lastFrame, 65);
    EXPECT_EQ(g_prevLastFrame, 65);
    EXPECT_EQ(TrackOf(0).size(), 66u);
    EXPECT_EQ(TrackOf(2).size(), 66u);
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 15}));
    EXPECT_EQ(TrackOf(0)[6].m_position, CVector(6, 0, 0)); // in-betweened across the gap
    EXPECT_EQ(g_currentFrame, 0);

    ASSERT_TRUE(InsertFrames(scene, 65, 0));
    EXPECT_EQ(g_lastFrame, 65);
    EXPECT_FALSE(InsertFrames(scene, 66, 1));
    EXPECT_FALSE(InsertFrames(scene, -1, 1));
    EXPECT_FALSE(InsertFrames(scene, 0, -1));
    // Counts that overflow a frame number or pass the record budget change nothing.
    EXPECT_FALSE(InsertFrames(scene, 0, INT_MAX));
    EXPECT_FALSE(InsertFrames(scene, 0, LLONG_MAX));
    EXPECT_FALSE(InsertFrames(scene, 0, kRecordBudget / 3));
    EXPECT_EQ(g_lastFrame, 65);
    EXPECT_EQ(TrackOf(0).size(), 66u);
}

TEST_F(KeyEditingTest, DeletingFramesMovesLaterKeysForwardAndKeepsOneFrame)
{
    TrackOf(0)[10].m_key = 1;
    g_currentFrame = 9;
    ASSERT_TRUE(DeleteFrames(scene, 2, 4));
    EXPECT_EQ(g_lastFrame, 57);
    EXPECT_EQ(TrackOf(0).size(), 58u);
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 7}));
    EXPECT_EQ(g_currentFrame, 0);
    EXPECT_EQ(g_prevLastFrame, 60); // a deletion leaves it

    // From frame 0: the record moved to the front becomes a key.
    ASSERT_TRUE(DeleteFrames(scene, 0, 3));
    EXPECT_EQ(Keys(0), (std::vector<int>{0, 3}));
    EXPECT_EQ(Keys(1), std::vector<int>{0});

    EXPECT_FALSE(DeleteFrames(scene, 0, g_lastFrame)); // every frame
    EXPECT_FALSE(DeleteFrames(scene, 5, 4));
    EXPECT_FALSE(DeleteFrames(scene, -1, 2));
    EXPECT_FALSE(DeleteFrames(scene, 0, LLONG_MAX));
    EXPECT_FALSE(DeleteFrames(scene, LLONG_MIN, 0));
    ASSERT_TRUE(DeleteFrames(scene, 1, g_lastFrame)); // all but one
    EXPECT_EQ(g_lastFrame, 0);
    EXPECT_EQ(TrackOf(2).size(), 1u);

    scene.m_models.clear(); // without models the last frame still cannot go
    EXPECT_FALSE(DeleteFrames(scene, 0, 0));
    EXPECT_EQ(g_lastFrame, 0);
}

TEST_F(KeyEditingTest, TypingTheLastFrameSizesEveryTrack)
{
    TrackOf(0)[60].m_key = 1;
    ASSERT_EQ(SetLastFrame(scene, "120", messages), SetLastFrameResult::kSet);
    EXPECT_EQ(g_lastFrame, 120);
    EXPECT_EQ(g_prevLastFrame, 60);
    EXPECT_EQ(TrackOf(1).size(), 121u);
    EXPECT_EQ(TrackOf(0)[60].m_key, 1); // frames up to the old last frame are kept
    EXPECT_EQ(TrackOf(0)[61], CAnimation{});

    ASSERT_EQ(SetLastFrame(scene, "-4", messages), SetLastFrameResult::kNegative);
    EXPECT_EQ(g_lastFrame, 120);
    EXPECT_EQ(g_prevLastFrame, 120);
    for (const char* text : {"99999999999", "2147483647", "9223372036854775808", "40000000"}) {
        ASSERT_EQ(SetLastFrame(scene, text, messages), SetLastFrameResult::kOutOfRange) << text;
    }
    EXPECT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(messages.messages[0], "フレーム番号が範囲外です！");
    EXPECT_EQ(g_lastFrame, 120);
    EXPECT_EQ(TrackOf(0).size(), 121u);

    ASSERT_EQ(SetLastFrame(scene, "  30abc", messages), SetLastFrameResult::kSet);
    EXPECT_EQ(TrackOf(2).size(), 31u);
    ASSERT_EQ(SetLastFrame(scene, "abc", messages), SetLastFrameResult::kSet); // atol gives 0
    EXPECT_EQ(TrackOf(0).size(), 1u);
    EXPECT_EQ(TrackOf(0)[0].m_key, 1);

    // Without models the length must still fit one model's track, which the
    // next import is given.
    CTessaline empty;
    EXPECT_EQ(SetLastFrame(empty, std::to_string(kRecordBudget), messages), SetLastFrameResult::kOutOfRange);
    EXPECT_EQ(SetLastFrame(empty, "2000000000", messages), SetLastFrameResult::kOutOfRange);
    EXPECT_EQ(SetLastFrame(empty, std::to_string(kRecordBudget - 1), messages), SetLastFrameResult::kSet);
}

TEST(AtolC, ReadsLikeTheCLibrary)
{
    EXPECT_EQ(AtolC(" \t-42x"), -42);
    EXPECT_EQ(AtolC("+7"), 7);
    EXPECT_EQ(AtolC("x7"), 0);
    EXPECT_EQ(AtolC(""), 0);
    EXPECT_EQ(AtolC("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(AtolC("99999999999999999999"), LLONG_MAX);
    EXPECT_EQ(AtolC("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(AtolC("-99999999999999999999"), LLONG_MIN);
}

} // namespace vantomo
