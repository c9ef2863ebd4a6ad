#include "document/DroppedFiles.h"

#include "base/PathHelpers.h"

namespace vantomo {

DroppedKind KindOfDroppedPath(const std::string& path)
{
    if (path.size() < 3) {
        return DroppedKind::Other;
    }
    const std::string tail = LowerAscii(path.substr(path.size() - 3));
    if (tail == "vtm") {
        return DroppedKind::Project;
    }
    return tail == "mqo" ? DroppedKind::Metasequoia : DroppedKind::Other;
}

int OpenDroppedFiles(CVantomoDoc& doc, const std::vector<std::string>& paths)
{
    // The drop is one action: its files' missing textures make one message.
    const TextureReportScope textures(doc.TextureMessages());
    int opened = 0;
    for (const std::string& path : paths) {
        switch (KindOfDroppedPath(path)) {
        case DroppedKind::Project:
            if (doc.SaveModified() && doc.OnOpenDocument(path)) {
                ++opened;
            }
            return opened;
        case DroppedKind::Metasequoia: {
            CTessaline& scene = doc.Scene();
            const std::size_t modelsBefore = scene.m_models.size();
            if (doc.ImportWithProgress(path).cancelled) {
                return opened; // the user stopped: the files after it are not read either
            }
            // The walk must include the new models before the views draw them.
            scene.RefreshDerived();
            scene.BuildTraversal();
            doc.FrameFirstImport(modelsBefore);
            doc.UpdateAllViews(Change::ModelAddedOrDeleted);
            doc.SetModifiedFlag(true);
            ++opened;
            break;
        }
        case DroppedKind::Other: break;
        }
    }
    return opened;
}

} // namespace vantomo
