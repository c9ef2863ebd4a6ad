// Which ghosts the onion skin draws: the frames, their order, their tints.
#include <gtest/gtest.h>

#include "animation/SceneBuilder.h"
#include "render/OnionSkin.h"

namespace vantomo {

namespace {

// The ghosts' frames, later ones negative, in drawing order.
std::vector<int> Frames(const CTessaline& scene, int frame, OnionSkin onion, int animation = 0)
{
    std::vector<int> frames;
    for (const OnionGhost& ghost : OnionGhosts(scene, animation, frame, onion)) {
        frames.push_back(ghost.later ? -ghost.frame : ghost.frame);
    }
    return frames;
}

} // namespace

TEST(OnionSkin, GhostsStandAtTheShownCharactersKeysOrFramesAndNeverWrap)
{
    CTessaline scene;
    scene.m_characterNames.push_back("Character_1");
    CModel body = MakeAnimatedModel(6, -1, 61);
    Key(body, 20);
    Key(body, 40);
    CModel arm = MakeAnimatedModel(7, 0, 61);
    Key(arm, 25);
    arm.m_visible = 0; // a hidden model's keys still shape the character's motion
    CModel other = MakeAnimatedModel(8, ~1, 61);
    Key(other, 15);
    scene.m_models = {body, arm, other};
    scene.RefreshDerived();
    scene.BuildTraversal();

    EXPECT_EQ(Frames(scene, 22, {true, 0}), (std::vector<int>{20, -25}));
    EXPECT_EQ(Frames(scene, 20, {true, 0}), (std::vector<int>{0, -25}));
    EXPECT_EQ(Frames(scene, 0, {true, 0}), (std::vector<int>{-20}));
    EXPECT_EQ(Frames(scene, 45, {true, 0}), (std::vector<int>{40}));
    EXPECT_EQ(Frames(scene, 30, {true, 2}), (std::vector<int>{28, -32, 29, -31}));
    EXPECT_EQ(Frames(scene, 1, {true, 3}), (std::vector<int>{-4, -3, 0, -2}));
    EXPECT_EQ(Frames(scene, 60, {true, 9}), (std::vector<int>{57, 58, 59})); // brought into range
    EXPECT_TRUE(Frames(scene, 30, {false, 2}).empty());
    EXPECT_TRUE(Frames(scene, 61, {true, 0}).empty());
    EXPECT_TRUE(Frames(scene, 30, {true, 1}, 1).empty()); // no such animation
    scene.m_selectedCharacter = 1;
    EXPECT_EQ(Frames(scene, 22, {true, 0}), (std::vector<int>{15}));

    // Warm before, cool after, fainter with distance.
    const std::vector<OnionGhost> ghosts = OnionGhosts(scene, 0, 30, {true, 2});
    ASSERT_EQ(ghosts.size(), 4u);
    EXPECT_GT(ghosts[2].colour[0], ghosts[2].colour[2]);
    EXPECT_LT(ghosts[3].colour[0], ghosts[3].colour[2]);
    EXPECT_LT(ghosts[0].colour[3], ghosts[2].colour[3]);
    EXPECT_LT(ghosts[2].colour[3], 1.0f);
}

} // namespace vantomo
