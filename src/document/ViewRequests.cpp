#include "document/ViewRequests.h"

#include "document/History.h"
#include "document/Structure.h"

namespace vantomo {

void ApplyViewRequests(CVantomoDoc& doc, const ViewRequests& requests)
{
    CTessaline& scene = doc.Scene();
    if (requests.pushUndo) {
        PushUndoSelected(scene);
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
        PushUndoSelected(scene);
    }
    if (requests.modified) {
        doc.SetModifiedFlag();
    }
    // A drag changed a record or the camera, or a press took an undo
    // snapshot: the panel shows the document's values of the selection (or
    // the camera) again, never the gesture's own, and Undo is offered.
    if (requests.panel || requests.pushUndo || requests.pushUndoAfter) {
        doc.UpdateAllViews(ChangeNotice(Change::Pose, scene.m_selectedModel));
    }
}

} // namespace vantomo
