// The camera's matrices and the changes the mouse makes to the camera and to
// the selected model's record of the current frame. Plain functions on the
// scene, so the view, the command-line tool and the tests share them.
#pragma once

#include "math/D3DMath.h"
#include "render/ViewState.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// The view matrix of camera record 0: Scaling(m_scale) x EulerRotation(m_axis
// in degrees) x Translation(m_position). The world turns about its origin, is
// zoomed, then shifted in view space; the eye sits at the view-space origin.
D3DXMATRIX ViewMatrix(const CTessaline& scene);

// The projection: right-handed perspective with a vertical field of view of
// m_fieldOfView degrees, aspect of the view's m_viewWidth / m_viewHeight, clip planes 100
// and 10000. A view without area gives a non-finite matrix; picking refuses it.
D3DXMATRIX ProjectionMatrix(const CTessaline& scene, const ViewState& view);

// One camera angle brought into [-360, 360] exactly as repeatedly adding or
// subtracting 360 in single precision would leave it (so -360 and 360 stay,
// 720 becomes 360, 370 becomes 10), but in bounded time: where that loop
// would never end (|v| >= 2^33, where v - 360 rounds back to v) the exact
// remainder is used instead. A non-finite angle becomes 0.
float WrapCameraAngle(float degrees);

// WrapCameraAngle on x, then y, then z of the camera's m_axis.
void WrapCameraAngles(CTessaline& scene);

// Camera m_scale += v, then FloorScale. Returns the new scale.
CVector ZoomCamera(CTessaline& scene, const CVector& v);
// Camera m_position += v. Returns the new position.
CVector PanCamera(CTessaline& scene, const CVector& v);
// Camera m_axis += v, then WrapCameraAngles. Returns the new angles.
CVector OrbitCamera(CTessaline& scene, const CVector& v);

// The edits of a drag. Each acts on the selected model's record at `time`;
// a record outside the tracks is left alone and the rest pose's value is
// returned.
//
// Position += v; with no model selected the camera's position. Returns the new value.
CVector MoveSelection(CTessaline& scene, const TimePoint& time, const CVector& v);
// Axis += v, an exact (0, 0, 0) becoming (0, 1, 0); with no model selected
// the camera's angles, unwrapped. Returns the new value.
CVector TurnSelection(CTessaline& scene, const TimePoint& time, const CVector& v);
// Angle += w; returns it. With no model selected nothing changes and 0 is returned.
float TurnSelectionAngle(CTessaline& scene, const TimePoint& time, float w);
// Scale += v, then FloorScale; returns it. With no model selected nothing
// changes and (0, 0, 0) is returned.
CVector ScaleSelection(CTessaline& scene, const TimePoint& time, const CVector& v);

} // namespace vantomo
