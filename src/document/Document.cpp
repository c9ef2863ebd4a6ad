#include "document/Document.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "document/Structure.h"
#include "base/PathHelpers.h"
#include "import/LoaderMQO.h"
#include "import/TextureLoader.h"
#include "document/FrameValues.h"
#include "scene/AppValues.h"
#include "scene/ProjectFile.h"
#include "base/FileIo.h"

namespace vantomo {

std::string ExtensionOf(std::string_view path)
{
    return LowerAscii(GetPathExtension(path));
}

namespace {

// Reads a ".vtm" into the scene. An empty file reads nothing and succeeds.
OpenResult ReadProjectInto(CTessaline& scene, const std::string& path, MessageSink& messages,
                           TextureLookup& textures, Progress* progress)
{
    OpenResult result;
    FileBytes bytes;
    const FileResult read = ReadWholeFile(path, bytes, progress);
    if (!read.ok) {
        result.message = kOpenFailedMessage;
        result.detail = std::strerror(read.error);
        return result;
    }
    if (bytes.Size() == 0) {
        scene.ReleaseDeviceResources();
        result.ok = true;
        return result;
    }
    LoadedProject loaded;
    if (!LoadProject(bytes.Span(), loaded)) {
        result.message = kBadFormatMessage;
        return result;
    }
    scene.ReleaseDeviceResources();
    AdoptLoadedProject(scene, std::move(*loaded.scene));
    // Relative texture names are looked up beside the project, as beside an
    // imported document: the folder it was opened from once was the working
    // folder, wherever the program itself was started.
    textures.baseFolder = FolderOf(path, PathText::Native);
    ReloadTextures(scene, messages, textures);
    result.ok = true;
    return result;
}

// The steps every successful open ends with.
void AfterOpen(CTessaline& scene)
{
    g_currentFrame = 0;
    // The first animation's length, from the first model that has records for
    // it: model 0 may hold none when it was imported under another animation.
    g_lastFrame = scene.FrameCountOf(0) - 1;
    g_prevLastFrame = g_lastFrame;
    g_currentAnimation = 0;
    SyncAnimationCount(scene);
    g_playing = 0;
    scene.RefreshDerived();
    scene.m_selectedModel = kNoModel;
    scene.RefreshDerived();
    scene.m_selectedCharacter = 0;
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1, CurrentTrackShape());
    }
    for (CMaterial& material : scene.m_materials) {
        material.UpdateD3DMaterial();
    }
    for (CModel& model : scene.m_models) {
        model.UpdateBounds();
    }
    scene.BuildTraversal();
}

} // namespace

OpenResult OpenInto(CTessaline& scene, const std::string& path, MessageSink& messages, TextureLookup& textures,
                    bool& modified, Progress* progress)
{
    const std::string extension = ExtensionOf(path);
    OpenResult result;
    if (extension == "vtm") {
        result = ReadProjectInto(scene, path, messages, textures, progress);
        if (!result.ok) {
            return result;
        }
        modified = false;
    } else if (extension == "mqo" || extension == "mqoz") {
        result = ImportMQO(scene, path, messages, &textures, progress, CurrentTrackShape());
        if (!result.ok) {
            return result; // not opened, or stopped by the user: nothing was read
        }
        modified = true;
    } else {
        result.ok = true; // nothing is read, but the scene is reset as after any open
    }
    AfterOpen(scene);
    return result;
}

CVantomoDoc::CVantomoDoc(UserInterface& ui) : m_ui(ui)
{
    m_scene.m_selectedModel = kNoModel;
    m_scene.RefreshDerived();
    m_scene.m_selectedCharacter = 0;
    m_scene.m_transformMode = 0;
}

void CVantomoDoc::AddView(DocumentView* view) { m_views.push_back(view); }

void CVantomoDoc::RemoveView(DocumentView* view) { std::erase(m_views, view); }

void CVantomoDoc::UpdateAllViews(const ChangeNotice& change)
{
    switch (change.kind) {
    case Change::NewDocument:
    case Change::ProjectOpened:
    case Change::ModelAddedOrDeleted:
    case Change::ModelMoved:
    case Change::Navigation:
    case Change::Stop:
        m_playback.Stop();
        break;
    default:
        break;
    }
    // The material commands act on a material as soon as there is one.
    if (m_scene.m_selectedMaterial < 0 && !m_scene.m_materials.empty()) {
        m_scene.m_selectedMaterial = 0;
    }
    FollowKeySelection(change.kind);
    // A view may add or remove views while handling the hint.
    const std::vector<DocumentView*> views = m_views;
    for (DocumentView* view : views) {
        view->OnChange(change);
    }
}

bool CVantomoDoc::OnNewDocument()
{
    m_scene.ReleaseDeviceResources();
    m_pathName.clear();
    m_title.clear();
    m_modified = false;
    g_currentFrame = 0;
    g_playing = 0;
    g_lastFrame = 60;
    g_prevLastFrame = 60;
    g_currentAnimation = 0;
    m_scene.ReleaseDeviceResources();
    m_scene.ResetScene();
    m_history.Clear();
    m_view.m_grabbedHandle = -1;
    SyncAnimationCount(m_scene);
    UpdateAllViews(Change::NewDocument);
    return true;
}

bool CVantomoDoc::OnOpenDocument(const std::string& path)
{
    // Told after the views show what was opened.
    const TextureReportScope textures(m_textureReport);
    bool modified = m_modified;
    m_lastFailure.clear();
    const std::size_t modelsBefore = m_scene.m_models.size();
    // A project replaces the scene and its history; an import is one more step.
    const bool project = ExtensionOf(path) == "vtm";
    if (!project) {
        BeginSceneStep(modelsBefore == 0); // the framing of a first import goes with it
    }
    OpenResult result;
    {
        // Reading a project cannot stop half way without losing the scene it
        // replaces only at the end; an import can, and leaves the scene as it was.
        const std::unique_ptr<Progress> progress =
            m_ui.BeginProgress(project ? kOpeningProgress : kImportingProgress, !project);
        result = OpenInto(m_scene, path, m_textureReport, m_textures, modified, progress.get());
    }
    if (project && result.ok && !result.cancelled) {
        m_history.Clear();
    } else if (!project) {
        EndSceneStep(kAddModelLabel, result.ok && !result.cancelled);
    }
    if (result.cancelled) {
        return false;
    }
    if (!result.ok) {
        m_ui.ShowMessage(result.message);
        m_lastFailure = result.Describe();
        return false;
    }
    NoteImportFailure(result);
    if (ExtensionOf(path) == "vtm") {
        m_pathName = path;
        m_title = path;
    } else {
        FrameFirstImport(modelsBefore); // a project keeps the camera it was saved with
    }
    m_modified = modified;
    UpdateAllViews(Change::ProjectOpened);
    return true;
}

bool CVantomoDoc::OnSaveDocument(const std::string& path)
{
    m_lastFailure.clear();
    std::string detail;
    bool saved = false;
    {
        const std::unique_ptr<Progress> progress = m_ui.BeginProgress(kSavingProgress, false);
        saved = SaveProjectFile(m_scene, path, &detail, progress.get());
    }
    if (!saved) {
        m_ui.ShowMessage(kSaveFailedMessage);
        m_lastFailure = std::string(kSaveFailedMessage) + " (" + detail + ")";
        return false;
    }
    const bool renamed = m_pathName != path;
    m_pathName = path;
    m_title = path;
    m_modified = false;
    if (renamed) {
        UpdateAllViews(Change::Title);
    }
    return true;
}

bool CVantomoDoc::AddModel()
{
    FileDialogRequest request;
    request.filter = kAddModelFilter;
    request.defaultExtension = "mqo";
    request.initialFolder = DialogFolder();
    const std::optional<std::string> path = m_ui.AskPath(request);
    if (!path) {
        return false;
    }
    static_cast<void>(AddModelFromPath(*path)); // the reader told the user; LastFailure keeps it
    return true;
}

OpenResult CVantomoDoc::ImportWithProgress(const std::string& path)
{
    const TextureReportScope textures(m_textureReport);
    m_lastFailure.clear();
    OpenResult result;
    BeginSceneStep(m_scene.m_models.empty()); // the framing of a first import goes with it
    {
        const std::unique_ptr<Progress> progress = m_ui.BeginProgress(kImportingProgress, true);
        result = ImportMQO(m_scene, path, m_textureReport, &m_textures, progress.get(), CurrentTrackShape());
    }
    EndSceneStep(kAddModelLabel, result.ok && !result.cancelled);
    if (!result.cancelled) {
        NoteImportFailure(result);
    }
    return result;
}

OpenResult CVantomoDoc::AddModelFromPath(const std::string& path)
{
    const std::size_t modelsBefore = m_scene.m_models.size();
    const TextureReportScope textures(m_textureReport); // told once the views show the models
    const OpenResult result = ImportWithProgress(path);
    if (result.cancelled) {
        return result; // the scene, its history and the modified flag are as they were
    }
    SetModifiedFlag();
    g_currentFrame = 0;
    m_scene.RefreshDerived();
    ClearSelection(m_scene);
    // The views hear of the new models only once the walk includes them.
    m_scene.BuildTraversal();
    FrameFirstImport(modelsBefore);
    UpdateAllViews(Change::ModelAddedOrDeleted);
    return result;
}

std::string CVantomoDoc::DialogFolder() const
{
    if (m_pathName.empty()) {
        return {};
    }
    // A project opened by a bare name lives in the working folder.
    const std::string folder = FolderOf(m_pathName, PathText::Native);
    return folder.empty() ? std::string("./") : folder;
}

std::uint32_t MaterialDisplayColor(const CMaterial& material)
{
    std::uint32_t rgb = 0;
    for (int i = 0; i < 3; ++i) {
        float c = material.m_color[i];
        c = c >= 0.0f ? (c <= 1.0f ? c : 1.0f) : 0.0f; // NaN fails both tests: 0
        rgb |= static_cast<std::uint32_t>(c * 255.0f) << (8 * i);
    }
    return rgb;
}

void CVantomoDoc::NoteImportFailure(const OpenResult& result)
{
    if (!result.ok) {
        m_lastFailure = result.Describe();
    } else if (!result.Complete()) {
        // What was read stays in the scene; the document itself is broken.
        m_lastFailure = "result " + std::to_string(*result.importCode) + ": " + MqoResultMeaning(*result.importCode);
    }
}

} // namespace vantomo
