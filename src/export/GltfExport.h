// glTF 2.0 export: the scene as a .gltf document (with its .bin buffer and
// PNG textures beside it) or as one .glb file.
//
// glTF keeps the scene's own axes (right-handed, y up). Its front faces run
// counter-clockwise, stored faces clockwise: every triangle is written
// reversed, with normals facing its front (ComputeFrontNormals). Per
// character a root node "char<k>:<name>"; per model an animated node
// "pose<i>:<name>" (translation = position + pivot, rotation = the axis-angle
// as a quaternion, scale) with a child "mesh<i>:<name>" (translation -pivot)
// that holds the mesh and carries the pose nodes of the model's children, so
// every node's world matrix is the scene's pose composition. k and i index
// m_characterNames and m_models; names are converted from CP932 to UTF-8.
// One glTF animation per scene animation, sampled at every frame (time =
// frame / fps) with LINEAR samplers, dropping only samples that interpolation
// reproduces. The frame rate is written as asset.extras.fps.
#pragma once

#include <string>

#include "base/Progress.h"
#include "export/ExportResult.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

struct GltfExportOptions {
    // Multiplies every coordinate written: vertex positions, pivots, translations.
    // Must be finite and above 0.
    float scale = 1.0f;
    // true: one .glb file with the buffer and the textures inside;
    // false: .gltf JSON with "<title>.bin" and the PNG textures beside it.
    bool binary = false;
    // The moment whose records give the pose nodes their static transforms,
    // what a viewer shows before it plays an animation.
    TimePoint pose;
};

// Writes the scene to `path` (a file-system path, UTF-8). The caller runs the
// in-betweening first; this rebuilds m_traversal and changes nothing else.
// Every file goes through a temporary file and a rename, so a failure leaves
// the old files; the document is written last. Refused (ok false, nothing
// written) when a value to write is not finite, the scale or the frame rate
// is unusable, or the data exceeds what glTF can address. Textures that could
// not be written (not loaded, a different file already in the way, a write
// error) are listed in skippedTextures and their materials go untextured.
// Progress is counted in bytes; the user may stop the export while the buffer
// is written (cancelled result, texture files already written stay).
[[nodiscard]] ExportResult ExportGltf(CTessaline& scene, const std::string& path, const GltfExportOptions& options,
                                      Progress* progress = nullptr);

} // namespace vantomo
