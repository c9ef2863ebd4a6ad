// The document's side of the history: which steps the edits record, and what
// an undo or redo announces.
#include <algorithm>

#include "document/Document.h"
#include "document/Structure.h"
#include "scene/AppValues.h"

namespace vantomo {

void CVantomoDoc::BeginSceneStep(bool camera) { m_history.BeginScene(m_scene, camera); }

void CVantomoDoc::EndSceneStep(std::string_view label, bool done)
{
    if (done) {
        m_history.CommitScene(label);
    } else {
        m_history.AbandonScene();
    }
}

void CVantomoDoc::RecordSceneStep(std::string_view label)
{
    BeginSceneStep();
    EndSceneStep(label, true);
}

void CVantomoDoc::RecordTracksEdit(std::string_view label, int animation, std::vector<int> models,
                                   std::vector<Track> before)
{
    m_history.PushTracks(label, animation, std::move(models), std::move(before));
}

void CVantomoDoc::RecordPoseEdit()
{
    const CModel* model = m_scene.GetSelectedModel();
    if (model == nullptr) {
        return; // the camera's pose is a viewing choice, not an edit
    }
    std::vector<PoseRecord> before;
    if (const CAnimation* record = model->FindRecord(g_currentAnimation, g_currentFrame)) {
        before.push_back({m_scene.m_selectedModel, g_currentAnimation, g_currentFrame, *record});
    }
    m_history.BeginPose(kPoseLabel, std::move(before), m_scene);
}

void CVantomoDoc::EndPoseEdit() { m_history.EndPose(m_scene); }

namespace {

// An undone key or pose edit is shown in the animation it was made in.
void GoToAnimation(const CTessaline& scene, int animation)
{
    if (animation != g_currentAnimation && animation >= 0 && animation < g_animationCount) {
        g_currentAnimation = animation;
        g_lastFrame = scene.FrameCountOf(animation) - 1;
        g_prevLastFrame = g_lastFrame;
        g_currentFrame = std::clamp(g_currentFrame, 0, std::max(0, g_lastFrame));
    }
}

// A pose step takes the user to the record it restored: that model selected,
// at its animation and frame.
void GoToPose(CTessaline& scene, int model, int animation, int frame)
{
    SelectModel(scene, model);
    GoToAnimation(scene, animation);
    g_currentFrame = std::clamp(frame, 0, std::max(0, g_lastFrame));
}

} // namespace

bool CVantomoDoc::Undo() { return TakeStep(false); }

bool CVantomoDoc::Redo() { return TakeStep(true); }

bool CVantomoDoc::TakeStep(bool redo)
{
    const int animation = g_currentAnimation;
    const std::optional<UndoResult> result = redo ? m_history.Redo(m_scene) : m_history.Undo(m_scene);
    if (!result) {
        return false;
    }
    AnnounceStep(*result, animation);
    return true;
}

void CVantomoDoc::AnnounceStep(const UndoResult& result, int animationBefore)
{
    SetModifiedFlag();
    switch (result.kind) {
    case StepKind::Pose: {
        GoToPose(m_scene, result.model, result.animation, result.frame);
        if (g_currentAnimation != animationBefore) {
            UpdateAllViews(Change::AnimationSelected);
        }
        UpdateAllViews(ChangeNotice(Change::Keys, result.model));
        UpdateAllViews(ChangeNotice(Change::Selection, result.model));
        break;
    }
    case StepKind::Tracks: {
        GoToAnimation(m_scene, result.animation);
        if (g_currentAnimation != animationBefore) {
            UpdateAllViews(Change::AnimationSelected);
        }
        ChangeNotice change(Change::Keys, result.model);
        change.animation = g_currentAnimation;
        UpdateAllViews(change);
        break;
    }
    case StepKind::Scene:
        // Anything may have come back or gone: models, materials, names,
        // animations, the selection and the frame.
        UpdateAllViews(Change::ModelAddedOrDeleted);
        break;
    }
}

std::string CVantomoDoc::CommandText(int id) const
{
    const CommandInfo* info = FindCommand(id);
    if (info == nullptr) {
        return {};
    }
    std::string text(info->menuText);
    // The shortcut after the tab and the access key "(&X)" are not part of the name.
    if (const std::size_t tab = text.find('\t'); tab != std::string::npos) {
        text.erase(tab);
    }
    if (const std::size_t amp = text.find("(&"); amp != std::string::npos && text.find(')', amp) != std::string::npos) {
        text.erase(amp, text.find(')', amp) - amp + 1);
    }
    if (id == kCmdUndo && m_history.CanUndo()) {
        text += ": " + m_history.UndoLabel();
    } else if (id == kCmdRedo && m_history.CanRedo()) {
        text += ": " + m_history.RedoLabel();
    }
    return text;
}

} // namespace vantomo
