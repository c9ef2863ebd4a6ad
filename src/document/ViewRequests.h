// The document's share of the 3D view's mouse handling: the handlers in
// render/ change the scene and say what else must happen; this carries out
// the part that belongs to the document.
#pragma once

#include "document/Document.h"
#include "render/MouseHandling.h"

namespace vantomo {

// In order: the pose edit begun (RecordPoseEdit), SelectModel, the mouse
// mode, UpdateAllViews with the hint, the pose edit begun again for the new
// selection, the pose edit ended when the last button went up, the modified
// flag, and Change::Pose when the gesture changed values the control panel
// shows. Capture and repaint are left to the view.
void ApplyViewRequests(CVantomoDoc& doc, const ViewRequests& requests);

} // namespace vantomo
