#include "document/Script.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdint>
#include <optional>

#include "document/Commands.h"
#include "document/FrameValues.h"
#include "document/KeyEditing.h"
#include "document/Structure.h"
#include "document/VideoExport.h"
#include "document/ViewRequests.h"
#include "export/ExportScene.h"
#include "render/Picking.h"
#include "scene/AppValues.h"
#include "video/VideoEncoder.h"
#include "base/Cp932.h"
#include "base/Numbers.h"

namespace vantomo {

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

// '#' and decimal digits up to white space or the end of the line, or up to
// the ':' of a key ("#3:20").
template <typename Space>
bool IsIndexToken(std::string_view rest, Space space)
{
    std::size_t i = 1;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        ++i;
    }
    return i > 1 && (i == rest.size() || space(rest[i]) || rest[i] == ':');
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

// "MODEL:FRAME": a model as FindModel takes it (split at the last ':', so a
// name may hold colons) and an integer frame. A frame beyond every frame
// number stays in the key as -1, which no key has.
std::string ParseKeyToken(const CTessaline& scene, const std::string& token, KeyRef& key)
{
    const std::size_t colon = token.rfind(':');
    long long frame = 0;
    if (colon == std::string::npos || !ParseInteger(token.substr(colon + 1), frame)) {
        return "expected MODEL:FRAME, not " + token;
    }
    key.model = FindModel(scene, token.substr(0, colon));
    if (key.model < 0) {
        return "no model " + token.substr(0, colon);
    }
    key.frame = frame < 0 || frame > INT_MAX ? -1 : static_cast<int>(frame);
    return {};
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
    {"import", 1, 1, &ScriptRunner::Import},
    {"save", 1, 1, &ScriptRunner::Save},
    {"export", 1, 16, &ScriptRunner::Export},
    {"rate", 1, 1, &ScriptRunner::Rate},
    {"print", 0, 0, &ScriptRunner::Print},
    {"command", 1, 1, &ScriptRunner::CommandLine},
    {"expect", 1, 4, &ScriptRunner::Expect},
    {"select-model", 1, 1, &ScriptRunner::SelectModelCommand},
    {"select-character", 1, 1, &ScriptRunner::SelectCharacterCommand},
    {"clear-selection", 0, 0, &ScriptRunner::ClearSelectionCommand},
    {"select-material", 1, 1, &ScriptRunner::SelectMaterialCommand},
    {"animation", 1, 1, &ScriptRunner::Animation},
    {"frame", 1, 1, &ScriptRunner::Frame},
    {"mode", 1, 1, &ScriptRunner::Mode},
    {"values", 3, 4, &ScriptRunner::Values},
    {"add-key", 0, 2, &ScriptRunner::KeyCommand},
    {"delete-key", 0, 2, &ScriptRunner::KeyCommand},
    {"insert-frames", 2, 2, &ScriptRunner::InsertFramesCommand},
    {"delete-frames", 2, 2, &ScriptRunner::DeleteFramesCommand},
    {"set-last-frame", 1, 1, &ScriptRunner::SetLastFrameCommand},
    {"hide", 0, 0, &ScriptRunner::Visibility},
    {"show", 0, 0, &ScriptRunner::Visibility},
    {"reparent", 2, 2, &ScriptRunner::Reparent},
    {"rename-animation", 1, 1, &ScriptRunner::Rename},
    {"rename-character", 1, 1, &ScriptRunner::Rename},
    {"rename-model", 1, 1, &ScriptRunner::Rename},
    {"view-size", 2, 2, &ScriptRunner::ViewSize},
    {"mouse", 3, 6, &ScriptRunner::Mouse},
    {"wheel", 1, 1, &ScriptRunner::Wheel},
    {"render", 1, 11, &ScriptRunner::RenderCommand},
    {"move-keys", 2, SIZE_MAX, &ScriptRunner::KeySetCommand},
    {"delete-keys", 1, SIZE_MAX, &ScriptRunner::KeySetCommand},
    {"copy-keys", 1, SIZE_MAX, &ScriptRunner::KeySetCommand},
    {"paste-keys", 1, SIZE_MAX, &ScriptRunner::PasteKeysCommand},
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
        // "#12" is a model index (and "#12:30" a key); any other '#' that begins a token starts a comment.
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

ScriptRunner::ScriptRunner(CVantomoDoc& doc, HeadlessUserInterface& ui, Printer print)
    : m_doc(doc), m_ui(ui), m_print(std::move(print))
{
    m_doc.AddView(this);
}

ScriptRunner::~ScriptRunner() { m_doc.RemoveView(this); }

void ScriptRunner::OnChange(const ChangeNotice& change) { m_hints.push_back(change.Number()); }

ScriptResult ScriptRunner::Run(std::string_view text, const std::string& folder)
{
    m_folder = folder;
    // Every line first, so a command can take the dialog answers after it.
    struct Line {
        int number;
        Tokens tokens;
    };
    std::vector<Line> lines;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++number;
        Tokens tokens;
        std::string error;
        if (!TokenizeScriptLine(text.substr(start, end - start), tokens, error)) {
            return {false, number, error};
        }
        if (!tokens.empty()) {
            lines.push_back({number, std::move(tokens)});
        }
        start = end + 1;
    }
    for (std::size_t i = 0; i < lines.size();) {
        if (lines[i].tokens[0] == "dialog") {
            return {false, lines[i].number, "a dialog line answers the command before it"};
        }
        std::vector<Tokens> dialogs;
        std::size_t next = i + 1;
        while (next < lines.size() && lines[next].tokens[0] == "dialog") {
            dialogs.push_back(lines[next].tokens);
            ++next;
        }
        const std::string error = RunCommand(lines[i].tokens, dialogs);
        if (!error.empty()) {
            return {false, lines[i].number, error};
        }
        if (m_afterCommand) {
            m_afterCommand(lines[i].number);
        }
        i = next;
    }
    return {};
}

std::string ScriptRunner::RunCommand(const Tokens& tokens, const std::vector<Tokens>& dialogs)
{
    const Command* found = nullptr;
    for (const Command& command : kCommands) {
        if (command.name == tokens[0]) {
            found = &command;
        }
    }
    // Any document command by its stable name is a line without arguments.
    // A line of the script's own with the same name (with arguments) wins.
    const CommandInfo* simple = found == nullptr ? FindCommand(tokens[0]) : nullptr;
    if (simple != nullptr && simple->owner != CommandOwner::Document) {
        simple = nullptr;
    }
    if (found == nullptr && simple == nullptr) {
        return "unknown command '" + tokens[0] + "'";
    }
    const std::size_t args = tokens.size() - 1;
    if (found != nullptr ? (args < found->minArgs || args > found->maxArgs) : args != 0) {
        return tokens[0] + ": wrong number of arguments";
    }
    if (tokens[0] != "expect") {
        // `expect` looks at what the command before it did.
        m_hints.clear();
        m_firstMessage = m_ui.messages.size();
    }
    m_ui.answers.clear();
    for (const Tokens& dialog : dialogs) {
        const std::string error = QueueDialog(dialog);
        if (!error.empty()) {
            return error;
        }
    }
    std::string error = simple != nullptr ? ExecuteChecked(simple->id) : (this->*found->run)(tokens);
    if (error.empty() && !m_ui.answers.empty()) {
        error = tokens[0] + ": a dialog answer was not used";
    }
    m_ui.answers.clear();
    return error;
}

std::string ScriptRunner::QueueDialog(const Tokens& t)
{
    using Kind = DialogAnswer::Kind;
    if (t.size() < 2) {
        return "dialog: expected key, insert, delete, export, material, file, color, name, yes, no or cancel";
    }
    const std::string& kind = t[1];
    const Tokens rest(t.begin() + 2, t.end());
    const auto expect = [&](std::size_t n, const char* usage) -> std::string {
        return rest.size() == n ? std::string{} : std::string("dialog ") + usage;
    };
    std::string error;
    DialogAnswer answer;
    answer.texts = rest;
    if (kind == "key") {
        answer.kind = Kind::Key;
        error = expect(2, "key FRAME ACTION");
    } else if (kind == "insert") {
        answer.kind = Kind::Insert;
        error = expect(2, "insert AFTER COUNT");
    } else if (kind == "delete") {
        answer.kind = Kind::Delete;
        error = expect(2, "delete FIRST LAST");
    } else if (kind == "export") {
        answer.kind = Kind::Export;
    } else if (kind == "video") {
        answer.kind = Kind::Video;
    } else if (kind == "material") {
        answer.kind = Kind::Material;
        error = expect(11, "material NAME R G B OPACITY DIFFUSE EMISSIVE SPECULAR POWER AMBIENT TEXTURE");
        if (error.empty() && (!ToCp932(rest[0], answer.texts[0]) || !ToCp932(rest[10], answer.texts[10]))) {
            error = "dialog material: a name CP932 cannot hold";
        }
    } else if (kind == "file") {
        answer.kind = Kind::File;
        error = expect(1, "file PATH");
        if (error.empty()) {
            answer.texts[0] = Path(rest[0]);
        }
    } else if (kind == "color") {
        answer.kind = Kind::Color;
        error = expect(3, "color R G B");
    } else if (kind == "name") {
        answer.kind = Kind::Name;
        error = expect(1, "name TEXT");
        if (error.empty() && !ToCp932(rest[0], answer.texts[0])) {
            error = "dialog name: " + rest[0] + " has characters CP932 cannot hold";
        }
    } else if (kind == "yes" || kind == "no" || kind == "cancel") {
        answer.kind = kind == "yes" ? Kind::Yes : kind == "no" ? Kind::No : Kind::Cancel;
        error = expect(0, (kind + " (no arguments)").c_str());
    } else {
        error = "dialog: unknown dialog " + kind;
    }
    if (error.empty()) {
        m_ui.answers.push_back(std::move(answer));
    }
    return error;
}

std::string ScriptRunner::ExecuteChecked(int id)
{
    m_doc.Execute(id);
    return m_doc.LastFailure();
}

std::string ScriptRunner::Path(const std::string& token) const
{
    if (token.empty() || token[0] == '/' || m_folder.empty()) {
        return token;
    }
    return m_folder.back() == '/' ? m_folder + token : m_folder + "/" + token;
}

namespace {

bool HasSaveAnswer(const std::deque<DialogAnswer>& answers)
{
    return std::any_of(answers.begin(), answers.end(), [](const DialogAnswer& a) {
        return a.kind == DialogAnswer::Kind::Yes || a.kind == DialogAnswer::Kind::No ||
               a.kind == DialogAnswer::Kind::Cancel;
    });
}

} // namespace

std::string ScriptRunner::New(const Tokens&)
{
    // A script saves what it wants explicitly: unless told otherwise, the
    // question about unsaved changes is answered No.
    if (m_doc.IsModified() && !HasSaveAnswer(m_ui.answers)) {
        m_ui.answers.push_back({DialogAnswer::Kind::No, {}});
    }
    return ExecuteChecked(kCmdFileNew);
}

std::string ScriptRunner::Open(const Tokens& t)
{
    const std::string path = Path(t[1]);
    const bool asks = m_doc.IsModified() && ExtensionOf(path) == "vtm" && !HasSaveAnswer(m_ui.answers);
    m_ui.answers.push_front({DialogAnswer::Kind::File, {path}});
    if (asks) {
        m_ui.answers.insert(m_ui.answers.begin() + 1, {DialogAnswer::Kind::No, {}});
    }
    const std::string error = ExecuteChecked(kCmdFileOpen);
    return error.empty() ? error : "open: " + t[1] + ": " + error;
}

std::string ScriptRunner::Import(const Tokens& t)
{
    m_ui.answers.push_front({DialogAnswer::Kind::File, {Path(t[1])}});
    const std::string error = ExecuteChecked(kCmdAddModel);
    return error.empty() ? error : "import: " + t[1] + ": " + error;
}

std::string ScriptRunner::SaveAs(const std::string& path, std::vector<std::string_view> options)
{
    ExportSettings* record = m_doc.ExportRecordFor(path);
    if (record == nullptr) {
        // A project file takes no option; it is saved as Save as saves it.
        const std::string refused = ApplyExportOptions(options, nullptr);
        if (!refused.empty()) {
            return refused;
        }
        static_cast<void>(m_doc.OnSaveDocument(path));
        return m_doc.LastFailure();
    }
    // The options on the line, or else those of a dialog line given before,
    // start from the kind's last choices and are kept as its choices, as
    // the options dialog keeps them.
    std::vector<std::string> queuedTexts;
    if (options.empty()) {
        auto it = std::find_if(m_ui.answers.begin(), m_ui.answers.end(),
                               [](const DialogAnswer& a) { return a.kind == DialogAnswer::Kind::Export; });
        if (it != m_ui.answers.end()) {
            queuedTexts = it->texts;
            m_ui.answers.erase(it);
            options.assign(queuedTexts.begin(), queuedTexts.end());
        }
    }
    ExportSettings chosen = *record;
    const std::string refused = ApplyExportOptions(options, &chosen);
    if (!refused.empty()) {
        return refused;
    }
    TakeExportChoices(*record, chosen);
    static_cast<void>(m_doc.Export(path, *record));
    // A stopped export says nothing, as it does in the desktop program.
    return m_doc.LastFailure();
}

std::string ScriptRunner::Save(const Tokens& t)
{
    const std::string path = Path(t[1]);
    if (ExtensionOf(path) != "vtm" && m_doc.ExportRecordFor(path) == nullptr) {
        return "save: " + t[1] + ": " + kUnknownSaveFormatMessage;
    }
    const std::string error = SaveAs(path, {});
    return error.empty() ? error : "save: " + t[1] + ": " + error;
}

std::string ScriptRunner::Export(const Tokens& t)
{
    const std::string path = Path(t[1]);
    if (!IsExportPath(path)) {
        return "export: " + t[1] + ": the file must end in .vtm, .mqo, .xaml, .gltf or .glb";
    }
    const std::string error = SaveAs(path, std::vector<std::string_view>(t.begin() + 2, t.end()));
    if (error.empty()) {
        return error;
    }
    // A refused option names itself; a failed write names the file.
    return m_doc.LastFailure().empty() ? "export: " + error : "export: " + t[1] + ": " + error;
}

std::string ScriptRunner::Rate(const Tokens& t)
{
    m_doc.ApplyRateText(t[1]);
    return {};
}

std::string ScriptRunner::Print(const Tokens&)
{
    if (m_print) {
        m_print(m_doc.Scene());
    }
    return {};
}

std::string ScriptRunner::CommandLine(const Tokens& t)
{
    int id = 0;
    if (!ExchangeInteger(t[1], id) || FindCommand(id) == nullptr) {
        return "command: no command id " + t[1];
    }
    const std::string error = ExecuteChecked(id);
    return error.empty() ? error : "command " + t[1] + ": " + error;
}

std::string ScriptRunner::Expect(const Tokens& t)
{
    std::size_t i = 1;
    const bool negate = t[i] == "not";
    if (negate) {
        ++i;
    }
    if (i >= t.size()) {
        return "expect: what?";
    }
    const std::string& what = t[i];
    const Tokens args(t.begin() + static_cast<std::ptrdiff_t>(i) + 1, t.end());
    const auto argCount = [&](std::size_t n) { return args.size() == n; };
    bool holds = false;
    std::string seen;
    int number = 0;
    if ((what == "frame" || what == "last-frame" || what == "hint") && argCount(1) && ExchangeInteger(args[0], number)) {
        if (what == "hint") {
            holds = std::find(m_hints.begin(), m_hints.end(), number) != m_hints.end();
            seen = "hints";
            for (int hint : m_hints) {
                seen += " " + std::to_string(hint);
            }
        } else {
            const int value = what == "frame" ? g_currentFrame : g_lastFrame;
            holds = value == number;
            seen = std::to_string(value);
        }
    } else if ((what == "enabled" || what == "checked") && argCount(1) && ExchangeInteger(args[0], number)) {
        if (FindCommand(number) == nullptr) {
            return "expect: no command id " + args[0];
        }
        holds = what == "enabled" ? m_doc.IsEnabled(number) : m_doc.IsChecked(number);
    } else if (what == "menu" && argCount(2)) {
        // The command by its id or by its script name ("undo").
        const CommandInfo* command =
            ExchangeInteger(args[0], number) ? FindCommand(number) : FindCommand(std::string_view(args[0]));
        if (command == nullptr) {
            return "expect: no command " + args[0];
        }
        seen = m_doc.CommandText(command->id);
        holds = seen == args[1];
    } else if ((what == "models" || what == "characters" || what == "animations" || what == "materials") &&
               argCount(1) && ExchangeInteger(args[0], number)) {
        const CTessaline& scene = m_doc.Scene();
        const std::size_t count = what == "models"       ? scene.m_models.size()
                                  : what == "characters" ? scene.m_characterNames.size()
                                  : what == "animations" ? scene.m_animationNames.size()
                                                         : scene.m_materials.size();
        holds = count == static_cast<std::size_t>(number);
        seen = std::to_string(count);
    } else if (what == "modified" && argCount(0)) {
        holds = m_doc.IsModified();
    } else if (what == "message" && argCount(1)) {
        for (std::size_t m = m_firstMessage; m < m_ui.messages.size(); ++m) {
            holds = holds || m_ui.messages[m] == args[0];
        }
        seen = m_ui.messages.size() > m_firstMessage ? m_ui.messages.back() : "no message";
    } else if (what == "key" && argCount(2) && ExchangeInteger(args[1], number)) {
        const int model = FindModel(m_doc.Scene(), args[0]);
        if (model < 0) {
            return "expect key: no model " + args[0];
        }
        const CAnimation* record =
            m_doc.Scene().m_models[static_cast<std::size_t>(model)].FindRecord(g_currentAnimation, number);
        holds = record != nullptr && record->m_key == 1;
    } else {
        return "expect: expected frame N, last-frame N, key MODEL FRAME, enabled ID, checked ID, menu ID TEXT, "
               "models N, characters N, animations N, materials N, modified, message TEXT or hint N "
               "(optionally after not)";
    }
    if (holds == negate) {
        std::string error = "expectation failed: ";
        for (std::size_t k = 1; k < t.size(); ++k) {
            error += (k > 1 ? " " : "") + t[k];
        }
        return seen.empty() ? error : error + " (" + seen + ")";
    }
    return {};
}

std::string ScriptRunner::SelectModelCommand(const Tokens& t)
{
    const int model = FindModel(m_doc.Scene(), t[1]);
    if (model < 0) {
        return "select-model: no model " + t[1];
    }
    m_doc.SelectModelItem(model); // as a click on the model's item in the tree
    return {};
}

std::string ScriptRunner::SelectCharacterCommand(const Tokens& t)
{
    int index = 0;
    if (!ExchangeInteger(t[1], index) || index < 0 || static_cast<std::size_t>(index) >= m_doc.Scene().m_characterNames.size()) {
        return "select-character: no character " + t[1];
    }
    m_doc.SelectCharacterItem(index);
    return {};
}

std::string ScriptRunner::ClearSelectionCommand(const Tokens&)
{
    m_doc.ClearSelectionItem();
    return {};
}

std::string ScriptRunner::SelectMaterialCommand(const Tokens& t)
{
    int index = 0;
    if (!ExchangeInteger(t[1], index) || !m_doc.SelectMaterialItem(index)) {
        return "select-material: no material " + t[1];
    }
    return {};
}

std::string ScriptRunner::Animation(const Tokens& t)
{
    int index = 0;
    if (!ExchangeInteger(t[1], index) || !m_doc.SelectAnimationItem(index)) {
        return "animation: no animation " + t[1];
    }
    return {};
}

std::string ScriptRunner::Frame(const Tokens& t)
{
    m_doc.ApplyCurrentFrameText(t[1]);
    return {};
}

std::string ScriptRunner::Mode(const Tokens& t)
{
    static constexpr std::string_view kModes[] = {"move", "rotate", "scale"};
    static constexpr int kIds[] = {kCmdModeMove, kCmdModeRotate, kCmdModeScale};
    for (int mode = 0; mode < 3; ++mode) {
        if (t[1] == kModes[mode]) {
            return ExecuteChecked(kIds[mode]);
        }
    }
    return "mode: expected move, rotate or scale";
}

std::string ScriptRunner::Values(const Tokens& t)
{
    const float x = static_cast<float>(AtofC(t[1]));
    const float y = static_cast<float>(AtofC(t[2]));
    const float z = static_cast<float>(AtofC(t[3]));
    std::optional<float> angle;
    if (t.size() > 4) {
        angle = static_cast<float>(AtofC(t[4]));
    }
    m_doc.ApplyValueFields(x, y, z, angle);
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
    long long frame = 0;
    const bool fromDialog = next < t.size();
    if (fromDialog && !ParseInteger(t[next++], frame)) {
        return t[0] + ": the frame must be an integer";
    }
    if (next != t.size()) {
        return t[0] + ": unexpected argument " + t[next];
    }
    if (!m_doc.Scene().HasSelectedModel()) {
        // The key commands are disabled without a selected model.
        m_ui.ShowMessage(kSelectModelMessage);
        return {};
    }
    if (!fromDialog) {
        return ExecuteChecked(add ? (all ? kCmdAddKeyAll : kCmdAddKeySelected)
                                  : (all ? kCmdDeleteKeyAll : kCmdDeleteKeySelected));
    }
    static_cast<void>(m_doc.SetKey(add, all, frame)); // a refusal was shown, as in the program
    return {};
}

std::string ScriptRunner::InsertFramesCommand(const Tokens& t)
{
    long long a = 0, b = 0;
    if (!ParseInteger(t[1], a) || !ParseInteger(t[2], b)) {
        return "insert-frames: AFTER and COUNT must be integers";
    }
    static_cast<void>(m_doc.InsertFrames(a, b)); // a refusal was shown, as in the program
    return {};
}

std::string ScriptRunner::DeleteFramesCommand(const Tokens& t)
{
    long long a = 0, b = 0;
    if (!ParseInteger(t[1], a) || !ParseInteger(t[2], b)) {
        return "delete-frames: FIRST and LAST must be integers";
    }
    static_cast<void>(m_doc.DeleteFrames(a, b)); // a refusal was shown, as in the program
    return {};
}

std::string ScriptRunner::SetLastFrameCommand(const Tokens& t)
{
    static_cast<void>(m_doc.ApplyLastFrameText(t[1])); // a refusal was shown, as in the program
    return {};
}

std::string ScriptRunner::Visibility(const Tokens& t)
{
    const CModel* model = m_doc.Scene().GetSelectedModel();
    if (model == nullptr) {
        m_ui.ShowMessage(kSelectModelMessage);
        return {};
    }
    // The command toggles; the script line names the state it wants.
    if ((model->m_visible != 0) != (t[0] == "show")) {
        return ExecuteChecked(kCmdShowHideModel);
    }
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
    m_doc.DropModel(model, ref);
    return {};
}

std::string ScriptRunner::Rename(const Tokens& t)
{
    std::string name;
    if (!ToCp932(t[1], name)) {
        return t[0] + ": the name " + t[1] + " has characters CP932 cannot hold";
    }
    const CTessaline& scene = m_doc.Scene();
    if (t[0] == "rename-model") {
        if (!scene.HasSelectedModel()) {
            m_ui.ShowMessage(kSelectModelMessage);
            return {};
        }
        static_cast<void>(m_doc.RenameModel(scene.m_selectedModel, name));
    } else if (t[0] == "rename-character") {
        static_cast<void>(m_doc.RenameCharacter(scene.m_selectedCharacter, name));
    } else {
        static_cast<void>(m_doc.RenameAnimation(g_currentAnimation, name));
    }
    return {};
}

std::string ScriptRunner::ViewSize(const Tokens& t)
{
    int width = 0;
    int height = 0;
    if (!ExchangeInteger(t[1], width) || !ExchangeInteger(t[2], height)) {
        return "view-size: expected WIDTH HEIGHT in pixels";
    }
    // As a size event: a view without area changes nothing.
    if (width > 0 && height > 0) {
        m_doc.View().m_viewWidth = static_cast<float>(width);
        m_doc.View().m_viewHeight = static_cast<float>(height);
    }
    return {};
}

std::string ScriptRunner::Mouse(const Tokens& t)
{
    CTessaline& scene = m_doc.Scene();
    MouseInput input;
    if (!ExchangeInteger(t[2], input.x) || !ExchangeInteger(t[3], input.y)) {
        return "mouse: expected X Y in pixels";
    }
    ViewState& view = m_doc.View();
    const TimePoint time = CurrentTime();
    input.viewWidth = view.m_viewWidth;
    input.viewHeight = view.m_viewHeight;
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
    if (t[1] == "press" && input.middleButton) {
        MiddleButtonDown(m_mouse, input);
        return {};
    }
    if (t[1] == "press") {
        // A view paints after every change, so what is under the mouse is
        // what the scene shows now.
        RecordDrawnManipulator(scene, view, time);
        requests = right ? RightButtonDown(m_mouse, input) : LeftButtonDown(scene, view, time, m_mouse, input);
    } else if (t[1] == "move") {
        requests = MouseMove(scene, view, time, m_mouse, input, m_doc.m_mouseMode);
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
    if (!ExchangeInteger(t[1], input.wheelDelta)) {
        return "wheel: expected the wheel distance (120 per notch)";
    }
    ApplyViewRequests(m_doc, MouseWheel(m_doc.Scene(), CurrentTime(), input));
    return {};
}

std::string ScriptRunner::KeySetCommand(const Tokens& t)
{
    const bool move = t[0] == "move-keys";
    long long offset = 0;
    if (move && !ParseInteger(t[1], offset)) {
        return "move-keys: the offset must be an integer";
    }
    KeySelection keys;
    for (std::size_t i = move ? 2 : 1; i < t.size(); ++i) {
        KeyRef key;
        const std::string error = ParseKeyToken(m_doc.Scene(), t[i], key);
        if (!error.empty()) {
            return t[0] + ": " + error;
        }
        keys.Add(key.model, key.frame);
    }
    // A refusal was shown, as in the program.
    if (move) {
        static_cast<void>(m_doc.MoveKeys(keys, offset));
    } else if (t[0] == "delete-keys") {
        static_cast<void>(m_doc.DeleteKeys(keys));
    } else {
        static_cast<void>(m_doc.CopyKeys(keys));
    }
    return {};
}

std::string ScriptRunner::PasteKeysCommand(const Tokens& t)
{
    long long frame = 0;
    if (!ParseInteger(t[1], frame)) {
        return "paste-keys: the frame must be an integer";
    }
    std::vector<int> models;
    for (std::size_t i = 2; i < t.size(); ++i) {
        const int model = FindModel(m_doc.Scene(), t[i]);
        if (model < 0) {
            return "paste-keys: no model " + t[i];
        }
        models.push_back(model);
    }
    static_cast<void>(m_doc.PasteKeys(frame, models)); // a refusal was shown, as in the program
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
    if (VideoFormatOfPath(t[1])) {
        VideoSettings settings;
        const std::vector<std::string_view> words(t.begin() + 2, t.end());
        const std::string refused = ApplyVideoOptions(words, settings);
        if (!refused.empty()) {
            return "render: " + refused;
        }
        FrameDrawer* drawer = m_ui.VideoFrameDrawer();
        if (drawer == nullptr) {
            return "render: drawing is not available here";
        }
        const OperationResult result = ExportVideo(m_doc.Scene(), Path(t[1]), settings, *drawer);
        return result.ok ? std::string{} : "render: " + result.detail;
    }
    int width = kDefaultRenderWidth;
    int height = kDefaultRenderHeight;
    if (t.size() == 3 || t.size() > 4 || (t.size() == 4 && (t[2] != "--size" || !ParseRenderSize(t[3], width, height)))) {
        return "render: expected render PATH [--size WxH]";
    }
    if (!m_render) {
        return "render: drawing is not available here";
    }
    const std::string error = m_render(m_doc.Scene(), Path(t[1]), width, height);
    return error.empty() ? std::string{} : "render: " + error;
}

} // namespace vantomo
