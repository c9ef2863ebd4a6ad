// Picking: which manipulator handle or which model lies under a point of the
// 3D view. A ray from the eye through the point is intersected with triangles
// in the local coordinates of each object, taking the first hit in a fixed
// order, not the nearest.
//
// The world matrices are composed from the records at the time the view
// shows with the renderer's own composition
// (ComposeWorldMatrices, ComposeManipulatorWorld), not read from what the
// last frame left in CModel::m_world: those are stale before the first paint
// and after any edit not yet painted, while the records are what the next
// paint will show.
#pragma once

#include <optional>

#include "math/D3DMath.h"
#include "render/ViewState.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// A point of the view with the view's size. Both must be in the same units:
// both in logical pixels (as Qt reports mouse positions and widget sizes) or
// both in device pixels; mixing them on a HiDPI screen would shoot the ray
// through the wrong place.
struct ScreenPoint {
    float x = 0.0f;
    float y = 0.0f;
    float viewWidth = 0.0f;
    float viewHeight = 0.0f;
};

// A ray in some object's local coordinates: origin + t * direction, t >= 0.
// The direction is not normalised.
struct PickRayResult {
    D3DXVECTOR3 origin;
    D3DXVECTOR3 direction;
};

// The ray through `point` in the local coordinates of an object drawn with
// `world`, under `projection` and `view`. None when the view has no area (a
// minimised window) or world x view has no inverse (a collapsed scale): such
// an object cannot be picked.
[[nodiscard]] std::optional<PickRayResult> PickRay(const ScreenPoint& point, const D3DXMATRIX& projection,
                                                   const D3DXMATRIX& view, const D3DXMATRIX& world);

// Index of the first face of `model` the ray meets, or -1. Corners are taken
// relative to the pivot, as the mesh is drawn; a quad tests the triangle
// (0, 2, 3) and then (0, 1, 2); faces of other corner counts are skipped; a
// corner outside the vertex list reads as (0, 0, 0), as the mesh buffer has it.
[[nodiscard]] int HitFace(const CModel& model, const PickRayResult& ray);

// The manipulator handle under the point: 0, 1, 2 the X, Y, Z handle of the
// current transform mode, 3 the centre block, -1 none. Axis handles are tested
// before the centre block, X before Y before Z. -1 also when no manipulator is
// shown for the selection (none selected, hidden, outside the selected
// character, a mode outside 0..2), and when the manipulator last drawn
// in `viewState` (m_manipulatorModelId, m_manipulatorMode) is not the one of
// the present selection and mode: the user cannot take hold of what is not
// on screen.
[[nodiscard]] int PickManipulator(const CTessaline& scene, const ViewState& viewState, const TimePoint& time,
                                  const ScreenPoint& point);

// What a left press picked.
struct PickResult {
    bool hit = false;
    // The model the press selected, which the caller selects with SelectModel
    // (the selection is a document operation); -1 when the selection stays.
    int selectModel = -1;
};

// The left-press pick. With a model selected, a manipulator handle under the
// point is grabbed (the view's m_grabbedHandle := it, selection kept) and a miss sets
// m_grabbedHandle to -1. Otherwise the visible, drawn models of the selected
// character are tested in list order; the first one hit has its selection box
// built, m_grabbedHandle := 3, and is returned for selection. A press that
// hits nothing keeps the selection; with no model selected m_grabbedHandle
// stays as it was.
[[nodiscard]] PickResult PickAt(CTessaline& scene, ViewState& viewState, const TimePoint& time,
                                const ScreenPoint& point);

// Note the manipulator of the present selection as drawn, as the renderer
// does when it draws it (the view's m_manipulatorWorld, m_manipulatorModelId,
// m_manipulatorMode), posed at `time`; false, with nothing noted, when none
// would be shown.
// The renderer calls it as it draws; views that take mouse input without
// drawing, such as a script, call it themselves.
bool RecordDrawnManipulator(const CTessaline& scene, ViewState& viewState, const TimePoint& time);

// m_boxVertices := the twelve white edges of the box between m_bounds[0] and m_bounds[1].
void BuildSelectionBox(CModel& model);

} // namespace vantomo
