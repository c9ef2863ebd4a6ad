// The prompt each command shows in the status bar while its menu item or
// toolbar button is under the pointer. Kept beside the command table, by the
// commands' stable names, so the table's records stay one line of facts each.
#include <utility>

#include "document/Commands.h"

namespace vantomo {

namespace {

constexpr std::pair<std::string_view, std::string_view> kPrompts[] = {
    {"file-new", "新しいドキュメントを作成します"},
    {"file-open", "プロジェクトを開くか、Metasequoiaファイルを読み込みます"},
    {"file-save", "ドキュメントを上書き保存します"},
    {"file-save-as", "名前を付けて保存するか、XAML・Metasequoia・glTF形式で書き出します"},
    {"export-video", "アニメーションを動画かGIFアニメーションに書き出します"},
    {"recent-file", "このファイルを開きます"},
    {"exit", "アプリケーションを終了します"},
    {"undo", "直前の操作を元に戻します"},
    {"redo", "元に戻した操作をやり直します"},
    {"copy-animation", "選択モデルの現在のアニメーションをコピーします"},
    {"paste-animation", "コピーしたアニメーションを選択モデルに貼り付けます"},
    {"mouse-camera", "マウスでカメラを操作します"},
    {"mouse-model", "マウスでモデルを操作します"},
    {"mouse-animation", "マウスで選択モデルのアニメーションを編集します"},
    {"mode-move", "マウスと数値で位置を変えます"},
    {"mode-rotate", "マウスと数値で回転を変えます"},
    {"mode-scale", "マウスと数値で大きさを変えます"},
    {"play", "アニメーションを再生します"},
    {"stop", "再生を止めます"},
    {"next-frame", "次のフレームへ進みます"},
    {"prev-frame", "前のフレームへ戻ります"},
    {"next-key", "次のキーフレームへ進みます"},
    {"prev-key", "前のキーフレームへ戻ります"},
    {"first-frame", "最初のフレームへ移ります"},
    {"last-frame", "最後のフレームへ移ります"},
    {"key-dialog", "フレームを選んでキーフレームを追加・削除します"},
    {"add-key-selected", "選択モデルの現在のフレームにキーフレームを追加します"},
    {"add-key-all", "選択キャラクターの全モデルの現在のフレームにキーフレームを追加します"},
    {"delete-key-selected", "選択モデルの現在のフレームのキーフレームを削除します"},
    {"delete-key-all", "選択キャラクターの全モデルの現在のフレームのキーフレームを削除します"},
    {"insert-frames", "フレームを挿入します"},
    {"delete-frames", "フレームを削除します"},
    {"smooth-shading", "スムーズ・シェーディングとフラット・シェーディングを切り替えます"},
    {"camera-reset", "カメラを最初の位置と向きに戻します"},
    {"background-color", "背景色を選びます"},
    {"frame-all", "表示中のモデル全体がビューに入るようにカメラを動かします"},
    {"frame-selected", "選択モデルがビューに入るようにカメラを動かします"},
    {"onion-skin", "前後のポーズを半透明の影として表示・非表示にします"},
    {"onion-skin-keys", "前後のキーフレームのポーズを影として表示します"},
    {"onion-skin-1", "前後1フレームずつのポーズを影として表示します"},
    {"onion-skin-2", "前後2フレームずつのポーズを影として表示します"},
    {"onion-skin-3", "前後3フレームずつのポーズを影として表示します"},
    {"remove-registration", "ファイルの種類の登録を削除します"},
    {"language", "表示を英語に切り替えます"},
    {"main-toolbar", "メイン ツール バーを表示・非表示にします"},
    {"control-toolbar", "コントロール ツール バーを表示・非表示にします"},
    {"status-bar", "ステータス バーを表示・非表示にします"},
    {"dope-sheet", "モデルごとのキーを並べたドープシートを表示・非表示にします"},
    {"help", "ヘルプを表示します"},
    {"modeler-home-page", "Metasequoiaのホームページをブラウザーで開きます"},
    {"about", "プログラムの情報とバージョンを表示します"},
    {"add-model", "Metasequoiaファイルを読み込み、選択キャラクターにモデルを追加します"},
    {"delete-model", "選択モデルを、その下のモデルとともに削除します"},
    {"rename-model", "選択モデルの名前を変更します"},
    {"show-hide-model", "モデルを表示・非表示にします"},
    {"add-character", "キャラクターを追加します"},
    {"delete-character", "選択キャラクターを削除します"},
    {"rename-character", "選択キャラクターの名前を変更します"},
    {"add-animation", "アニメーションを追加します"},
    {"delete-animation", "現在のアニメーションを削除します"},
    {"rename-animation", "現在のアニメーションの名前を変更します"},
    {"material-color", "選択マテリアルの色を選びます"},
    {"rename-material", "選択マテリアルの名前を変更します"},
};

} // namespace

std::string_view CommandPrompt(const CommandInfo& info)
{
    for (const auto& [name, prompt] : kPrompts) {
        if (name == info.name) {
            return prompt;
        }
    }
    return {};
}

std::span<const std::pair<std::string_view, std::string_view>> CommandPrompts() { return kPrompts; }

} // namespace vantomo
