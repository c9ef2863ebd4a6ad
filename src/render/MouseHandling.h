// The 3D view's mouse handlers as plain functions: button presses, moves and
// the wheel turn into changes of the camera record, of the selected model's
// record at the time given, of the view's m_grabbedHandle and of its mouse
// state. What belongs to the document above (undo snapshots, the selection,
// the mouse mode, update hints, the modified flag) and to the widget
// (capture, repaint, the control panel's fields) comes back as a
// ViewRequests value for the caller to carry out, in its field order.
#pragma once

#include <optional>

#include "render/MouseMode.h"
#include "render/Picking.h"
#include "render/ViewState.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// One mouse message. The point and the view size must be in the same units
// (both logical or both device pixels); the size is only used for picking.
struct MouseInput {
    int x = 0;
    int y = 0;
    float viewWidth = 0.0f;
    float viewHeight = 0.0f;
    bool control = false;      // the Ctrl key is held
    bool middleButton = false; // the middle button is held
    int wheelDelta = 0;        // signed wheel distance, 120 per notch forward
};

// The view's mouse state between messages; all zero for a new view.
struct ViewMouseState {
    int m_leftDown = 0;
    int m_rightDown = 0;
    int m_lastX = 0;
    int m_lastY = 0;
    float m_dx = 0.0f;
    float m_dy = 0.0f;
};

// Values for the control panel's X, Y, Z and angle fields.
struct PanelValues {
    CVector vector;
    float angle = 0.0f;
};

// What the caller must do after a handler, in this order.
struct ViewRequests {
    bool captureMouse = false;   // take the mouse capture (first button down)
    bool releaseCapture = false; // release it (last button up)
    bool pushUndo = false;       // begin a pose edit of the selected model (its undo step)
    int selectModel = -1;        // SelectModel(selectModel) when >= 0
    std::optional<MouseMode> mouseMode; // the document's m_mouseMode := mouseMode when set
    int hint = 0;                // UpdateAllViews(hint) when nonzero
    bool pushUndoAfter = false;  // begin it again, of the new selection
    bool modified = false;       // mark the document modified
    bool invalidate = false;     // repaint the whole view
    std::optional<PanelValues> panel; // refresh the control panel with these
};

// The hint that tells the views the selection may have moved.
inline constexpr int kSelectionHint = 114;

// Left press: remember the point, snapshot the selected model's record, and
// unless the right button is down pick at the point (PickAt). A hit asks for
// animation mode, hint 114 and a second snapshot, of the model then selected.
[[nodiscard]] ViewRequests LeftButtonDown(CTessaline& scene, ViewState& view, const TimePoint& time,
                                          ViewMouseState& state, const MouseInput& input);
// Left release: the capture is released unless the right button is still down.
[[nodiscard]] ViewRequests LeftButtonUp(ViewMouseState& state);
// Right press: remember the point and snapshot the selected model's record.
[[nodiscard]] ViewRequests RightButtonDown(ViewMouseState& state, const MouseInput& input);
// Right release: the capture is released unless the left button is still down.
[[nodiscard]] ViewRequests RightButtonUp(ViewMouseState& state);
// Middle press: only the point is remembered, so the pan that follows starts
// there; nothing is picked or selected.
void MiddleButtonDown(ViewMouseState& state, const MouseInput& input);

// A move with the document's mouse mode (0 camera, 1 model, 2 animation). The
// first matching case applies, with dx, dy the motion since the last point
// and d = dx - dy:
//   both buttons               zoom by d / 200 on every component
//   Ctrl + right               orbit
//   Ctrl + left, or middle     pan by (dx, -dy, 0)
//   mode 0 + left              pan by (dx, 0, 0) then (0, -dy, 0)
//   right only                 orbit
//   no button                  nothing
//   mode 2 + left              edit the selection through the grabbed handle
//   any other mode + left      nothing, but the document counts as modified
// Orbit turns the camera by (dy, dx, 0) degrees, dx reversed while the
// camera is upside down (90 < |x angle| < 270), then wraps the angles. The
// point is remembered in every case.
[[nodiscard]] ViewRequests MouseMove(CTessaline& scene, const ViewState& view, const TimePoint& time,
                                     ViewMouseState& state, const MouseInput& input, MouseMode mouseMode);

// Wheel: zoom by wheelDelta / 500 on every component (0.24 per notch).
[[nodiscard]] ViewRequests MouseWheel(CTessaline& scene, const TimePoint& time, const MouseInput& input);

} // namespace vantomo
