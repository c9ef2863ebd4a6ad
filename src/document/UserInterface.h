// How the document layer talks to the user: ask for a path, show a message,
// run a dialog with its fields, and hand on the commands that belong to the
// desktop program's windows. The desktop program implements it with real
// dialogs; tests and the command-line tool implement it without windows, so
// every command runs headless.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/Progress.h"
#include "document/Dialogs.h"
#include "scene/MessageSink.h"

namespace vantomo {

// A file dialog's settings. The filter is the platform-neutral form of the
// resource strings: "Description|*.ext;*.ext|Description|*.ext|".
struct FileDialogRequest {
    bool save = false;
    std::string filter;
    std::string defaultExtension;
    std::string initialFolder;
    bool overwritePrompt = false;
};

enum class SaveChoice { Yes, No, Cancel };

// The question before unsaved work would be lost ends in this, after the
// document's title.
inline constexpr std::string_view kSaveQuestionTail = " への変更を保存しますか?";

// The titles of the progress shown while a file is read or written.
inline constexpr const char* kOpeningProgress = "ファイルを開いています...";
inline constexpr const char* kImportingProgress = "モデルを読み込んでいます...";
inline constexpr const char* kSavingProgress = "保存しています...";
inline constexpr const char* kExportingProgress = "書き出しています...";

// What a rename command renames, fixed when its edit begins: the command,
// the position of the model, character, animation or material, the model's
// id, and the name it had.
struct RenameTarget {
    int commandId = 0;
    int index = 0;
    int modelId = 0;
    std::string current;
};

class FrameDrawer;
struct VideoDialog;

class UserInterface : public MessageSink {
public:
    // The chosen path, or none when the user cancelled.
    virtual std::optional<std::string> AskPath(const FileDialogRequest& request) = 0;
    // A Yes / No / Cancel question (`text` UTF-8).
    virtual SaveChoice AskYesNoCancel(std::string_view text) = 0;
    // The colour dialog with `initial` (0x00BBGGRR) chosen; none on Cancel.
    virtual std::optional<std::uint32_t> AskColor(std::uint32_t initial) = 0;
    // The dialogs: true on OK with the fields updated (every typed text passed
    // the data exchange), false on Cancel with the fields as they were.
    virtual bool RunKeyFrameDialog(KeyFrameDialog& dialog) = 0;
    virtual bool RunFrameInsertDialog(FrameInsertDialog& dialog) = 0;
    virtual bool RunFrameDeleteDialog(FrameDeleteDialog& dialog) = 0;
    virtual bool RunExportDialog(ExportDialog& dialog) = 0;
    virtual bool RunMaterialDialog(MaterialDialog& dialog) = 0;
    // Edit the name of what a rename command acts on, in place, starting
    // from its current name. The typed name (CP932) goes to `commit` when
    // the user commits it; a cancelled edit never calls it. A front end that
    // answers at once (scripts) calls it before returning; the desktop opens
    // an editor and returns, and its editor calls it later.
    virtual void BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit) = 0;
    // The commands of the program's windows (toolbars, status bar, panes,
    // language, help, about box, file-type registration, material dialog,
    // recent files, exit). The document passes them on unchanged.
    virtual void RunShellCommand(int commandId) = 0;
    virtual bool IsShellCommandChecked(int commandId) const = 0;
    // Long work begins (`title` UTF-8): the progress returned shows it, when
    // the work lasts long enough to be worth showing, until it is destroyed.
    // With `cancellable` the user may ask to stop (the progress then refuses
    // its reports). None: nothing is shown.
    virtual std::unique_ptr<Progress> BeginProgress(std::string_view title, bool cancellable);
    // The video export's dialog (true on OK with the settings updated), and
    // what draws its frames; none where nothing can draw.
    virtual bool RunVideoDialog(VideoDialog& dialog);
    virtual FrameDrawer* VideoFrameDrawer();
};

// One queued answer of the headless interface: what the user would type into
// the next dialog. `texts` are the typed field texts in dialog order.
struct DialogAnswer {
    enum class Kind { Key, Insert, Delete, Export, Material, File, Color, Name, Yes, No, Cancel, Video };
    Kind kind = Kind::Cancel;
    std::vector<std::string> texts;
};

// A user interface without windows: answers are queued in advance, messages are
// collected (and passed on to `forward` when given). A dialog that finds no
// answer, or an answer of another kind, is cancelled. A typed text the data
// exchange refuses shows its message and, as the dialog stays open, the next
// answer of the same kind is tried.
class HeadlessUserInterface final : public UserInterface {
public:
    explicit HeadlessUserInterface(MessageSink* forward = nullptr) : m_forward(forward) {}

    void ShowMessage(std::string_view text) override;
    std::optional<std::string> AskPath(const FileDialogRequest& request) override;
    SaveChoice AskYesNoCancel(std::string_view text) override;
    std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
    bool RunKeyFrameDialog(KeyFrameDialog& dialog) override;
    bool RunFrameInsertDialog(FrameInsertDialog& dialog) override;
    bool RunFrameDeleteDialog(FrameDeleteDialog& dialog) override;
    // The answer's texts are option words as the command line takes them
    // ("--scale 2 --uv"), applied to the record shown.
    bool RunExportDialog(ExportDialog& dialog) override;
    // The answer's texts: name, red, green, blue, opacity, diffuse, emissive,
    // specular, power, ambient, texture; each number as typed.
    bool RunMaterialDialog(MaterialDialog& dialog) override;
    void BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit) override;
    void RunShellCommand(int commandId) override;
    bool IsShellCommandChecked(int commandId) const override;
    // Records the work in `progressTitles`; the user stops cancellable work
    // after `stopAfterReports` reports when that is not negative.
    std::unique_ptr<Progress> BeginProgress(std::string_view title, bool cancellable) override;
    // The answer's texts are option words as `vantomo-cli render` takes them
    // ("--size 64x48 --frames 0..9 --fps 10").
    bool RunVideoDialog(VideoDialog& dialog) override;
    FrameDrawer* VideoFrameDrawer() override { return frameDrawer; }

    std::deque<std::string> paths;      // answers of AskPath before any queued File answer
    std::deque<DialogAnswer> answers;   // answers of every dialog, in order
    std::vector<std::string> messages;  // every message shown
    std::vector<std::string> questions; // every Yes / No / Cancel question asked
    std::vector<int> shellCommands;     // every shell command run
    std::vector<FileDialogRequest> fileRequests; // every file dialog shown
    std::set<int> hiddenBars;           // toolbars and status bar hidden by their commands
    bool english = false;               // the language command's state
    std::vector<std::string> progressTitles; // every long work begun, in order
    int progressReports = 0;            // reports made to those, in all
    int stopAfterReports = -1;
    FrameDrawer* frameDrawer = nullptr; // what draws a video's frames, when anything can

private:
    // The next answer if it is of `kind`; otherwise none (the dialog is cancelled).
    std::optional<DialogAnswer> Take(DialogAnswer::Kind kind);
    // Answers of `kind` until one whose texts pass `accept`; false when none does.
    template <typename Accept>
    bool TakeValid(DialogAnswer::Kind kind, Accept accept);

    MessageSink* m_forward;
};

} // namespace vantomo
