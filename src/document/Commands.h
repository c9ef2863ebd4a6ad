// Every command identifier a menu item, toolbar button or accelerator sends,
// with the menu text and the key the desktop program shows for it. The
// document runs each one through CVantomoDoc::Execute.
#pragma once

#include <span>
#include <string_view>
#include <utility>

namespace vantomo {

enum CommandId : int {
    kCmdControlToolbar = 132,
    kCmdAddModel = 50000,
    kCmdDeleteModel = 50001,
    kCmdRenameModel = 50002,
    kCmdShowHideModel = 50003,
    kCmdAddCharacter = 50004,
    kCmdDeleteCharacter = 50005,
    kCmdRenameCharacter = 50006,
    kCmdModeMove = 32772,
    kCmdModeRotate = 32773,
    kCmdBackgroundColor = 32775,
    kCmdSmoothShading = 32777,
    kCmdFirstFrame = 32779,
    kCmdPlay = 32780,
    kCmdLastFrame = 32781,
    kCmdStop = 32782,
    kCmdPrevKey = 32783,
    kCmdNextFrame = 32784,
    kCmdNextKey = 32785,
    kCmdPrevFrame = 32786,
    kCmdAddKeySelected = 32787,
    kCmdDeleteKeySelected = 32788,
    kCmdDeleteFrames = 32789,
    kCmdDeleteKeyAll = 32793,
    kCmdKeyDialog = 32795,
    kCmdAddKeyAll = 32797,
    kCmdMouseCamera = 32803,
    kCmdMouseModel = 32804,
    kCmdModeScale = 32805,
    kCmdNoEffectAltD = 32810,
    kCmdNoEffectAltK = 32812,
    kCmdNoEffectAltG = 32814,
    kCmdNoEffectAltL = 32817,
    kCmdInsertFrames = 32819,
    kCmdCameraReset = 32827,
    kCmdRemoveRegistration = 32828,
    kCmdMouseAnimation = 32832,
    kCmdLanguage = 32848,
    kCmdModelerHomePage = 32849,
    kCmdAddAnimation = 32850,
    kCmdDeleteAnimation = 32851,
    kCmdRenameAnimation = 32852,
    kCmdCopyAnimation = 32857,
    kCmdPasteAnimation = 32859,
    kCmdMaterialColor = 32861,
    kCmdRenameMaterial = 32863,
    kCmdCameraBack = 32869,
    kCmdCameraFront = 32870,
    kCmdCameraBottom = 32871,
    kCmdCameraTop = 32872,
    kCmdCameraLeft = 32873,
    kCmdCameraRight = 32874,
    kCmdExportVideo = 32880,
    kCmdDopeSheet = 32890,
    kCmdOnionSkin = 32900,
    kCmdOnionSkinKeys = 32901,
    kCmdOnionSkinFrames1 = 32902,
    kCmdOnionSkinFrames2 = 32903,
    kCmdOnionSkinFrames3 = 32904,
    kCmdFrameAll = 32905,
    kCmdFrameSelected = 32906,
    kCmdFileNew = 57600,
    kCmdFileOpen = 57601,
    kCmdFileSave = 57603,
    kCmdFileSaveAs = 57604,
    kCmdRecentFile = 57616,
    kCmdEditCopy = 57634,
    kCmdEditCut = 57635,
    kCmdEditPaste = 57637,
    kCmdUndo = 57643,
    kCmdRedo = 57644,
    kCmdAbout = 57664,
    kCmdExit = 57665,
    kCmdHelp = 57669,
    kCmdNextPane = 57680,
    kCmdPrevPane = 57681,
    kCmdMainToolbar = 59392,
    kCmdStatusBar = 59393,
};

// Who carries a command out: the document itself, or the desktop program's
// windows (toolbars, panes, help, language), which the document hands on to
// its user interface; "none" commands have no effect at all.
enum class CommandOwner { Document, Shell, None };

// Where a command's key acts: anywhere in the main window, or only while the
// hierarchy tree has the focus (the model keys act on the tree's caret item).
enum class KeyScope { Window, Tree };

class CVantomoDoc;

// Everything about one command: the menus, toolbars, keys, scripts and tests
// all read this record.
struct CommandInfo {
    int id;
    std::string_view name;     // stable: script lines, the toolbar icon (icons/NAME.svg), tests
    std::string_view menuText; // "" for commands with no menu item
    std::string_view key;      // "" for none; "Ctrl+N", "Alt+Delete", "Shift+F3", ...
    int toolbar;               // 0 none, 1 main toolbar, 2 control toolbar
    CommandOwner owner;
    KeyScope scope = KeyScope::Window;
    // What a document command does (a shell command is handed on to the user
    // interface), whether it may run now (null: whenever it is served), and
    // whether its item shows a tick (null: it never does).
    void (*execute)(CVantomoDoc&) = nullptr;
    bool (*enabled)(const CVantomoDoc&) = nullptr;
    bool (*checked)(const CVantomoDoc&) = nullptr;
};

// Every command, in menu order. Keys are bound only where a command is served.
std::span<const CommandInfo> CommandTable();

// The entry of `id` (or of its stable name), or null when there is none.
const CommandInfo* FindCommand(int id);
const CommandInfo* FindCommand(std::string_view name);

// What the status bar says while the command's menu item or toolbar button is
// under the pointer (UTF-8); "" for a command without a prompt of its own.
std::string_view CommandPrompt(const CommandInfo& info);
// Every prompt with the stable name of its command, for the catalog's tests.
std::span<const std::pair<std::string_view, std::string_view>> CommandPrompts();

} // namespace vantomo
