// The scene root: what the project file stores, with the selection and the
// editing choices (transform mode, enabled axes) kept beside it. The history,
// the clipboards and the 3D view's state live with the document and the views.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/CAnimation.h"
#include "scene/CMaterial.h"
#include "scene/CModel.h"

namespace vantomo {

// Entry kinds of the traversal list, a depth-first walk of the hierarchy.
enum TraversalKind : int {
    kBeginCharacter = 0, // model: the first model of the character
    kEnterModel = 1,
    kLeaveModel = 2,
    kEndCharacter = 3, // model: the last model entered in the character
};

struct TraversalEntry {
    int kind = kBeginCharacter;
    int model = 0;
    bool operator==(const TraversalEntry&) const = default;
};

// Selection value meaning "no model".
inline constexpr int kNoModel = -10000;

// Most frame records the scene may hold in all; operations that would grow the
// tracks beyond it refuse, so a typed frame count cannot exhaust memory.
inline constexpr long long kRecordBudget = 50'000'000;

// Frames of an animation no model has records for yet.
inline constexpr int kDefaultFrameCount = 61;

class CTessaline {
public:
    CTessaline();

    float m_version = 1.7f;
    std::string m_languageName;
    std::vector<CAnimation> m_camera; // record 0 is the camera
    std::vector<CMaterial> m_materials;
    std::vector<TraversalEntry> m_traversal;
    std::vector<std::string> m_characterNames;
    std::vector<CModel> m_models;
    std::vector<std::string> m_animationNames;
    int m_selectedCharacter = 0;
    int m_selectedModel = kNoModel;
    int m_selectedMaterial = -1;
    int m_lastModelId = 5;
    int m_nextMaterialId = 0;
    int m_smoothShading = 1;
    float m_fieldOfView = 20.0f;
    // Playback rate in frames per second; the project file stores it, and
    // exports time their keys with it.
    float m_fps = 30.0f;
    int m_enableX = 1;
    int m_enableY = 1;
    int m_enableZ = 1;
    int m_enableAngle = 1;

    std::uint32_t m_backgroundColor = 0x005A411Eu; // COLORREF: RGB(30, 65, 90)
    int m_transformMode = 0;                       // 0 move, 1 rotate, 2 scale

    // Put the root into the new-scene state. The transform mode, the enable
    // flags, the language name and the playback rate are kept: a new document
    // plays at the rate last chosen.
    void ResetScene();

    // Forget every device object: renderer handles and decoded images.
    void ReleaseDeviceResources();

    // Recompute m_parentName and m_character of every model from the parent
    // chains, after RepairParents.
    void RefreshDerived();

    // A parent reference outside the model list or naming no character, and one
    // reference of every parent cycle (the lowest-index model of the cycle),
    // becomes the root of character 0 (-1), so every chain ends at a character.
    void RepairParents();

    // Rebuild m_traversal, the depth-first walk of the hierarchy: per character
    // with models BeginCharacter (its first model in tree order), EnterModel and
    // LeaveModel of each model in pre- and post-order, then EndCharacter (the
    // last model entered). Roots and children are taken in index order; models
    // whose chain does not reach a character are not walked.
    void BuildTraversal();

    // Number of frames of an animation: the record count of the first model whose
    // track of it holds records, or kDefaultFrameCount when none does.
    int FrameCountOf(int animation) const;

    // Records all tracks would hold with every model's track of `animation`
    // sized to `frames`.
    long long RecordsIfSized(int animation, long long frames) const;

    // With no model left, the animation list returns to the single default.
    void ResetAnimationsIfEmpty();

    // The camera back to its start pose: at (0, 0, -1500), turned (20, 10, 0) degrees.
    void ResetCamera();

    // Accessors. Indices outside their lists read as "none" where noted.
    bool HasSelectedModel() const;
    CModel* GetSelectedModel();             // null when none is selected
    const CModel* GetSelectedModel() const; // null when none is selected
    CMaterial* GetSelectedMaterial();       // null when outside the list
    const std::string& GetCharacterName(int index) const; // "" outside the list
    const std::string& GetModelName(int index) const;     // "" outside the list
    // Copy of record (animation, frame) of a model; the rest pose when any index is outside.
    CAnimation GetRecord(int model, int animation, int frame) const;
    const CAnimation& GetCameraRecord() const { return m_camera.front(); }
    CAnimation& GetCameraRecord() { return m_camera.front(); }
};

} // namespace vantomo
