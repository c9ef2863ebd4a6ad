#include "render/Camera.h"

#include <cmath>

#include "animation/Pose.h"

namespace vantomo {

D3DXMATRIX ViewMatrix(const CTessaline& scene)
{
    if (scene.m_camera.empty()) {
        return D3DXMatrixIdentity();
    }
    return CameraViewMatrix(scene.GetCameraRecord());
}

D3DXMATRIX ProjectionMatrix(const CTessaline& scene, const ViewState& view)
{
    return D3DXMatrixPerspectiveFovRH(DegreesToRadians(scene.m_fieldOfView),
                                      view.m_viewWidth / view.m_viewHeight, 100.0f, 10000.0f);
}

namespace {

// Below 2^27 every float step of 360 is exact (360 and the value are both
// multiples of the value's unit in the last place), so the loop's result is
// the exact remainder.
constexpr float kExactLimit = 134217728.0f; // 2^27

// The exact remainder of a > 360, in (0, 360]: the loop stops on 360, not 0.
float WrapExact(float a)
{
    const float r = std::fmod(a, 360.0f);
    return r == 0.0f ? 360.0f : r;
}

} // namespace

float WrapCameraAngle(float degrees)
{
    if (!std::isfinite(degrees)) {
        return 0.0f;
    }
    if (degrees >= -360.0f && degrees <= 360.0f) {
        return degrees;
    }
    // Rounding to nearest is symmetric, so v + 360 on a negative value is the
    // mirror of v - 360 on its magnitude.
    const float sign = degrees < 0.0f ? -1.0f : 1.0f;
    float a = std::fabs(degrees);
    // From 2^27 up each a - 360 rounds, so the loop takes steps other than
    // 360; replay it, taking the runs of equal steps within one binade at once.
    while (a >= kExactLimit) {
        const float next = a - 360.0f;
        if (next == a) {
            // The loop would never end here; the remainder is the sound answer.
            return sign * WrapExact(a);
        }
        const float step = next - (next - 360.0f);
        int exponent = 0;
        std::frexp(next, &exponent);
        const double low = std::ldexp(1.0, exponent - 1); // bottom of next's binade
        // A step whose exact result stays in the binade rounds the same way
        // every time once two consecutive steps agree (ties only arise where
        // the spacing is 16, and after one step the mantissa stays even).
        const double exactNext = static_cast<double>(next) - 360.0;
        if (next >= kExactLimit && a - next == step && exactNext >= low) {
            const double runs = std::floor((exactNext - low) / static_cast<double>(step)) + 1.0;
            a = static_cast<float>(static_cast<double>(next) - runs * static_cast<double>(step));
        } else {
            a = next;
        }
    }
    return sign * (a > 360.0f ? WrapExact(a) : a);
}

void WrapCameraAngles(CTessaline& scene)
{
    CVector& axis = scene.GetCameraRecord().m_axis;
    axis.x = WrapCameraAngle(axis.x);
    axis.y = WrapCameraAngle(axis.y);
    axis.z = WrapCameraAngle(axis.z);
}

CVector ZoomCamera(CTessaline& scene, const CVector& v)
{
    CVector& scale = scene.GetCameraRecord().m_scale;
    scale += v;
    FloorScale(scale);
    return scale;
}

CVector PanCamera(CTessaline& scene, const CVector& v)
{
    CVector& position = scene.GetCameraRecord().m_position;
    position += v;
    return position;
}

CVector OrbitCamera(CTessaline& scene, const CVector& v)
{
    scene.GetCameraRecord().m_axis += v;
    WrapCameraAngles(scene);
    return scene.GetCameraRecord().m_axis;
}

CVector MoveSelection(CTessaline& scene, const TimePoint& time, const CVector& v)
{
    if (CModel* model = scene.GetSelectedModel()) {
        return AddCurrentPosition(*model, time, v);
    }
    return PanCamera(scene, v);
}

CVector TurnSelection(CTessaline& scene, const TimePoint& time, const CVector& v)
{
    if (CModel* model = scene.GetSelectedModel()) {
        return AddCurrentAxis(*model, time, v);
    }
    CVector& angles = scene.GetCameraRecord().m_axis;
    angles += v;
    return angles;
}

float TurnSelectionAngle(CTessaline& scene, const TimePoint& time, float w)
{
    CModel* model = scene.GetSelectedModel();
    if (model == nullptr) {
        return 0.0f;
    }
    AddCurrentAngle(*model, time, w);
    return GetCurrentAngle(*model, time);
}

CVector ScaleSelection(CTessaline& scene, const TimePoint& time, const CVector& v)
{
    CModel* model = scene.GetSelectedModel();
    if (model == nullptr) {
        return CVector{0.0f, 0.0f, 0.0f};
    }
    return AddCurrentScale(*model, time, v);
}

} // namespace vantomo
