// The core's texts that the panes and dialogs show, listed once so the
// English catalog carries them. Each is checked against the constant it
// translates, so the two cannot drift apart.
#include <string_view>

#include <QtGlobal>

#include "document/Dialogs.h"
#include "document/Structure.h"
#include "shell/panes/PaneText.h"

namespace vantomo {

namespace {

[[maybe_unused]] constexpr const char* kPaneMessages[] = {
    QT_TRANSLATE_NOOP("Panes", "整数を入力してください。"),
    QT_TRANSLATE_NOOP("Panes", "数字を入力してください。"),
    QT_TRANSLATE_NOOP("Panes", "同名のアイテムが存在します！"),
    QT_TRANSLATE_NOOP("Panes", "Shift-JIS (CP932) で表せない文字は名前に使えません。"),
    QT_TRANSLATE_NOOP("Panes", "Shift-JIS (CP932) で表せない文字を含むファイル名はテクスチャに使えません。"),
    QT_TRANSLATE_NOOP("Panes", "Metasequoiaフォーマットで保存"),
    QT_TRANSLATE_NOOP("Panes", "XAMLフォーマットで保存"),
    QT_TRANSLATE_NOOP("Panes", "glTFフォーマットで保存"),
};

static_assert(std::string_view(kEnterIntegerMessage) == "整数を入力してください。");
static_assert(std::string_view(kEnterNumberMessage) == "数字を入力してください。");
static_assert(std::string_view(kDuplicateNameMessage) == "同名のアイテムが存在します！");
static_assert(std::string_view(kNameNotCp932Message) == "Shift-JIS (CP932) で表せない文字は名前に使えません。");
static_assert(std::string_view(kTextureNotCp932Message) ==
              "Shift-JIS (CP932) で表せない文字を含むファイル名はテクスチャに使えません。");
static_assert(std::string_view(kMqoExportTitle) == "Metasequoiaフォーマットで保存");
static_assert(std::string_view(kXamlExportTitle) == "XAMLフォーマットで保存");
static_assert(std::string_view(kGltfExportTitle) == "glTFフォーマットで保存");

} // namespace

} // namespace vantomo
