#include "document/Script.h"

#include <charconv>
#include <climits>
#include <optional>

#include "animation/Navigation.h"
#include "animation/Pose.h"
#include "document/History.h"
#include "document/KeyEditing.h"
#include "document/Structure.h"
#include "document/ViewRequests.h"
#include "render/Picking.h"
#include "export/ExportScene.h"
#include "render/RenderGeometry.h"
#include "scene/AppValues.h"
#include "scene/Cp932.h"
#include "scene/Numbers.h"

namespace {

using Tokens = std::vector<std::string>;

// A whole token as a 64-bit integer: optional sign and decimal digits. Values
// beyond 64 bits saturate, so the operation's range check refuses them.
bool ParseInteger(const std::string& token, long long& value)
{
    std::size_t i = (token.size() > 0 && (token[0] == '-' || token[0] == '+')) ? 1 : 0;
    if (i == token.size()) {
        return false;
    }
    for (std::size_t j = i; j < token.size(); ++j) {
        if (token[j] < '0' || token[j] > '9') {
            return false;
        }
    }
    value = AtolC(token);
    return true;
}

// A UTF-8 name as CP932; false when CP932 cannot hold it.
bool ToCp932(const std::string& utf8, std::string& cp932)
{
    bool lossless = true;
    cp932 = Utf8ToCp932(utf8, &lossless);
    return lossless;
}

// '#' and decimal digits up to white space or the end of the line.
template <typename Space>
bool IsIndexToken(std::string_view rest, Space space)
{
    std::size_t i = 1;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        ++i;
    }
    return i > 1 && (i == rest.size() || space(rest[i]));
}

// A whole token as an int; false when it is not one or lies outside int.
bool ParseInt(const std::string& token, int& value)
{
    long long wide = 0;
    if (!ParseInteger(token, wide) || wide < INT_MIN || wide > INT_MAX) {
        return false;
    }
    value = static_cast<int>(wide);
    return true;
}

// Decimal digits only: from_chars alone would take a sign.
bool DigitsOnly(std::string_view text)
{
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

} // namespace

int FindModel(const CTessaline& scene, const std::string& token)
{
    if (token.size() > 1 && token[0] == '#') {
        long long index = 0;
        if (!ParseInteger(token.substr(1), index) || index < 0 ||
            index >= static_cast<long long>(scene.m_models.size())) {
            return -1;
        }
        return static_cast<int>(index);
    }
    std::string name;
    if (!ToCp932(token, name)) {
        return -1;
    }
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}


struct ScriptRunner::Command {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::string (ScriptRunner::*run)(const Tokens&);
};

const ScriptRunner::Command ScriptRunner::kCommands[] = {
    {"new", 0, 0, &ScriptRunner::New},
    {"open", 1, 1, &ScriptRunner::Open},
    {"save", 1, 1, &ScriptRunner::Save},
    {"export", 1, 9, &ScriptRunner::Export},
    {"rate", 1, 1, &ScriptRunner::Rate},
    {"print", 0, 0, &ScriptRunner::Print},
    {"select-model", 1, 1, &ScriptRunner::SelectModelCommand},
    {"select-character", 1, 1, &ScriptRunner::SelectCharacterCommand},
    {"clear-selection", 0, 0, &ScriptRunner::ClearSelectionCommand},
    {"animation", 1, 1, &ScriptRunner::Animation},
    {"frame", 1, 1, &ScriptRunner::Frame},
    {"mode", 1, 1, &ScriptRunner::Mode},
    {"values", 3, 4, &ScriptRunner::Values},
    {"first-frame", 0, 0, &ScriptRunner::Navigate},
    {"last-frame", 0, 0, &ScriptRunner::Navigate},
    {"next-frame", 0, 0, &ScriptRunner::Navigate},
    {"prev-frame", 0, 0, &ScriptRunner::Navigate},
    {"next-key", 0, 0, &ScriptRunner::Navigate},
    {"prev-key", 0, 0, &ScriptRunner::Navigate},
    {"add-key", 0, 2, &ScriptRunner::KeyCommand},
    {"delete-key", 0, 2, &ScriptRunner::KeyCommand},
    {"insert-frames", 2, 2, &ScriptRunner::InsertFramesCommand},
    {"delete-frames", 2, 2, &ScriptRunner::DeleteFramesCommand},
    {"set-last-frame", 1, 1, &ScriptRunner::SetLastFrameCommand},
    {"undo", 0, 0, &ScriptRunner::UndoRedo},
    {"redo", 0, 0, &ScriptRunner::UndoRedo},
    {"add-animation", 0, 0, &ScriptRunner::AddAnimationCommand},
    {"delete-animation", 0, 0, &ScriptRunner::DeleteAnimationCommand},
    {"add-character", 0, 0, &ScriptRunner::AddCharacterCommand},
    {"delete-character", 0, 0, &ScriptRunner::DeleteCharacterCommand},
    {"delete-model", 0, 0, &ScriptRunner::DeleteModelCommand},
    {"hide", 0, 0, &ScriptRunner::Visibility},
    {"show", 0, 0, &ScriptRunner::Visibility},
    {"reparent", 2, 2, &ScriptRunner::Reparent},
    {"copy-animation", 0, 0, &ScriptRunner::CopyAnimation},
    {"paste-animation", 0, 0, &ScriptRunner::PasteAnimation},
    {"camera-reset", 0, 0, &ScriptRunner::CameraReset},
    {"rename-animation", 1, 1, &ScriptRunner::Rename},
    {"rename-character", 1, 1, &ScriptRunner::Rename},
    {"rename-model", 1, 1, &ScriptRunner::Rename},
    {"view-size", 2, 2, &ScriptRunner::ViewSize},
    {"mouse", 3, 6, &ScriptRunner::Mouse},
    {"wheel", 1, 1, &ScriptRunner::Wheel},
    {"render", 1, 3, &ScriptRunner::RenderCommand},
};

bool TokenizeScriptLine(std::string_view line, std::vector<std::string>& tokens, std::string& error)
{
    tokens.clear();
    std::size_t i = 0;
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (i < line.size()) {
        if (space(line[i])) {
            ++i;
            continue;
        }
        // "#12" is a model index; any other '#' that begins a token starts a comment.
        if (line[i] == '#' && !IsIndexToken(line.substr(i), space)) {
            break;
        }
        std::string token;
        while (i < line.size() && !space(line[i])) {
            if (line[i] == '"') {
                const std::size_t close = line.find('"', i + 1);
                if (close == std::string_view::npos) {
                    error = "unterminated quote";
                    return false;
                }
                token.append(line.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                token.push_back(line[i++]);
            }
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

ScriptRunner::ScriptRunner(CVantomoDoc& doc, Printer print) : m_doc(doc), m_print(std::move(print))
{
    m_doc.AddView(this);
}

ScriptRunner::~ScriptRunner() { m_doc.RemoveView(this); }

void ScriptRunner::OnUpdate(int hint)
{
    switch (hint) {
    case kHintAnimationList:
    case kHintAnimationSelected:
        ApplyCurrentAnimationLength(m_doc.Scene(), m_doc.Ui());
        break;
    case kHintNewDocument:
    case kHintProjectOpened:
    case kHintModelAddedOrDeleted:
    case kHintModelMoved:
    case kHintNavigation:
    case kHintStop:
        g_playing = 0;
        break;
    default:
        break;
    }
}

ScriptResult ScriptRunner::Run(std::string_view text, const std::string& folder)
{
    m_folder = folder;
    ScriptResult result;
    int number = 0;
    std::size_t start = 0;
    Tokens tokens;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        ++number;
        std::string error;
        if (!TokenizeScriptLine(line, tokens, error)) {
            return {false, number, error};
        }
        if (!tokens.empty()) {
            error = RunCommand(tokens);
            if (!error.empty()) {
                return {false, number, error};
            }
        }
        start = end + 1;
    }
    return result;
}

std::string ScriptRunner::RunCommand(const Tokens& tokens)
{
    for (const Command& command : kCommands) {
        if (command.name != tokens[0]) {
            continue;
        }
        const std::size_t args = tokens.size() - 1;
        if (args < command.minArgs || args > command.maxArgs) {
            return std::string(command.name) + ": wrong number of arguments";
        }
        return (this->*command.run)(tokens);
    }
    return "unknown command '" + tokens[0] + "'";
}

std::string ScriptRunner::Path(const std::string& token) const
{
    if (token.empty() || token[0] == '/' || m_folder.empty()) {
        return token;
    }
    return m_folder.back() == '/' ? m_folder + token : m_folder + "/" + token;
}

std::string ScriptRunner::New(const Tokens&)
{
    m_doc.OnNewDocument();
    return {};
}

std::string ScriptRunner::Open(const Tokens& t)
{
    m_doc.OnOpenDocument(Path(t[1]));
    return {};
}

std::string ScriptRunner::Save(const Tokens& t)
{
    m_doc.OnSaveDocument(Path(t[1]));
    return {};
}

std::string ScriptRunner::Export(const Tokens& t)
{
    const std::string path = Path(t[1]);
    if (!IsExportPath(path)) {
        return "export: " + t[1] + ": the file must end in .vtm, .mqo, .xaml, .gltf or .glb";
    }
    std::optional<ExportSettings> settings = InitialSettingsForPath(path);
    const std::vector<std::string_view> options(t.begin() + 2, t.end());
    const std::string refused = ApplyExportOptions(options, settings ? &*settings : nullptr);
    if (!refused.empty()) {
        return "export: " + refused;
    }
    // A failed export is reported as the save-as command reports it; the script goes on.
    const ExportResult result = ExportScene(m_doc.Scene(), path, settings.value_or(ExportSettings{}));
    if (!result.ok) {
        m_doc.Ui().ShowMessage(result.message);
    }
    return {};
}

std::string ScriptRunner::Rate(const Tokens& t)
{
    // As typed into the control panel's rate field and taken by a rate change.
    g_fps = ParseRate(t[1]);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::Print(const Tokens&)
{
    if (m_print) {
        m_print(m_doc.Scene());
    }
    return {};
}

std::string ScriptRunner::SelectModelCommand(const Tokens& t)
{
    const int model = FindModel(m_doc.Scene(), t[1]);
    if (model < 0) {
        return "select-model: no model " + t[1];
    }
    // As a click on the model's item in the tree, which also builds its box.
    m_doc.m_mouseMode = 2;
    SelectModel(m_doc.Scene(), model);
    BuildSelectionBox(*m_doc.Scene().GetSelectedModel());
    m_doc.UpdateAllViews(kHintSelection);
    return {};
}

std::string ScriptRunner::SelectCharacterCommand(const Tokens& t)
{
    long long index = 0;
    if (!ParseInteger(t[1], index) || index < 0 ||
        index >= static_cast<long long>(m_doc.Scene().m_characterNames.size())) {
        return "select-character: no character " + t[1];
    }
    SelectCharacter(m_doc.Scene(), static_cast<int>(index));
    m_doc.UpdateAllViews(kHintSelection);
    return {};
}

std::string ScriptRunner::ClearSelectionCommand(const Tokens&)
{
    ClearSelection(m_doc.Scene());
    m_doc.UpdateAllViews(kHintSelection);
    return {};
}

std::string ScriptRunner::Animation(const Tokens& t)
{
    long long index = 0;
    if (!ParseInteger(t[1], index) || index < 0 || index >= g_animationCount) {
        return "animation: no animation " + t[1];
    }
    // As a click on the animation's row.
    g_currentAnimation = static_cast<int>(index);
    g_currentFrame = 0;
    g_lastFrame = m_doc.Scene().FrameCountOf(g_currentAnimation) - 1;
    m_doc.UpdateAllViews(kHintAnimationSelected);
    return {};
}

std::string ScriptRunner::Frame(const Tokens& t)
{
    // As typed into the current-frame field: the slider keeps it in range.
    const long long frame = AtolC(t[1]);
    g_currentFrame = static_cast<int>(std::clamp<long long>(frame, 0, g_lastFrame < 0 ? 0 : g_lastFrame));
    g_playing = 0;
    return {};
}

std::string ScriptRunner::Mode(const Tokens& t)
{
    static constexpr std::string_view kModes[] = {"move", "rotate", "scale"};
    for (int mode = 0; mode < 3; ++mode) {
        if (t[1] == kModes[mode]) {
            m_doc.Scene().m_transformMode = mode;
            m_doc.UpdateAllViews(kHintModeMove + mode);
            return {};
        }
    }
    return "mode: expected move, rotate or scale";
}

std::string ScriptRunner::Values(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    PushUndoSelected(scene);
    const float x = static_cast<float>(AtofC(t[1]));
    const float y = static_cast<float>(AtofC(t[2]));
    const float z = static_cast<float>(AtofC(t[3]));
    const float angle = t.size() > 4 ? static_cast<float>(AtofC(t[4])) : GetEditAngle(scene);
    CModel* model = scene.GetSelectedModel();
    switch (scene.m_transformMode) {
    case 0:
        if (model != nullptr) {
            SetCurrentPosition(*model, x, y, z);
        } else {
            scene.GetCameraRecord().m_position = CVector{x, y, z};
        }
        break;
    case 1:
        if (model != nullptr) {
            SetCurrentRotation(*model, x, y, z, angle);
        } else {
            scene.GetCameraRecord().m_axis = CVector{x, y, z};
        }
        break;
    case 2:
        if (model != nullptr) {
            SetCurrentScale(*model, x, y, z);
        }
        break;
    default:
        break;
    }
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::Navigate(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    const std::string& name = t[0];
    if (name == "first-frame") {
        FirstFrame(scene);
    } else if (name == "last-frame") {
        LastFrame(scene);
    } else if (name == "next-frame") {
        NextFrame(scene);
    } else if (name == "prev-frame") {
        PrevFrame(scene);
    } else if (name == "next-key") {
        NextKeyFrame(scene);
    } else {
        PrevKeyFrame(scene);
    }
    m_doc.UpdateAllViews(kHintNavigation);
    return {};
}

std::string ScriptRunner::KeyCommand(const Tokens& t)
{
    const bool add = t[0] == "add-key";
    std::size_t next = 1;
    bool all = false;
    if (next < t.size() && t[next] == "all") {
        all = true;
        ++next;
    }
    long long frame = g_currentFrame;
    const bool fromDialog = next < t.size();
    if (fromDialog && !ParseInteger(t[next++], frame)) {
        return t[0] + ": the frame must be an integer";
    }
    if (next != t.size()) {
        return t[0] + ": unexpected argument " + t[next];
    }
    CTessaline& scene = m_doc.Scene();
    if (!scene.HasSelectedModel()) {
        // The key commands are disabled without a selected model.
        m_doc.Ui().ShowMessage(kSelectModelMessage);
        return {};
    }
    if (add) {
        AddKey(scene, all, frame);
    } else {
        DeleteKey(scene, all, frame);
    }
    if (fromDialog) {
        InbetweenAll(scene);
    }
    m_doc.UpdateAllViews(kHintKeys);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::InsertFramesCommand(const Tokens& t)
{
    long long after = 0, count = 0;
    if (!ParseInteger(t[1], after) || !ParseInteger(t[2], count)) {
        return "insert-frames: AFTER and COUNT must be integers";
    }
    if (!InsertFrames(m_doc.Scene(), after, count)) {
        m_doc.Ui().ShowMessage(kFrameOutOfRangeMessage);
        return {};
    }
    m_doc.UpdateAllViews(kHintFrames);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::DeleteFramesCommand(const Tokens& t)
{
    long long first = 0, last = 0;
    if (!ParseInteger(t[1], first) || !ParseInteger(t[2], last)) {
        return "delete-frames: FIRST and LAST must be integers";
    }
    if (!DeleteFrames(m_doc.Scene(), first, last)) {
        m_doc.Ui().ShowMessage(kFrameOutOfRangeMessage);
        return {};
    }
    m_doc.UpdateAllViews(kHintFrames);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::SetLastFrameCommand(const Tokens& t)
{
    SetLastFrame(m_doc.Scene(), t[1], m_doc.Ui());
    m_doc.UpdateAllViews(kHintAnimationList);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::UndoRedo(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    const bool undo = t[0] == "undo";
    // The commands are enabled only while their stack holds an entry.
    if ((undo ? scene.m_undoNames : scene.m_redoNames).empty()) {
        return {};
    }
    if (undo) {
        Undo(scene);
    } else {
        Redo(scene);
    }
    // The selection may have moved to the restored model.
    if (CModel* selected = scene.GetSelectedModel()) {
        BuildSelectionBox(*selected);
    }
    m_doc.UpdateAllViews(kHintStructure);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::AddAnimationCommand(const Tokens&)
{
    AddAnimation(m_doc.Scene(), m_doc.Ui());
    m_doc.UpdateAllViews(kHintAnimationList);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::DeleteAnimationCommand(const Tokens&)
{
    CTessaline& scene = m_doc.Scene();
    DeleteAnimation(scene, g_currentAnimation);
    const int count = static_cast<int>(scene.m_animationNames.size());
    if (g_currentAnimation >= count) {
        g_currentAnimation = count - 1;
    }
    g_currentFrame = 0;
    g_lastFrame = scene.FrameCountOf(g_currentAnimation) - 1;
    m_doc.UpdateAllViews(kHintAnimationList);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::AddCharacterCommand(const Tokens&)
{
    AddCharacter(m_doc.Scene());
    m_doc.SetModifiedFlag();
    m_doc.UpdateAllViews(kHintStructure);
    return {};
}

std::string ScriptRunner::DeleteCharacterCommand(const Tokens&)
{
    DeleteCharacter(m_doc.Scene());
    m_doc.SetModifiedFlag();
    m_doc.UpdateAllViews(kHintStructure);
    return {};
}

std::string ScriptRunner::DeleteModelCommand(const Tokens&)
{
    if (!DeleteModel(m_doc.Scene())) {
        m_doc.Ui().ShowMessage(kSelectModelMessage);
        return {};
    }
    m_doc.UpdateAllViews(kHintModelAddedOrDeleted);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::Visibility(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    if (!scene.HasSelectedModel()) {
        m_doc.Ui().ShowMessage(kSelectModelMessage);
        return {};
    }
    SetModelVisible(scene, scene.m_selectedModel, t[0] == "show");
    m_doc.UpdateAllViews(kHintSelection);
    return {};
}

std::string ScriptRunner::Reparent(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    const int model = FindModel(scene, t[1]);
    if (model < 0) {
        return "reparent: no model " + t[1];
    }
    int ref = 0;
    static constexpr std::string_view kCharacter = "character:";
    if (t[2].starts_with(kCharacter)) {
        long long index = 0;
        if (!ParseInteger(t[2].substr(kCharacter.size()), index) || index < 0 ||
            index >= static_cast<long long>(scene.m_characterNames.size())) {
            return "reparent: no character " + t[2];
        }
        ref = ~static_cast<int>(index);
    } else {
        ref = FindModel(scene, t[2]);
        if (ref < 0) {
            return "reparent: no model " + t[2];
        }
        if (IsDescendantOrSelf(scene, ref, model)) {
            return "reparent: " + t[2] + " is " + t[1] + " or hangs below it";
        }
    }
    // As a drag of the model's item (the press selects it) and a drop on the target.
    m_doc.m_mouseMode = 2;
    SelectModel(scene, model);
    PushUndoSelected(scene);
    ReparentModel(scene, model, ref);
    PushUndoSelected(scene);
    m_doc.UpdateAllViews(kHintModelMoved);
    m_doc.SetModifiedFlag();
    return {};
}

std::string ScriptRunner::CopyAnimation(const Tokens&)
{
    CTessaline& scene = m_doc.Scene();
    const CModel* model = scene.GetSelectedModel();
    if (model == nullptr) {
        m_doc.Ui().ShowMessage(kSelectModelMessage);
        return {};
    }
    scene.m_clipboard.clear();
    if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model->m_tracks.size()) {
        scene.m_clipboard = model->m_tracks[static_cast<std::size_t>(g_currentAnimation)].Records();
    }
    return {};
}

std::string ScriptRunner::PasteAnimation(const Tokens&)
{
    CTessaline& scene = m_doc.Scene();
    CModel* model = scene.GetSelectedModel();
    if (model == nullptr) {
        m_doc.Ui().ShowMessage(kSelectModelMessage);
        return {};
    }
    if (g_currentAnimation >= 0 && static_cast<std::size_t>(g_currentAnimation) < model->m_tracks.size()) {
        Track& track = model->m_tracks[static_cast<std::size_t>(g_currentAnimation)];
        const std::size_t n = std::min(track.size(), scene.m_clipboard.size());
        for (std::size_t i = 0; i < n; ++i) {
            track[i] = scene.m_clipboard[i];
        }
    }
    scene.ClearHistory(false);
    m_doc.UpdateAllViews(kHintKeys);
    return {};
}

std::string ScriptRunner::CameraReset(const Tokens&)
{
    m_doc.Scene().ResetCamera();
    m_doc.UpdateAllViews(kHintStructure);
    return {};
}

std::string ScriptRunner::Rename(const Tokens& t)
{
    std::string name;
    if (!ToCp932(t[1], name)) {
        return t[0] + ": the name " + t[1] + " has characters CP932 cannot hold";
    }
    CTessaline& scene = m_doc.Scene();
    bool renamed = false;
    if (t[0] == "rename-model") {
        if (!scene.HasSelectedModel()) {
            m_doc.Ui().ShowMessage(kSelectModelMessage);
            return {};
        }
        renamed = RenameModel(scene, name, m_doc.Ui());
    } else if (t[0] == "rename-character") {
        renamed = RenameCharacter(scene, name, m_doc.Ui());
    } else {
        renamed = RenameAnimation(scene, g_currentAnimation, name, m_doc.Ui());
    }
    if (renamed) {
        m_doc.SetModifiedFlag();
        m_doc.UpdateAllViews(kHintStructure);
    }
    return {};
}

std::string ScriptRunner::ViewSize(const Tokens& t)
{
    int width = 0;
    int height = 0;
    if (!ParseInt(t[1], width) || !ParseInt(t[2], height)) {
        return "view-size: expected WIDTH HEIGHT in pixels";
    }
    // As a size event: a view without area changes nothing.
    if (width > 0 && height > 0) {
        m_doc.Scene().m_viewWidth = static_cast<float>(width);
        m_doc.Scene().m_viewHeight = static_cast<float>(height);
    }
    return {};
}

std::string ScriptRunner::Mouse(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    MouseInput input;
    if (!ParseInt(t[2], input.x) || !ParseInt(t[3], input.y)) {
        return "mouse: expected X Y in pixels";
    }
    input.viewWidth = scene.m_viewWidth;
    input.viewHeight = scene.m_viewHeight;
    bool right = false;
    for (std::size_t i = 4; i < t.size(); ++i) {
        if (t[i] == "left" || t[i] == "right") {
            right = t[i] == "right";
        } else if (t[i] == "ctrl") {
            input.control = true;
        } else if (t[i] == "middle") {
            input.middleButton = true;
        } else {
            return "mouse: unknown option " + t[i];
        }
    }
    ViewRequests requests;
    if (t[1] == "press") {
        // A view paints after every change, so what is under the mouse is
        // what the scene shows now.
        RecordDrawnManipulator(scene);
        requests = right ? RightButtonDown(m_mouse, input) : LeftButtonDown(scene, m_mouse, input);
    } else if (t[1] == "move") {
        requests = MouseMove(scene, m_mouse, input, m_doc.m_mouseMode);
    } else if (t[1] == "release") {
        requests = right ? RightButtonUp(m_mouse) : LeftButtonUp(m_mouse);
    } else {
        return "mouse: expected press, move or release";
    }
    ApplyViewRequests(m_doc, requests);
    return {};
}

std::string ScriptRunner::Wheel(const Tokens& t)
{
    MouseInput input;
    if (!ParseInt(t[1], input.wheelDelta)) {
        return "wheel: expected the wheel distance (120 per notch)";
    }
    ApplyViewRequests(m_doc, MouseWheel(m_doc.Scene(), input));
    return {};
}

bool ParseRenderSize(std::string_view text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    if (x == std::string_view::npos || x == 0 || x + 1 >= text.size()) {
        return false;
    }
    const auto parse = [](std::string_view digits, int& out) {
        const char* end = digits.data() + digits.size();
        const auto [stop, error] = std::from_chars(digits.data(), end, out);
        return error == std::errc{} && stop == end && out >= 1 && out <= kMaxRenderSide;
    };
    int w = 0;
    int h = 0;
    if (DigitsOnly(text.substr(0, x)) && DigitsOnly(text.substr(x + 1)) && parse(text.substr(0, x), w) &&
        parse(text.substr(x + 1), h)) {
        width = w;
        height = h;
        return true;
    }
    return false;
}

std::string ScriptRunner::RenderCommand(const Tokens& t)
{
    int width = kDefaultRenderWidth;
    int height = kDefaultRenderHeight;
    if (t.size() == 3 || (t.size() == 4 && (t[2] != "--size" || !ParseRenderSize(t[3], width, height)))) {
        return "render: expected render PATH [--size WxH]";
    }
    if (!m_render) {
        return "render: drawing is not available here";
    }
    const std::string error = m_render(m_doc.Scene(), Path(t[1]), width, height);
    return error.empty() ? std::string{} : "render: " + error;
}
