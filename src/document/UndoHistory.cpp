#include "document/UndoHistory.h"

#include <unistd.h>

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "scene/AppValues.h"

namespace vantomo {

namespace {

const std::string kNoLabel;

template <typename List>
bool InRange(const List& list, int index)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

std::size_t TracksBytes(const std::vector<Track>& tracks)
{
    std::size_t bytes = tracks.capacity() * sizeof(Track);
    for (const Track& track : tracks) {
        bytes += track.Records().capacity() * sizeof(CAnimation);
    }
    return bytes;
}

// A model's own memory without its mesh.
std::size_t ModelBytes(const CModel& model)
{
    return sizeof(CModel) + model.m_name.capacity() + model.m_parentName.capacity() + TracksBytes(model.m_tracks);
}

std::size_t MeshBytes(const std::vector<CVertex>& vertices, const std::vector<CFace>& faces)
{
    std::size_t bytes = vertices.capacity() * sizeof(CVertex) + faces.capacity() * sizeof(CFace);
    for (const CVertex& vertex : vertices) {
        bytes += vertex.m_faces.capacity() * sizeof(int);
    }
    return bytes;
}

std::size_t StringsBytes(const std::vector<std::string>& strings)
{
    std::size_t bytes = strings.capacity() * sizeof(std::string);
    for (const std::string& s : strings) {
        bytes += s.capacity();
    }
    return bytes;
}

} // namespace

UndoHistory::UndoHistory() : m_limit(DefaultMemoryLimit()) {}

std::size_t UndoHistory::DefaultMemoryLimit()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) {
        return std::size_t{1} << 30; // the machine would not say: 1 GiB
    }
    return static_cast<std::size_t>(pages) / 4 * static_cast<std::size_t>(pageSize);
}

void UndoHistory::AssignKeys(CTessaline& scene)
{
    // Every model needs a key of its own: a model new since the last look has
    // none, and a model copied with its key keeps the key only in its first place.
    std::unordered_set<std::uint64_t> seen;
    seen.reserve(scene.m_models.size());
    for (CModel& model : scene.m_models) {
        if (model.m_historyKey == 0 || !seen.insert(model.m_historyKey).second) {
            model.m_historyKey = m_nextKey++;
            seen.insert(model.m_historyKey);
        }
    }
}

UndoHistory::SceneState UndoHistory::Capture(CTessaline& scene)
{
    AssignKeys(scene);
    SceneState state;
    state.models.reserve(scene.m_models.size());
    for (CModel& model : scene.m_models) {
        // The mesh steps aside while the rest of the model is copied.
        std::vector<CVertex> vertices = std::move(model.m_vertices);
        std::vector<CFace> faces = std::move(model.m_faces);
        state.models.push_back(model);
        model.m_vertices = std::move(vertices);
        model.m_faces = std::move(faces);
    }
    state.materials = scene.m_materials;
    state.traversal = scene.m_traversal;
    state.characterNames = scene.m_characterNames;
    state.animationNames = scene.m_animationNames;
    state.selectedCharacter = scene.m_selectedCharacter;
    state.selectedModel = scene.m_selectedModel;
    state.selectedMaterial = scene.m_selectedMaterial;
    state.lastModelId = scene.m_lastModelId;
    state.nextMaterialId = scene.m_nextMaterialId;
    state.currentFrame = g_currentFrame;
    state.lastFrame = g_lastFrame;
    state.prevLastFrame = g_prevLastFrame;
    state.currentAnimation = g_currentAnimation;
    return state;
}

void UndoHistory::Exchange(CTessaline& scene, SceneState& state)
{
    AssignKeys(scene);
    std::unordered_map<std::uint64_t, Mesh> meshes = std::move(state.meshes);
    for (CModel& model : scene.m_models) {
        Mesh& mesh = meshes[model.m_historyKey];
        mesh.vertices = std::move(model.m_vertices);
        mesh.faces = std::move(model.m_faces);
        // The renderer's buffers follow the models by their handles; a model
        // coming back gets new ones.
        model.m_vertexBuffer = 0;
    }
    std::swap(scene.m_models, state.models);
    for (CModel& model : scene.m_models) {
        const auto found = meshes.find(model.m_historyKey);
        if (found != meshes.end()) {
            model.m_vertices = std::move(found->second.vertices);
            model.m_faces = std::move(found->second.faces);
            meshes.erase(found);
        }
        model.m_vertexBuffer = 0;
    }
    state.meshes = std::move(meshes);
    std::swap(scene.m_materials, state.materials);
    std::swap(scene.m_traversal, state.traversal);
    std::swap(scene.m_characterNames, state.characterNames);
    std::swap(scene.m_animationNames, state.animationNames);
    std::swap(scene.m_selectedCharacter, state.selectedCharacter);
    std::swap(scene.m_selectedModel, state.selectedModel);
    std::swap(scene.m_selectedMaterial, state.selectedMaterial);
    std::swap(scene.m_lastModelId, state.lastModelId);
    std::swap(scene.m_nextMaterialId, state.nextMaterialId);
    std::swap(g_currentFrame, state.currentFrame);
    std::swap(g_lastFrame, state.lastFrame);
    std::swap(g_prevLastFrame, state.prevLastFrame);
    std::swap(g_currentAnimation, state.currentAnimation);
    if (state.camera) {
        std::swap(scene.m_camera, *state.camera);
    }
    SyncAnimationCount(scene);
}

void UndoHistory::BeginScene(CTessaline& scene, bool camera)
{
    EndPose(scene);
    m_pending = Capture(scene);
    if (camera) {
        m_pending->camera = scene.m_camera;
    }
}

void UndoHistory::KeepRemoved(std::vector<CModel>&& removed)
{
    if (!m_pending) {
        return;
    }
    for (CModel& model : removed) {
        Mesh& mesh = m_pending->meshes[model.m_historyKey];
        mesh.vertices = std::move(model.m_vertices);
        mesh.faces = std::move(model.m_faces);
    }
}

void UndoHistory::CommitScene(std::string_view label)
{
    if (!m_pending) {
        return;
    }
    Step step;
    step.label = label;
    step.content = std::move(*m_pending);
    m_pending.reset();
    DropRedo();
    Push(m_undo, std::move(step));
}

void UndoHistory::AbandonScene() { m_pending.reset(); }

void UndoHistory::BeginPose(std::string_view label, std::vector<PoseRecord> before, const CTessaline& scene)
{
    EndPose(scene);
    if (before.empty()) {
        return;
    }
    Step step;
    step.label = label;
    step.content = std::move(before);
    m_pendingPose = std::move(step);
}

void UndoHistory::EndPose(const CTessaline& scene)
{
    if (!m_pendingPose) {
        return;
    }
    Step step = std::move(*m_pendingPose);
    m_pendingPose.reset();
    bool changed = false;
    for (const PoseRecord& r : std::get<std::vector<PoseRecord>>(step.content)) {
        const CAnimation* now = InRange(scene.m_models, r.model)
                                    ? scene.m_models[static_cast<std::size_t>(r.model)].FindRecord(r.animation, r.frame)
                                    : nullptr;
        changed = changed || (now != nullptr && !(*now == r.record));
    }
    if (changed) {
        DropRedo();
        Push(m_undo, std::move(step));
    }
}

void UndoHistory::PushTracks(std::string_view label, int animation, std::vector<int> models,
                             std::vector<Track> before)
{
    if (models.empty() || models.size() != before.size()) {
        return;
    }
    Step step;
    step.label = label;
    step.content = TracksState{animation, std::move(models), std::move(before)};
    DropRedo();
    Push(m_undo, std::move(step));
}

const std::string& UndoHistory::UndoLabel() const { return m_undo.empty() ? kNoLabel : m_undo.back().label; }

const std::string& UndoHistory::RedoLabel() const { return m_redo.empty() ? kNoLabel : m_redo.back().label; }

UndoResult UndoHistory::Apply(CTessaline& scene, Step& step)
{
    UndoResult result;
    result.label = step.label;
    if (auto* records = std::get_if<std::vector<PoseRecord>>(&step.content)) {
        result.kind = StepKind::Pose;
        for (PoseRecord& r : *records) {
            if (!InRange(scene.m_models, r.model)) {
                continue;
            }
            if (CAnimation* record = scene.m_models[static_cast<std::size_t>(r.model)].FindRecord(r.animation, r.frame)) {
                std::swap(*record, r.record);
            }
            if (result.model < 0) {
                result.model = r.model;
                result.animation = r.animation;
                result.frame = r.frame;
            }
        }
    } else if (auto* tracks = std::get_if<TracksState>(&step.content)) {
        result.kind = StepKind::Tracks;
        for (std::size_t i = 0; i < tracks->models.size(); ++i) {
            const int m = tracks->models[i];
            if (!InRange(scene.m_models, m)) {
                continue;
            }
            CModel& model = scene.m_models[static_cast<std::size_t>(m)];
            if (InRange(model.m_tracks, tracks->animation)) {
                std::swap(model.m_tracks[static_cast<std::size_t>(tracks->animation)], tracks->tracks[i]);
            }
            if (result.model < 0) {
                result.model = m;
                result.animation = tracks->animation;
            }
        }
    } else {
        result.kind = StepKind::Scene;
        Exchange(scene, std::get<SceneState>(step.content));
    }
    // The step now holds the other side of the edit, which may differ in size.
    step.bytes = Bytes(step);
    return result;
}

std::optional<UndoResult> UndoHistory::Undo(CTessaline& scene) { return Take(scene, m_undo, m_redo); }

std::optional<UndoResult> UndoHistory::Redo(CTessaline& scene) { return Take(scene, m_redo, m_undo); }

std::optional<UndoResult> UndoHistory::Take(CTessaline& scene, std::deque<Step>& from, std::deque<Step>& to)
{
    EndPose(scene);
    if (from.empty()) {
        return std::nullopt;
    }
    Step step = std::move(from.back());
    from.pop_back();
    m_used -= step.bytes;
    UndoResult result = Apply(scene, step);
    m_used += step.bytes;
    to.push_back(std::move(step));
    Trim();
    return result;
}

void UndoHistory::Clear()
{
    m_undo.clear();
    m_redo.clear();
    m_pending.reset();
    m_pendingPose.reset();
    m_used = 0;
}

void UndoHistory::SetMemoryLimit(std::size_t bytes)
{
    m_limit = bytes;
    Trim();
}

void UndoHistory::Push(std::deque<Step>& stack, Step step)
{
    step.bytes = Bytes(step);
    m_used += step.bytes;
    stack.push_back(std::move(step));
    Trim();
}

void UndoHistory::DropRedo()
{
    for (const Step& step : m_redo) {
        m_used -= step.bytes;
    }
    m_redo.clear();
}

void UndoHistory::Trim()
{
    // The oldest undo steps go first, then the redo steps farthest away; the
    // newest step stays even when it alone passes the limit.
    while (m_used > m_limit) {
        std::deque<Step>* from = nullptr;
        if (m_undo.size() > 1) {
            from = &m_undo;
        } else if (!m_redo.empty() && m_undo.size() + m_redo.size() > 1) {
            from = &m_redo;
        } else {
            break;
        }
        m_used -= from->front().bytes;
        from->pop_front();
    }
}

std::size_t UndoHistory::Bytes(const Step& step)
{
    std::size_t bytes = sizeof(Step) + step.label.capacity();
    if (const auto* records = std::get_if<std::vector<PoseRecord>>(&step.content)) {
        bytes += records->capacity() * sizeof(PoseRecord);
    } else if (const auto* tracks = std::get_if<TracksState>(&step.content)) {
        bytes += tracks->models.capacity() * sizeof(int) + TracksBytes(tracks->tracks);
    } else {
        const SceneState& state = std::get<SceneState>(step.content);
        for (const CModel& model : state.models) {
            bytes += ModelBytes(model);
        }
        for (const auto& [key, mesh] : state.meshes) {
            bytes += sizeof(key) + sizeof(Mesh) + MeshBytes(mesh.vertices, mesh.faces);
        }
        bytes += state.materials.capacity() * sizeof(CMaterial);
        for (const CMaterial& material : state.materials) {
            bytes += material.m_name.capacity() + material.m_texture.capacity();
        }
        bytes += state.traversal.capacity() * sizeof(TraversalEntry);
        bytes += StringsBytes(state.characterNames) + StringsBytes(state.animationNames);
    }
    return bytes;
}

} // namespace vantomo
