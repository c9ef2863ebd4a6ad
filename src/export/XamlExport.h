// The XAML scene document: a WPF Viewbox holding a Viewport3D with one
// material per scene material, one transform group per character and model,
// one mesh per model and material, the camera and two lights of the 3D view,
// the character hierarchy as nested groups, and storyboards that replay the
// animations. Texture images are written beside the document.
//
// The document is UTF-8 with an XML declaration and CR LF line ends; every
// name part is an identifier (see XamlNames.h), so WPF accepts every x:Name,
// and each part is the same wherever the name appears.
#pragma once

#include <string>
#include <vector>

#include "export/ExportResult.h"
#include "export/MqoWriter.h" // MaterialPositions
#include "export/TextOutput.h"
#include "scene/CTessaline.h"

namespace vantomo {

// Shown when the document could not be written.
inline constexpr const char* kXamlExportFailedMessage = "XAMLファイルへの書き出しに失敗しました。";

// Writes the textures (XamlTextures.h) and then the document at `path`,
// atomically. Rebuilds m_traversal first; models the walk does not reach are
// neither in the hierarchy nor in the storyboards. `meshLayout` 1 gives every
// triangle corner its own vertex, anything else shares vertices; `animationKeys`
// 0 writes the storyboards (when there is a model); `writeUV` writes texture
// coordinates of materials whose image was written; `writeNormals` vertex
// normals (facing the front of the reversed triangles); `scale` multiplies
// every coordinate, the camera position's too. Times use the scene's m_fps. A material
// whose image was not written gets its colour brush and its texture name is
// listed in skippedTextures. Failure: only when the document could not be
// written (any old file stays); texture files already written stay too.
// Progress is counted in faces and animation records; the user may stop the
// export (cancelled result, texture files already written stay).
ExportResult ExportXaml(CTessaline& scene, const std::string& path, int meshLayout, int animationKeys, bool writeUV,
                        float scale, bool writeNormals, Progress* progress = nullptr);

// The name parts of one document.
struct XamlNameSet {
    std::string title;
    std::vector<std::string> characters, models, materials, animations;
};

// The MeshGeometry3D resources of one model, one per material (in list order)
// that its faces use; quadrilaterals are split into (0, 1, 2) and (0, 2, 3).
// `imageWritten` tells per material whether it is textured in the document.
void WriteXamlMeshes(TextOutput& out, const CTessaline& scene, std::size_t model, const XamlNameSet& names,
                     const MaterialPositions& positions, const std::vector<bool>& imageWritten, bool writeUV,
                     float scale, bool writeNormals, int meshLayout);

// The key-frame animations of one model for one track: per channel (scale x,
// y, z, rotation, offset x, y, z) whose keys leave the rest value, one key
// frame per key record, frame j at j / fps seconds.
void WriteXamlStoryboard(TextOutput& out, const XamlNameSet& names, std::size_t model, const Track& track,
                         float scale, float fps);

// A time in seconds as a WPF TimeSpan. Below one day "h:m:s" with the
// seconds in "%f" (computed as it always was: h = t / 3600 truncated, m from
// t / -60.0 truncated, s = t - 3600h - 60m in single precision). From one day
// on, t rounded once to whole microseconds: "d.h:m:s.ffffff" with hours 0-23,
// minutes and seconds 0-59. A time that is not positive or not finite is
// "0:0:0.000000".
std::string XamlTimeSpan(float t);

} // namespace vantomo
