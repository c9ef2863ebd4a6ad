// The document's undo and redo history. Every edit of what the project file
// stores is one step; undoing a step puts the scene back exactly as it was
// before the edit (derived fields, selection and frame values included) and
// redoing it exactly as it was after.
//
// A step is its own inverse: undo and redo both exchange what the step holds
// with what the scene holds, so a step never needs a second copy of anything.
// Three kinds keep steps small:
// - a pose step holds single frame records (a drag, typed values);
// - a tracks step holds whole tracks of one animation (keys added, deleted,
//   moved or pasted, frames in-betweened);
// - a scene step holds the scene's structure (models without their meshes,
//   materials, names, selection, frame values). Meshes never get copied: the
//   meshes of models the edit removed move into the step, and an undo moves
//   the meshes of models it takes away (an import's) into the step for redo.
//
// Pose and tracks steps name models by position. That is exact because every
// edit that adds, removes or reorders models is a step itself (or empties the
// history), so the scene an undo meets has the very models the step left.
// Scene steps find a model's mesh again by CModel::m_historyKey.
//
// The camera, the background colour, the playback rate, the transform mode
// and the shading switch are viewing choices: a step neither holds nor
// restores them. The one exception is the camera an import into an empty
// scene sets to frame its models.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "scene/CTessaline.h"

namespace vantomo {

// One frame record of one model, as a pose step keeps it.
struct PoseRecord {
    int model = 0;
    int animation = 0;
    int frame = 0;
    CAnimation record;
};

// What an undo or redo changed, so the document can announce it.
enum class StepKind { Pose, Tracks, Scene };

struct UndoResult {
    StepKind kind = StepKind::Scene;
    // The first record or track a pose or tracks step put back: its model
    // (-1 for none), animation and (pose steps) frame.
    int model = -1;
    int animation = 0;
    int frame = 0;
    std::string label;
};

class UndoHistory {
public:
    UndoHistory();

    // A scene step: BeginScene before the edit, then CommitScene once it is
    // done, or AbandonScene when it was refused (nothing changed). Models the
    // edit removes are handed over with KeepRemoved, which keeps their
    // meshes for the undo instead of destroying them.
    // With `camera` the step also holds the camera: an import into an empty
    // scene frames its models, and that framing goes back with the import.
    void BeginScene(CTessaline& scene, bool camera = false);
    void KeepRemoved(std::vector<CModel>&& removed);
    void CommitScene(std::string_view label);
    void AbandonScene();
    bool SceneEditOpen() const { return m_pending.has_value(); }

    // A pose step: BeginPose with the records as they are before a gesture
    // (a press in the 3D view, a typed value), EndPose once it is over. The
    // step is kept only when a record changed, so a click that moved nothing
    // neither adds a step nor empties the redo stack. A step still open when
    // another begins, or before an undo or redo, ends first.
    void BeginPose(std::string_view label, std::vector<PoseRecord> before, const CTessaline& scene);
    void EndPose(const CTessaline& scene);
    // A tracks step: the tracks of `animation` of `models` (same order) as
    // they were before the edit.
    void PushTracks(std::string_view label, int animation, std::vector<int> models, std::vector<Track> before);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The label (Japanese) of the step an undo or redo would take; "" for none.
    const std::string& UndoLabel() const;
    const std::string& RedoLabel() const;

    // Exchange the top step with the scene and move it to the other stack.
    // None when there is nothing to undo or redo.
    std::optional<UndoResult> Undo(CTessaline& scene);
    std::optional<UndoResult> Redo(CTessaline& scene);

    // Forget every step (a new or opened document).
    void Clear();

    // The most memory the steps may hold; when more is needed the oldest
    // steps go first, and the newest step is always kept.
    void SetMemoryLimit(std::size_t bytes);
    std::size_t MemoryLimit() const { return m_limit; }
    std::size_t MemoryUsed() const { return m_used; }
    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

    // A quarter of the machine's memory.
    static std::size_t DefaultMemoryLimit();

private:
    struct Mesh {
        std::vector<CVertex> vertices;
        std::vector<CFace> faces;
    };
    // The scene's structure with every model's mesh left out; `meshes` holds
    // the meshes of models the scene does not hold at the moment, by key.
    struct SceneState {
        std::vector<CModel> models;
        std::vector<CMaterial> materials;
        std::vector<TraversalEntry> traversal;
        std::vector<std::string> characterNames;
        std::vector<std::string> animationNames;
        int selectedCharacter = 0;
        int selectedModel = kNoModel;
        int selectedMaterial = -1;
        int lastModelId = 0;
        int nextMaterialId = 0;
        int currentFrame = 0;
        int lastFrame = 0;
        int prevLastFrame = 0;
        int currentAnimation = 0;
        std::optional<std::vector<CAnimation>> camera;
        std::unordered_map<std::uint64_t, Mesh> meshes;
    };
    struct TracksState {
        int animation = 0;
        std::vector<int> models;
        std::vector<Track> tracks;
    };
    struct Step {
        std::string label;
        std::variant<std::vector<PoseRecord>, TracksState, SceneState> content;
        std::size_t bytes = 0;
    };

    void AssignKeys(CTessaline& scene);
    // A copy of the structure of `scene` now, meshes left in the scene.
    // Models get keys first, so the meshes can find their models again.
    SceneState Capture(CTessaline& scene);
    // Put `state` into the scene; afterwards `state` holds what the scene held.
    void Exchange(CTessaline& scene, SceneState& state);
    UndoResult Apply(CTessaline& scene, Step& step);
    // Exchange the top step of `from` with the scene and move it onto `to`.
    std::optional<UndoResult> Take(CTessaline& scene, std::deque<Step>& from, std::deque<Step>& to);
    void Push(std::deque<Step>& stack, Step step);
    // A new edit: the steps that could be redone are gone, with their memory.
    void DropRedo();
    void Trim();
    static std::size_t Bytes(const Step& step);

    std::deque<Step> m_undo; // back is the top
    std::deque<Step> m_redo;
    std::optional<SceneState> m_pending;
    std::optional<Step> m_pendingPose;
    std::uint64_t m_nextKey = 1;
    std::size_t m_limit;
    std::size_t m_used = 0;
};

} // namespace vantomo
