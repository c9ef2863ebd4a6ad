#include "export/ExportScene.h"

// merge: replace this body with the glTF exporter's call once GltfExport.h is on the branch:
//     return ExportGltf(scene, path, GltfExportOptions{settings.scale, LowerAscii(GetPathExtension(path)) == "glb"});
ExportResult ExportGltfCase(CTessaline& /*scene*/, const std::string& /*path*/, const ExportSettings& /*settings*/)
{
    ExportResult result;
    result.message = "glTF export is not built yet";
    return result;
}
