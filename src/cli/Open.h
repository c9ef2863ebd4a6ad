// Opening a document from the command line into a scene, by its extension.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scene/CTessaline.h"
#include "scene/MessageSink.h"

struct OpenOutcome {
    bool ok = false;
    std::optional<int> result; // the reader's result code, when a reader ran
    std::string error;         // UTF-8, when !ok
    int texturesFound = 0;     // textures named by the document that loaded
    int texturesMissing = 0;   // ... and that did not
};

// Opens or imports `path` into `scene` as the desktop program's open does.
// A failure leaves the scene as it was.
OpenOutcome OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages);

// Opens every file, in order, into `scene`, appending each outcome. At the
// first failure its reason goes to stderr and the result is false.
bool OpenDocumentsInto(CTessaline& scene, const std::vector<std::string>& files, MessageSink& messages,
                       std::vector<OpenOutcome>& outcomes);
