#include "document/History.h"

#include "scene/AppValues.h"

namespace vantomo {

namespace {

// The five parallel vectors of one stack.
struct Stack {
    std::vector<std::string>& names;
    std::vector<int>& parents;
    std::vector<int>& frames;
    std::vector<CAnimation>& records;
    std::vector<int>& animations;

    std::size_t Size() const { return names.size(); }
    void Push(const std::string& name, int parent, int frame, const CAnimation& record, int animation)
    {
        names.push_back(name);
        parents.push_back(parent);
        frames.push_back(frame);
        records.push_back(record);
        animations.push_back(animation);
    }
    void Pop()
    {
        names.pop_back();
        parents.pop_back();
        frames.pop_back();
        records.pop_back();
        animations.pop_back();
    }
    void Clear()
    {
        names.clear();
        parents.clear();
        frames.clear();
        records.clear();
        animations.clear();
    }
};

Stack UndoStack(CTessaline& s)
{
    return {s.m_undoNames, s.m_undoParents, s.m_undoFrames, s.m_undoRecords, s.m_undoAnimations};
}

Stack RedoStack(CTessaline& s)
{
    return {s.m_redoNames, s.m_redoParents, s.m_redoFrames, s.m_redoRecords, s.m_redoAnimations};
}

bool Restore(CTessaline& scene, Stack from, Stack to)
{
    if (scene.m_models.empty() || from.Size() == 0) {
        return false;
    }
    const std::size_t top = from.Size() - 1;
    const std::string& name = from.names[top];
    int found = -1;
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_name == name) { // exact, byte for byte
            found = static_cast<int>(i);
            break;
        }
    }
    if (found < 0) {
        // Restoring would hit whatever model happens to be selected.
        from.Pop();
        return false;
    }
    scene.m_selectedModel = found;
    CModel& model = scene.m_models[static_cast<std::size_t>(found)];
    const int frame = from.frames[top];
    const int animation = from.animations[top];
    to.Push(model.m_name, model.m_parent, frame, scene.GetRecord(found, animation, frame), animation);
    const bool moved = model.m_parent != from.parents[top];
    model.m_parent = from.parents[top];
    g_currentFrame = frame;
    if (CAnimation* record = model.FindRecord(animation, frame)) {
        *record = from.records[top];
    }
    from.Pop();
    if (moved) {
        // The walk the renderer follows must match the restored hierarchy at once.
        scene.BuildTraversal();
    }
    return true;
}

} // namespace

void PushUndo(CTessaline& scene, int model, int frame)
{
    if (model < 0 || static_cast<std::size_t>(model) >= scene.m_models.size()) {
        return;
    }
    const CModel& m = scene.m_models[static_cast<std::size_t>(model)];
    UndoStack(scene).Push(m.m_name, m.m_parent, frame, scene.GetRecord(model, g_currentAnimation, frame),
                          g_currentAnimation);
    RedoStack(scene).Clear();
}

void PushUndoSelected(CTessaline& scene)
{
    if (scene.HasSelectedModel()) {
        PushUndo(scene, scene.m_selectedModel, g_currentFrame);
    }
}

bool Undo(CTessaline& scene) { return Restore(scene, UndoStack(scene), RedoStack(scene)); }

bool Redo(CTessaline& scene) { return Restore(scene, RedoStack(scene), UndoStack(scene)); }

} // namespace vantomo
