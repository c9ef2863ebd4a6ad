// vantomo-cli convert FILE... -o OUT.vtm|OUT.gltf|OUT.glb [--scale S]: open or
// import each file, in order, into one new scene as the open operation does,
// then save the project or export it as glTF (after the in-betweening every
// export runs first).
#include <charconv>
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/StderrSink.h"
#include "cli/Open.h"
#include "animation/Pose.h"
#include "document/Document.h"
#include "export/GltfExport.h"
#include "imaging/PathHelpers.h"
#include "scene/AppValues.h"
#include "scene/Cp932.h"

int RunConvert(const Args& args)
{
    std::vector<std::string> files;
    std::string output;
    std::string_view scaleText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !output.empty()) {
                std::cerr << "vantomo-cli convert: -o needs one output file\n";
                return kExitUsage;
            }
            output = std::string(args[++i]);
        } else if (args[i] == "--scale") {
            if (i + 1 >= args.size() || !scaleText.empty()) {
                std::cerr << "vantomo-cli convert: --scale needs one number\n";
                return kExitUsage;
            }
            scaleText = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            std::cerr << "vantomo-cli convert: unknown option " << args[i] << '\n';
            return kExitUsage;
        } else {
            files.emplace_back(args[i]);
        }
    }
    if (output.empty() || files.empty()) {
        std::cerr << "usage: vantomo-cli convert FILE... -o OUT.vtm|OUT.gltf|OUT.glb [--scale S]\n";
        return kExitUsage;
    }
    const std::string extension = LowerAscii(GetPathExtension(output));
    const bool gltf = extension == "gltf" || extension == "glb";
    GltfExportOptions gltfOptions;
    gltfOptions.binary = extension == "glb";
    if (!scaleText.empty()) {
        // from_chars never follows the locale; the whole argument must be the number.
        const auto parsed = std::from_chars(scaleText.data(), scaleText.data() + scaleText.size(), gltfOptions.scale);
        if (!gltf || parsed.ec != std::errc() || parsed.ptr != scaleText.data() + scaleText.size() ||
            !std::isfinite(gltfOptions.scale) || !(gltfOptions.scale > 0.0f)) {
            std::cerr << "vantomo-cli convert: --scale needs a number above 0 and a .gltf or .glb output\n";
            return kExitUsage;
        }
    }

    ResetAppValues();
    CTessaline scene;
    StderrSink messages;
    std::vector<OpenOutcome> outcomes;
    if (!OpenDocumentsInto(scene, files, messages, outcomes)) {
        return kExitFailure;
    }
    if (gltf) {
        InbetweenAll(scene);
        const ExportResult result = ExportGltf(scene, output, gltfOptions);
        if (!result.ok) {
            std::cerr << "vantomo-cli: " << output << ": " << result.message;
            if (!result.detail.empty()) {
                std::cerr << " (" << result.detail << ")";
            }
            std::cerr << '\n';
            return kExitFailure;
        }
        for (const std::string& texture : result.skippedTextures) {
            std::cerr << "vantomo-cli: " << output << ": texture not written: " << Cp932ToUtf8(texture) << '\n';
        }
        return kExitOk;
    }
    std::string detail;
    if (!SaveProjectFile(scene, output, &detail)) {
        std::cerr << "vantomo-cli: " << output << ": " << kSaveFailedMessage << " (" << detail << ")\n";
        return kExitFailure;
    }
    return kExitOk;
}
