// What the control panel's four value fields do to the scene when one of them
// was edited and left: the selected model's record of the current frame (or
// the camera, with no model selected) takes the typed values of the transform
// mode in force. The key flag is not touched and no in-betweening runs, so
// the value holds for that frame until the next in-betweening rewrites
// non-key records.
#pragma once

#include "scene/CTessaline.h"

namespace vantomo {

// Position of the selected model's current record := (x, y, z); with no
// model selected the camera's position. A record outside the tracks is left alone.
void ApplyPosition(CTessaline& scene, float x, float y, float z);

// The selected model's current axis := (x, y, z), (0, 1, 0) when all three
// are exactly 0, and its angle := angle. With no model selected the camera's
// rotation angles := (x, y, z) and `angle` is ignored.
void ApplyRotation(CTessaline& scene, float x, float y, float z, float angle);

// Scale of the selected model's current record := (x, y, z); with no model
// selected nothing changes.
void ApplyScale(CTessaline& scene, float x, float y, float z);

// The whole field step: ApplyPosition, ApplyRotation or ApplyScale by
// m_transformMode (any other mode applies nothing). The caller records the
// undo step first.
void ApplyPanelValues(CTessaline& scene, float x, float y, float z, float angle);

} // namespace vantomo
