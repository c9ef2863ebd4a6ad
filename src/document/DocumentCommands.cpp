// The command handlers of the document: every identifier of the command table
// runs here, whichever front end sends it.
#include <algorithm>

#include "document/Navigation.h"
#include "animation/Pose.h"
#include "document/FrameValues.h"
#include "document/Commands.h"
#include "document/Document.h"
#include "document/KeyEditing.h"
#include "document/PanelEditing.h"
#include "document/Structure.h"
#include "export/ExportScene.h"
#include "render/Picking.h"
#include "import/TextureLoader.h"
#include "scene/Names.h"
#include "base/Cp932.h"
#include "base/PathHelpers.h"
#include "scene/AppValues.h"

namespace vantomo {

bool CVantomoDoc::IsEnabled(int id) const
{
    const CommandInfo* info = FindCommand(id);
    if (info == nullptr || info->owner == CommandOwner::None) {
        return false;
    }
    return info->enabled == nullptr || info->enabled(*this);
}

bool CVantomoDoc::IsChecked(int id) const
{
    const CommandInfo* info = FindCommand(id);
    return info != nullptr && info->checked != nullptr && info->checked(*this);
}

bool CVantomoDoc::Execute(int id)
{
    if (!IsEnabled(id)) {
        return false;
    }
    m_lastFailure.clear();
    const CommandInfo* info = FindCommand(id);
    if (info->owner == CommandOwner::Shell) {
        m_ui.RunShellCommand(id);
        return true;
    }
    if (info->execute == nullptr) {
        return false;
    }
    info->execute(*this);
    return true;
}

void CVantomoDoc::Navigate(void (*step)(CTessaline&))
{
    step(m_scene);
    UpdateAllViews(Change::Navigation);
}

void CVantomoDoc::SetTransformMode(int mode)
{
    m_scene.m_transformMode = mode;
    UpdateAllViews(static_cast<Change>(static_cast<int>(Change::ModeMove) + mode));
}

bool CVantomoDoc::SaveModified()
{
    if (!m_modified) {
        return true;
    }
    const std::string name = m_title.empty() ? std::string(kUntitledTitle) : m_title;
    switch (m_ui.AskYesNoCancel(name + std::string(kSaveQuestionTail))) {
    case SaveChoice::Yes:
        FileSave();
        return !m_modified;
    case SaveChoice::No:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void CVantomoDoc::FileOpen()
{
    FileDialogRequest request;
    request.filter = kOpenFilter;
    request.defaultExtension = "vtm";
    request.initialFolder = DialogFolder();
    const std::optional<std::string> path = m_ui.AskPath(request);
    if (!path) {
        return;
    }
    // Opening a project replaces the scene: unsaved work is offered for saving
    // first. An import adds to the scene and loses nothing.
    if (ExtensionOf(*path) == "vtm" && !SaveModified()) {
        return;
    }
    OnOpenDocument(*path);
}

void CVantomoDoc::FileSave()
{
    if (!m_pathName.empty() && ExtensionOf(m_pathName) == "vtm") {
        OnSaveDocument(m_pathName);
        return;
    }
    // Save as leaves the state it leaves: clean after a project save,
    // modified after an export or a cancel.
    FileSaveAs();
}

void CVantomoDoc::FileSaveAs()
{
    FileDialogRequest request;
    request.save = true;
    request.filter = kSaveFilter;
    request.defaultExtension = "vtm";
    request.initialFolder = DialogFolder();
    request.overwritePrompt = true;
    const std::optional<std::string> path = m_ui.AskPath(request);
    if (!path) {
        return;
    }
    if (ExtensionOf(*path) == "vtm") {
        OnSaveDocument(*path);
        return;
    }
    ExportSettings* record = ExportRecordFor(*path);
    if (record == nullptr) {
        // Nothing would be written: say so and leave everything as it was.
        m_ui.ShowMessage(kUnknownSaveFormatMessage);
        m_lastFailure = kUnknownSaveFormatMessage;
        return;
    }
    const char* title = record == &m_mqoSettings    ? kMqoExportTitle
                        : record == &m_xamlSettings ? kXamlExportTitle
                                                    : kGltfExportTitle;
    InbetweenAll(m_scene);
    ExportDialog dialog{title, *record};
    if (m_ui.RunExportDialog(dialog)) {
        TakeExportChoices(*record, dialog.settings);
        static_cast<void>(Export(*path, *record)); // it told the user; LastFailure keeps it
        return;
    }
    // A cancelled options dialog still counts as an edit, as it always did.
    SetModifiedFlag();
}

ExportSettings* CVantomoDoc::ExportRecordFor(std::string_view path)
{
    // The kind goes by the record the path's extension starts from.
    const std::optional<ExportSettings> kind = InitialSettingsForPath(path);
    if (!kind) {
        return nullptr;
    }
    for (ExportSettings* record : {&m_mqoSettings, &m_xamlSettings, &m_gltfSettings}) {
        if (kind->extension == record->extension) {
            return record;
        }
    }
    return nullptr;
}

void CVantomoDoc::CopyAnimation(const CModel& model)
{
    m_animationClipboard.clear();
    if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model.m_tracks.size()) {
        m_animationClipboard = model.m_tracks[static_cast<std::size_t>(g_currentAnimation)].Records();
    }
}

void CVantomoDoc::PasteAnimation(CModel& model)
{
    bool changed = false;
    if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model.m_tracks.size()) {
        Track& track = model.m_tracks[static_cast<std::size_t>(g_currentAnimation)];
        const std::size_t n = std::min(track.size(), m_animationClipboard.size());
        if (n > 0) {
            RecordTracksEdit(kPasteAnimationLabel, g_currentAnimation,
                             {static_cast<int>(&model - m_scene.m_models.data())}, {track});
        }
        for (std::size_t i = 0; i < n; ++i) {
            track[i] = m_animationClipboard[i];
        }
        changed = n > 0;
    }
    // Pasted records are work to be saved.
    if (changed) {
        SetModifiedFlag();
    }
    UpdateAllViews(Change::Keys);
}

void CVantomoDoc::BackgroundColor()
{
    const std::optional<std::uint32_t> colour = m_ui.AskColor(m_scene.m_backgroundColor);
    if (!colour) {
        return;
    }
    m_scene.m_backgroundColor = *colour & 0x00FFFFFFu;
    UpdateAllViews(Change::Structure);
    SetModifiedFlag();
}

void CVantomoDoc::CameraPreset(int id)
{
    CAnimation& camera = m_scene.GetCameraRecord();
    camera.m_position.x = 0.0f;
    CVector angles;
    switch (id) {
    case kCmdCameraFront:
        angles = {0, 0, 0};
        break;
    case kCmdCameraBack:
        angles = {0, 180, 0};
        break;
    case kCmdCameraLeft:
        angles = {0, -90, 0};
        break;
    case kCmdCameraRight:
        angles = {0, 90, 0};
        break;
    case kCmdCameraTop:
        camera.m_position.y = 0.0f;
        angles = {90, 0, 0};
        break;
    default: // kCmdCameraBottom
        camera.m_position.y = 0.0f;
        angles = {-90, 0, 0};
        break;
    }
    camera.m_axis = angles;
    camera.m_angle = 0.0f;
    UpdateAllViews(Change::Camera);
    SetModifiedFlag();
}

void CVantomoDoc::KeyCommand(bool add, bool allModels)
{
    // In-betweening bakes every changed track of a model, in any animation,
    // so a step of the current animation's tracks alone could not undo it:
    // the step keeps the scene's tracks.
    BeginSceneStep();
    if (add) {
        AddKey(m_scene, allModels, g_currentFrame);
    } else {
        DeleteKey(m_scene, allModels, g_currentFrame);
    }
    EndSceneStep(add ? kAddKeyLabel : kDeleteKeyLabel, m_scene.HasSelectedModel());
    UpdateAllViews(Change::Keys);
    SetModifiedFlag();
}

void CVantomoDoc::KeyDialog()
{
    KeyFrameDialog dialog;
    dialog.frame = g_currentFrame;
    dialog.action = 0;
    if (!m_ui.RunKeyFrameDialog(dialog)) {
        return;
    }
    if (dialog.action < 0 || dialog.action > 3) {
        return;
    }
    const bool all = dialog.action == 1 || dialog.action == 3;
    static_cast<void>(SetKey(dialog.action <= 1, all, dialog.frame)); // a refusal was shown
}

void CVantomoDoc::InsertFramesDialog()
{
    FrameInsertDialog dialog;
    dialog.after = g_currentFrame;
    dialog.count = 1;
    if (!m_ui.RunFrameInsertDialog(dialog)) {
        return;
    }
    static_cast<void>(InsertFrames(dialog.after, dialog.count)); // a refusal was shown
}

void CVantomoDoc::DeleteFramesDialog()
{
    FrameDeleteDialog dialog;
    dialog.start = g_currentFrame;
    dialog.end = g_currentFrame;
    if (!m_ui.RunFrameDeleteDialog(dialog)) {
        return;
    }
    static_cast<void>(DeleteFrames(dialog.start, dialog.end)); // a refusal was shown
}

void CVantomoDoc::RenameCommand(int id)
{
    CTessaline& scene = m_scene;
    // The item the command renames is fixed before the name is asked for:
    // while the editor is open a click may select something else.
    RenameTarget target;
    target.commandId = id;
    switch (id) {
    case kCmdRenameModel:
        if (!scene.HasSelectedModel()) {
            return;
        }
        target.index = scene.m_selectedModel;
        target.modelId = scene.GetSelectedModel()->m_id;
        target.current = scene.GetSelectedModel()->m_name;
        break;
    case kCmdRenameCharacter:
        target.index = scene.m_selectedCharacter;
        if (target.index < 0 || static_cast<std::size_t>(target.index) >= scene.m_characterNames.size()) {
            return;
        }
        target.current = scene.m_characterNames[static_cast<std::size_t>(target.index)];
        break;
    case kCmdRenameAnimation:
        target.index = g_currentAnimation;
        if (target.index < 0 || static_cast<std::size_t>(target.index) >= scene.m_animationNames.size()) {
            return;
        }
        target.current = scene.m_animationNames[static_cast<std::size_t>(target.index)];
        break;
    default:
        target.index = scene.m_selectedMaterial;
        if (scene.GetSelectedMaterial() == nullptr) {
            return;
        }
        target.current = scene.GetSelectedMaterial()->m_name;
        break;
    }
    m_ui.BeginRename(target, [this, target](const std::string& name) { CommitRename(target, name); });
}

void CVantomoDoc::CommitRename(const RenameTarget& target, const std::string& name)
{
    // An empty name is ignored without a message, as a cancelled edit.
    if (name.empty()) {
        return;
    }
    // The edited item must still be there as it was; otherwise the name
    // belongs to nothing any more.
    const CTessaline& scene = m_scene;
    auto valid = [&target](const auto& list) {
        return target.index >= 0 && static_cast<std::size_t>(target.index) < list.size();
    };
    const std::size_t t = static_cast<std::size_t>(target.index);
    const std::string* now = nullptr;
    switch (target.commandId) {
    case kCmdRenameModel:
        now = valid(scene.m_models) && scene.m_models[t].m_id == target.modelId ? &scene.m_models[t].m_name : nullptr;
        break;
    case kCmdRenameCharacter:
        now = valid(scene.m_characterNames) ? &scene.m_characterNames[t] : nullptr;
        break;
    case kCmdRenameAnimation:
        now = valid(scene.m_animationNames) ? &scene.m_animationNames[t] : nullptr;
        break;
    default:
        now = valid(scene.m_materials) ? &scene.m_materials[t].m_name : nullptr;
        break;
    }
    if (now == nullptr || *now != target.current) {
        return;
    }
    switch (target.commandId) {
    case kCmdRenameModel:
        static_cast<void>(RenameModel(target.index, name));
        break;
    case kCmdRenameCharacter:
        static_cast<void>(RenameCharacter(target.index, name));
        break;
    case kCmdRenameAnimation:
        static_cast<void>(RenameAnimation(target.index, name));
        break;
    default:
        static_cast<void>(RenameMaterial(target.index, name));
        break;
    }
}

void CVantomoDoc::AnnounceAnimationChange(Change kind)
{
    ApplyCurrentAnimationLength(m_scene, m_ui);
    UpdateAllViews(kind);
}

void CVantomoDoc::Play()
{
    m_playback.Play(m_scene, m_scene.m_fps);
    UpdateAllViews(Change::Play);
}

void CVantomoDoc::Stop() { UpdateAllViews(Change::Stop); }

void CVantomoDoc::PlaybackTick()
{
    m_playback.Tick();
    UpdateAllViews(Change::Frame);
}

void CVantomoDoc::SetCurrentFrame(int frame)
{
    g_currentFrame = std::clamp(frame, 0, std::max(0, g_lastFrame));
    UpdateAllViews(Change::Frame);
}

void CVantomoDoc::SetComponentEnabled(int component, bool enabled)
{
    int* flags[4] = {&m_scene.m_enableX, &m_scene.m_enableY, &m_scene.m_enableZ, &m_scene.m_enableAngle};
    if (component < 0 || component >= 4) {
        return;
    }
    *flags[component] = enabled ? 1 : 0;
    UpdateAllViews(Change::Pose);
}

bool CVantomoDoc::ShowHideModel(int model)
{
    if (model < 0 || static_cast<std::size_t>(model) >= m_scene.m_models.size()) {
        return false;
    }
    RecordSceneStep(kShowHideLabel);
    SetModelVisible(m_scene, model, m_scene.m_models[static_cast<std::size_t>(model)].m_visible == 0);
    UpdateAllViews(ChangeNotice(Change::Selection, model));
    SetModifiedFlag();
    return true;
}

void CVantomoDoc::AfterAnimationDeleted()
{
    // DeleteAnimation has kept the current animation inside the list.
    g_currentFrame = 0;
    g_lastFrame = m_scene.FrameCountOf(g_currentAnimation) - 1;
}

void CVantomoDoc::SelectModelItem(int model, bool animationMode)
{
    if (animationMode) {
        m_mouseMode = MouseMode::Animation;
    }
    SelectModel(m_scene, model);
    if (CModel* selected = m_scene.GetSelectedModel()) {
        BuildSelectionBox(*selected);
    }
    UpdateAllViews(Change::Selection);
}

bool CVantomoDoc::SelectMaterialItem(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_scene.m_materials.size()) {
        return false;
    }
    m_scene.m_selectedMaterial = index;
    return true;
}

void CVantomoDoc::ApplyCurrentFrameText(std::string_view text)
{
    // The slider keeps a typed frame within the animation.
    const long long frame = AtolC(text);
    g_currentFrame = static_cast<int>(std::clamp<long long>(frame, 0, g_lastFrame < 0 ? 0 : g_lastFrame));
    UpdateAllViews(Change::Navigation);
}

std::array<float, 4> CVantomoDoc::ShownValues() const
{
    switch (m_scene.m_transformMode) {
    case 1: {
        const CVector a = GetEditAxis(m_scene, CurrentTime());
        return {a.x, a.y, a.z, GetEditAngle(m_scene, CurrentTime())};
    }
    case 2: {
        const CVector s = GetEditScale(m_scene, CurrentTime());
        return {s.x, s.y, s.z, 0.0f};
    }
    default: {
        const CVector p = GetEditPosition(m_scene, CurrentTime());
        return {p.x, p.y, p.z, 0.0f};
    }
    }
}

void CVantomoDoc::ApplyValueFields(float x, float y, float z, std::optional<float> angle)
{
    RecordPoseEdit();
    // Without a typed angle (a script line of three values) the current one stays.
    ApplyPanelValues(m_scene, x, y, z, angle.value_or(GetEditAngle(m_scene, CurrentTime())));
    EndPoseEdit();
    SetModifiedFlag();
    UpdateAllViews(ChangeNotice(Change::Pose, m_scene.m_selectedModel));
}

void CVantomoDoc::ApplyValueField(int field, float value)
{
    if (field < 0 || field >= 4) {
        return;
    }
    std::array<float, 4> values = ShownValues();
    // The angle field is the record's own angle only in rotate mode.
    if (m_scene.m_transformMode != 1) {
        values[3] = GetEditAngle(m_scene, CurrentTime());
    }
    values[static_cast<std::size_t>(field)] = value;
    ApplyValueFields(values[0], values[1], values[2], values[3]);
}

bool CVantomoDoc::ApplyLastFrameText(std::string_view text) { return SetLastFrame(AtolC(text)).ok; }

void CVantomoDoc::ApplyRateText(std::string_view text)
{
    m_playback.SelectRate(m_scene, text);
    SetModifiedFlag();
    UpdateAllViews(Change::Rate);
}

void CVantomoDoc::SelectCharacterItem(int character)
{
    SelectCharacter(m_scene, character);
    UpdateAllViews(Change::Selection);
}

void CVantomoDoc::ClearSelectionItem()
{
    ClearSelection(m_scene);
    UpdateAllViews(Change::Selection);
}

bool CVantomoDoc::SelectAnimationItem(int index)
{
    if (index < 0 || index >= g_animationCount) {
        return false;
    }
    g_currentAnimation = index;
    g_currentFrame = 0;
    g_lastFrame = m_scene.FrameCountOf(g_currentAnimation) - 1;
    AnnounceAnimationChange(Change::AnimationSelected);
    return true;
}

bool CVantomoDoc::CanDropModel(int model, int ref) const
{
    const CTessaline& scene = m_scene;
    const int count = static_cast<int>(scene.m_models.size());
    if (model < 0 || model >= count) {
        return false;
    }
    if (ref >= 0) {
        return ref < count && !IsDescendantOrSelf(scene, ref, model);
    }
    return ~ref < static_cast<int>(scene.m_characterNames.size());
}

bool CVantomoDoc::DropModel(int model, int ref)
{
    CTessaline& scene = m_scene;
    if (!CanDropModel(model, ref)) {
        return false;
    }
    // The drag's press selected the model, so an undo brings it back selected.
    m_mouseMode = MouseMode::Animation;
    SelectModel(scene, model);
    RecordSceneStep(kReparentLabel);
    ReparentModel(scene, model, ref);
    UpdateAllViews(Change::ModelMoved);
    SetModifiedFlag();
    return true;
}

bool CVantomoDoc::MaterialNameTaken(const std::string& name) const
{
    // Another material's name in any letter case; the material's own name in
    // another case may be taken back.
    for (std::size_t i = 0; i < m_scene.m_materials.size(); ++i) {
        if (static_cast<int>(i) != m_scene.m_selectedMaterial && NamesEqualNoCase(m_scene.m_materials[i].m_name, name)) {
            return true;
        }
    }
    return false;
}

void CVantomoDoc::MaterialColor()
{
    CMaterial* material = m_scene.GetSelectedMaterial();
    if (material == nullptr) {
        return;
    }
    const std::uint32_t shown = MaterialDisplayColor(*material);
    if (const std::optional<std::uint32_t> c = m_ui.AskColor(shown)) {
        RecordSceneStep(kMaterialColorLabel);
        material->m_color[0] = static_cast<float>(*c & 255u) / 255.0f;
        material->m_color[1] = static_cast<float>((*c >> 8) & 255u) / 255.0f;
        material->m_color[2] = static_cast<float>((*c >> 16) & 255u) / 255.0f;
        material->UpdateD3DMaterial();
        UpdateAllViews(Change::Shading);
    }
    // The command counts as an edit even when the dialog was cancelled.
    SetModifiedFlag();
}

bool CVantomoDoc::EditMaterial(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_scene.m_materials.size()) {
        return false;
    }
    m_scene.m_selectedMaterial = index;
    CMaterial& material = m_scene.m_materials[static_cast<std::size_t>(index)];
    MaterialDialog dialog;
    dialog.name = material.m_name;
    dialog.red = material.m_color[0];
    dialog.green = material.m_color[1];
    dialog.blue = material.m_color[2];
    dialog.opacity = material.m_color[3];
    dialog.diffuse = material.m_diffuse;
    dialog.emissive = material.m_emissive;
    dialog.specular = material.m_specular;
    dialog.power = material.m_power;
    dialog.ambient = material.m_ambient;
    dialog.texture = material.m_texture;
    dialog.textureChooserFolder =
        material.m_textureFile.empty() ? DialogFolder() : FolderOf(material.m_textureFile, PathText::Native);
    if (!m_ui.RunMaterialDialog(dialog)) {
        return false;
    }
    RecordSceneStep(kEditMaterialLabel);
    material.m_color[0] = dialog.red;
    material.m_color[1] = dialog.green;
    material.m_color[2] = dialog.blue;
    material.m_color[3] = dialog.opacity;
    material.m_texture = dialog.texture;
    material.m_ambient = dialog.ambient;
    material.m_diffuse = dialog.diffuse;
    material.m_emissive = dialog.emissive;
    if (!dialog.name.empty()) {
        if (MaterialNameTaken(dialog.name)) {
            m_ui.ShowMessage(kDuplicateNameMessage);
        } else {
            material.m_name = dialog.name;
        }
    }
    material.m_power = dialog.power;
    material.m_specular = dialog.specular;
    // Only the edited material is loaded again, so a colour change does not
    // repeat the message of every other missing texture.
    const TextureReportScope textures(m_textureReport);
    LoadTexture(material, m_textureReport, m_textures);
    material.UpdateD3DMaterial();
    UpdateAllViews(Change::Shading);
    SetModifiedFlag();
    return true;
}

} // namespace vantomo
