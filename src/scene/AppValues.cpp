#include "scene/AppValues.h"

#include "scene/CTessaline.h"

namespace vantomo {

int g_currentFrame = 0;
int g_lastFrame = 60;
int g_prevLastFrame = 60;
int g_currentAnimation = 0;
int g_animationCount = 1;
int g_playing = 0;

void ResetAppValues()
{
    g_currentFrame = 0;
    g_lastFrame = 60;
    g_prevLastFrame = 60;
    g_currentAnimation = 0;
    g_animationCount = 1;
    g_playing = 0;
}

void SyncAnimationCount(const CTessaline& scene)
{
    g_animationCount = static_cast<int>(scene.m_animationNames.size());
    if (g_currentAnimation >= g_animationCount) {
        g_currentAnimation = g_animationCount - 1;
    }
    if (g_currentAnimation < 0) {
        g_currentAnimation = 0;
    }
}

} // namespace vantomo
