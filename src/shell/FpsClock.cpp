#include "shell/FpsClock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace vantomo {

std::uint32_t SteadyMilliseconds()
{
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(ms.count());
}

FpsClock::FpsClock(Now now) : m_now(std::move(now)) { ResetFpsClock(); }

void FpsClock::ResetFpsClock()
{
    m_base = m_now();
    m_elapsed = 0;
    m_elapsedAtMeasure = 0;
    m_frames = 0;
    m_framesAtMeasure = 0;
    m_lastRate = 0.0f;
    m_windowLimit = 0.0f;
}

float FpsClock::UpdateFps(float fps)
{
    ++m_frames;
    const std::uint32_t now = m_now();
    const std::uint32_t t = now - m_base;
    // Unsigned: a clock that went backwards counts as a long pause, and the
    // clamp below keeps the elapsed time sane either way.
    if (t - m_elapsed <= 1000u) {
        m_elapsed = t;
    } else {
        m_base = now - m_elapsed - 1000u;
        m_elapsed += 1000u;
    }
    return MeasureFps(fps);
}

float FpsClock::MeasureFps(float fps)
{
    // A rate beyond int (or NaN) cannot be truncated safely; it only ever
    // means "measure after very many frames", which the window limit caps.
    const float limitF = std::isfinite(fps) && fps < 2.0e9f && fps > -2.0e9f ? fps : 2.0e9f;
    long long n = static_cast<long long>(limitF);
    if (static_cast<float>(n) > m_windowLimit) {
        n = static_cast<long long>(std::min(m_windowLimit, 2.0e9f));
    }
    const std::uint32_t frames = m_frames - m_framesAtMeasure;
    if (static_cast<long long>(frames) <= n) {
        return -1.0f;
    }
    m_framesAtMeasure = m_frames;
    const std::uint32_t dt = m_elapsed - m_elapsedAtMeasure;
    m_elapsedAtMeasure = m_elapsed;
    m_lastRate = static_cast<float>(frames) * 999.0f / static_cast<float>(dt);
    m_windowLimit = 2.0f * m_lastRate;
    return m_lastRate;
}

} // namespace vantomo
