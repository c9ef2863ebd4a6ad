// vantomo-cli convert FILE... -o OUT [options]: open or import each file, in
// order, into one new scene as the open operation does, then write OUT by its
// extension: .vtm (project), .mqo, .xaml, .gltf or .glb, with the export
// options of that kind.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Open.h"
#include "cli/StderrSink.h"
#include "cli/TerminalProgress.h"
#include "export/ExportScene.h"
#include "document/FrameValues.h"
#include "scene/AppValues.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

constexpr const char* kUsage =
    "usage: vantomo-cli convert FILE... -o OUT.{vtm,mqo,xaml,gltf,glb} [--scale S] [--uv] [--normals]\n"
    "       [--mesh-layout 0|1] [--no-animation]\n";

} // namespace

int RunConvert(const Args& args)
{
    std::vector<std::string> files;
    std::vector<std::string_view> options;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size() || !output.empty()) {
                std::cerr << "vantomo-cli convert: -o needs one output file\n";
                return kExitUsage;
            }
            output = std::string(args[++i]);
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            const int values = ExportOptionValueCount(args[i]);
            if (values < 0) {
                std::cerr << "vantomo-cli convert: unknown option " << args[i] << '\n';
                return kExitUsage;
            }
            options.push_back(args[i]);
            if (values > 0 && i + 1 < args.size()) {
                options.push_back(args[++i]);
            }
        } else {
            files.emplace_back(args[i]);
        }
    }
    if (output.empty() || files.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    // The kind and its options are checked before anything is read or written.
    if (!IsExportPath(output)) {
        std::cerr << "vantomo-cli convert: " << output << ": the output must end in .vtm, .mqo, .xaml, .gltf or .glb\n";
        return kExitUsage;
    }
    std::optional<ExportSettings> settings = InitialSettingsForPath(output);
    const std::string refused = ApplyExportOptions(options, settings ? &*settings : nullptr);
    if (!refused.empty()) {
        std::cerr << "vantomo-cli convert: " << refused << '\n';
        return kExitUsage;
    }

    ResetAppValues();
    CTessaline scene;
    StderrSink messages;
    std::vector<OpenResult> outcomes;
    if (!OpenDocumentsInto(scene, files, messages, outcomes)) {
        return kExitFailure;
    }
    ExportResult result;
    {
        TerminalProgress progress("writing " + output);
        result = ExportScene(scene, output, settings.value_or(ExportSettings{}), CurrentTime(), &progress);
    }
    if (!result.ok) {
        std::cerr << "vantomo-cli: " << output << ": " << result.message;
        if (!result.detail.empty()) {
            std::cerr << " (" << result.detail << ")";
        }
        std::cerr << '\n';
        return kExitFailure;
    }
    for (const std::string& texture : result.skippedTextures) {
        std::cerr << "vantomo-cli: texture not written: " << Cp932ToUtf8(texture) << '\n';
    }
    return ReportIncompleteDocuments(files, outcomes) ? kExitFailure : kExitOk;
}

} // namespace vantomo
