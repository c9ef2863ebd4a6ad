// The document's editing operations with explicit arguments: one place for
// each edit's checks, its change notice and the modified mark, whichever
// front end (a dialog, an in-place edit, a script line) supplied the values.
#include <climits>

#include "animation/Pose.h"
#include "base/Cp932.h"
#include "base/Numbers.h"
#include "document/FrameValues.h"
#include "document/Document.h"
#include "document/KeyEditing.h"
#include "document/Structure.h"
#include "export/ExportScene.h"
#include "scene/AppValues.h"
#include "scene/Names.h"

namespace vantomo {

namespace {

OperationResult Refused(std::string message = {})
{
    OperationResult result;
    result.message = std::move(message);
    return result;
}

OperationResult Done()
{
    OperationResult result;
    result.ok = true;
    return result;
}

template <typename List>
bool InRange(const List& list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

} // namespace

OperationResult CVantomoDoc::InsertFrames(long long after, long long count)
{
    BeginSceneStep();
    const bool inserted = vantomo::InsertFrames(m_scene, after, count);
    EndSceneStep(kInsertFramesLabel, inserted);
    if (!inserted) {
        m_ui.ShowMessage(kFrameOutOfRangeMessage);
        return Refused(kFrameOutOfRangeMessage);
    }
    UpdateAllViews(Change::Frames);
    SetModifiedFlag();
    return Done();
}

OperationResult CVantomoDoc::DeleteFrames(long long first, long long last)
{
    BeginSceneStep();
    const bool deleted = vantomo::DeleteFrames(m_scene, first, last);
    EndSceneStep(kDeleteFramesLabel, deleted);
    if (!deleted) {
        m_ui.ShowMessage(kFrameOutOfRangeMessage);
        return Refused(kFrameOutOfRangeMessage);
    }
    UpdateAllViews(Change::Frames);
    SetModifiedFlag();
    return Done();
}

OperationResult CVantomoDoc::SetKey(bool add, bool allModels, long long frame)
{
    if (!m_scene.HasSelectedModel()) {
        m_ui.ShowMessage(kSelectModelMessage);
        return Refused(kSelectModelMessage);
    }
    // Every model is in-betweened afterwards, which may change tracks of any
    // model and animation: the step keeps them all.
    BeginSceneStep();
    if (add) {
        AddKey(m_scene, allModels, frame);
    } else {
        DeleteKey(m_scene, allModels, frame);
    }
    InbetweenAll(m_scene);
    EndSceneStep(add ? kAddKeyLabel : kDeleteKeyLabel, true);
    UpdateAllViews(ChangeNotice(Change::Keys, m_scene.m_selectedModel));
    SetModifiedFlag();
    return Done();
}

OperationResult CVantomoDoc::RenameModel(int index, const std::string& name)
{
    if (!InRange(m_scene.m_models, index) || name.empty()) {
        return Refused();
    }
    // The name checks act on the selection: the model is selected for them
    // and the selection put back.
    BeginSceneStep();
    const int selected = m_scene.m_selectedModel;
    m_scene.m_selectedModel = index;
    const bool renamed = vantomo::RenameModel(m_scene, name, m_ui);
    m_scene.m_selectedModel = selected;
    m_scene.RefreshDerived();
    EndSceneStep(kRenameLabel, renamed);
    if (!renamed) {
        return Refused(kDuplicateNameMessage);
    }
    SetModifiedFlag();
    UpdateAllViews(ChangeNotice(Change::Structure, index));
    return Done();
}

OperationResult CVantomoDoc::RenameCharacter(int index, const std::string& name)
{
    if (!InRange(m_scene.m_characterNames, index) || name.empty()) {
        return Refused();
    }
    BeginSceneStep();
    const int selected = m_scene.m_selectedCharacter;
    m_scene.m_selectedCharacter = index;
    const bool renamed = vantomo::RenameCharacter(m_scene, name, m_ui);
    m_scene.m_selectedCharacter = selected;
    EndSceneStep(kRenameLabel, renamed);
    if (!renamed) {
        return Refused(kDuplicateNameMessage);
    }
    SetModifiedFlag();
    UpdateAllViews(Change::Structure);
    return Done();
}

OperationResult CVantomoDoc::RenameAnimation(int index, const std::string& name)
{
    if (!InRange(m_scene.m_animationNames, index) || name.empty()) {
        return Refused();
    }
    BeginSceneStep();
    const int current = g_currentAnimation;
    g_currentAnimation = index;
    const bool renamed = vantomo::RenameAnimation(m_scene, index, name, m_ui);
    g_currentAnimation = current;
    EndSceneStep(kRenameLabel, renamed);
    if (!renamed) {
        return Refused(kDuplicateNameMessage);
    }
    SetModifiedFlag();
    ChangeNotice change(Change::AnimationList);
    change.animation = index;
    UpdateAllViews(change);
    return Done();
}

OperationResult CVantomoDoc::RenameMaterial(int index, const std::string& name)
{
    if (!InRange(m_scene.m_materials, index) || name.empty()) {
        return Refused();
    }
    const int selected = m_scene.m_selectedMaterial;
    m_scene.m_selectedMaterial = index;
    const bool taken = MaterialNameTaken(name);
    m_scene.m_selectedMaterial = selected;
    if (taken) {
        m_ui.ShowMessage(kDuplicateNameMessage);
        return Refused(kDuplicateNameMessage);
    }
    RecordSceneStep(kRenameLabel);
    m_scene.m_materials[static_cast<std::size_t>(index)].m_name = name;
    SetModifiedFlag();
    ChangeNotice change(Change::Shading);
    change.material = index;
    UpdateAllViews(change);
    return Done();
}

OperationResult CVantomoDoc::DeleteModel(int index)
{
    if (!InRange(m_scene.m_models, index)) {
        return Refused();
    }
    // The model is selected first, so an undo brings it back selected.
    SelectModel(m_scene, index);
    BeginSceneStep();
    std::vector<CModel> removed;
    const bool deleted = vantomo::DeleteModel(m_scene, &removed);
    m_history.KeepRemoved(std::move(removed));
    EndSceneStep(kDeleteModelLabel, deleted);
    if (!deleted) {
        return Refused();
    }
    UpdateAllViews(ChangeNotice(Change::ModelAddedOrDeleted, index));
    SetModifiedFlag();
    return Done();
}

OperationResult CVantomoDoc::SetLastFrame(long long lastFrame)
{
    // Setting the count in force would make an undo step that changes nothing.
    if (lastFrame == g_lastFrame) {
        return Refused();
    }
    const std::string text = FormatInt(lastFrame);
    BeginSceneStep();
    const bool set = vantomo::SetLastFrame(m_scene, text, m_ui) == SetLastFrameResult::kSet;
    EndSceneStep(kLastFrameLabel, set);
    if (!set) {
        return Refused(lastFrame < 0 ? std::string() : std::string(kFrameOutOfRangeMessage));
    }
    AnnounceAnimationChange(Change::AnimationList);
    SetModifiedFlag();
    return Done();
}

ExportResult CVantomoDoc::Export(const std::string& path, const ExportSettings& settings)
{
    m_lastFailure.clear();
    InbetweenAll(m_scene);
    ExportResult result;
    {
        const std::unique_ptr<Progress> progress = m_ui.BeginProgress(kExportingProgress, true);
        result = ExportScene(m_scene, path, settings, CurrentTime(), progress.get());
    }
    // An export the user stopped left any old file as it was; nothing to say.
    if (!result.ok && !result.cancelled) {
        m_ui.ShowMessage(result.message);
        m_lastFailure = result.Describe();
    } else if (result.ok && !result.skippedTextures.empty()) {
        std::string text = kSkippedTexturesMessage;
        for (const std::string& name : result.skippedTextures) {
            text += "\n" + Cp932ToUtf8(name);
        }
        m_ui.ShowMessage(text);
    }
    // An export is not the project: the document stays modified.
    SetModifiedFlag();
    return result;
}

} // namespace vantomo
