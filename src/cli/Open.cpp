#include "cli/Open.h"

#include "document/Document.h"

OpenOutcome OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages)
{
    OpenOutcome outcome;
    const std::string extension = ExtensionOf(path);

    if (extension == "vtm") {
        bool modified = false;
        const OpenResult opened = OpenInto(scene, path, messages, modified);
        outcome.ok = opened.ok;
        if (!opened.ok) {
            outcome.error = "cannot open " + path + ": " + opened.message;
            if (!opened.detail.empty()) {
                outcome.error += " (" + opened.detail + ")";
            }
        }
        return outcome;
    }

    outcome.error = "cannot open " + path + ": no reader for this file type";
    return outcome;
}
