#include "document/Commands.h"

#include "document/Navigation.h"
#include "animation/Pose.h"
#include "document/Document.h"
#include "document/Structure.h"
#include "render/Framing.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

using O = CommandOwner;
using K = KeyScope;
using Doc = CVantomoDoc;
using CDoc = const CVantomoDoc;

bool HasSelectedModel(CDoc& d) { return d.Scene().HasSelectedModel(); }
bool Never(CDoc&) { return false; }

// A range of the onion skin: choosing one also shows it.
void ShowOnionFrames(Doc& d, int frames) { d.SetOnionSkin({true, frames}); }
bool OnionFramesAre(CDoc& d, int frames) { return d.GetOnionSkin().frames == frames; }

} // namespace

// A friend of the document: the records run its command handlers.
std::span<const CommandInfo> CommandTable()
{
    // Alt+L and Alt+G go to the items that show them; the four ids the keys
    // were once bound to have no handler and stay unbound.
    static constexpr CommandInfo kTable[] = {
        {kCmdFileNew, "file-new", "新規作成(&N)\tCtrl+N", "Ctrl+N", 1, O::Document, K::Window,
         [](Doc& d) {
             if (d.SaveModified()) {
                 d.OnNewDocument();
             }
         }},
        {kCmdFileOpen, "file-open", "開く(&O)...\tCtrl+O", "Ctrl+O", 1, O::Document, K::Window,
         [](Doc& d) { d.FileOpen(); }},
        {kCmdFileSave, "file-save", "上書き保存(&S)\tCtrl+S", "Ctrl+S", 0, O::Document, K::Window,
         [](Doc& d) { d.FileSave(); }},
        {kCmdFileSaveAs, "file-save-as", "名前を付けて保存(&A)...\tCtrl+A", "Ctrl+A", 1, O::Document, K::Window,
         [](Doc& d) { d.FileSaveAs(); }},
        {kCmdExportVideo, "export-video", "動画の書き出し(&V)...", "", 0, O::Document, K::Window,
         [](Doc& d) { d.ExportVideoCommand(); }},
        {kCmdRecentFile, "recent-file", "最近使ったﾌｧｲﾙ", "", 0, O::Shell},
        {kCmdExit, "exit", "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "", 0, O::Shell},
        {kCmdUndo, "undo", "元に戻す(&U)\tCtrl+Z", "Ctrl+Z", 1, O::Document, K::Window,
         [](Doc& d) { d.Undo(); }, [](CDoc& d) { return d.History().CanUndo(); }},
        {kCmdRedo, "redo", "繰り返す(&R)\tCtrl+Y", "Ctrl+Y", 1, O::Document, K::Window,
         [](Doc& d) { d.Redo(); }, [](CDoc& d) { return d.History().CanRedo(); }},
        {kCmdCopyAnimation, "copy-animation", "全アニメーションのコピー(&C)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.CopyAnimation(*d.Scene().GetSelectedModel()); }, HasSelectedModel},
        {kCmdPasteAnimation, "paste-animation", "全アニメーションの貼り付け(&P)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.PasteAnimation(*d.Scene().GetSelectedModel()); }, HasSelectedModel},
        {kCmdMouseCamera, "mouse-camera", "ﾏｳｽでｶﾒﾗを操作(&C)\tCtrl+C", "Ctrl+C", 1, O::Document, K::Window,
         [](Doc& d) {
             d.m_mouseMode = MouseMode::Camera;
             ClearSelection(d.Scene());
             d.UpdateAllViews(Change::Selection);
         },
         nullptr, [](CDoc& d) { return d.m_mouseMode == MouseMode::Camera; }},
        // Kept for its toolbar button, which the program never enables.
        {kCmdMouseModel, "mouse-model", "ﾏｳｽでﾓﾃﾞﾙを操作(&M)", "", 1, O::Document, K::Window, nullptr, Never,
         [](CDoc& d) { return d.m_mouseMode == MouseMode::Model; }},
        {kCmdMouseAnimation, "mouse-animation", "ﾏｳｽでｱﾆﾒｰｼｮﾝを操作(&A)\tCtrl+M", "Ctrl+M", 1, O::Document,
         K::Window,
         [](Doc& d) {
             d.m_mouseMode = MouseMode::Animation;
             d.UpdateAllViews(Change::Selection);
         },
         nullptr, [](CDoc& d) { return d.m_mouseMode == MouseMode::Animation; }},
        {kCmdModeMove, "mode-move", "移動(&M)\tCtrl+V", "Ctrl+V", 1, O::Document, K::Window,
         [](Doc& d) { d.SetTransformMode(0); }, nullptr, [](CDoc& d) { return d.Scene().m_transformMode == 0; }},
        {kCmdModeRotate, "mode-rotate", "回転(&R)\tCtrl+R", "Ctrl+R", 1, O::Document, K::Window,
         [](Doc& d) { d.SetTransformMode(1); }, nullptr, [](CDoc& d) { return d.Scene().m_transformMode == 1; }},
        {kCmdModeScale, "mode-scale", "拡大(&E)\tCtrl+L", "Ctrl+L", 1, O::Document, K::Window,
         [](Doc& d) { d.SetTransformMode(2); }, nullptr, [](CDoc& d) { return d.Scene().m_transformMode == 2; }},
        {kCmdPlay, "play", "再生(&P)\tCtrl+B", "Ctrl+B", 2, O::Document, K::Window, [](Doc& d) { d.Play(); }},
        {kCmdStop, "stop", "停止(&S)\tCtrl+D", "Ctrl+D", 2, O::Document, K::Window, [](Doc& d) { d.Stop(); }},
        {kCmdNextFrame, "next-frame", "1ﾌﾚｰﾑ進む(&N)\tCtrl+E", "Ctrl+E", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(NextFrame); }},
        {kCmdPrevFrame, "prev-frame", "1ﾌﾚｰﾑ戻る(&P)\tCtrl+F", "Ctrl+F", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(PrevFrame); }},
        {kCmdNextKey, "next-key", "次のｷｰﾌﾚｰﾑ(&C)\tCtrl+G", "Ctrl+G", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(NextKeyFrame); }},
        {kCmdPrevKey, "prev-key", "前のｷｰﾌﾚｰﾑ(&B)\tCtrl+H", "Ctrl+H", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(PrevKeyFrame); }},
        {kCmdFirstFrame, "first-frame", "最初のﾌﾚｰﾑ(&F)\tCtrl+I", "Ctrl+I", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(FirstFrame); }},
        {kCmdLastFrame, "last-frame", "最後のﾌﾚｰﾑ(&L)\tCtrl+J", "Ctrl+J", 2, O::Document, K::Window,
         [](Doc& d) { d.Navigate(LastFrame); }},
        {kCmdKeyDialog, "key-dialog", "ｷｰﾌﾚｰﾑの追加・削除(&K)\tCtrl+K", "Ctrl+K", 2, O::Document, K::Window,
         [](Doc& d) { d.KeyDialog(); }, HasSelectedModel},
        {kCmdAddKeySelected, "add-key-selected", "選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&A)\tCtrl+P", "Ctrl+P", 2, O::Document,
         K::Window, [](Doc& d) { d.KeyCommand(true, false); }, HasSelectedModel},
        {kCmdAddKeyAll, "add-key-all", "全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&Y)\tCtrl+Q", "Ctrl+Q", 2, O::Document, K::Window,
         [](Doc& d) { d.KeyCommand(true, true); }, HasSelectedModel},
        {kCmdDeleteKeySelected, "delete-key-selected", "選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&D)\tCtrl+T", "Ctrl+T", 2,
         O::Document, K::Window, [](Doc& d) { d.KeyCommand(false, false); }, HasSelectedModel},
        {kCmdDeleteKeyAll, "delete-key-all", "全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&E)\tCtrl+U", "Ctrl+U", 2, O::Document, K::Window,
         [](Doc& d) { d.KeyCommand(false, true); }, HasSelectedModel},
        {kCmdInsertFrames, "insert-frames", "ﾌﾚｰﾑを挿入(&G)\tAlt+R", "Alt+R", 2, O::Document, K::Window,
         [](Doc& d) { d.InsertFramesDialog(); }},
        {kCmdDeleteFrames, "delete-frames", "ﾌﾚｰﾑを削除(&H)\tAlt+U", "Alt+U", 2, O::Document, K::Window,
         [](Doc& d) { d.DeleteFramesDialog(); }},
        // The shading, the camera and what is shown are stored in the project.
        {kCmdSmoothShading, "smooth-shading", "ｽﾑｰｽﾞ･ｼｪｰﾃﾞｨﾝｸﾞ(&S)\tAlt+P", "Alt+P", 1, O::Document, K::Window,
         [](Doc& d) {
             d.Scene().m_smoothShading = 1 - d.Scene().m_smoothShading;
             d.UpdateAllViews(Change::Shading);
             d.SetModifiedFlag();
         },
         nullptr, [](CDoc& d) { return d.Scene().m_smoothShading == 1; }},
        {kCmdFrameAll, "frame-all", "全体表示(&A)\tHome", "Home", 0, O::Document, K::Window,
         [](Doc& d) { static_cast<void>(d.FrameModels(false)); }, [](CDoc& d) { return HasShownModel(d.Scene()); }},
        {kCmdFrameSelected, "frame-selected", "選択部分を表示(&F)\tF", "F", 0, O::Document, K::Window,
         [](Doc& d) { static_cast<void>(d.FrameModels(true)); }, HasSelectedModel},
        // A viewing choice, kept by the desktop program and not in the project.
        {kCmdOnionSkin, "onion-skin", "オニオンスキン(&O)", "", 1, O::Document, K::Window,
         [](Doc& d) { d.SetOnionSkin({!d.GetOnionSkin().enabled, d.GetOnionSkin().frames}); }, nullptr,
         [](CDoc& d) { return d.GetOnionSkin().enabled; }},
        {kCmdOnionSkinKeys, "onion-skin-keys", "前後のキーフレーム(&K)", "", 0, O::Document, K::Window,
         [](Doc& d) { ShowOnionFrames(d, 0); }, nullptr, [](CDoc& d) { return OnionFramesAre(d, 0); }},
        {kCmdOnionSkinFrames1, "onion-skin-1", "前後1フレーム(&1)", "", 0, O::Document, K::Window,
         [](Doc& d) { ShowOnionFrames(d, 1); }, nullptr, [](CDoc& d) { return OnionFramesAre(d, 1); }},
        {kCmdOnionSkinFrames2, "onion-skin-2", "前後2フレーム(&2)", "", 0, O::Document, K::Window,
         [](Doc& d) { ShowOnionFrames(d, 2); }, nullptr, [](CDoc& d) { return OnionFramesAre(d, 2); }},
        {kCmdOnionSkinFrames3, "onion-skin-3", "前後3フレーム(&3)", "", 0, O::Document, K::Window,
         [](Doc& d) { ShowOnionFrames(d, 3); }, nullptr, [](CDoc& d) { return OnionFramesAre(d, 3); }},
        {kCmdCameraReset, "camera-reset", "ｶﾒﾗの初期化(&I)\tAlt+W", "Alt+W", 0, O::Document, K::Window,
         [](Doc& d) {
             d.Scene().ResetCamera();
             d.UpdateAllViews(Change::Structure);
             d.SetModifiedFlag();
         }},
        {kCmdBackgroundColor, "background-color", "背景色(&C)\tAlt+N", "Alt+N", 0, O::Document, K::Window,
         [](Doc& d) { d.BackgroundColor(); }},
        {kCmdRemoveRegistration, "remove-registration", "ﾚｼﾞｽﾄﾘの削除(&U)", "", 0, O::Shell},
        {kCmdLanguage, "language", "English(&E)\tAlt+L", "Alt+L", 0, O::Shell},
        {kCmdMainToolbar, "main-toolbar", "ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ(&M)\tAlt+A", "Alt+A", 0, O::Shell, K::Window, nullptr, nullptr,
         [](CDoc& d) { return d.m_ui.IsShellCommandChecked(kCmdMainToolbar); }},
        {kCmdControlToolbar, "control-toolbar", "ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ(&C)\tAlt+B", "Alt+B", 0, O::Shell, K::Window, nullptr,
         nullptr, [](CDoc& d) { return d.m_ui.IsShellCommandChecked(kCmdControlToolbar); }},
        {kCmdStatusBar, "status-bar", "ｽﾃｰﾀｽ ﾊﾞｰ(&S)\tAlt+J", "Alt+J", 0, O::Shell, K::Window, nullptr, nullptr,
         [](CDoc& d) { return d.m_ui.IsShellCommandChecked(kCmdStatusBar); }},
        {kCmdDopeSheet, "dope-sheet", "ドープシート(&D)", "", 0, O::Shell, K::Window, nullptr, nullptr,
         [](CDoc& d) { return d.m_ui.IsShellCommandChecked(kCmdDopeSheet); }},
        {kCmdHelp, "help", "目次(&H)\tAlt+I", "Alt+I", 0, O::Shell},
        {kCmdModelerHomePage, "modeler-home-page", "Metasequoiaのホームページ(&M)\tAlt+G", "Alt+G", 0, O::Shell},
        {kCmdAbout, "about", "Vantomo のﾊﾞｰｼﾞｮﾝ情報(&A)...\tAlt+Q", "Alt+Q", 0, O::Shell},
        {kCmdAddModel, "add-model", "ﾓﾃﾞﾙ追加(&A)\tAlt+X", "Alt+X", 0, O::Document, K::Tree,
         [](Doc& d) {
             if (d.AddModel()) {
                 d.SetModifiedFlag();
             }
         }},
        {kCmdDeleteModel, "delete-model", "ﾓﾃﾞﾙ削除(&D)\tAlt+Delete", "Alt+Delete", 0, O::Document, K::Tree,
         [](Doc& d) { static_cast<void>(d.DeleteModel(d.Scene().m_selectedModel)); }}, // nothing without a selection
        {kCmdRenameModel, "rename-model", "名前変更(&C)\tAlt+Z", "Alt+Z", 0, O::Document, K::Tree,
         [](Doc& d) { d.RenameCommand(kCmdRenameModel); }},
        {kCmdShowHideModel, "show-hide-model", "表示・非表示(&V)\tAlt+M", "Alt+M", 0, O::Document, K::Tree,
         [](Doc& d) { static_cast<void>(d.ShowHideModel(d.Scene().m_selectedModel)); }},
        {kCmdAddCharacter, "add-character", "ｷｬﾗｱｲﾃﾑ追加(&I)", "", 0, O::Document, K::Window,
         [](Doc& d) {
             d.BeginSceneStep();
             d.EndSceneStep(kAddCharacterLabel, AddCharacter(d.Scene()));
             d.SetModifiedFlag();
             d.UpdateAllViews(Change::Structure);
         }},
        {kCmdDeleteCharacter, "delete-character", "ｷｬﾗｱｲﾃﾑ削除(&D)", "", 0, O::Document, K::Window,
         [](Doc& d) {
             d.BeginSceneStep();
             std::vector<CModel> removed;
             const bool deleted = DeleteCharacter(d.Scene(), &removed);
             d.m_history.KeepRemoved(std::move(removed));
             d.EndSceneStep(kDeleteCharacterLabel, deleted);
             d.SetModifiedFlag();
             d.UpdateAllViews(Change::Structure);
         }},
        {kCmdRenameCharacter, "rename-character", "名前変更(&C)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.RenameCommand(kCmdRenameCharacter); }},
        {kCmdAddAnimation, "add-animation", "ｱﾆﾒｰｼｮﾝ追加(&A)", "", 0, O::Document, K::Window,
         [](Doc& d) {
             d.BeginSceneStep();
             d.EndSceneStep(kAddAnimationLabel, AddAnimation(d.Scene(), d.m_ui));
             d.AnnounceAnimationChange(Change::AnimationList);
             d.SetModifiedFlag();
         }},
        {kCmdDeleteAnimation, "delete-animation", "ｱﾆﾒｰｼｮﾝ削除(&D)", "", 0, O::Document, K::Window,
         [](Doc& d) {
             d.BeginSceneStep();
             DeleteAnimation(d.Scene(), g_currentAnimation);
             d.AfterAnimationDeleted();
             d.EndSceneStep(kDeleteAnimationLabel, !d.Scene().m_models.empty());
             d.AnnounceAnimationChange(Change::AnimationList);
             d.SetModifiedFlag();
         }},
        {kCmdRenameAnimation, "rename-animation", "名前変更(&R)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.RenameCommand(kCmdRenameAnimation); }},
        {kCmdMaterialColor, "material-color", "色(&C)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.MaterialColor(); }},
        {kCmdRenameMaterial, "rename-material", "名前変更(&R)", "", 0, O::Document, K::Window,
         [](Doc& d) { d.RenameCommand(kCmdRenameMaterial); }},
        {kCmdCameraBack, "camera-back", "", "Shift+F3", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraBack); }},
        {kCmdCameraFront, "camera-front", "", "F3", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraFront); }},
        {kCmdCameraBottom, "camera-bottom", "", "Shift+F2", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraBottom); }},
        {kCmdCameraTop, "camera-top", "", "F2", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraTop); }},
        {kCmdCameraLeft, "camera-left", "", "F1", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraLeft); }},
        {kCmdCameraRight, "camera-right", "", "Shift+F1", 0, O::Document, K::Window,
         [](Doc& d) { d.CameraPreset(kCmdCameraRight); }},
        {kCmdNextPane, "next-pane", "", "F6", 0, O::Shell},
        {kCmdPrevPane, "prev-pane", "", "Shift+F6", 0, O::Shell},
        {kCmdEditCopy, "edit-copy", "", "", 0, O::None},
        {kCmdEditCut, "edit-cut", "", "", 0, O::None},
        {kCmdEditPaste, "edit-paste", "", "", 0, O::None},
        {kCmdNoEffectAltD, "no-effect-alt-d", "", "", 0, O::None},
        {kCmdNoEffectAltK, "no-effect-alt-k", "", "", 0, O::None},
        {kCmdNoEffectAltG, "no-effect-alt-g", "", "", 0, O::None},
        {kCmdNoEffectAltL, "no-effect-alt-l", "", "", 0, O::None},
    };
    return kTable;
}

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& info : CommandTable()) {
        if (info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

const CommandInfo* FindCommand(std::string_view name)
{
    for (const CommandInfo& info : CommandTable()) {
        if (info.name == name) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace vantomo
