#include "cli/Open.h"

#include <algorithm>

#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

namespace {

// The characters after the last "." of the file name, in lower case; empty
// when the name has no dot.
std::string LowerExtension(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return extension;
}

// What every successful open ends with: a fresh history, the frame values
// from model 0's first track, no selection, every track sized to it.
void FinishOpen(CTessaline& scene)
{
    scene.ClearHistory(true);
    g_lastFrame = 60;
    if (!scene.m_models.empty() && !scene.m_models.front().m_tracks.empty() &&
        !scene.m_models.front().m_tracks.front().empty()) {
        g_lastFrame = static_cast<int>(scene.m_models.front().m_tracks.front().size()) - 1;
    }
    g_prevLastFrame = g_lastFrame;
    g_currentAnimation = 0;
    g_animationCount = static_cast<int>(scene.m_animationNames.size());
    scene.RefreshDerived();
    scene.m_selectedModel = kNoModel;
    scene.RefreshDerived();
    scene.m_selectedCharacter = 0;
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1);
    }
    for (CMaterial& material : scene.m_materials) {
        material.UpdateD3DMaterial();
    }
    for (CModel& model : scene.m_models) {
        model.UpdateBounds();
    }
}

} // namespace


OpenOutcome OpenDocumentInto(CTessaline& scene, const std::string& path, MessageSink& messages)
{
    OpenOutcome outcome;
    const std::string extension = LowerExtension(path);

    if (extension == "mqo" || extension == "mqoz") {
        const MqoImportResult import = ImportMQO(scene, path, messages);
        if (!import.opened) {
            outcome.error = "cannot open " + path + ": " + import.error;
            return outcome;
        }
        outcome.result = import.code;
        outcome.texturesFound = import.texturesLoaded;
        outcome.texturesMissing = import.texturesMissing;
    } else {
        outcome.error = "cannot open " + path + ": no reader for this file type";
        return outcome;
    }

    FinishOpen(scene);
    outcome.ok = true;
    return outcome;
}
