// Onion skinning: the shown character's poses at frames around the current
// one, drawn as translucent, tinted ghosts behind the current pose, so the
// spacing of a motion can be judged without playing it. Which ghosts to draw
// is worked out here without a device, so the 3D view, the command-line tool
// and the tests share one rule; the renderer draws the ghosts it is handed.
//
// The choice is a viewing setting of the user, never part of the project.
#pragma once

#include <vector>

#include "scene/CTessaline.h"

namespace vantomo {

// Most ghosts on each side of the current frame.
inline constexpr int kMaxOnionFrames = 3;

struct OnionSkin {
    bool enabled = false;
    // 0: one ghost each way, at the shown character's previous and next key.
    // 1 .. kMaxOnionFrames: that many ghosts each way, one per frame.
    int frames = 0;

    bool operator==(const OnionSkin&) const = default;
};

// `frames` brought into 0 .. kMaxOnionFrames, so a stored setting from
// anywhere (an edited settings file) is a valid one.
OnionSkin ClampedOnionSkin(OnionSkin onion);

// The tints, as (red, green, blue) in 0..1: frames before the current one in
// one colour, frames after it in another.
inline constexpr float kOnionEarlierTint[3] = {1.0f, 0.35f, 0.25f};
inline constexpr float kOnionLaterTint[3] = {0.25f, 0.65f, 1.0f};
// Opacity of a ghost by its distance (1 = the nearest on its side).
inline constexpr float kOnionOpacity[kMaxOnionFrames] = {0.5f, 0.35f, 0.22f};

// One ghost: the shown character posed at (animation, frame), drawn flat in
// `colour` (red, green, blue, opacity).
struct OnionGhost {
    int animation = 0;
    int frame = 0;
    bool later = false; // after the current frame
    int distance = 1;   // 1 = the nearest ghost on its side
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// The ghosts around (animation, frame) for the setting `onion`, farthest
// first so the nearer ones are drawn over them. None while onion skinning is
// off or the animation has no such frame. Ghost frames lie in 0 .. the
// animation's last frame; nothing wraps round, so the first frame has no
// earlier ghost and the last none after it.
std::vector<OnionGhost> OnionGhosts(const CTessaline& scene, int animation, int frame, OnionSkin onion);

// The nearest key of the shown character (any model of m_selectedCharacter)
// before or after `frame` in `animation`, or -1 when there is none. Frame 0
// always counts as a key, as in-betweening has it.
int PreviousCharacterKey(const CTessaline& scene, int animation, int frame);
int NextCharacterKey(const CTessaline& scene, int animation, int frame);

} // namespace vantomo
