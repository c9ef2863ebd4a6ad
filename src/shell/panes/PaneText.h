// What the panes and dialogs share: scene text to and from Qt strings,
// numbers formatted without the process locale, the program's message box,
// the in-place edit of a name, and the drawn item images.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <cstdint>

#include <functional>

#include <QColor>
#include <QList>
#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <QIcon>
#include <QImage>
#include <QString>

#include "document/Change.h"

class QAbstractItemView;
class QAction;
class QKeyEvent;
class QMenu;
class QPoint;
class QRect;
class QTableWidget;
class QModelIndex;
class QWidget;

namespace vantomo {


// CP932 scene text for display; undecodable bytes show as U+FFFD.
QString FromCp932(std::string_view cp932);
// Typed text to CP932; none when a character has no CP932 form.
std::optional<std::string> ToCp932(const QString& text);

// "%d" of an integer, "%f" (six decimals) and six significant digits ("%g")
// of a float, all in the C locale's form whatever the process locale is.
QString FormatInteger(int value);
QString FormatFixed(float value);
QString FormatGeneral(float value);

// The program's message box with an OK button. `text` is one of the core's
// UTF-8 messages or the panes' own; it is shown translated into the current
// language when the catalog knows it.
void ShowPaneMessage(QWidget* parent, const char* text);

// Shown when a typed name holds a character CP932 cannot.
inline constexpr const char* kNameNotCp932Message =
    "Shift-JIS (CP932) で表せない文字は名前に使えません。";
inline constexpr const char* kTextureNotCp932Message =
    "Shift-JIS (CP932) で表せない文字を含むファイル名はテクスチャに使えません。";

// One in-place edit of an item's name in a view. Nothing waits for it: the
// editor opens and the call returns; when the user commits (Enter, or the
// focus leaving the editor) the typed text is handed to the commit function
// after the editor has closed, from the event loop, so whatever the commit
// changes never pulls the editor away under itself. Escape, a Cancel or the
// view going away end the edit without a commit. The item's text is put back
// as it was when the edit ends: the document decides what it becomes.
class InPlaceEdit {
public:
    explicit InPlaceEdit(QAbstractItemView* view) : m_view(view) {}
    ~InPlaceEdit();
    InPlaceEdit(const InPlaceEdit&) = delete;
    InPlaceEdit& operator=(const InPlaceEdit&) = delete;

    // Opens the editor on `index` starting from `current`. False when another
    // edit is open or the view gives no editor.
    bool Begin(const QModelIndex& index, const QString& current, std::function<void(const QString&)> commit);
    bool IsOpen() const;
    // Ends an open edit without committing.
    void Cancel();
    // Runs after every end of an edit (committed or not), once the item's
    // text is back.
    std::function<void()> ended;

private:
    void Finish();

    QAbstractItemView* m_view;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_index;
    QVariant m_shown;
    std::optional<QString> m_typed;
    bool m_cancelled = false;
    std::function<void(const QString&)> m_commit;
    QList<QMetaObject::Connection> m_connections;
};

// The settings of the two lists: two left-aligned columns of 130 and 50
// pixels, one row selected as a whole, names edited only through the rename
// commands.
void SetUpReportList(QTableWidget* list);

// Whether a hint may change what an in-place edit is renaming (structure,
// selection, names, materials, animations); frame, playback, camera and mode
// hints leave it alone.
bool ChangeEndsInPlaceEdit(Change change);

// The ten 13 x 13 item images of the tree in their list order: 0 and 1 the
// root's document sheet, 2 and 3 a visible model's leaf, 4 and 5 a hidden
// model's dithered leaf, 6 and 7 a character's figure, 8 and 9 the dark figure
// of the second character kind; even indices are the normal, odd ones the
// selected pictures, transparent around the drawing.
QImage ItemImage(int index);
// The icon of an item kind's pair: `first` normal, `first` + 1 selected.
QIcon ItemIcon(int first);

// The colour a material is shown with (its clamped display colour).
QColor DisplayColor(std::uint32_t colorRef);

// A menu text as a name, for tool tips: without its access key (a "(&X)"
// tail or a lone "&"), the "..." of a command that asks more, and the tab
// before the shortcut with what follows ("名前を付けて保存(&A)...\tCtrl+A"
// gives "名前を付けて保存", "Save &As...\tCtrl+A" "Save As").
QString MenuItemName(const QString& menuText);
// The status bar prompt of a command in the language in force; a command
// without a prompt of its own names itself (its menu item's name).
QString CommandPromptText(int commandId);
// While `menu` is open, the prompt of the item under the pointer (its status
// tip) shows in the status bar of `owner`'s window; it is cleared when the
// menu closes. A context menu is a window of its own, which Qt's own status
// tips never leave.
void ShowPromptsOf(QMenu& menu, QWidget* owner);
// The keys the panes take for themselves: the Menu key and Shift+F10 open the
// context menu, F2 renames in place.
enum class PaneKey { None, Menu, Rename };
PaneKey PaneKeyOf(const QKeyEvent& key);
// True for a pane key, which a pane accepts in its shortcut override so the
// window's own use of the key (F2 turns the camera) waits outside the panes.
bool IsPaneKey(const QKeyEvent& key);
// Where a menu opened from the keyboard appears in a view: inside the item's
// rectangle (in viewport coordinates), a little in from its start.
QPoint MenuPointOf(const QRect& itemRect);

// A context menu item for `commandId` with its prompt.
QAction* AddCommandItem(QMenu& menu, int commandId, const QString& text);

} // namespace vantomo
