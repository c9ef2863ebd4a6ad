#include "document/Commands.h"

namespace vantomo {

namespace {

using O = CommandOwner;

// Alt+L and Alt+G go to the items that show them; the four ids the keys were
// once bound to have no handler and stay unbound.
constexpr CommandInfo kTable[] = {
    {kCmdFileNew, "新規作成(&N)\tCtrl+N", "Ctrl+N", 1, O::Document},
    {kCmdFileOpen, "開く(&O)...\tCtrl+O", "Ctrl+O", 1, O::Document},
    {kCmdFileSave, "上書き保存(&S)\tCtrl+S", "Ctrl+S", 0, O::Document},
    {kCmdFileSaveAs, "名前を付けて保存(&A)...\tCtrl+A", "Ctrl+A", 1, O::Document},
    {kCmdExportVideo, "動画の書き出し(&V)...", "", 0, O::Document},
    {kCmdRecentFile, "最近使ったﾌｧｲﾙ", "", 0, O::Shell},
    {kCmdExit, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "", 0, O::Shell},
    {kCmdUndo, "元に戻す(&U)\tCtrl+Z", "Ctrl+Z", 1, O::Document},
    {kCmdRedo, "繰り返す(&R)\tCtrl+Y", "Ctrl+Y", 1, O::Document},
    {kCmdCopyAnimation, "全アニメーションのコピー(&C)", "", 0, O::Document},
    {kCmdPasteAnimation, "全アニメーションの貼り付け(&P)", "", 0, O::Document},
    {kCmdMouseCamera, "ﾏｳｽでｶﾒﾗを操作(&C)\tCtrl+C", "Ctrl+C", 1, O::Document},
    {kCmdMouseModel, "ﾏｳｽでﾓﾃﾞﾙを操作(&M)", "", 1, O::Document},
    {kCmdMouseAnimation, "ﾏｳｽでｱﾆﾒｰｼｮﾝを操作(&A)\tCtrl+M", "Ctrl+M", 1, O::Document},
    {kCmdModeMove, "移動(&M)\tCtrl+V", "Ctrl+V", 1, O::Document},
    {kCmdModeRotate, "回転(&R)\tCtrl+R", "Ctrl+R", 1, O::Document},
    {kCmdModeScale, "拡大(&E)\tCtrl+L", "Ctrl+L", 1, O::Document},
    {kCmdPlay, "再生(&P)\tCtrl+B", "Ctrl+B", 2, O::Document},
    {kCmdStop, "停止(&S)\tCtrl+D", "Ctrl+D", 2, O::Document},
    {kCmdNextFrame, "1ﾌﾚｰﾑ進む(&N)\tCtrl+E", "Ctrl+E", 2, O::Document},
    {kCmdPrevFrame, "1ﾌﾚｰﾑ戻る(&P)\tCtrl+F", "Ctrl+F", 2, O::Document},
    {kCmdNextKey, "次のｷｰﾌﾚｰﾑ(&C)\tCtrl+G", "Ctrl+G", 2, O::Document},
    {kCmdPrevKey, "前のｷｰﾌﾚｰﾑ(&B)\tCtrl+H", "Ctrl+H", 2, O::Document},
    {kCmdFirstFrame, "最初のﾌﾚｰﾑ(&F)\tCtrl+I", "Ctrl+I", 2, O::Document},
    {kCmdLastFrame, "最後のﾌﾚｰﾑ(&L)\tCtrl+J", "Ctrl+J", 2, O::Document},
    {kCmdKeyDialog, "ｷｰﾌﾚｰﾑの追加・削除(&K)\tCtrl+K", "Ctrl+K", 2, O::Document},
    {kCmdAddKeySelected, "選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&A)\tCtrl+P", "Ctrl+P", 2, O::Document},
    {kCmdAddKeyAll, "全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ追加(&Y)\tCtrl+Q", "Ctrl+Q", 2, O::Document},
    {kCmdDeleteKeySelected, "選択ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&D)\tCtrl+T", "Ctrl+T", 2, O::Document},
    {kCmdDeleteKeyAll, "全ﾓﾃﾞﾙのｷｰﾌﾚｰﾑ削除(&E)\tCtrl+U", "Ctrl+U", 2, O::Document},
    {kCmdInsertFrames, "ﾌﾚｰﾑを挿入(&G)\tAlt+R", "Alt+R", 2, O::Document},
    {kCmdDeleteFrames, "ﾌﾚｰﾑを削除(&H)\tAlt+U", "Alt+U", 2, O::Document},
    {kCmdSmoothShading, "ｽﾑｰｽﾞ･ｼｪｰﾃﾞｨﾝｸﾞ(&S)\tAlt+P", "Alt+P", 1, O::Document},
    {kCmdCameraReset, "ｶﾒﾗの初期化(&I)\tAlt+W", "Alt+W", 0, O::Document},
    {kCmdBackgroundColor, "背景色(&C)\tAlt+N", "Alt+N", 0, O::Document},
    {kCmdRemoveRegistration, "ﾚｼﾞｽﾄﾘの削除(&U)", "", 0, O::Shell},
    {kCmdLanguage, "English(&E)\tAlt+L", "Alt+L", 0, O::Shell},
    {kCmdMainToolbar, "ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ(&M)\tAlt+A", "Alt+A", 0, O::Shell},
    {kCmdControlToolbar, "ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ(&C)\tAlt+B", "Alt+B", 0, O::Shell},
    {kCmdStatusBar, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)\tAlt+J", "Alt+J", 0, O::Shell},
    {kCmdHelp, "目次(&H)\tAlt+I", "Alt+I", 0, O::Shell},
    {kCmdModelerHomePage, "Metasequoiaのホームページ(&M)\tAlt+G", "Alt+G", 0, O::Shell},
    {kCmdAbout, "Vantomo のﾊﾞｰｼﾞｮﾝ情報(&A)...\tAlt+Q", "Alt+Q", 0, O::Shell},
    {kCmdAddModel, "ﾓﾃﾞﾙ追加(&A)\tAlt+X", "Alt+X", 0, O::Document, KeyScope::Tree},
    {kCmdDeleteModel, "ﾓﾃﾞﾙ削除(&D)\tAlt+Delete", "Alt+Delete", 0, O::Document, KeyScope::Tree},
    {kCmdRenameModel, "名前変更(&C)\tAlt+Z", "Alt+Z", 0, O::Document, KeyScope::Tree},
    {kCmdShowHideModel, "表示・非表示(&V)\tAlt+M", "Alt+M", 0, O::Document, KeyScope::Tree},
    {kCmdAddCharacter, "ｷｬﾗｱｲﾃﾑ追加(&I)", "", 0, O::Document},
    {kCmdDeleteCharacter, "ｷｬﾗｱｲﾃﾑ削除(&D)", "", 0, O::Document},
    {kCmdRenameCharacter, "名前変更(&C)", "", 0, O::Document},
    {kCmdAddAnimation, "ｱﾆﾒｰｼｮﾝ追加(&A)", "", 0, O::Document},
    {kCmdDeleteAnimation, "ｱﾆﾒｰｼｮﾝ削除(&D)", "", 0, O::Document},
    {kCmdRenameAnimation, "名前変更(&R)", "", 0, O::Document},
    {kCmdMaterialColor, "色(&C)", "", 0, O::Document},
    {kCmdRenameMaterial, "名前変更(&R)", "", 0, O::Document},
    {kCmdCameraBack, "", "Shift+F3", 0, O::Document},
    {kCmdCameraFront, "", "F3", 0, O::Document},
    {kCmdCameraBottom, "", "Shift+F2", 0, O::Document},
    {kCmdCameraTop, "", "F2", 0, O::Document},
    {kCmdCameraLeft, "", "F1", 0, O::Document},
    {kCmdCameraRight, "", "Shift+F1", 0, O::Document},
    {kCmdNextPane, "", "F6", 0, O::Shell},
    {kCmdPrevPane, "", "Shift+F6", 0, O::Shell},
    {kCmdEditCopy, "", "", 0, O::None},
    {kCmdEditCut, "", "", 0, O::None},
    {kCmdEditPaste, "", "", 0, O::None},
    {kCmdNoEffectAltD, "", "", 0, O::None},
    {kCmdNoEffectAltK, "", "", 0, O::None},
    {kCmdNoEffectAltG, "", "", 0, O::None},
    {kCmdNoEffectAltL, "", "", 0, O::None},
};

} // namespace

std::span<const CommandInfo> CommandTable() { return kTable; }

const CommandInfo* FindCommand(int id)
{
    for (const CommandInfo& info : kTable) {
        if (info.id == id) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace vantomo
