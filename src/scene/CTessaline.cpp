#include "scene/CTessaline.h"

#include "scene/AppValues.h"

#include <algorithm>
#include <climits>

namespace vantomo {

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
    ResetCamera();
    m_selectedCharacter = 0;
    m_selectedModel = kNoModel;
    RefreshDerived();
    ResetAnimationsIfEmpty();
    m_fieldOfView = 20.0f;
    m_smoothShading = 1;
    m_lastModelId = 5;
    m_nextMaterialId = 0;
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
        material.m_textureFile.clear();
    }
}

void CTessaline::RefreshDerived()
{
    // Afterwards every chain ends at a character, so the walks below end.
    RepairParents();
    // Each model's character is resolved once; a walk stops at the first
    // ancestor already resolved, so deep hierarchies stay linear.
    const std::size_t count = m_models.size();
    std::vector<int> character(count, -1); // -1: not resolved yet
    std::vector<int> path;
    for (std::size_t i = 0; i < count; ++i) {
        path.clear();
        int r = static_cast<int>(i);
        while (r >= 0 && character[static_cast<std::size_t>(r)] < 0) {
            path.push_back(r);
            r = m_models[static_cast<std::size_t>(r)].m_parent;
        }
        const int c = r < 0 ? ~r : character[static_cast<std::size_t>(r)];
        for (const int k : path) {
            character[static_cast<std::size_t>(k)] = c;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        CModel& model = m_models[i];
        model.m_parentName = model.m_parent < 0 ? GetCharacterName(~model.m_parent)
                                                : GetModelName(model.m_parent);
        model.m_character = character[i];
    }
}

void CTessaline::ResetAnimationsIfEmpty()
{
    if (!m_models.empty()) {
        return;
    }
    m_animationNames.assign(1, "Animation_0");
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
    const CAnimation* record = m_models[static_cast<std::size_t>(model)].FindRecord(animation, frame);
    return record != nullptr ? *record : CAnimation{};
}

void CTessaline::RepairParents()
{
    const int count = static_cast<int>(m_models.size());
    const int characters = static_cast<int>(m_characterNames.size());
    for (CModel& model : m_models) {
        const int p = model.m_parent;
        if (p >= count || (p < 0 && ~p >= characters)) {
            model.m_parent = -1;
        }
    }
    // Colour walk: 0 not seen, 1 on the current path, 2 known to end at a character.
    std::vector<unsigned char> state(m_models.size(), 0);
    std::vector<int> path;
    for (int i = 0; i < count; ++i) {
        path.clear();
        int j = i;
        while (j >= 0 && state[static_cast<std::size_t>(j)] == 0) {
            state[static_cast<std::size_t>(j)] = 1;
            path.push_back(j);
            j = m_models[static_cast<std::size_t>(j)].m_parent;
        }
        if (j >= 0 && state[static_cast<std::size_t>(j)] == 1) {
            // The path ran into itself: the cycle is j .. path.back().
            const auto start = std::find(path.begin(), path.end(), j);
            const int lowest = *std::min_element(start, path.end());
            m_models[static_cast<std::size_t>(lowest)].m_parent = -1;
        }
        for (int k : path) {
            state[static_cast<std::size_t>(k)] = 2;
        }
    }
}

void CTessaline::BuildTraversal()
{
    m_traversal.clear();
    const std::size_t count = m_models.size();
    const std::size_t characters = m_characterNames.size();
    if (count == 0) {
        return;
    }
    // Children and roots in index order, as lists threaded through two arrays.
    std::vector<int> firstChild(count, -1), nextSibling(count, -1);
    std::vector<int> firstRoot(characters, -1);
    std::vector<int> lastChild(count, -1), lastRoot(characters, -1);
    for (std::size_t i = 0; i < count; ++i) {
        const int p = m_models[i].m_parent;
        int* first = nullptr;
        int* last = nullptr;
        if (p >= 0 && static_cast<std::size_t>(p) < count && static_cast<std::size_t>(p) != i) {
            first = &firstChild[static_cast<std::size_t>(p)];
            last = &lastChild[static_cast<std::size_t>(p)];
        } else if (p < 0 && static_cast<std::size_t>(~p) < characters) {
            first = &firstRoot[static_cast<std::size_t>(~p)];
            last = &lastRoot[static_cast<std::size_t>(~p)];
        } else {
            continue;
        }
        if (*last < 0) {
            *first = static_cast<int>(i);
        } else {
            nextSibling[static_cast<std::size_t>(*last)] = static_cast<int>(i);
        }
        *last = static_cast<int>(i);
    }
    // Depth-first with an explicit stack: a long chain must not overflow the
    // call stack. `entered` guards against visiting a model twice.
    std::vector<unsigned char> entered(count, 0);
    std::vector<int> stack;
    for (std::size_t c = 0; c < characters; ++c) {
        if (firstRoot[c] < 0) {
            continue;
        }
        m_traversal.push_back({kBeginCharacter, firstRoot[c]});
        int lastEntered = firstRoot[c];
        for (int root = firstRoot[c]; root >= 0; root = nextSibling[static_cast<std::size_t>(root)]) {
            if (entered[static_cast<std::size_t>(root)]) {
                continue;
            }
            entered[static_cast<std::size_t>(root)] = 1;
            m_traversal.push_back({kEnterModel, root});
            lastEntered = root;
            stack.assign(1, root);
            // Each stack entry is a model entered whose children are still being
            // walked; firstChild serves as its cursor to the next child.
            while (!stack.empty()) {
                const int top = stack.back();
                int& child = firstChild[static_cast<std::size_t>(top)];
                while (child >= 0 && entered[static_cast<std::size_t>(child)]) {
                    child = nextSibling[static_cast<std::size_t>(child)];
                }
                if (child >= 0) {
                    const int next = child;
                    child = nextSibling[static_cast<std::size_t>(next)];
                    entered[static_cast<std::size_t>(next)] = 1;
                    m_traversal.push_back({kEnterModel, next});
                    lastEntered = next;
                    stack.push_back(next);
                } else {
                    m_traversal.push_back({kLeaveModel, top});
                    stack.pop_back();
                }
            }
        }
        m_traversal.push_back({kEndCharacter, lastEntered});
    }
}

int CTessaline::FrameCountOf(int animation) const
{
    if (animation >= 0) {
        for (const CModel& model : m_models) {
            if (static_cast<std::size_t>(animation) < model.m_tracks.size()) {
                const std::size_t n = model.m_tracks[static_cast<std::size_t>(animation)].size();
                if (n > 0) {
                    return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
                }
            }
        }
    }
    return kDefaultFrameCount;
}

long long CTessaline::RecordsIfSized(int animation, long long frames) const
{
    long long total = 0;
    for (const CModel& model : m_models) {
        for (std::size_t t = 0; t < model.m_tracks.size(); ++t) {
            if (static_cast<int>(t) != animation) {
                total += static_cast<long long>(model.m_tracks[t].size());
            }
        }
        total += frames;
    }
    return total;
}

} // namespace vantomo
