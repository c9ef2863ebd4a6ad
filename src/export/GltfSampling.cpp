#include "export/GltfSampling.h"

#include <algorithm>
#include <cmath>

#include "math/D3DMath.h"

namespace vantomo {

bool IsUsableRotationAxis(const CVector& axis)
{
    // The rotation matrix's own test, so the file turns exactly when the scene turns.
    return IsUsableRotationAxis(axis.x, axis.y, axis.z);
}

std::array<float, 4> AxisAngleToQuaternion(const CVector& axis, float degrees)
{
    if (!IsUsableRotationAxis(axis)) {
        return {0.0f, 0.0f, 0.0f, 1.0f};
    }
    const double x = axis.x;
    const double y = axis.y;
    const double z = axis.z;
    const double length = std::sqrt(x * x + y * y + z * z);
    const double half = static_cast<double>(DegreesToRadians(degrees)) * 0.5;
    const double s = std::sin(half) / length;
    double q[4] = {x * s, y * s, z * s, std::cos(half)};
    const double norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return {static_cast<float>(q[0] / norm), static_cast<float>(q[1] / norm), static_cast<float>(q[2] / norm),
            static_cast<float>(q[3] / norm)};
}

std::array<double, 9> QuaternionToMatrix(const std::array<float, 4>& q)
{
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {1 - 2 * (y * y + z * z), 2 * (x * y - z * w),     2 * (x * z + y * w),
            2 * (x * y + z * w),     1 - 2 * (x * x + z * z), 2 * (y * z - x * w),
            2 * (x * z - y * w),     2 * (y * z + x * w),     1 - 2 * (x * x + y * y)};
}

void MakeQuaternionsContinuous(std::span<float> quaternions)
{
    for (std::size_t i = 4; i + 4 <= quaternions.size(); i += 4) {
        double dot = 0.0;
        for (std::size_t c = 0; c < 4; ++c) {
            dot += static_cast<double>(quaternions[i - 4 + c]) * quaternions[i + c];
        }
        if (dot < 0.0) {
            for (std::size_t c = 0; c < 4; ++c) {
                quaternions[i + c] = -quaternions[i + c];
            }
        }
    }
}

namespace {

// Longest run of differing samples checked as one span. A check is linear in
// the span, so without a cap a long smooth track would cost quadratic time; a
// cap only keeps a few more samples than needed.
constexpr std::size_t kMaxSpan = 512;

bool Close(double interpolated, float sample)
{
    const double value = sample;
    return std::fabs(interpolated - value) <= 1e-6 * std::max(1.0, std::fabs(value));
}

// Spherical interpolation as glTF defines it, in double.
void Slerp(const float* a, const float* b, double t, double* out)
{
    double dot = 0.0;
    for (int c = 0; c < 4; ++c) {
        dot += static_cast<double>(a[c]) * b[c];
    }
    dot = std::min(1.0, dot);
    const double angle = std::acos(dot);
    const double sine = std::sin(angle);
    double wa = 1.0 - t;
    double wb = t;
    if (sine > 1e-12) {
        wa = std::sin((1.0 - t) * angle) / sine;
        wb = std::sin(t * angle) / sine;
    }
    for (int c = 0; c < 4; ++c) {
        out[c] = wa * a[c] + wb * b[c];
    }
}

// Whether every sample strictly between `first` and `last` is reproduced by
// interpolating those two.
bool Reproduces(std::span<const float> times, std::span<const float> values, std::size_t components,
                bool rotation, std::size_t first, std::size_t last)
{
    const float* a = values.data() + first * components;
    const float* b = values.data() + last * components;
    if (rotation) {
        double dot = 0.0;
        for (std::size_t c = 0; c < 4; ++c) {
            dot += static_cast<double>(a[c]) * b[c];
        }
        // Readers that take the short way and readers that do not would part here.
        if (dot < 0.0) {
            return false;
        }
    }
    const double span = static_cast<double>(times[last]) - static_cast<double>(times[first]);
    for (std::size_t j = first + 1; j < last; ++j) {
        const double t = (static_cast<double>(times[j]) - static_cast<double>(times[first])) / span;
        const float* v = values.data() + j * components;
        for (std::size_t c = 0; c < components; ++c) {
            const double linear = static_cast<double>(a[c]) + (static_cast<double>(b[c]) - a[c]) * t;
            if (!Close(linear, v[c])) {
                return false;
            }
        }
        if (rotation) {
            double spherical[4];
            Slerp(a, b, t, spherical);
            for (std::size_t c = 0; c < 4; ++c) {
                if (!Close(spherical[c], v[c])) {
                    return false;
                }
            }
        }
    }
    return true;
}

bool SameSample(std::span<const float> values, std::size_t components, std::size_t i, std::size_t j)
{
    for (std::size_t c = 0; c < components; ++c) {
        if (values[i * components + c] != values[j * components + c]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::uint32_t> KeptSamples(std::span<const float> times, std::span<const float> values,
                                       std::size_t components, bool rotation)
{
    std::vector<std::uint32_t> kept;
    const std::size_t count = times.size();
    if (count == 0 || components == 0 || values.size() < count * components) {
        return kept;
    }
    kept.push_back(0);
    std::size_t first = 0;
    // Whether every sample since `first` equals it exactly: such a run is
    // reproduced by any interpolation, and is checked in constant time.
    bool constant = true;
    for (std::size_t candidate = 1; candidate < count; ++candidate) {
        constant = constant && SameSample(values, components, first, candidate);
        const std::size_t next = candidate + 1;
        if (next < count) {
            if (constant && SameSample(values, components, first, next)) {
                continue;
            }
            if (next - first <= kMaxSpan && Reproduces(times, values, components, rotation, first, next)) {
                continue;
            }
        }
        kept.push_back(static_cast<std::uint32_t>(candidate));
        first = candidate;
        constant = true;
    }
    return kept;
}

} // namespace vantomo
