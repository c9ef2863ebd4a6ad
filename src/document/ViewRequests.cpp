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
    if (requests.mouseMode >= 0) {
        doc.m_mouseMode = requests.mouseMode;
    }
    if (requests.hint != 0) {
        doc.UpdateAllViews(requests.hint);
    }
    if (requests.pushUndoAfter) {
        PushUndoSelected(scene);
    }
    if (requests.modified) {
        doc.SetModifiedFlag();
    }
}

} // namespace vantomo
