// What an export reports. Every writer of this folder returns one; the caller
// must look at it (a failed export leaves any old file at the path intact).
#pragma once

#include <string>
#include <vector>

struct [[nodiscard]] ExportResult {
    bool ok = false;
    std::string message; // the user's message (UTF-8) when !ok
    std::string detail;  // the system's reason (strerror), when there is one
    // Texture names (as stored in the materials) whose image was not written
    // beside the document; the export itself still succeeded.
    std::vector<std::string> skippedTextures;
};
