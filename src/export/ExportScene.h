// One entry for writing a scene to a file of any kind the program writes,
// chosen by the extension of the path (any letter case): ".vtm" the project
// file; ".mqo" the Metasequoia document; ".xaml" the XAML document with its
// textures; ".gltf" and ".glb" glTF 2.0. The command line, scripts and the
// document's save-as all go through here.
#pragma once

#include <string>
#include <string_view>

#include "base/Progress.h"
#include "export/ExportResult.h"
#include "export/ExportSettings.h"
#include "scene/CTessaline.h"
#include "scene/TimePoint.h"

namespace vantomo {

// True when the path's extension names a kind ExportScene writes.
bool IsExportPath(std::string_view path);

// Writes `scene` to `path`. Before any export (not before a project save) the
// in-betweening runs on every model, so the records the writers read are
// baked. `settings` are those of the path's kind (a project file uses none).
// Another extension writes nothing and fails. The writer reports to
// `progress` when given; an export (not a project save) stops when the user
// asks, with a cancelled result and any old file at the path intact.
// `time` is the moment whose pose a kind with a static pose (glTF) writes.
ExportResult ExportScene(CTessaline& scene, const std::string& path, const ExportSettings& settings,
                         const TimePoint& time, Progress* progress = nullptr);

} // namespace vantomo
