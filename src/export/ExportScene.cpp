#include "export/ExportScene.h"

#include "animation/Pose.h"
#include "export/GltfExport.h"
#include "export/MqoWriter.h"
#include "export/XamlExport.h"
#include "base/PathHelpers.h"
#include "scene/ProjectFile.h"

namespace vantomo {

bool IsExportPath(std::string_view path)
{
    return InitialSettingsForPath(path).has_value() || LowerAscii(GetPathExtension(path)) == "vtm";
}

ExportResult ExportScene(CTessaline& scene, const std::string& path, const ExportSettings& settings,
                         const TimePoint& time, Progress* progress)
{
    const std::string extension = LowerAscii(GetPathExtension(path));
    if (extension == "vtm") {
        ExportResult result;
        result.ok = SaveProjectFile(scene, path, &result.detail, progress);
        if (!result.ok) {
            result.message = kSaveFailedMessage;
        }
        return result;
    }
    if (!IsExportPath(path)) {
        ExportResult result;
        result.message = "no writer for the file type ." + extension;
        return result;
    }
    InbetweenAll(scene);
    if (extension == "mqo") {
        return WriteMQO(scene, settings.scale, path, settings.writeUV != 0, progress);
    }
    if (extension == "xaml") {
        return ExportXaml(scene, path, settings.meshLayout, settings.animationKeys, settings.writeUV != 0,
                          settings.scale, settings.writeNormals != 0, progress);
    }
    GltfExportOptions options; // the glTF record's choice is its scale
    options.scale = settings.scale;
    options.binary = extension == "glb";
    options.pose = time;
    return ExportGltf(scene, path, options, progress);
}

} // namespace vantomo
