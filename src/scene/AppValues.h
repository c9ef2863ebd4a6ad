// The application-wide frame values that sit beside the scene root.
#pragma once

#include <string>

namespace vantomo {

extern int g_currentFrame;     // frame shown and edited, 0 .. g_lastFrame
extern int g_lastFrame;        // last frame of the current animation (frame count - 1)
extern int g_prevLastFrame;    // last frame before the latest change of the frame count
extern int g_currentAnimation; // animation shown and edited in every model
extern int g_animationCount;   // copy of the number of animation names
extern int g_playing;          // 1 while playback runs

class CTessaline;

// g_animationCount := the scene's animation count, and g_currentAnimation
// kept inside the list (the last animation when it lay beyond the end). The
// scene itself never writes these values; the operations that change its
// animation list call this.
void SyncAnimationCount(const CTessaline& scene);

// The values a freshly started program has (frame 0 of 61, not playing).
void ResetAppValues();

} // namespace vantomo
