#include "export/ExportScene.h"
#include "export/GltfExport.h"
#include "base/PathHelpers.h"

namespace vantomo {

ExportResult ExportGltfCase(CTessaline& scene, const std::string& path, const ExportSettings& settings,
                             Progress* progress)
{
    GltfExportOptions options;
    options.scale = settings.scale;
    options.binary = LowerAscii(GetPathExtension(path)) == "glb";
    return ExportGltf(scene, path, options, progress);
}

} // namespace vantomo
