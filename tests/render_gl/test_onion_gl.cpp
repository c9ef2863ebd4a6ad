// The onion skin's pictures: ghosts exactly where the model stands when posed
// by hand at the ghosts' frames, tinted and translucent, behind the current
// pose, and nothing else of the picture changed.
#include "RenderFixture.h"
#include "SceneParts.h"
#include "animation/Pose.h"
#include "render/OnionSkin.h"

namespace vantomo {

namespace {

// A magenta box walking along x: keyed at -100 on frame 0, 0 on frame 10 and
// +100 on frame 20, seen straight from the front, above the ground grid's
// horizon so no grid line runs behind it.
CTessaline WalkingBox()
{
    CTessaline scene;
    scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
    scene.m_models.push_back(Box(6, -1, {-20, 40, -20}, {20, 80, 20}, 1));
    Finish(scene);
    CModel& box = scene.m_models[0];
    Key(box, 0).m_position = {-100, 0, 0};
    Key(box, 10).m_position = {0, 0, 0};
    Key(box, 20).m_position = {100, 0, 0};
    Inbetween(box);
    CAnimation& camera = scene.GetCameraRecord();
    camera.m_axis = {0, 0, 0};
    camera.m_position = {0, -20, -800};
    return scene;
}

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

class OnionSkinTest : public RenderTest {
protected:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 120;

    // The picture at `frame` with the model posed by hand as it is at `pose`
    // (its own record of `frame` overwritten), without ghosts.
    Picture PosedAs(CTessaline scene, int frame, int pose)
    {
        Track& track = scene.m_models[0].m_tracks[0];
        track[static_cast<std::size_t>(frame)].CopyPose(track[static_cast<std::size_t>(pose)]);
        g_currentFrame = frame;
        return Draw(scene, kWidth, kHeight);
    }

    // Checks the onion picture of `scene` at `frame` pixel by pixel against
    // pictures of the model posed by hand at each ghost's frame.
    void CheckGhosts(CTessaline& scene, int frame, OnionSkin onion, int expectedGhosts)
    {
        g_currentFrame = frame;
        const std::vector<OnionGhost> ghosts = OnionGhosts(scene, 0, frame, onion);
        ASSERT_EQ(static_cast<int>(ghosts.size()), expectedGhosts);
        const Picture onionPicture = Draw(scene, kWidth, kHeight, ghosts);
        const Picture plain = Draw(scene, kWidth, kHeight);
        CTessaline empty = scene;
        empty.m_models[0].m_visible = 0;
        const Picture ground = Draw(empty, kWidth, kHeight);
        std::vector<Picture> posed;
        for (const OnionGhost& ghost : ghosts) {
            posed.push_back(PosedAs(scene, frame, ghost.frame));
        }
        g_currentFrame = frame;

        int earlier = 0, later = 0, covered = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const Rgb seen = PixelAt(onionPicture, x, y);
                const Rgb background = PixelAt(ground, x, y);
                if (!Same(PixelAt(plain, x, y), background)) {
                    // The current pose covers every ghost.
                    ASSERT_TRUE(Same(seen, PixelAt(plain, x, y))) << x << ", " << y;
                    continue;
                }
                // The ghost nearest the frame is drawn last, over the farther ones.
                const OnionGhost* on = nullptr;
                for (std::size_t g = 0; g < ghosts.size(); ++g) {
                    if (!Same(PixelAt(posed[g], x, y), background)) {
                        on = &ghosts[g];
                    }
                }
                if (on == nullptr || !Same(background, kClear)) {
                    // Outside every ghost the picture is the one without them;
                    // the grid's lines, drawn after the ghosts, which leave no
                    // depth behind, stay on top of them.
                    ASSERT_TRUE(Same(seen, background)) << x << ", " << y << ": " << seen;
                    continue;
                }
                // Translucent: neither the background nor the opaque model.
                ASSERT_FALSE(Same(seen, background)) << x << ", " << y;
                ASSERT_FALSE(Near(seen, kMagentaRgb, 40)) << x << ", " << y;
                // Tinted: an earlier ghost pulls the background towards red,
                // a later one towards blue, whatever its shading.
                const int red = seen.r - background.r;
                const int blue = seen.b - background.b;
                if (on->later) {
                    ASSERT_TRUE(blue > 0 && blue > red) << x << ", " << y << ": " << seen;
                    ++later;
                } else {
                    ASSERT_TRUE(red > 0 && red > blue) << x << ", " << y << ": " << seen;
                    ++earlier;
                }
            }
        }
        for (const OnionGhost& ghost : ghosts) {
            ++covered;
            EXPECT_GT(ghost.later ? later : earlier, 20) << "ghost of frame " << ghost.frame;
        }
        EXPECT_EQ(covered, expectedGhosts);
    }

    static constexpr Rgb kMagentaRgb{255, 0, 255};
    static constexpr Rgb kClear{30, 65, 90};
};

} // namespace

TEST_F(OnionSkinTest, KeyGhostsStandWhereTheModelIsPosedAtThePreviousAndNextKey)
{
    CTessaline scene = WalkingBox();
    CheckGhosts(scene, 10, {true, 0}, 2);
    // Between keys the ghosts are those keys; the first frame has only a later one.
    CheckGhosts(scene, 14, {true, 0}, 2);
    CheckGhosts(scene, 0, {true, 0}, 1);
}

TEST_F(OnionSkinTest, FrameGhostsOverlapTheCurrentPoseAndStayBehindIt)
{
    CTessaline scene = WalkingBox();
    // At frames 9 and 11 (and 8, 12) the box overlaps itself at frame 10.
    CheckGhosts(scene, 10, {true, 1}, 2);
    CheckGhosts(scene, 10, {true, 2}, 4);
    // Without ghosts the renderer draws what it always drew.
    g_currentFrame = 10;
    const Picture none = Draw(scene, kWidth, kHeight, OnionGhosts(scene, 0, 10, {false, 2}));
    const Picture plain = Draw(scene, kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_TRUE(Same(PixelAt(none, x, y), PixelAt(plain, x, y)));
        }
    }
}

} // namespace vantomo
