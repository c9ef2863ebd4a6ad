#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "document/Navigation.h"
#include "animation/Pose.h"

namespace vantomo {

namespace {

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        scene.m_models.push_back(MakeAnimatedModel(6, -1, 61));
        scene.m_selectedModel = 0;
    }
    Track& track() { return scene.m_models[0].m_tracks[0]; }
    CTessaline scene;
};

} // namespace

TEST_F(NavigationTest, FrameStepsWrapAtBothEnds)
{
    g_currentFrame = 60;
    NextFrame(scene);
    EXPECT_EQ(g_currentFrame, 0);
    PrevFrame(scene);
    EXPECT_EQ(g_currentFrame, 60);
    FirstFrame(scene);
    EXPECT_EQ(g_currentFrame, 0);
    LastFrame(scene);
    EXPECT_EQ(g_currentFrame, 60);
}

TEST_F(NavigationTest, NavigationBakesKeysAndStopsPlayback)
{
    Key(scene.m_models[0], 10).m_position = CVector(10, 0, 0);
    Playback playback;
    playback.Play(scene, "30");
    EXPECT_EQ(g_playing, 1);
    NextFrame(scene);
    EXPECT_EQ(g_playing, 0);
    EXPECT_EQ(track()[5].m_position, CVector(5, 0, 0));
    EXPECT_EQ(playback.Advance(1000), 0); // the timer is gone
}

TEST_F(NavigationTest, KeySearchStepsToTheNextOtherKeyAndWrapsToFrameZero)
{
    Key(scene.m_models[0], 10);
    Key(scene.m_models[0], 40);
    NextKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 10);
    NextKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 40);
    NextKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 0);
    PrevKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 40);
    g_currentFrame = 25;
    PrevKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 10);
}

TEST_F(NavigationTest, KeySearchWithFrameZeroTheOnlyKeyEndsAtZero)
{
    g_currentFrame = 30;
    NextKey(scene);
    EXPECT_EQ(g_currentFrame, 0);
    g_currentFrame = 30;
    PrevKey(scene);
    EXPECT_EQ(g_currentFrame, 0);
}

TEST_F(NavigationTest, KeySearchEndsOnTracksWithoutKeys)
{
    track()[0].m_key = 2; // a flag from a file; record 0 still counts as a key
    g_currentFrame = 5;
    NextKey(scene);
    EXPECT_EQ(g_currentFrame, 0);

    track().clear(); // an empty track: nothing to find, the frame stays
    g_currentFrame = 5;
    NextKey(scene);
    EXPECT_EQ(g_currentFrame, 5);
    PrevKey(scene);
    EXPECT_EQ(g_currentFrame, 5);

    track().resize(3); // shorter than the timeline
    track()[0].m_key = 0;
    g_currentFrame = 2;
    NextKey(scene);
    EXPECT_EQ(g_currentFrame, 0);
}

TEST_F(NavigationTest, KeySearchWithoutASelectedModelKeepsTheFrame)
{
    scene.m_selectedModel = kNoModel;
    Key(scene.m_models[0], 10).m_position = CVector(10, 0, 0);
    g_currentFrame = 3;
    NextKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 3);
    EXPECT_EQ(track()[5].m_position, CVector(5, 0, 0)); // the in-betweening still ran
    scene.m_selectedModel = 7;
    PrevKeyFrame(scene);
    EXPECT_EQ(g_currentFrame, 3);
}

TEST(PlaybackRate, TimerPeriodTruncatesInSinglePrecision)
{
    const std::pair<float, int> table[] = {{1.0f, 1000}, {5.0f, 200}, {10.0f, 100}, {15.0f, 66},
                                           {30.0f, 33},  {60.0f, 16}, {100.0f, 10}, {1000.0f, 1},
                                           {12.5f, 80},  {1e6f, 1}};
    for (const auto& [fps, period] : table) {
        EXPECT_EQ(TimerPeriodMs(fps), period) << fps;
    }
}

TEST(PlaybackRate, TextIsReadLikeAtofAndBadRatesBecomeThirty)
{
    EXPECT_EQ(ParseRate("12.5"), 12.5f);
    EXPECT_EQ(ParseRate(" 60fps"), 60.0f);
    EXPECT_EQ(ParseRate("1000"), 1000.0f);
    for (const char* bad : {"0", "-5", "", "abc", "nan", "inf", "-inf", "1e-9", "1e300", "2000000"}) {
        EXPECT_EQ(ParseRate(bad), 30.0f) << bad;
    }
}

TEST(PlaybackClock, SixtyOneFramesAtThirtyFpsLoopEveryThirtyThreeMs)
{
    ResetAppValues();
    CTessaline scene;
    Playback playback;
    playback.Play(scene, "30");
    EXPECT_EQ(playback.PeriodMs(), 33);
    std::vector<int> shown;
    for (int ms = 0; ms < 33 * 63; ++ms) {
        if (playback.Advance(1) == 1) {
            shown.push_back(g_currentFrame);
        }
    }
    ASSERT_EQ(shown.size(), 63u);
    EXPECT_EQ(shown[0], 1);
    EXPECT_EQ(shown[59], 60);
    EXPECT_EQ(shown[60], 0);
    EXPECT_EQ(shown[62], 2);
}

TEST(PlaybackClock, ALongStallFiresOneTickNotABurst)
{
    ResetAppValues();
    CTessaline scene;
    Playback playback;
    playback.Play(scene, "100");
    EXPECT_EQ(playback.Advance(5000), 1);
    EXPECT_EQ(g_currentFrame, 1);
    playback.Stop();
    EXPECT_EQ(g_playing, 0);
    EXPECT_EQ(playback.Advance(5000), 0);
}

TEST(PlaybackClock, ChangingTheRateWhilePlayingRestartsTheTimer)
{
    ResetAppValues();
    CTessaline scene;
    Playback playback;
    playback.Play(scene, "30");
    playback.SelectRate(scene, "60");
    EXPECT_EQ(scene.m_fps, 60.0f);
    EXPECT_EQ(playback.PeriodMs(), 16);
    EXPECT_TRUE(playback.IsRunning());
    playback.Stop();
    playback.SelectRate(scene, "5");
    EXPECT_EQ(scene.m_fps, 5.0f);
    EXPECT_FALSE(playback.IsRunning());
}

} // namespace vantomo
