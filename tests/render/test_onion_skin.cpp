// Which ghosts the onion skin draws: the frames, their order, their tints.
#include <gtest/gtest.h>

#include "animation/SceneBuilder.h"
#include "render/OnionSkin.h"

namespace vantomo {

namespace {

struct Seen {
    int frame;
    bool later;
    int distance;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s)
{
    return out << (s.later ? "later " : "earlier ") << s.frame << " at " << s.distance;
}

std::vector<Seen> Frames(const CTessaline& scene, int frame, OnionSkin onion, int animation = 0)
{
    std::vector<Seen> seen;
    for (const OnionGhost& ghost : OnionGhosts(scene, animation, frame, onion)) {
        EXPECT_EQ(ghost.animation, animation);
        seen.push_back({ghost.frame, ghost.later, ghost.distance});
    }
    return seen;
}

// Two models of the shown character keyed at different frames, and one of
// another character keyed in between, over 61 frames of two animations.
CTessaline KeyedScene()
{
    CTessaline scene;
    scene.m_characterNames.push_back("Character_1");
    scene.m_animationNames.push_back("Animation_1");
    CModel body = MakeAnimatedModel(6, -1, 61, 2);
    Key(body, 20);
    Key(body, 40);
    Key(body, 50, 1);
    CModel arm = MakeAnimatedModel(7, 0, 61, 2);
    Key(arm, 25);
    arm.m_visible = 0; // a hidden model's keys still shape the character's motion
    CModel other = MakeAnimatedModel(8, ~1, 61, 2);
    Key(other, 15);
    Key(other, 30);
    scene.m_models = {body, arm, other};
    scene.RefreshDerived();
    scene.BuildTraversal();
    return scene;
}

} // namespace

TEST(OnionSkin, KeyGhostsStandAtTheShownCharactersPreviousAndNextKey)
{
    const CTessaline scene = KeyedScene();
    const OnionSkin keys{true, 0};
    EXPECT_EQ(Frames(scene, 22, keys), (std::vector<Seen>{{20, false, 1}, {25, true, 1}}));
    EXPECT_EQ(Frames(scene, 20, keys), (std::vector<Seen>{{0, false, 1}, {25, true, 1}})); // not itself
    EXPECT_EQ(Frames(scene, 30, keys), (std::vector<Seen>{{25, false, 1}, {40, true, 1}}));
    EXPECT_EQ(Frames(scene, 0, keys), (std::vector<Seen>{{20, true, 1}}));   // nothing before the start
    EXPECT_EQ(Frames(scene, 45, keys), (std::vector<Seen>{{40, false, 1}})); // the pose is held after the last
    EXPECT_EQ(Frames(scene, 60, keys, 1), (std::vector<Seen>{{50, false, 1}}));
    EXPECT_EQ(PreviousCharacterKey(scene, 0, 1), 0);
    EXPECT_EQ(NextCharacterKey(scene, 0, 40), -1);

    // The other character has keys of its own.
    CTessaline other = scene;
    other.m_selectedCharacter = 1;
    EXPECT_EQ(Frames(other, 22, keys), (std::vector<Seen>{{15, false, 1}, {30, true, 1}}));

    const std::vector<OnionGhost> ghosts = OnionGhosts(scene, 0, 22, keys);
    ASSERT_EQ(ghosts.size(), 2u);
    EXPECT_EQ(ghosts[0].colour[0], kOnionEarlierTint[0]);
    EXPECT_EQ(ghosts[0].colour[2], kOnionEarlierTint[2]);
    EXPECT_EQ(ghosts[1].colour[0], kOnionLaterTint[0]);
    EXPECT_EQ(ghosts[1].colour[2], kOnionLaterTint[2]);
    EXPECT_GT(ghosts[0].colour[0], ghosts[0].colour[2]); // warm before, cool after
    EXPECT_LT(ghosts[1].colour[0], ghosts[1].colour[2]);
    EXPECT_EQ(ghosts[0].colour[3], kOnionOpacity[0]);
    EXPECT_LT(ghosts[0].colour[3], 1.0f);
}

TEST(OnionSkin, FrameGhostsComeFarthestFirstAndStopAtTheAnimationsEnds)
{
    const CTessaline scene = KeyedScene();
    EXPECT_EQ(Frames(scene, 30, {true, 2}),
              (std::vector<Seen>{{28, false, 2}, {32, true, 2}, {29, false, 1}, {31, true, 1}}));
    EXPECT_EQ(Frames(scene, 1, {true, 3}),
              (std::vector<Seen>{{4, true, 3}, {3, true, 2}, {0, false, 1}, {2, true, 1}}));
    EXPECT_EQ(Frames(scene, 60, {true, 1}), (std::vector<Seen>{{59, false, 1}}));
    const std::vector<OnionGhost> three = OnionGhosts(scene, 0, 30, {true, 3});
    ASSERT_EQ(three.size(), 6u);
    EXPECT_LT(three[0].colour[3], three[2].colour[3]); // the farther, the fainter
    EXPECT_LT(three[2].colour[3], three[4].colour[3]);

    // A setting from outside is brought into range; off, or a frame or an
    // animation the scene does not have, draws nothing.
    EXPECT_EQ(Frames(scene, 30, {true, 9}).size(), 6u);
    EXPECT_EQ(Frames(scene, 30, {true, -4}), Frames(scene, 30, {true, 0}));
    EXPECT_EQ(ClampedOnionSkin({true, 9}), (OnionSkin{true, kMaxOnionFrames}));
    EXPECT_TRUE(Frames(scene, 30, {false, 2}).empty());
    EXPECT_TRUE(Frames(scene, 61, {true, 2}).empty());
    EXPECT_TRUE(Frames(scene, -1, {true, 0}).empty());
    EXPECT_TRUE(OnionGhosts(scene, 2, 30, {true, 1}).empty());
    EXPECT_TRUE(OnionGhosts(scene, -1, 30, {true, 1}).empty());
}

} // namespace vantomo
