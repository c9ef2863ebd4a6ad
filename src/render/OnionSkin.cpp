#include "render/OnionSkin.h"

#include <algorithm>

namespace vantomo {

namespace {

// The track of `animation` of every model of the shown character, as a walk
// over its records; `visit` returns true to stop.
template <typename Visit>
void ForEachCharacterTrack(const CTessaline& scene, int animation, Visit visit)
{
    if (animation < 0) {
        return;
    }
    for (const CModel& model : scene.m_models) {
        if (model.m_character != scene.m_selectedCharacter ||
            static_cast<std::size_t>(animation) >= model.m_tracks.size()) {
            continue;
        }
        visit(model.m_tracks[static_cast<std::size_t>(animation)]);
    }
}

OnionGhost MakeGhost(int animation, int frame, bool later, int distance)
{
    OnionGhost ghost;
    ghost.animation = animation;
    ghost.frame = frame;
    ghost.later = later;
    ghost.distance = distance;
    const float* tint = later ? kOnionLaterTint : kOnionEarlierTint;
    ghost.colour[0] = tint[0];
    ghost.colour[1] = tint[1];
    ghost.colour[2] = tint[2];
    ghost.colour[3] = kOnionOpacity[std::clamp(distance, 1, kMaxOnionFrames) - 1];
    return ghost;
}

} // namespace

OnionSkin ClampedOnionSkin(OnionSkin onion)
{
    onion.frames = std::clamp(onion.frames, 0, kMaxOnionFrames);
    return onion;
}

int PreviousCharacterKey(const CTessaline& scene, int animation, int frame)
{
    if (frame <= 0) {
        return -1;
    }
    // Frame 0 is a key of every track; a later key of any model is nearer.
    int best = 0;
    ForEachCharacterTrack(scene, animation, [&](const Track& track) {
        const long long top = std::min<long long>(frame - 1, static_cast<long long>(track.size()) - 1);
        for (long long f = top; f > best; --f) {
            if (track[static_cast<std::size_t>(f)].m_key == 1) {
                best = static_cast<int>(f);
                break;
            }
        }
    });
    return best;
}

int NextCharacterKey(const CTessaline& scene, int animation, int frame)
{
    int best = -1;
    ForEachCharacterTrack(scene, animation, [&](const Track& track) {
        const long long end = best >= 0 ? best : static_cast<long long>(track.size());
        for (long long f = std::max(frame + 1LL, 1LL); f < end && f < static_cast<long long>(track.size()); ++f) {
            if (track[static_cast<std::size_t>(f)].m_key == 1) {
                best = static_cast<int>(f);
                break;
            }
        }
    });
    return best;
}

std::vector<OnionGhost> OnionGhosts(const CTessaline& scene, int animation, int frame, OnionSkin onion)
{
    std::vector<OnionGhost> ghosts;
    if (!onion.enabled || animation < 0 || animation >= static_cast<int>(scene.m_animationNames.size())) {
        return ghosts;
    }
    const int last = scene.FrameCountOf(animation) - 1;
    if (frame < 0 || frame > last) {
        return ghosts;
    }
    onion = ClampedOnionSkin(onion);
    if (onion.frames == 0) {
        const int before = PreviousCharacterKey(scene, animation, frame);
        const int after = NextCharacterKey(scene, animation, frame);
        if (before >= 0) {
            ghosts.push_back(MakeGhost(animation, before, false, 1));
        }
        if (after >= 0 && after <= last) {
            ghosts.push_back(MakeGhost(animation, after, true, 1));
        }
        return ghosts;
    }
    for (int distance = onion.frames; distance >= 1; --distance) {
        if (frame - distance >= 0) {
            ghosts.push_back(MakeGhost(animation, frame - distance, false, distance));
        }
        if (frame + distance <= last) {
            ghosts.push_back(MakeGhost(animation, frame + distance, true, distance));
        }
    }
    return ghosts;
}

} // namespace vantomo
