// The panes of the main window's left column (the hierarchy tree, the material
// list, the animation list) and the small modal dialogs of the editing
// commands. Each pane registers itself with the document as a view, rebuilds
// itself from the scene when a hint says so, and turns clicks and context-menu
// choices into the document's item methods and commands: the panes decide
// nothing about the scene themselves.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QTableWidget>
#include <QTreeWidget>

#include "document/Dialogs.h"
#include "document/Document.h"
#include "shell/panes/PaneText.h"

class QEventLoop;

namespace vantomo {


// The hierarchy of characters and models: a root item titled with the
// document, one item per character, and under each the character's models as
// their parent references nest them. Clicks select, the right button opens the
// model, character or root menu, a model item can be dragged onto another
// model or a character to hang it there.
class CHierarchyView : public QTreeWidget, public DocumentView {
    Q_OBJECT
public:
    // What an item stands for; kept in the item's Qt::UserRole.
    enum ItemKind { kNoKind = 0, kRootItem, kModelItem, kHiddenModelItem, kCharacterItem };

    explicit CHierarchyView(CVantomoDoc& doc, QWidget* parent = nullptr);
    ~CHierarchyView() override;

    void OnChange(const ChangeNotice& change) override;

    // The item's kind (kNoKind for null) and value: kNoModel for the root, the
    // model index for a model, the complement of the character index for a
    // character.
    static ItemKind KindOf(const QTreeWidgetItem* item);
    static int ValueOf(const QTreeWidgetItem* item);
    // The item of a model or a character; null when the tree has none.
    QTreeWidgetItem* ModelItem(int model) const;
    QTreeWidgetItem* CharacterItem(int character) const;

    // The in-place rename of a model's or a character's item: opens the
    // editor on the item `target` names and returns. A committed name CP932
    // can hold goes to `commit`; any other is refused with a message. A
    // change of the document that may touch the name ends the edit without
    // committing. False when there is no such item or an edit is open.
    bool BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Rebuild();
    void ShowItemMenu(QTreeWidgetItem* item, const QPoint& globalPos);
    void OpenMenuFromKeyboard();
    void RenameFromKeyboard();
    QString RootTitle() const;
    void ExpandAllAndRefreshImages();
    void FollowSelection();
    void SetItemImage(QTreeWidgetItem* item, ItemKind kind);
    bool IsValidDropTarget(const QTreeWidgetItem* target) const;
    void ShowDropFeedback(QTreeWidgetItem* target, bool controlDown);
    void EndDrag();
    void ShowMenu(int menu, const QPoint& globalPos);
    void RunKey(int id);

    CVantomoDoc& m_doc;
    QTreeWidgetItem* m_pressItem = nullptr; // model item under a left press, a drag's candidate
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dragModel = kNoModel;
    QTreeWidgetItem* m_dropTarget = nullptr; // highlighted while dragging
    QWidget* m_dragImage = nullptr;          // the dragged item's picture, following the cursor
    InPlaceEdit m_rename{this};
    bool m_rebuildPending = false; // a change came while the editor was open
};

// What the two list panes share: the document, the in-place rename of one
// row, and headers that follow the language. A hint that comes while a rename
// waits is held back until the edit is over.
class CListPane : public QTableWidget, public DocumentView {
public:
    CListPane(CVantomoDoc& doc, QWidget* parent);
    // Stops listening to the document and ends a rename that still waits.
    ~CListPane() override;

protected:
    // True while a rename waits: the hint is held back (one that ends the
    // edit ends it first) and the list is rebuilt after the edit.
    bool HoldBackWhileEditing(Change change);
    // The in-place rename of the name in column 0 of row `target.index`, as
    // the tree's.
    bool BeginRowRename(const RenameTarget& target, std::function<void(const std::string&)> commit);
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The Menu key, Shift+F10 and F2; false when the key is not one of them.
    bool HandlePaneKey(QKeyEvent* event);
    virtual void Rebuild() = 0;
    virtual void SetHeaders() = 0;
    // The list's context menu at `globalPos`, as a right click opens it.
    virtual void ShowContextMenu(const QPoint& globalPos) = 0;
    // The rename command of the list, as its menu's item runs it.
    virtual void RenameCurrent() = 0;

    CVantomoDoc& m_doc;
    InPlaceEdit m_rename{this};
    bool m_rebuildPending = false;
};

// The animations with their last frames; the current one is selected. A click
// makes a row current; the context menu adds, deletes and renames.
class CAnimationListView : public CListPane {
    Q_OBJECT
public:
    explicit CAnimationListView(CVantomoDoc& doc, QWidget* parent = nullptr);

    void OnChange(const ChangeNotice& change) override;

    // The in-place rename of an animation's row.
    bool BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Rebuild() override;
    void SetHeaders() override;
    void ShowContextMenu(const QPoint& globalPos) override;
    void RenameCurrent() override;
};

// The materials with a swatch of the colour they are drawn with. A double
// click opens the material dialog; the context menu offers the colour dialog
// and the rename.
class CMaterialView : public CListPane {
    Q_OBJECT
public:
    explicit CMaterialView(CVantomoDoc& doc, QWidget* parent = nullptr);

    void OnChange(const ChangeNotice& change) override;

    // The in-place rename of a material's row.
    bool BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Rebuild() override;
    void SetHeaders() override;
    void ShowContextMenu(const QPoint& globalPos) override;
    void RenameCurrent() override;
    void SelectRowAt(const QPoint& pos);
};

// The modal dialogs of the editing commands, shown on the dialogs-as-data of
// the document. Each returns true on OK with the struct updated; a text the
// data exchange refuses shows its message ("整数を入力してください。" or
// "数字を入力してください。"), puts the focus on that edit and keeps the dialog
// open. Cancel returns false and leaves the struct as it was.
bool ShowKeyFrameDialog(QWidget* parent, KeyFrameDialog& dialog);
bool ShowFrameInsertDialog(QWidget* parent, FrameInsertDialog& dialog);
bool ShowFrameDeleteDialog(QWidget* parent, FrameDeleteDialog& dialog);
// The export options of one kind: the choices its locks leave are enabled, an
// unavailable normals box shows ticked, the speed edit is read-only while the
// speed is 0. OK writes the choices back; the locks never change.
bool ShowExportDialog(QWidget* parent, ExportDialog& dialog);
// "材質設定": sliders and edits coupled, the preview in the colour drawn, the
// texture chooser opening in the program's texture folder (a file chosen
// inside it is stored relative to it). A name or texture CP932 cannot hold is
// refused with a message and the dialog stays open.
bool ShowMaterialDialog(QWidget* parent, MaterialDialog& dialog);

// The in-place rename behind UserInterface::BeginRename: finds the live pane
// of the command under `mainWindow` (the tree for models and characters, the
// animation or the material list) and opens its editor on the item the
// command renames. False when there is no such pane or item.
bool BeginRenameInPlace(QWidget* mainWindow, const RenameTarget& target,
                        std::function<void(const std::string&)> commit);

} // namespace vantomo
