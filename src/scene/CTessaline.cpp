#include "scene/CTessaline.h"

#include "scene/AppValues.h"

namespace {
const std::string kEmptyName;
}

CTessaline::CTessaline() { ResetScene(); }

void CTessaline::ResetScene()
{
    m_characterNames.assign(1, "Character_0");
    m_materials.clear();
    m_models.clear();
    m_traversal.clear();
    ClearHistory(true);
    ResetCamera();
    m_selectedCharacter = 0;
    m_selectedModel = kNoModel;
    RefreshDerived();
    ResetAnimationsIfEmpty();
    m_fieldOfView = 20.0f;
    m_smoothShading = 1;
    m_lastModelId = 5;
    m_nextMaterialId = 0;
    m_grabbedHandle = -1;
    m_backgroundColor = 0x005A411Eu;
}

void CTessaline::ResetCamera()
{
    CAnimation camera;
    camera.m_axis = CVector{20.0f, 10.0f, 0.0f};
    camera.m_angle = 0.0f;
    camera.m_position = CVector{0.0f, 0.0f, -1500.0f};
    camera.m_scale = CVector{1.0f, 1.0f, 1.0f};
    m_camera.assign(1, camera);
}

void CTessaline::ReleaseDeviceResources()
{
    for (CModel& model : m_models) {
        model.m_vertexBuffer = 0;
    }
    for (CMaterial& material : m_materials) {
        material.m_d3dTexture = 0;
        material.m_image.reset();
    }
}

void CTessaline::ClearHistory(bool resetFrame)
{
    m_undoNames.clear();
    m_undoParents.clear();
    m_undoFrames.clear();
    m_undoRecords.clear();
    m_undoAnimations.clear();
    m_redoNames.clear();
    m_redoParents.clear();
    m_redoFrames.clear();
    m_redoRecords.clear();
    m_redoAnimations.clear();
    if (resetFrame) {
        g_currentFrame = 0;
    }
}

void CTessaline::RefreshDerived()
{
    const int count = static_cast<int>(m_models.size());
    for (CModel& model : m_models) {
        model.m_parentName = model.m_parent < 0 ? GetCharacterName(~model.m_parent)
                                                : GetModelName(model.m_parent);
        // The walk is bounded by the model count, so a cycle cannot hang it.
        int r = model.m_parent;
        for (int steps = 0; r >= 0 && r < count && steps <= count; ++steps) {
            r = m_models[static_cast<std::size_t>(r)].m_parent;
        }
        // A chain that does not end at a character (a cycle or a reference
        // outside the list) counts as character 0, so the model stays reachable.
        model.m_character = r < 0 ? ~r : 0;
    }
}

void CTessaline::ResetAnimationsIfEmpty()
{
    if (!m_models.empty()) {
        return;
    }
    m_animationNames.assign(1, "Animation_0");
    g_currentAnimation = 0;
    g_animationCount = 1;
}

bool CTessaline::HasSelectedModel() const
{
    return m_selectedModel >= 0 && static_cast<std::size_t>(m_selectedModel) < m_models.size();
}

CModel* CTessaline::GetSelectedModel()
{
    return HasSelectedModel() ? &m_models[static_cast<std::size_t>(m_selectedModel)] : nullptr;
}

const CModel* CTessaline::GetSelectedModel() const
{
    return HasSelectedModel() ? &m_models[static_cast<std::size_t>(m_selectedModel)] : nullptr;
}

CMaterial* CTessaline::GetSelectedMaterial()
{
    if (m_selectedMaterial < 0 || static_cast<std::size_t>(m_selectedMaterial) >= m_materials.size()) {
        return nullptr;
    }
    return &m_materials[static_cast<std::size_t>(m_selectedMaterial)];
}

const std::string& CTessaline::GetCharacterName(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_characterNames.size()) {
        return kEmptyName;
    }
    return m_characterNames[static_cast<std::size_t>(index)];
}

const std::string& CTessaline::GetModelName(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_models.size()) {
        return kEmptyName;
    }
    return m_models[static_cast<std::size_t>(index)].m_name;
}

CAnimation CTessaline::GetRecord(int model, int animation, int frame) const
{
    if (model < 0 || static_cast<std::size_t>(model) >= m_models.size()) {
        return CAnimation{};
    }
    const CModel& m = m_models[static_cast<std::size_t>(model)];
    if (animation < 0 || static_cast<std::size_t>(animation) >= m.m_tracks.size()) {
        return CAnimation{};
    }
    const Track& track = m.m_tracks[static_cast<std::size_t>(animation)];
    if (frame < 0 || static_cast<std::size_t>(frame) >= track.size()) {
        return CAnimation{};
    }
    return track[static_cast<std::size_t>(frame)];
}
