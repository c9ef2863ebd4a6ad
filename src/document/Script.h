// Scripted editing: a text of editing commands run on one document, so scenes
// can be batch-edited without a display and every operation can be driven by
// tests.
//
// One command per line; tokens are separated by white space; a token in double
// quotes may hold spaces; '#' at the start of a token starts a comment, except
// in "#INDEX" (a model by its index). Names are UTF-8
// in the script and CP932 in the scene; relative paths are taken from the
// script's folder. Each command does what its operation does in the desktop
// program, including the in-betweening and the control panel's reaction to the
// update hint. A message an operation shows goes to the message sink and the
// script goes on; an unknown command or a bad argument stops the script.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "document/Document.h"
#include "render/MouseHandling.h"

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

    // `print` runs for the `print` command. The runner registers itself as a
    // view of `doc` for its lifetime.
    ScriptRunner(CVantomoDoc& doc, Printer print);
    ~ScriptRunner() override;
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // What the `render` command calls; without one it fails.
    void SetRenderHook(RenderHook render) { m_render = std::move(render); }

    // Runs every line of `text`; `folder` is the base of relative paths.
    ScriptResult Run(std::string_view text, const std::string& folder);

    // The control panel's share of the update protocol: when the animation
    // list changed or another animation became current, size the tracks.
    void OnUpdate(int hint) override;

    // One command, as tokens (the name first). "" when it ran, else the error.
    std::string RunCommand(const std::vector<std::string>& tokens);

private:
    struct Command;
    static const Command kCommands[];

    std::string Path(const std::string& token) const;

    std::string New(const std::vector<std::string>&);
    std::string Open(const std::vector<std::string>&);
    std::string Save(const std::vector<std::string>&);
    std::string Export(const std::vector<std::string>&);
    std::string Rate(const std::vector<std::string>&);
    std::string Print(const std::vector<std::string>&);
    std::string SelectModelCommand(const std::vector<std::string>&);
    std::string SelectCharacterCommand(const std::vector<std::string>&);
    std::string ClearSelectionCommand(const std::vector<std::string>&);
    std::string Animation(const std::vector<std::string>&);
    std::string Frame(const std::vector<std::string>&);
    std::string Mode(const std::vector<std::string>&);
    std::string Values(const std::vector<std::string>&);
    std::string Navigate(const std::vector<std::string>&);
    std::string KeyCommand(const std::vector<std::string>&);
    std::string InsertFramesCommand(const std::vector<std::string>&);
    std::string DeleteFramesCommand(const std::vector<std::string>&);
    std::string SetLastFrameCommand(const std::vector<std::string>&);
    std::string UndoRedo(const std::vector<std::string>&);
    std::string AddAnimationCommand(const std::vector<std::string>&);
    std::string DeleteAnimationCommand(const std::vector<std::string>&);
    std::string AddCharacterCommand(const std::vector<std::string>&);
    std::string DeleteCharacterCommand(const std::vector<std::string>&);
    std::string DeleteModelCommand(const std::vector<std::string>&);
    std::string Visibility(const std::vector<std::string>&);
    std::string Reparent(const std::vector<std::string>&);
    std::string CopyAnimation(const std::vector<std::string>&);
    std::string PasteAnimation(const std::vector<std::string>&);
    std::string CameraReset(const std::vector<std::string>&);
    std::string Rename(const std::vector<std::string>&);
    std::string ViewSize(const std::vector<std::string>&);
    std::string Mouse(const std::vector<std::string>&);
    std::string Wheel(const std::vector<std::string>&);
    std::string RenderCommand(const std::vector<std::string>&);

    CVantomoDoc& m_doc;
    Printer m_print;
    RenderHook m_render;
    std::string m_folder;
    ViewMouseState m_mouse; // the 3D view's mouse state between mouse lines
};
