// What an export reports. Every writer of this folder returns one; the caller
// must look at it (a failed export leaves any old file at the path intact).
#pragma once

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "scene/OperationResult.h"

namespace vantomo {

struct [[nodiscard]] ExportResult : OperationResult {
    // Texture names (as stored in the materials) whose image was not written
    // beside the document; the export itself still succeeded.
    std::vector<std::string> skippedTextures;
};

// A write that failed with `error` (an errno): the user's message with the
// system's reason, or, when the user stopped it, a cancelled result with
// nothing to show.
inline ExportResult WriteFailure(std::string_view message, int error)
{
    ExportResult result;
    if (error == ECANCELED) {
        result.cancelled = true;
        return result;
    }
    result.message = std::string(message);
    result.detail = std::strerror(error);
    return result;
}

} // namespace vantomo
