// Scripted editing: a text of editing commands run on one document, so scenes
// can be batch-edited without a display and every operation can be driven by
// tests.
//
// One command per line; tokens are separated by white space; a token in double
// quotes may hold spaces; '#' at the start of a token starts a comment, except
// in "#INDEX" (a model by its index) and "#INDEX:FRAME" (a key). Names are UTF-8
// in the script and CP932 in the scene; relative paths are taken from the
// script's folder. Each command does what its operation does in the desktop
// program, including the in-betweening. A message an operation shows goes to the message sink and the
// script goes on; an unknown command, a bad argument, a failed open, import,
// save or export, or a failed expectation stops the script.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Document.h"
#include "render/MouseHandling.h"

namespace vantomo {

struct ScriptResult {
    bool ok = true;
    int line = 0;      // line of the failing command (1-based) when !ok
    std::string error; // UTF-8, when !ok
};

// The model a script or command-line token names: "#INDEX" or the first model
// whose name is exactly NAME (UTF-8). -1 when none.
int FindModel(const CTessaline& scene, const std::string& token);

// Picture size of the render command and `vantomo-cli render`.
inline constexpr int kDefaultRenderWidth = 640;
inline constexpr int kDefaultRenderHeight = 480;
inline constexpr int kMaxRenderSide = 16384;

// "WxH" with decimal W and H in 1..kMaxRenderSide. False (width and height
// unchanged) for anything else.
[[nodiscard]] bool ParseRenderSize(std::string_view text, int& width, int& height);

// Splits one line into tokens. False (with `error`) on an unterminated quote.
bool TokenizeScriptLine(std::string_view line, std::vector<std::string>& tokens, std::string& error);

class ScriptRunner final : public DocumentView {
public:
    using Printer = std::function<void(const CTessaline&)>;
    // Draws the scene as the 3D view would into a PNG file of width x height
    // pixels; "" on success, else the reason. The document layer draws
    // nothing itself: the command-line tool provides this.
    using RenderHook = std::function<std::string(CTessaline&, const std::string& path, int width, int height)>;

    // `ui` must be the user interface of `doc`: the runner answers its
    // dialogs from the script's `dialog` lines. `print` runs for the `print`
    // command. The runner registers itself as a view of `doc` for its lifetime.
    ScriptRunner(CVantomoDoc& doc, HeadlessUserInterface& ui, Printer print);
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // What the `render` command calls; without one it fails.
    void SetRenderHook(RenderHook render) { m_render = std::move(render); }
    // Called after each command of Run that succeeded, with its line number
    // (tests look at the document and its views between commands).
    void SetAfterCommand(std::function<void(int line)> hook) { m_afterCommand = std::move(hook); }

    // Runs every line of `text`; `folder` is the base of relative paths.
    ScriptResult Run(std::string_view text, const std::string& folder);

    // Keeps the kinds of change each command announced, for `expect hint`.
    void OnChange(const ChangeNotice& change) override;

    // One command, as tokens (the name first), with the `dialog` lines that
    // follow it already tokenized. "" when it ran, else the error.
    std::string RunCommand(const std::vector<std::string>& tokens,
                           const std::vector<std::vector<std::string>>& dialogs = {});

private:
    struct Command;
    static const Command kCommands[];
    using Tokens = std::vector<std::string>;

    std::string Path(const std::string& token) const;
    // Runs a command id with the queued answers; the error of a failed open,
    // import, save or export, or of an answer the command left unused.
    std::string ExecuteChecked(int id);
    std::string QueueDialog(const Tokens& t);

    std::string New(const Tokens&);
    std::string Open(const Tokens&);
    std::string Import(const Tokens&);
    std::string Save(const Tokens&);
    std::string Export(const Tokens&);
    // Save as to `path`, answering its dialogs; "" when it ran, else the error.
    // Save as `path`: a project file is saved, any other kind exported with
    // `options` applied to the kind's choices. The failure, "" on success.
    std::string SaveAs(const std::string& path, std::vector<std::string_view> options);
    std::string Rate(const Tokens&);
    std::string Print(const Tokens&);
    std::string CommandLine(const Tokens&);
    std::string Expect(const Tokens&);
    std::string SelectModelCommand(const Tokens&);
    std::string SelectCharacterCommand(const Tokens&);
    std::string ClearSelectionCommand(const Tokens&);
    std::string SelectMaterialCommand(const Tokens&);
    std::string Animation(const Tokens&);
    std::string Frame(const Tokens&);
    std::string Mode(const Tokens&);
    std::string Values(const Tokens&);
    std::string KeyCommand(const Tokens&);
    std::string InsertFramesCommand(const Tokens&);
    std::string DeleteFramesCommand(const Tokens&);
    std::string SetLastFrameCommand(const Tokens&);
    std::string Visibility(const Tokens&);
    std::string Reparent(const Tokens&);
    std::string Rename(const Tokens&);
    std::string ViewSize(const Tokens&);
    std::string Mouse(const Tokens&);
    std::string Wheel(const Tokens&);
    std::string RenderCommand(const Tokens&);
    std::string KeySetCommand(const Tokens&);
    std::string PasteKeysCommand(const Tokens&);

    CVantomoDoc& m_doc;
    HeadlessUserInterface& m_ui;
    Printer m_print;
    RenderHook m_render;
    std::function<void(int)> m_afterCommand;
    std::string m_folder;
    ViewMouseState m_mouse;         // the 3D view's mouse state between mouse lines
    std::vector<int> m_hints;       // hints sent while the last command ran
    std::size_t m_firstMessage = 0; // first message the last command showed
};

} // namespace vantomo
