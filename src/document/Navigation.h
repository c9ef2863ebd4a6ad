// The frame navigation commands and the playback engine.
//
// Each navigation command stops playback (g_playing := 0), as the control panel
// does when it receives the navigation hint. The platform timer lives in the
// desktop program; Playback here is clock-independent so tests can step it.
#pragma once

#include <string_view>

#include "scene/CTessaline.h"

namespace vantomo {

// g_currentFrame := 0, then Inbetween on every model.
void FirstFrame(CTessaline& scene);
// g_currentFrame := g_lastFrame, then Inbetween on every model.
void LastFrame(CTessaline& scene);
// + 1, wrapping past g_lastFrame to 0, then Inbetween on every model.
void NextFrame(CTessaline& scene);
// - 1, wrapping below 0 to g_lastFrame, then Inbetween on every model.
void PrevFrame(CTessaline& scene);
// Inbetween on every model, then NextKey / PrevKey.
void NextKeyFrame(CTessaline& scene);
void PrevKeyFrame(CTessaline& scene);

// On the selected model's track of the current animation: step (at least once,
// wrapping) until a key is reached. Frame 0 always counts as a key. The search
// gives up after g_lastFrame + 1 steps and stays on the start frame; with no
// valid model selected the frame does not change.
void NextKey(const CTessaline& scene);
void PrevKey(const CTessaline& scene);

// A rate as typed: C atof of the text; a rate that is not finite or lies
// outside [0.001, 1000000] (which includes 0 and negatives) becomes 30.
float ParseRate(std::string_view text);

// Timer period in ms: trunc((1 / fps) * 1000) in single precision, at least 1.
int TimerPeriodMs(float fps);

// Playback: a periodic tick that advances the frame, wrapping after the last.
class Playback {
public:
    // Play: Inbetween on every model, the scene's m_fps := the rate of the text, the timer
    // (re)started with its period, g_playing := 1. Play while playing restarts.
    void Play(CTessaline& scene, std::string_view rateText);
    // The same at a rate ParseRate has read.
    void Play(CTessaline& scene, float rate);
    // Stop: timer killed, g_playing := 0.
    void Stop();
    // The rate list's selection changed: while playing the new rate applies at
    // once and the timer restarts; while stopped the rate is only recorded.
    // The rate becomes the scene's m_fps either way.
    void SelectRate(CTessaline& scene, std::string_view itemText);
    void SelectRate(CTessaline& scene, float rate);

    bool IsRunning() const { return m_running; }
    int PeriodMs() const { return m_periodMs; }

    // One timer tick: g_currentFrame + 1, wrapping to 0 past g_lastFrame.
    // No in-betweening runs.
    void Tick();

    // Let `elapsedMs` pass. Like a platform timer that keeps at most one tick
    // pending, a long pause fires one tick, not a burst. Returns the ticks fired.
    int Advance(int elapsedMs);

private:
    bool m_running = false;
    int m_periodMs = 33;
    long long m_elapsedMs = 0;
};

} // namespace vantomo
