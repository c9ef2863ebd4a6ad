// vantomo-cli info [FILE...] [--json]: open the files, in order, into one new
// scene and print it.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/Commands.h"
#include "cli/StderrSink.h"
#include "cli/Open.h"
#include "cli/SceneJson.h"
#include "document/FrameValues.h"
#include "scene/AppValues.h"
#include "base/Cp932.h"

namespace vantomo {

namespace {

struct TextureCounts {
    int found = 0;
    int missing = 0;
};

void PrintSummary(const CTessaline& scene, const std::vector<ImportRecord>& imports,
                  const TextureCounts& textures)
{
    for (const ImportRecord& record : imports) {
        std::cout << "opened " << record.file << ": ";
        if (record.result) {
            std::cout << "result " << *record.result << (*record.result == 0 ? " (complete)" : " (incomplete)");
        } else {
            std::cout << "read";
        }
        std::cout << '\n';
    }
    std::size_t faces = 0;
    std::size_t vertices = 0;
    for (const CModel& model : scene.m_models) {
        faces += model.m_faces.size();
        vertices += model.m_vertices.size();
    }
    std::size_t textured = 0;
    for (const CMaterial& material : scene.m_materials) {
        textured += material.m_texture.empty() ? 0 : 1;
    }
    std::cout << "characters: " << scene.m_characterNames.size() << '\n'
              << "animations: " << scene.m_animationNames.size() << " (frames: " << CurrentFrameValues().lastFrame + 1
              << ", fps: " << scene.m_fps << ")\n"
              << "models: " << scene.m_models.size() << " (vertices: " << vertices
              << ", faces: " << faces << ")\n"
              << "materials: " << scene.m_materials.size() << " (textured: " << textured << ")\n"
              << "textures: " << textures.found << " found, " << textures.missing << " missing\n";
    for (const CModel& model : scene.m_models) {
        std::cout << "  model " << Cp932ToUtf8(model.m_name) << ": " << model.m_vertices.size()
                  << " vertices, " << model.m_faces.size() << " faces\n";
    }
}

} // namespace

int RunInfo(const Args& args)
{
    bool json = false;
    std::vector<std::string> files;
    for (std::string_view arg : args) {
        if (arg == "--json") {
            json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::cerr << "vantomo-cli info: unknown option " << arg << '\n';
            return kExitUsage;
        } else {
            files.emplace_back(arg);
        }
    }

    ResetAppValues();
    CTessaline scene;
    StderrSink messages;
    std::vector<ImportRecord> imports;
    TextureCounts textures;
    std::vector<OpenResult> outcomes;
    if (!OpenDocumentsInto(scene, files, messages, outcomes)) {
        return kExitFailure;
    }
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        imports.push_back({files[i], outcomes[i].importCode});
        textures.found += outcomes[i].texturesFound;
        textures.missing += outcomes[i].texturesMissing;
    }

    if (json) {
        std::cout << SceneToJson(scene, imports);
    } else {
        PrintSummary(scene, imports, textures);
    }
    std::cout.flush();
    // What was read is printed; a document read only in part is still a failure.
    const bool incomplete = ReportIncompleteDocuments(files, outcomes);
    return std::cout.good() && !incomplete ? kExitOk : kExitFailure;
}

} // namespace vantomo
