#include "document/ViewRequests.h"

#include "document/Structure.h"

namespace vantomo {

void ApplyViewRequests(CVantomoDoc& doc, const ViewRequests& requests)
{
    CTessaline& scene = doc.Scene();
    if (requests.pushUndo) {
        doc.RecordPoseEdit();
    }
    if (requests.selectModel >= 0) {
        SelectModel(scene, requests.selectModel);
    }
    if (requests.mouseMode) {
        doc.m_mouseMode = *requests.mouseMode;
    }
    if (requests.hint != 0) {
        doc.UpdateAllViews(static_cast<Change>(requests.hint));
    }
    if (requests.pushUndoAfter) {
        doc.RecordPoseEdit();
    }
    if (requests.releaseCapture) {
        doc.EndPoseEdit();
    }
    if (requests.modified) {
        doc.SetModifiedFlag();
    }
    // A drag changed a record or the camera, or a gesture began or ended:
    // the panel shows the document's values of the selection (or the camera)
    // again, never the gesture's own, and Undo is offered once there is a step.
    if (requests.panel || requests.pushUndo || requests.pushUndoAfter || requests.releaseCapture) {
        doc.UpdateAllViews(ChangeNotice(Change::Pose, scene.m_selectedModel));
    }
}

} // namespace vantomo
