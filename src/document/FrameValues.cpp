#include "document/FrameValues.h"

#include "scene/AppValues.h"

namespace vantomo {

FrameValues CurrentFrameValues()
{
    FrameValues values;
    values.animation = g_currentAnimation;
    values.frame = g_currentFrame;
    values.lastFrame = g_lastFrame;
    values.animationCount = g_animationCount;
    return values;
}

TimePoint CurrentTime() { return {g_currentAnimation, g_currentFrame}; }

TrackShape CurrentTrackShape() { return {g_animationCount, g_currentAnimation, g_lastFrame >= 0 ? g_lastFrame + 1 : 1}; }

} // namespace vantomo
