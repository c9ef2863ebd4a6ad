// The onion skin's pictures: ghosts exactly where the model stands when posed
// by hand at the ghosts' frames, tinted and translucent, behind the current
// pose, and nothing else of the picture changed.
#include "RenderFixture.h"
#include "SceneParts.h"
#include "animation/Pose.h"
#include "render/OnionSkin.h"

namespace vantomo {

namespace {

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

} // namespace

TEST_F(RenderTest, OnionGhostsStandWhereTheModelIsPosedByHandTintedAndBehindIt)
{
    // A magenta box walking along x, keyed at -100, 0 and +100 on frames 0, 10
    // and 20, seen from the front.
    CTessaline scene;
    scene.m_materials.push_back(FlatColour(1, 1, 0, 1));
    scene.m_models.push_back(Box(6, -1, {-20, 40, -20}, {20, 80, 20}, 1));
    Finish(scene);
    Track& track = scene.m_models[0].m_tracks[0];
    Key(scene.m_models[0], 0).m_position = {-100, 0, 0};
    Key(scene.m_models[0], 20).m_position = {100, 0, 0};
    Key(scene.m_models[0], 10);
    Inbetween(scene.m_models[0]);
    scene.GetCameraRecord().m_axis = {0, 0, 0};
    scene.GetCameraRecord().m_position = {0, -20, -800};
    const int w = 240, h = 120;
    const Rgb clear{30, 65, 90};

    // At frame 10 the key ghosts stand apart from the box; frame ghosts overlap it.
    for (const OnionSkin onion : {OnionSkin{true, 0}, OnionSkin{true, 2}}) {
        g_currentFrame = 10;
        const std::vector<OnionGhost> ghosts = OnionGhosts(scene, 0, 10, onion);
        const Picture picture = Draw(scene, w, h, ghosts);
        const Picture plain = Draw(scene, w, h);
        CTessaline empty = scene;
        empty.m_models[0].m_visible = 0;
        const Picture ground = Draw(empty, w, h);
        std::vector<Picture> posed; // the box posed by hand as each ghost
        for (const OnionGhost& ghost : ghosts) {
            CTessaline copy = scene;
            copy.m_models[0].m_tracks[0][10].CopyPose(track[static_cast<std::size_t>(ghost.frame)]);
            posed.push_back(Draw(copy, w, h));
        }
        int tinted[2] = {0, 0};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Rgb seen = PixelAt(picture, x, y);
                const Rgb back = PixelAt(ground, x, y);
                if (!Same(PixelAt(plain, x, y), back)) {
                    ASSERT_TRUE(Same(seen, PixelAt(plain, x, y))) << "the pose covers the ghosts at " << x << ", " << y;
                    continue;
                }
                const OnionGhost* on = nullptr; // the nearest ghost here is drawn last
                for (std::size_t g = 0; g < ghosts.size(); ++g) {
                    on = Same(PixelAt(posed[g], x, y), back) ? on : &ghosts[g];
                }
                // Outside the ghosts, and on the grid's lines, which the ghosts
                // leave no depth to hide, the picture is the one without them.
                if (on == nullptr || !Same(back, clear)) {
                    ASSERT_TRUE(Same(seen, back)) << x << ", " << y << ": " << seen;
                    continue;
                }
                // Translucent, and pulled towards red before the frame, blue after it.
                const int red = seen.r - back.r;
                const int blue = seen.b - back.b;
                ASSERT_FALSE(Near(seen, {255, 0, 255}, 40)) << x << ", " << y;
                ASSERT_TRUE(on->later ? blue > 0 && blue > red : red > 0 && red > blue) << x << ", " << y << ": " << seen;
                ++tinted[on->later ? 1 : 0];
            }
        }
        EXPECT_GT(tinted[0], 20);
        EXPECT_GT(tinted[1], 20);
    }
}

} // namespace vantomo
