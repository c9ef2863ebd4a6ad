// The status bar's frame-rate readout: a millisecond clock that never advances
// by more than a second between two drawn frames (so a pause does not depress
// the next reading), and a measurement taken once more frames were drawn than
// the smaller of the playback rate and twice the last measured rate.
#pragma once

#include <cstdint>
#include <functional>

namespace vantomo {

// Milliseconds of std::chrono::steady_clock, wrapped to 32 bits like the
// system millisecond clock the readout was designed on.
std::uint32_t SteadyMilliseconds();

class FpsClock {
public:
    using Now = std::function<std::uint32_t()>;

    // `now` is the clock read; tests pass a simulated one.
    explicit FpsClock(Now now = SteadyMilliseconds);

    // Base time := now; every count, time and rate := 0.
    void ResetFpsClock();

    // One drawn frame: count it, advance the clamped clock, then MeasureFps
    // with the playback rate `fps`. The new rate, or a negative value when
    // none was measured this time.
    float UpdateFps(float fps);

    // With n := trunc(fps), lowered to trunc(window limit) when above it: when
    // more than n frames were drawn since the last measurement, the rate over
    // them as frames x 999 / elapsed milliseconds (999, not 1000: the readout
    // has always shown 999/1000 of the true rate); else -1.
    float MeasureFps(float fps);

    float LastRate() const { return m_lastRate; }

private:
    Now m_now;
    std::uint32_t m_base = 0;
    std::uint32_t m_elapsed = 0;
    std::uint32_t m_elapsedAtMeasure = 0;
    std::uint32_t m_frames = 0;
    std::uint32_t m_framesAtMeasure = 0;
    float m_lastRate = 0.0f;
    float m_windowLimit = 0.0f;
};

} // namespace vantomo
