// What an export reports. Every writer of this folder returns one; the caller
// must look at it (a failed export leaves any old file at the path intact).
#pragma once

#include <string>
#include <vector>

#include "scene/OperationResult.h"

namespace vantomo {

struct [[nodiscard]] ExportResult : OperationResult {
    // Texture names (as stored in the materials) whose image was not written
    // beside the document; the export itself still succeeded.
    std::vector<std::string> skippedTextures;
};

} // namespace vantomo
