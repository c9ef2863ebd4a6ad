#include "document/Navigation.h"

#include <cmath>

#include "animation/Pose.h"
#include "scene/AppValues.h"
#include "base/Numbers.h"

namespace vantomo {

namespace {

void StopPlaying() { g_playing = 0; }

bool IsKeyAt(const Track& track, int frame)
{
    if (frame == 0) {
        return true;
    }
    return frame > 0 && static_cast<std::size_t>(frame) < track.size() &&
           track[static_cast<std::size_t>(frame)].m_key == 1;
}

const Track* SelectedTrack(const CTessaline& scene)
{
    const CModel* model = scene.GetSelectedModel();
    if (model == nullptr || g_currentAnimation < 0 ||
        static_cast<std::size_t>(g_currentAnimation) >= model->m_tracks.size()) {
        return nullptr;
    }
    return &model->m_tracks[static_cast<std::size_t>(g_currentAnimation)];
}

void SearchKey(const CTessaline& scene, int step)
{
    const Track* track = SelectedTrack(scene);
    if (track == nullptr || track->empty()) {
        return;
    }
    const int last = g_lastFrame < 0 ? 0 : g_lastFrame;
    int frame = g_currentFrame;
    for (long long n = 0; n <= static_cast<long long>(last); ++n) {
        frame += step;
        if (frame > last) {
            frame = 0;
        } else if (frame < 0) {
            frame = last;
        }
        if (IsKeyAt(*track, frame)) {
            g_currentFrame = frame;
            return;
        }
    }
}

} // namespace

void FirstFrame(CTessaline& scene)
{
    StopPlaying();
    g_currentFrame = 0;
    InbetweenAll(scene);
}

void LastFrame(CTessaline& scene)
{
    StopPlaying();
    g_currentFrame = g_lastFrame;
    InbetweenAll(scene);
}

void NextFrame(CTessaline& scene)
{
    StopPlaying();
    g_currentFrame += 1;
    if (g_currentFrame > g_lastFrame) {
        g_currentFrame = 0;
    }
    InbetweenAll(scene);
}

void PrevFrame(CTessaline& scene)
{
    StopPlaying();
    g_currentFrame -= 1;
    if (g_currentFrame < 0) {
        g_currentFrame = g_lastFrame;
    }
    InbetweenAll(scene);
}

void NextKeyFrame(CTessaline& scene)
{
    StopPlaying();
    InbetweenAll(scene);
    NextKey(scene);
}

void PrevKeyFrame(CTessaline& scene)
{
    StopPlaying();
    InbetweenAll(scene);
    PrevKey(scene);
}

void NextKey(const CTessaline& scene) { SearchKey(scene, +1); }

void PrevKey(const CTessaline& scene) { SearchKey(scene, -1); }

float ParseRate(std::string_view text)
{
    const float rate = static_cast<float>(AtofC(text));
    // Zero, negative, tiny, huge and non-numbers would give a zero or undefined period.
    if (!std::isfinite(rate) || rate < 0.001f || rate > 1000000.0f) {
        return 30.0f;
    }
    return rate;
}

int TimerPeriodMs(float fps)
{
    if (!std::isfinite(fps) || fps < 0.001f || fps > 1000000.0f) {
        fps = 30.0f;
    }
    const float period = (1.0f / fps) * 1000.0f;
    const int ms = static_cast<int>(std::trunc(period));
    return ms < 1 ? 1 : ms;
}

void Playback::Play(CTessaline& scene, std::string_view rateText) { Play(scene, ParseRate(rateText)); }

void Playback::Play(CTessaline& scene, float rate)
{
    InbetweenAll(scene);
    scene.m_fps = rate;
    m_periodMs = TimerPeriodMs(rate);
    m_elapsedMs = 0;
    m_running = true;
    g_playing = 1;
}

void Playback::Stop()
{
    m_running = false;
    m_elapsedMs = 0;
    g_playing = 0;
}

void Playback::SelectRate(CTessaline& scene, std::string_view itemText)
{
    SelectRate(scene, ParseRate(itemText));
}

void Playback::SelectRate(CTessaline& scene, float rate)
{
    scene.m_fps = rate;
    if (g_playing == 1 && m_running) {
        m_periodMs = TimerPeriodMs(rate);
        m_elapsedMs = 0;
    } else {
        Stop();
    }
}

void Playback::Tick()
{
    g_currentFrame += 1;
    if (g_currentFrame > g_lastFrame) {
        g_currentFrame = 0;
    }
}

int Playback::Advance(int elapsedMs)
{
    // Playback also ends when something else cleared g_playing (a navigation command).
    if (!m_running || g_playing != 1) {
        m_running = false;
        return 0;
    }
    m_elapsedMs += elapsedMs > 0 ? elapsedMs : 0;
    if (m_elapsedMs < m_periodMs) {
        return 0;
    }
    m_elapsedMs %= m_periodMs;
    Tick();
    return 1;
}

} // namespace vantomo
