#include "cli/Open.h"

#include <iostream>

#include "document/Document.h"

OpenOutcome OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages)
{
    OpenOutcome outcome;
    const std::string extension = ExtensionOf(path);
    // The desktop program's open quietly reads nothing for other extensions;
    // on the command line that is almost always a typo, so say so.
    if (extension != "vtm" && extension != "mqo" && extension != "mqoz") {
        outcome.error = "cannot open " + path + ": no reader for this file type";
        return outcome;
    }

    bool modified = false;
    const OpenResult opened = OpenInto(scene, path, messages, modified);
    if (!opened.ok || (opened.importCode && !opened.importOpened)) {
        outcome.error = "cannot open " + path + ": " + opened.message;
        if (!opened.detail.empty()) {
            outcome.error += " (" + opened.detail + ")";
        }
        return outcome;
    }
    outcome.ok = true;
    outcome.result = opened.importCode;
    outcome.texturesFound = opened.texturesFound;
    outcome.texturesMissing = opened.texturesMissing;
    return outcome;
}

bool OpenDocumentsInto(CTessaline& scene, const std::vector<std::string>& files, MessageSink& messages,
                       std::vector<OpenOutcome>& outcomes)
{
    for (const std::string& file : files) {
        OpenOutcome outcome = OpenDocumentInto(scene, file, messages);
        if (!outcome.ok) {
            std::cerr << "vantomo-cli: " << outcome.error << '\n';
            return false;
        }
        outcomes.push_back(std::move(outcome));
    }
    return true;
}
