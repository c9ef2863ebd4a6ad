// The document: the scene with its path, title and modified flag, the open,
// new and save operations, and the update hints that tell the views what
// changed.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/Navigation.h"
#include "document/Change.h"
#include "document/Commands.h"
#include "document/KeyEdits.h"
#include "document/StepLabels.h"
#include "document/TextureReport.h"
#include "document/UndoHistory.h"
#include "document/UserInterface.h"
#include "export/ExportResult.h"
#include "import/LoaderMQO.h"
#include "render/MouseMode.h"
#include "render/OnionSkin.h"
#include "render/ViewState.h"
#include "scene/CTessaline.h"
#include "scene/ProjectFile.h" // SaveProjectFile, kSaveFailedMessage

namespace vantomo {

inline constexpr const char* kUntitledTitle = "無題";
inline constexpr const char* kSelectModelMessage = "モデルを選択してください！";
inline constexpr const char* kUnknownSaveFormatMessage = "このファイル形式では保存できません。";
inline constexpr const char* kOpenFilter =
    "全ての形式(*.vtm;*.mqo)|*.vtm;*.mqo|Vantomoファイル(*.vtm)|*.vtm|Metasequoiaファイル(*.mqo)|*.mqo|";
inline constexpr const char* kSaveFilter =
    "Vantomoファイル(*.vtm)|*.vtm|xamlファイル(*.xaml)|*.xaml|Metasequoiaファイル(*.mqo)|*.mqo|"
    "glTFファイル(*.gltf;*.glb)|*.gltf;*.glb|";
inline constexpr const char* kAddModelFilter = "Metasequoiaファイル(*.mqo)|*.mqo|";
inline constexpr const char* kSkippedTexturesMessage = "次のテクスチャは書き出せませんでした:";

// The extension of a path (GetPathExtension) in ASCII lower case; "" when there is none.
std::string ExtensionOf(std::string_view path);

// The open operation on a scene, without the document's path and title:
// ".vtm" reads the project into a fresh scene and replaces the scene's stored
// contents only when the whole file was read (an empty file reads nothing);
// ".mqo" (and the ".mqoz" container) imports into the selected character; any other extension reads
// nothing. Unless reading failed, the steps after loading run: frame 0,
// frame values from the first animation, selection cleared, tracks
// sized, materials and bounds derived, traversal rebuilt. A failure leaves the
// scene and the application-wide values untouched. `modified` is set when the
// scene changed in a way that needs saving (an import).
// Texture files are looked up through `textures`; an import moves its base folder.
// The bytes read are reported to `progress` when given; the user may stop an
// import (cancelled result, the scene untouched), not the read of a project.
OpenResult OpenInto(CTessaline& scene, const std::string& path, MessageSink& messages, TextureLookup& textures,
                    bool& modified, Progress* progress = nullptr);

// The colour a material is shown with (0x00BBGGRR): trunc(component x 255)
// of red, green and blue, each clamped to [0, 1] first (NaN as 0), so a colour
// typed beyond 1 shows as the colour that is drawn.
std::uint32_t MaterialDisplayColor(const CMaterial& material);

class CVantomoDoc {
public:
    explicit CVantomoDoc(UserInterface& ui);

    CTessaline& Scene() { return m_scene; }
    const CTessaline& Scene() const { return m_scene; }
    UserInterface& Ui() { return m_ui; }
    // Where texture names are looked up: relative names first against the
    // folder of the last imported document, as the working folder once served.
    TextureLookup& Textures() { return m_textures; }
    // Where the loader tells of textures it could not load: a
    // TextureReportScope around a user action makes them one message.
    TextureReport& TextureMessages() { return m_textureReport; }

    const std::string& GetPathName() const { return m_pathName; }
    const std::string& GetTitle() const { return m_title; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    void AddView(DocumentView* view);
    void RemoveView(DocumentView* view);
    // Tells every view what changed. A change that ends playback (new, open,
    // a model added, deleted or moved, a frame command, stop) ends it here,
    // before any view hears of it, whichever views are attached.
    void UpdateAllViews(const ChangeNotice& change);

    // The one playback engine: the desktop's timer ticks it at its period,
    // scripts step it with frame commands.
    const Playback& GetPlayback() const { return m_playback; }
    // Play: every model in-betweened, the timer period from the rate in
    // force, Change::Play. Play while playing restarts.
    void Play();
    // Stop: Change::Stop.
    void Stop();
    // One timer tick: the next frame, wrapping to 0 after the last; Change::Frame.
    void PlaybackTick();
    // The slider's frame, kept within 0 .. last frame; playback goes on; Change::Frame.
    void SetCurrentFrame(int frame);
    // Whether a drag in the 3D view may change the X, Y, Z or angle component
    // (0 .. 3); Change::Pose.
    void SetComponentEnabled(int component, bool enabled);
    // Show a hidden model or hide a shown one (hiding clears the selection,
    // showing selects it); Change::Selection, modified. False when there is
    // no such model.
    bool ShowHideModel(int model);

    // New document: frame values back to the start, device resources released,
    // new scene, hint 101.
    bool OnNewDocument();
    // Open (or import) `path`, with progress shown for long work. On failure
    // the message is shown and the scene, path and title stay as they were;
    // an import the user stopped fails the same way without a message. On
    // success of a ".vtm" the path and title become `path` and the modified
    // flag is cleared; hint 102.
    bool OnOpenDocument(const std::string& path);
    // Save the project to `path`. On failure "ドキュメントの保存に失敗しました。"
    // is shown, the old file is intact and the modified flag stays.
    bool OnSaveDocument(const std::string& path);

    // Import a Metasequoia document chosen in a file dialog into the selected
    // character. False when the user cancelled.
    bool AddModel();
    // The same with the path given. Whatever the import's result, unless the
    // user stopped it (then nothing changes): one undo step, hint 104,
    // modified, frame 0, selection cleared, traversal rebuilt. Returns the
    // import's outcome.
    OpenResult AddModelFromPath(const std::string& path);
    // The import alone as one undo step, with its progress: the reader's
    // outcome is kept in LastFailure unless the user stopped it. The caller
    // does what follows.
    OpenResult ImportWithProgress(const std::string& path);

    // Commands by identifier (document/Commands.h), as the menus, toolbars,
    // accelerators and scripts send them. Execute runs a command only while it
    // is enabled and returns whether it ran; the commands of the program's
    // windows are handed on to the user interface.
    bool Execute(int id);
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;

    // The editing operations, each with its arguments spelled out: the menu
    // commands ask the user and then call them, scripts call them directly.
    // Each checks its arguments, changes the scene as one edit, announces the
    // change and marks the document modified; a refused call changes nothing,
    // shows its message (when the rule has one) and returns it.
    //
    // Insert `count` rest frames after frame `after` of the current
    // animation in every model (the keys after it move on); Change::Frames.
    OperationResult InsertFrames(long long after, long long count);
    // Delete frames `first` .. `last` of the current animation; Change::Frames.
    OperationResult DeleteFrames(long long first, long long last);
    // Add (or delete) the key at `frame` of the selected model, or of every
    // model of its character, then in-between; Change::Keys.
    OperationResult SetKey(bool add, bool allModels, long long frame);
    // Rename a model, a character, an animation or a material by index. An
    // empty name is ignored without a message; a name taken (as the rule of
    // each kind says) is refused with its message.
    OperationResult RenameModel(int index, const std::string& name);
    OperationResult RenameCharacter(int index, const std::string& name);
    OperationResult RenameAnimation(int index, const std::string& name);
    OperationResult RenameMaterial(int index, const std::string& name);
    // Delete model `index` with the models hanging below it; Change::ModelAddedOrDeleted.
    OperationResult DeleteModel(int index);
    // The current animation's last frame: the tracks sized, frame 0;
    // Change::AnimationList. The count in force, a negative count
    // or one beyond the record budget changes nothing.
    OperationResult SetLastFrame(long long lastFrame);
    // Write the scene to `path` in the kind its extension names, with
    // progress; the message shown on failure. The document stays modified.
    ExportResult Export(const std::string& path, const ExportSettings& settings);

    // Before the document is replaced or closed: a modified document asks
    // "%s への変更を保存しますか?" (Yes saves, as the save command, and goes
    // on only when that saved). True when the caller may go on.
    bool SaveModified();

    // What the panes do on a click, as data for the views and scripts.
    // Select a model as a click on its tree item: its selection box is built,
    // hint 114. A left click (animationMode) also switches the mouse to the
    // animation mode; a right click, which opens the model's menu, keeps it.
    void SelectModelItem(int model, bool animationMode = true);
    // Select a character: its models become the ones drawn; hint 114.
    void SelectCharacterItem(int character);
    void ClearSelectionItem();
    // Select material `index` as a click on its row; false when there is none.
    bool SelectMaterialItem(int index);
    // Make animation `index` current, as a click on its row: frame 0, the
    // animation's length, hint 109. False when there is no such animation.
    bool SelectAnimationItem(int index);
    // The material dialog on material `index` (a double click on its row): it
    // becomes the selected material; on OK every value is copied back (a name
    // another material has, in any letter case, is refused with its message and
    // the old name kept), the material's texture is loaded again, hint 107,
    // modified. False when there is no such material or the user cancelled.
    bool EditMaterial(int index);
    // The control panel's fields, as typed. The current frame: read as an
    // integer (atol), kept within 0 .. last frame; Change::Navigation, which
    // stops playback.
    void ApplyCurrentFrameText(std::string_view text);
    // The X, Y, Z (and angle) fields of the current transform mode: the
    // selected model's current record, or the camera's without a selection;
    // an undo snapshot first, modified, Change::Pose.
    void ApplyValueFields(float x, float y, float z, std::optional<float> angle);
    // One of those fields alone (0 X, 1 Y, 2 Z, 3 angle): the other three
    // keep the values the document holds, whatever another field shows.
    void ApplyValueField(int field, float value);
    // The values the X, Y, Z and angle fields show: the current transform
    // mode's vector of the selected model's current record (the camera's
    // without a selection), and the angle in rotate mode (0 otherwise).
    std::array<float, 4> ShownValues() const;
    // The last-frame field: the animation's length (with its messages), the
    // tracks sized, frame 0, Change::AnimationList, modified.
    // A count equal to the last frame in force, a negative count or one
    // beyond the record budget changes nothing and returns false.
    [[nodiscard]] bool ApplyLastFrameText(std::string_view text);
    // The rate field or list: the playback rate (bad text or a rate <= 0
    // gives 30), at once while playing; modified, Change::Rate.
    void ApplyRateText(std::string_view text);

    // The camera placed so that the models the 3D view shows (or the selected
    // model alone) at the current frame fill the view, its direction kept
    // (render/Framing.h); Change::Camera, modified. False, with nothing
    // changed, when there is nothing to frame.
    bool FrameModels(bool selectedOnly);
    // After an import: when the scene held no model before it (`modelsBefore`
    // is 0), the camera frames the models the import brought, as Frame All.
    // Nothing is announced: the import's own change follows.
    void FrameFirstImport(std::size_t modelsBefore);

    // The onion skin's setting. It is a viewing choice the desktop program
    // keeps among its settings, never part of the project, so a change
    // neither marks the document modified nor enters the history; it is
    // announced as Change::OnionSkin. `frames` is kept within its range.
    const OnionSkin& GetOnionSkin() const { return m_onionSkin; }
    void SetOnionSkin(OnionSkin onion);

    // Why the last open, import, save or export failed (UTF-8): the message
    // the user saw, with the system's reason; an import that read only part
    // of its document counts as failed. Empty after a success. Front ends
    // that stop on a failure (scripts, the command line) read it.
    const std::string& LastFailure() const { return m_lastFailure; }

    // Whether `model` may be dropped on `ref`: both in range, and `ref`
    // neither the model nor below it. The tree shows its no-drop cursor
    // otherwise.
    bool CanDropModel(int model, int ref) const;
    // Drop `model` on `ref` (a model position, or ~character): the undo
    // entries around it, hint 105, modified. False when `ref` is the model or
    // hangs below it, or either is out of range.
    bool DropModel(int model, int ref);

    // Keys of the current animation as sets, as the dope sheet and scripts
    // edit them (document/KeyEdits.h has the rules). Each edit is one undo
    // step (RecordTracksEdit), leaves the keys it made selected, marks the
    // document modified and announces Change::Keys; a refusal shows its
    // message and changes nothing.
    //
    // Move `keys` by `offset` frames; an offset of 0 is refused without a message.
    OperationResult MoveKeys(const KeySelection& keys, long long offset);
    // Keep the records of `keys` for PasteKeys; the scene does not change.
    OperationResult CopyKeys(const KeySelection& keys);
    // Paste the copied keys with the earliest at `frame` onto `models` (or,
    // with none named, onto the models of the copied names).
    OperationResult PasteKeys(long long frame, const std::vector<int>& models);
    // Delete `keys`; frame 0 stays a key, and a selection of frame-0 keys
    // only is refused without a message.
    OperationResult DeleteKeys(const KeySelection& keys);
    const CopiedKeys& GetCopiedKeys() const { return m_copiedKeys; }
    // The records the copy-animation command kept for paste-animation; a new
    // or opened document keeps them, so an animation can be carried across.
    const std::vector<CAnimation>& GetAnimationClipboard() const { return m_animationClipboard; }

    // The keys shown selected. A change that renumbers models, animations or
    // frames clears it, and a key that stopped being one leaves it, before
    // any view hears of the change.
    const KeySelection& SelectedKeys() const { return m_selectedKeys; }
    // Select `keys` (those that are no keys are left out); Change::KeySelection.
    void SelectKeys(KeySelection keys);

    // One undo step labelled `label` (Japanese) for an edit that changed the
    // tracks of `animation` of `models`, whose tracks were `before` (same
    // order), called once the edit is done.
    void RecordTracksEdit(std::string_view label, int animation, std::vector<int> models, std::vector<Track> before);
    // A pose edit of the selected model's record at the current frame: its
    // value now is kept by RecordPoseEdit and becomes an undo step at
    // EndPoseEdit when the edit changed it. Nothing without a selection.
    void RecordPoseEdit();
    void EndPoseEdit();

    // The history of the edits (document/UndoHistory.h).
    UndoHistory& History() { return m_history; }
    const UndoHistory& History() const { return m_history; }
    // Undo or redo one step, then announce what it changed; false when there
    // was nothing to take.
    bool Undo();
    bool Redo();
    // A command's text as its menu item shows it in Japanese, without the
    // access key and the shortcut; Undo and Redo name the step they would take
    // ("元に戻す: モデルの削除").
    std::string CommandText(int id) const;

    // The export options of each kind, kept for the run: the next export of a
    // kind starts from the last choices. "gltf" serves ".gltf" and ".glb".
    ExportSettings m_mqoSettings = InitialMqoSettings();
    ExportSettings m_xamlSettings = InitialXamlSettings();
    ExportSettings m_gltfSettings = InitialGltfSettings();
    // The record of the kind `path`'s extension names; null for a project
    // file or an extension nothing exports.
    ExportSettings* ExportRecordFor(std::string_view path);

    // What a left-button drag in the 3D view manipulates.
    MouseMode m_mouseMode = MouseMode::Camera;

    // The view the document frames the camera for and scripts send mouse
    // lines to: the desktop's 3D view writes its size here; its manipulator
    // and grabbed handle are the script's. A new document lets go of the handle.
    ViewState& View() { return m_view; }
    const ViewState& View() const { return m_view; }

private:
    // The command records run the handlers below.
    friend std::span<const CommandInfo> CommandTable();

    void NoteImportFailure(const OpenResult& result);
    // An edit of the scene's structure as one undo step: the state before is
    // kept by BeginSceneStep; EndSceneStep keeps the step when `done`.
    void BeginSceneStep(bool camera = false);
    void EndSceneStep(std::string_view label, bool done);
    // The scene as it is now as one undo step, for an edit about to be made
    // that cannot be refused.
    void RecordSceneStep(std::string_view label);
    bool TakeStep(bool redo);
    // What an undo or redo changed, told to the views; `animationBefore` was
    // current before it.
    void AnnounceStep(const UndoResult& result, int animationBefore);

    // A frame command: the step, then Change::Navigation (which stops playback).
    void Navigate(void (*step)(CTessaline&));
    void SetTransformMode(int mode);
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void CopyAnimation(const CModel& model);
    void PasteAnimation(CModel& model);
    void BackgroundColor();
    void CameraPreset(int id);
    // The camera framing the shown models' boxes, or model `onlyModel`'s (ViewCommands.cpp).
    bool FrameCameraOn(int onlyModel);
    // Add or delete the key at the current frame of the selected model (or
    // of every model of its character).
    void KeyCommand(bool add, bool allModels);
    void KeyDialog();
    void InsertFramesDialog();
    void DeleteFramesDialog();
    // Opens the name of what a rename command acts on for editing; the
    // edit's commit renames it.
    void RenameCommand(int id);
    // A committed rename: the item must still be the one the edit began on
    // (same place, same name, the same model); an empty name is ignored.
    void CommitRename(const RenameTarget& target, const std::string& name);
    void MaterialColor();
    bool MaterialNameTaken(const std::string& name) const;
    void AfterAnimationDeleted();
    // The current animation's length applied to every model's track
    // (frame 0), then the change announced.
    void AnnounceAnimationChange(Change kind);
    // What a change leaves of the selected keys (UpdateAllViews).
    void FollowKeySelection(Change kind);
    // The current animation's tracks of `models`, as they are now.
    std::vector<Track> TracksOf(const std::vector<int>& models) const;
    // The end of every key edit: the new selection, the undo step, modified, Change::Keys.
    void EndKeyEdit(std::string_view label, const std::vector<int>& models, std::vector<Track> before,
                    KeySelection selected);
    void ExportVideoCommand(); // in VideoExport.cpp

    // The folder a file dialog opens in: the current document's, or none
    // (the user interface then takes the last folder used).
    std::string DialogFolder() const;

    UserInterface& m_ui;
    TextureReport m_textureReport{m_ui};
    CTessaline m_scene;
    UndoHistory m_history;
    std::string m_lastFailure;
    TextureLookup m_textures;
    std::string m_pathName;
    std::string m_title;
    bool m_modified = false;
    std::vector<DocumentView*> m_views;
    Playback m_playback;
    KeySelection m_selectedKeys;
    CopiedKeys m_copiedKeys;
    std::vector<CAnimation> m_animationClipboard;
    OnionSkin m_onionSkin;
    ViewState m_view;
};

} // namespace vantomo
