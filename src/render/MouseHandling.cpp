#include "render/MouseHandling.h"

#include <cmath>

#include "animation/Pose.h"
#include "render/Camera.h"

namespace vantomo {

namespace {

PanelValues Shown(const CVector& v, float angle = 0.0f) { return {v, angle}; }

// The drag of mode 2: the grabbed handle and the transform mode choose what
// the motion changes; disabled components are dropped.
void Edit(CTessaline& scene, const ViewState& view, const TimePoint& time, float dx, float dy, ViewRequests& out)
{
    const float d = dx - dy;
    const int h = view.m_grabbedHandle;
    const int mode = scene.m_transformMode;
    if (mode < 0 || mode > 2) {
        return;
    }
    CVector v;
    float w = 0.0f;
    switch (mode) {
    case 0:
        if (h == 0) {
            v.x = d;
        } else if (h == 1) {
            v.y = d;
        } else if (h == 2) {
            v.z = dx + dy;
        } else if (h == 3) {
            v.x = dx;
            v.y = -dy;
        }
        break;
    case 1:
        if (h == 0) {
            v.x = d / 20.0f;
        } else if (h == 1) {
            v.y = d / 20.0f;
        } else if (h == 2) {
            v.z = (dx + dy) / 20.0f;
        } else if (h == 3) {
            w = d;
        }
        break;
    default:
        if (h >= 0 && h <= 2) {
            (h == 0 ? v.x : h == 1 ? v.y : v.z) = d / 20.0f;
        } else if (h == 3) {
            v.x = v.y = v.z = d / 20.0f;
        }
        break;
    }
    if (scene.m_enableX == 0) v.x = 0.0f;
    if (scene.m_enableY == 0) v.y = 0.0f;
    if (scene.m_enableZ == 0) v.z = 0.0f;
    if (scene.m_enableAngle == 0) w = 0.0f;

    if (mode == 0) {
        out.panel = Shown(MoveSelection(scene, time, v));
    } else if (mode == 1) {
        const CVector axis = TurnSelection(scene, time, v);
        out.panel = Shown(axis, TurnSelectionAngle(scene, time, w));
    } else {
        out.panel = Shown(ScaleSelection(scene, time, v));
    }
}

void Orbit(CTessaline& scene, ViewMouseState& state, float dx, float dy, ViewRequests& out)
{
    // Upside down, horizontal motion turns the other way so the scene still
    // follows the mouse.
    const double x = std::fabs(static_cast<double>(scene.GetCameraRecord().m_axis.x));
    if (x > 90.0 && x < 270.0) {
        state.m_dx = -dx;
    }
    out.panel = Shown(OrbitCamera(scene, CVector{dy, state.m_dx, 0.0f}));
    out.invalidate = true;
}

} // namespace

ViewRequests LeftButtonDown(CTessaline& scene, ViewState& view, const TimePoint& time, ViewMouseState& state,
                            const MouseInput& input)
{
    ViewRequests out;
    out.captureMouse = state.m_leftDown == 0 && state.m_rightDown == 0;
    state.m_lastX = input.x;
    state.m_lastY = input.y;
    state.m_leftDown = 1;
    out.pushUndo = true;
    if (state.m_rightDown == 0) {
        const ScreenPoint point{static_cast<float>(input.x), static_cast<float>(input.y), input.viewWidth,
                                input.viewHeight};
        const PickResult pick = PickAt(scene, view, time, point);
        if (pick.hit) {
            out.selectModel = pick.selectModel;
            out.mouseMode = MouseMode::Animation;
            out.hint = kSelectionHint;
            out.pushUndoAfter = true;
        }
    }
    return out;
}

ViewRequests LeftButtonUp(ViewMouseState& state)
{
    ViewRequests out;
    out.releaseCapture = state.m_rightDown == 0;
    state.m_leftDown = 0;
    return out;
}

ViewRequests RightButtonDown(ViewMouseState& state, const MouseInput& input)
{
    ViewRequests out;
    out.captureMouse = state.m_leftDown == 0 && state.m_rightDown == 0;
    state.m_lastX = input.x;
    state.m_lastY = input.y;
    state.m_rightDown = 1;
    out.pushUndo = true;
    return out;
}

void MiddleButtonDown(ViewMouseState& state, const MouseInput& input)
{
    state.m_lastX = input.x;
    state.m_lastY = input.y;
}

ViewRequests RightButtonUp(ViewMouseState& state)
{
    ViewRequests out;
    out.releaseCapture = state.m_leftDown == 0;
    state.m_rightDown = 0;
    return out;
}

ViewRequests MouseMove(CTessaline& scene, const ViewState& view, const TimePoint& time, ViewMouseState& state,
                       const MouseInput& input, MouseMode mouseMode)
{
    ViewRequests out;
    // In 64 bits: points far apart (a script, a broken event) must not overflow.
    const float dx = static_cast<float>(static_cast<long long>(input.x) - state.m_lastX);
    const float dy = static_cast<float>(static_cast<long long>(input.y) - state.m_lastY);
    state.m_dx = dx;
    state.m_dy = dy;
    const float d = dx - dy;
    const bool left = state.m_leftDown != 0;
    const bool right = state.m_rightDown != 0;
    if (left && right) {
        const float s = d / 200.0f;
        ZoomCamera(scene, CVector{s, s, s});
        out.panel = Shown(GetEditPosition(scene, time));
        out.invalidate = true;
    } else if (input.control && right) {
        Orbit(scene, state, dx, dy, out);
    } else if ((input.control && left) || input.middleButton) {
        out.panel = Shown(PanCamera(scene, CVector{dx, -dy, 0.0f}));
        out.invalidate = true;
    } else if (mouseMode == MouseMode::Camera && left) {
        PanCamera(scene, CVector{dx, 0.0f, 0.0f});
        out.panel = Shown(PanCamera(scene, CVector{0.0f, -dy, 0.0f}));
        out.invalidate = true;
    } else if (!left && right) {
        Orbit(scene, state, dx, dy, out);
    } else if (!left && !right) {
        // Only the point is remembered.
    } else if (mouseMode == MouseMode::Animation) {
        Edit(scene, view, time, dx, dy, out);
        out.invalidate = true;
        out.modified = true;
    } else {
        out.invalidate = true;
        out.modified = true;
    }
    state.m_lastX = input.x;
    state.m_lastY = input.y;
    return out;
}

ViewRequests MouseWheel(CTessaline& scene, const TimePoint& time, const MouseInput& input)
{
    ViewRequests out;
    const float s = static_cast<float>(input.wheelDelta) / 500.0f;
    ZoomCamera(scene, CVector{s, s, s});
    out.panel = Shown(GetEditScale(scene, time));
    out.invalidate = true;
    return out;
}

} // namespace vantomo
