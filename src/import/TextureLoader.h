// Finding and decoding the texture files that materials name.
//
// A texture name is kept exactly as the document wrote it (CP932 bytes,
// perhaps with "\" separators); only the lookup adapts it. Candidates, in order:
//  1. the name itself; a relative name is taken relative to the lookup's base
//     folder (the folder of the last imported document), or to the working
//     folder while that is empty;
//  2. the name inside the program's texture folder (FindTextureFolder;
//     skipped for a name containing ":", which is a Windows drive or device
//     name and is tried as written only).
// Each is tried with "\" read as "/", first as written and then converted from
// CP932 to UTF-8, since Linux names files in UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "scene/CMaterial.h"
#include "scene/CTessaline.h"
#include "base/PathHelpers.h"
#include "scene/MessageSink.h"

namespace vantomo {

class DibStream;

// Where texture names are looked up. The document keeps one for the run, as
// the working folder once served: each import moves its base folder.
struct TextureLookup {
    std::string baseFolder;                     // "" for the working folder
    std::string programFolder = ProgramFolder(); // ending in "/"; its texture folder is searched second
};

// The program's texture folder: "TEXTURE" beside the program in whatever
// letter case it exists ("TEXTURE" first, then the other spellings in byte
// order), ending in "/"; empty when there is none. The texture chooser opens
// here, the loader searches here and the exporters copy what the loader found,
// so all three agree on one folder.
std::string FindTextureFolder(const std::string& programFolder);

// The texture name to store for a file chosen in the texture chooser: the
// path relative to `textureFolder` when `chosen` lies inside it (the folder
// followed by a separator, compared without regard to ASCII letter case), in
// the letters of `chosen`; otherwise `chosen` unchanged. An empty folder
// keeps every path whole.
std::string TextureNameForChosenFile(std::string_view textureFolder, std::string_view chosen);

// Shown when no candidate of a texture name could be found and decoded.
inline constexpr std::string_view kTextureLoadFailedMessage =
    "ファイルが見つからないか、この画像ファイルには対応していません！";

// Decodes the file at `path` into `image` by its extension, in any letter
// case: bmp; ppm, pgm; tga; png; jpg, jpeg; iff. Anything else fails. A decoded
// image that is not 32-bit is then converted to 24 bits, so the result is a
// 24-bit image or a 32-bit one with alpha. True when decoded; on failure the
// image is empty.
bool LoadImageFile(DibStream& image, const std::string& path);

// The same into material.m_image, which is created when there is none.
bool LoadImageFile(CMaterial& material, const std::string& path);

// Resolves material.m_texture through the candidates above and decodes it into
// a new m_image, and records the decoded file's path in m_textureFile. True
// when a file was decoded. Otherwise the material is left
// untextured (m_image null) but keeps its texture name, so a later save still
// names the file; the message goes to `messages` the first time this name
// fails for this material, not on every reload. An empty name only drops the
// image.
bool LoadTexture(CMaterial& material, MessageSink& messages, const TextureLookup& lookup);

// LoadTexture for every material, in order.
void ReloadTextures(CTessaline& scene, MessageSink& messages, const TextureLookup& lookup);

} // namespace vantomo
