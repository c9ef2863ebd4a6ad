// The texture files a XAML document names, written beside it.
#pragma once

#include <string>
#include <vector>

#include "scene/CTessaline.h"

namespace vantomo {

struct XamlTextureFiles {
    // Per material (in m_materials order): the file name (UTF-8) written or
    // found beside the document, or "" when the material gets no image.
    std::vector<std::string> fileNames;
    // Texture names (as stored) whose image was not written, each once.
    std::vector<std::string> skipped;
};

// For every textured material whose image was loaded: a JPEG texture (by the
// extension of its name) is copied byte for byte from the file the load read,
// any other is encoded from the decoded image as PNG, into `folder` (ending in
// "/", or "" for the working folder) under the file-name part of its texture
// name (".png" for re-encoded images), converted to UTF-8. Nothing is written
// elsewhere. A file already there is never overwritten: when it holds exactly
// the bytes it would get it is used as it is, otherwise the name takes the first
// free suffix "_2", "_3", ... The same suffix rule separates different sources
// that would share a name (compared without regard to ASCII case); materials
// with the same source share one file. Every write is atomic; a texture that
// could not be loaded, read, encoded or written is listed in `skipped`.
XamlTextureFiles WriteXamlTextures(const CTessaline& scene, const std::string& folder);

} // namespace vantomo
