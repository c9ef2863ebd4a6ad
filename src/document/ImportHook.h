// The Metasequoia import as the open operation reaches it: ".mqo" files are
// imported into the selected character of the scene that is open.
#pragma once

#include <string>

#include "scene/CTessaline.h"
#include "scene/MessageSink.h"

// Import the document at `path` into the selected character. Returns false when
// nothing could be read; what was read before a failure stays in the scene.
bool ImportMetasequoiaInto(CTessaline& scene, const std::string& path, MessageSink& messages);
