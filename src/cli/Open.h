// Opening a document from the command line into a scene, by its extension.
#pragma once

#include <string>
#include <vector>

#include "import/TextureLoader.h"
#include "scene/CTessaline.h"
#include "scene/MessageSink.h"
#include "scene/OperationResult.h"

namespace vantomo {

// Opens or imports `path` into `scene` as the desktop program's open does.
// A file that cannot be opened leaves the scene as it was. Unlike the desktop
// program, an extension no reader takes is a failure: on the command line it
// is almost always a typo.
// Texture names are looked up through `textures`, whose base folder an
// import moves.
OpenResult OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages,
                            TextureLookup& textures);

// Opens every file, in order, into `scene`, appending each result. At the
// first file that cannot be opened its reason goes to stderr and the result
// is false.
[[nodiscard]] bool OpenDocumentsInto(CTessaline& scene, const std::vector<std::string>& files,
                                     MessageSink& messages, std::vector<OpenResult>& outcomes);

// Names on stderr every file that was read only in part, with what its
// reader's result means, and every document whose objects gave no model at
// all (the import's own message has named them). True when there was one:
// the command then finishes its work with what was read and exits 1.
bool ReportIncompleteDocuments(const std::vector<std::string>& files, const std::vector<OpenResult>& outcomes);

} // namespace vantomo
