#include "document/Structure.h"

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "document/FrameValues.h"
#include "scene/AppValues.h"
#include "base/Cp932.h"
#include "scene/Names.h"

namespace vantomo {

namespace {

constexpr int kDefaultNameLimit = 20000;

bool ValidModel(const CTessaline& scene, int model)
{
    return model >= 0 && static_cast<std::size_t>(model) < scene.m_models.size();
}

// The first "<prefix><n>" not in `names` (exact comparison), or "" when all
// n in 0..19999 are taken.
std::string FirstFreeName(const std::vector<std::string>& names, const char* prefix)
{
    const std::unordered_set<std::string> taken(names.begin(), names.end());
    for (int n = 0; n < kDefaultNameLimit; ++n) {
        std::string candidate = prefix + std::to_string(n);
        if (!taken.contains(candidate)) {
            return candidate;
        }
    }
    return {};
}

} // namespace

void SelectModel(CTessaline& scene, int model)
{
    scene.m_selectedModel = model;
    scene.RefreshDerived();
    scene.m_selectedCharacter =
        ValidModel(scene, model) ? scene.m_models[static_cast<std::size_t>(model)].m_character : 0;
}

void ClearSelection(CTessaline& scene)
{
    scene.m_selectedModel = kNoModel;
    scene.RefreshDerived();
    scene.m_selectedCharacter = 0;
}

void SelectCharacter(CTessaline& scene, int character)
{
    scene.m_selectedCharacter = character;
    scene.m_selectedModel = kNoModel;
    scene.RefreshDerived();
}

bool DeleteModel(CTessaline& scene, std::vector<CModel>* removed)
{
    if (!scene.HasSelectedModel()) {
        return false;
    }
    scene.RefreshDerived();
    const auto victim = scene.m_models.begin() + scene.m_selectedModel;
    victim->m_vertexBuffer = 0;
    if (removed != nullptr) {
        removed->push_back(std::move(*victim));
    }
    scene.m_models.erase(victim);
    RemoveUnusedMaterials(scene);
    ResolveParentsByName(scene);
    ClearSelection(scene);
    g_currentFrame = 0;
    scene.ResetAnimationsIfEmpty();
    SyncAnimationCount(scene);
    scene.BuildTraversal();
    return true;
}

void SetModelVisible(CTessaline& scene, int model, bool visible)
{
    if (!ValidModel(scene, model)) {
        return;
    }
    if (visible) {
        SelectModel(scene, model);
    } else {
        ClearSelection(scene);
    }
    scene.m_models[static_cast<std::size_t>(model)].m_visible = visible ? 1 : 0;
}

bool AddCharacter(CTessaline& scene)
{
    std::string name = FirstFreeName(scene.m_characterNames, "Character_");
    if (name.empty()) {
        return false;
    }
    scene.m_characterNames.push_back(std::move(name));
    return true;
}

bool DeleteCharacter(CTessaline& scene, std::vector<CModel>* removed)
{
    const int s = scene.m_selectedCharacter;
    if (s < 0 || static_cast<std::size_t>(s) >= scene.m_characterNames.size()) {
        return false;
    }
    scene.RefreshDerived();
    scene.m_characterNames.erase(scene.m_characterNames.begin() + s);
    if (scene.m_characterNames.empty()) {
        // Every model belonged to the deleted character, so no model is left
        // whose name could collide, and the materials all go below.
        scene.m_characterNames.assign(1, "Character_0");
    }
    std::vector<CModel> kept;
    kept.reserve(scene.m_models.size());
    for (CModel& model : scene.m_models) {
        if (model.m_character == s) {
            model.m_vertexBuffer = 0;
            if (removed != nullptr) {
                removed->push_back(std::move(model));
            }
            continue;
        }
        if (model.m_character > s) {
            model.m_character -= 1;
        }
        kept.push_back(std::move(model));
    }
    scene.m_models = std::move(kept);
    RemoveUnusedMaterials(scene);
    ResolveParentsByName(scene);
    ClearSelection(scene);
    g_currentFrame = 0;
    // The length comes from the first model that has records for animation 0:
    // the first model left may have been imported while another animation was
    // current and hold none.
    const int n = scene.FrameCountOf(0);
    g_lastFrame = n - 1;
    g_prevLastFrame = n - 1;
    g_currentAnimation = 0;
    scene.ResetAnimationsIfEmpty();
    SyncAnimationCount(scene);
    for (CModel& model : scene.m_models) {
        model.ResetTrack(g_prevLastFrame + 1, CurrentTrackShape());
    }
    scene.BuildTraversal();
    return true;
}

bool IsDescendantOrSelf(const CTessaline& scene, int target, int model)
{
    const std::size_t count = scene.m_models.size();
    int r = target;
    for (std::size_t steps = 0; r >= 0 && static_cast<std::size_t>(r) < count && steps <= count; ++steps) {
        if (r == model) {
            return true;
        }
        r = scene.m_models[static_cast<std::size_t>(r)].m_parent;
    }
    return false;
}

void ReparentModel(CTessaline& scene, int model, int ref)
{
    if (!ValidModel(scene, model)) {
        return;
    }
    scene.m_models[static_cast<std::size_t>(model)].m_parent = ref;
    scene.RefreshDerived();
    const CModel* selected = scene.GetSelectedModel();
    scene.m_selectedCharacter = selected != nullptr ? selected->m_character : 0;
    scene.BuildTraversal();
}

bool AddAnimation(CTessaline& scene, MessageSink& messages)
{
    if (scene.m_models.empty()) {
        return false;
    }
    const long long frames = static_cast<long long>(g_lastFrame) + 1;
    const long long records = scene.RecordsIfSized(-1, 0) + frames * static_cast<long long>(scene.m_models.size());
    if (records > kRecordBudget) {
        messages.ShowMessage("フレーム番号が範囲外です！");
        return false;
    }
    g_currentFrame = 0;
    std::string name = FirstFreeName(scene.m_animationNames, "Animation_");
    if (name.empty()) {
        return false;
    }
    scene.m_animationNames.push_back(std::move(name));
    g_currentAnimation = static_cast<int>(scene.m_animationNames.size()) - 1;
    SyncAnimationCount(scene);
    for (CModel& model : scene.m_models) {
        model.m_tracks.emplace_back();
        model.ResetTrack(0, CurrentTrackShape());
    }
    return true;
}

void DeleteAnimation(CTessaline& scene, int a)
{
    if (scene.m_models.empty()) {
        return;
    }
    g_currentFrame = 0;
    if (a >= 0 && static_cast<std::size_t>(a) < scene.m_animationNames.size()) {
        scene.m_animationNames.erase(scene.m_animationNames.begin() + a);
        for (CModel& model : scene.m_models) {
            if (static_cast<std::size_t>(a) < model.m_tracks.size()) {
                model.m_tracks.erase(model.m_tracks.begin() + a);
            }
        }
    }
    if (scene.m_animationNames.empty()) {
        // Re-creating the default cannot pass the budget: the deleted tracks were larger.
        CollectingMessageSink ignored;
        AddAnimation(scene, ignored);
    }
    SyncAnimationCount(scene);
}

void ResolveParentsByName(CTessaline& scene)
{
    scene.m_selectedModel = kNoModel;
    // The first model of each name: a hash of folded names gives the result of
    // searching the list in index order for every model, in linear time.
    std::unordered_map<std::string, int> firstByName;
    firstByName.reserve(scene.m_models.size());
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        firstByName.try_emplace(NameFoldKey(scene.m_models[i].m_name), static_cast<int>(i));
    }
    for (CModel& model : scene.m_models) {
        if (model.m_parent >= 0) {
            const auto match = firstByName.find(NameFoldKey(model.m_parentName));
            if (match != firstByName.end()) {
                model.m_parent = match->second;
                model.m_parentName = scene.m_models[static_cast<std::size_t>(match->second)].m_name;
                continue;
            }
        }
        model.m_parent = ~model.m_character;
        model.m_parentName = scene.GetCharacterName(model.m_character);
    }
}

void RemoveUnusedMaterials(CTessaline& scene)
{
    // Removing every unused material at once leaves the same list as removing
    // the first unused one and scanning again until none is left.
    std::unordered_set<int> used;
    for (const CModel& model : scene.m_models) {
        for (const CFace& face : model.m_faces) {
            used.insert(face.m_material);
        }
    }
    std::erase_if(scene.m_materials, [&](const CMaterial& m) { return !used.contains(m.m_id); });
}

namespace {

// True when any entry other than position `except` equals `name` without regard to case.
template <typename Names, typename NameOf>
bool OtherNameEquals(const Names& names, int except, std::string_view name, NameOf nameOf)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (static_cast<int>(i) != except && NamesEqualNoCase(nameOf(names[i]), name)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ModelNameExists(const CTessaline& scene, std::string_view name)
{
    return OtherNameEquals(scene.m_models, scene.m_selectedModel, name,
                           [](const CModel& m) -> std::string_view { return m.m_name; });
}

bool CharacterNameExists(const CTessaline& scene, std::string_view name)
{
    return OtherNameEquals(scene.m_characterNames, scene.m_selectedCharacter, name,
                           [](const std::string& n) -> std::string_view { return n; });
}

bool AnimationNameExists(const CTessaline& scene, std::string_view name)
{
    return OtherNameEquals(scene.m_animationNames, g_currentAnimation, name,
                           [](const std::string& n) -> std::string_view { return n; });
}

namespace {

// A name another item already has is refused with the duplicate message;
// otherwise it becomes `target`.
bool StoreUniqueName(bool taken, std::string& target, const std::string& name, MessageSink& messages)
{
    if (taken) {
        messages.ShowMessage(kDuplicateNameMessage);
        return false;
    }
    target = name;
    return true;
}

} // namespace

bool RenameModel(CTessaline& scene, const std::string& name, MessageSink& messages)
{
    if (!scene.HasSelectedModel()) {
        return false;
    }
    if (!StoreUniqueName(ModelNameExists(scene, name),
                         scene.m_models[static_cast<std::size_t>(scene.m_selectedModel)].m_name, name, messages)) {
        return false;
    }
    scene.RefreshDerived();
    return true;
}

bool RenameCharacter(CTessaline& scene, const std::string& name, MessageSink& messages)
{
    const int c = scene.m_selectedCharacter;
    if (c < 0 || static_cast<std::size_t>(c) >= scene.m_characterNames.size()) {
        return false;
    }
    if (!StoreUniqueName(CharacterNameExists(scene, name), scene.m_characterNames[static_cast<std::size_t>(c)], name,
                         messages)) {
        return false;
    }
    // Carries the new name into m_parentName of the character's root models.
    scene.RefreshDerived();
    return true;
}

bool RenameAnimation(CTessaline& scene, int a, const std::string& name, MessageSink& messages)
{
    if (a < 0 || static_cast<std::size_t>(a) >= scene.m_animationNames.size()) {
        return false;
    }
    return StoreUniqueName(AnimationNameExists(scene, name), scene.m_animationNames[static_cast<std::size_t>(a)],
                           name, messages);
}

} // namespace vantomo
