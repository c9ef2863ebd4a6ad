#include <QContextMenuEvent>
#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "document/Commands.h"
#include "scene/AppValues.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

CListPane::CListPane(CVantomoDoc& doc, QWidget* parent) : QTableWidget(parent), m_doc(doc)
{
    // Tab leaves the list for the next pane; it never moves to another row
    // (which would choose another animation).
    setTabKeyNavigation(false);
    m_rename.ended = [this] {
        if (m_rebuildPending) {
            m_rebuildPending = false;
            Rebuild();
        }
    };
}

CListPane::~CListPane()
{
    m_doc.RemoveView(this);
    m_rename.ended = nullptr;
    m_rename.Cancel();
}

bool CListPane::HoldBackWhileEditing(Change change)
{
    if (!m_rename.IsOpen()) {
        return false;
    }
    if (ChangeEndsInPlaceEdit(change)) {
        m_rename.Cancel();
        return false;
    }
    m_rebuildPending = true;
    return true;
}

bool CListPane::BeginRowRename(const RenameTarget& target, std::function<void(const std::string&)> commit)
{
    const int row = target.index;
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    return m_rename.Begin(model()->index(row, 0), FromCp932(target.current),
                          [this, commit = std::move(commit)](const QString& typed) {
                              if (std::optional<std::string> name = ToCp932(typed)) {
                                  commit(*name);
                              } else {
                                  ShowPaneMessage(window(), kNameNotCp932Message);
                              }
                          });
}

bool CListPane::event(QEvent* event)
{
    // F2 renames here rather than turning the camera, as it does elsewhere.
    if (event->type() == QEvent::ShortcutOverride && IsPaneKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableWidget::event(event);
}

void CListPane::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        HandlePaneKey(nullptr);
    }
    event->accept();
}

bool CListPane::HandlePaneKey(QKeyEvent* event)
{
    const PaneKey key = event != nullptr ? PaneKeyOf(*event) : PaneKey::Menu;
    if (key == PaneKey::None) {
        return false;
    }
    if (state() == QAbstractItemView::EditingState) {
        // A key the name's editor left: nothing else starts while it is open.
        if (event != nullptr) {
            event->accept();
        }
        return true;
    }
    if (event != nullptr) {
        event->accept();
    }
    if (key == PaneKey::Rename) {
        RenameCurrent();
        return true;
    }
    // At the current row, or at the list's top without one.
    const int row = currentRow();
    QPoint at = MenuPointOf(QRect(0, 0, viewport()->width(), 0));
    if (row >= 0 && row < rowCount()) {
        scrollToItem(item(row, 0));
        at = MenuPointOf(visualRect(model()->index(row, 0)));
    }
    ShowContextMenu(viewport()->mapToGlobal(at));
    return true;
}

void CListPane::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        SetHeaders();
    }
    QTableWidget::changeEvent(event);
}

CAnimationListView::CAnimationListView(CVantomoDoc& doc, QWidget* parent) : CListPane(doc, parent)
{
    SetUpReportList(this);
    SetHeaders();
    m_doc.AddView(this);
    Rebuild();
}

void CAnimationListView::SetHeaders()
{
    setHorizontalHeaderLabels({tr("ｱﾆﾒｰｼｮﾝ名"), tr("最後")});
}

void CAnimationListView::OnChange(const ChangeNotice& change)
{
    if (HoldBackWhileEditing(change.kind)) {
        return;
    }
    // Choosing an animation may come from a script or a key as well as from
    // this list, and sizes the tracks: the names, lengths and selection are
    // shown again whatever changed.
    Rebuild();
}

void CAnimationListView::Rebuild()
{
    const CTessaline& scene = m_doc.Scene();
    const int count = static_cast<int>(scene.m_animationNames.size());
    clearContents();
    setRowCount(count);
    for (int i = 0; i < count; ++i) {
        auto* name = new QTableWidgetItem(FromCp932(scene.m_animationNames[static_cast<std::size_t>(i)]));
        name->setData(Qt::UserRole, i);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        setItem(i, 0, name);
        // The animation's length as the selection makes it: the records of
        // the first model that has any, 61 frames without.
        auto* last = new QTableWidgetItem(FormatInteger(scene.FrameCountOf(i) - 1));
        last->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(i, 1, last);
    }
    if (g_currentAnimation >= 0 && g_currentAnimation < count) {
        setCurrentCell(g_currentAnimation, 0);
        selectRow(g_currentAnimation);
    } else {
        clearSelection();
    }
}

void CAnimationListView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    // A click on the current row selects it again: frame 0 once more.
    if (row >= 0 && row < g_animationCount) {
        m_doc.SelectAnimationItem(row);
        selectRow(row);
    }
    if (event->button() == Qt::RightButton) {
        ShowContextMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void CAnimationListView::ShowContextMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu176"));
    AddCommandItem(menu, kCmdAddAnimation, tr("ｱﾆﾒｰｼｮﾝ追加(&A)"));
    AddCommandItem(menu, kCmdDeleteAnimation, tr("ｱﾆﾒｰｼｮﾝ削除(&D)"));
    AddCommandItem(menu, kCmdRenameAnimation, tr("名前変更(&R)"));
    ShowPromptsOf(menu, this);
    QPointer<CAnimationListView> self(this);
    QAction* chosen = menu.exec(globalPos);
    if (self != nullptr && chosen != nullptr) {
        setFocus();
        m_doc.Execute(chosen->data().toInt());
    }
}

void CAnimationListView::RenameCurrent()
{
    // As the menu's item: the command opens the editor on the row.
    m_doc.Execute(kCmdRenameAnimation);
}

void CAnimationListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A second left click selects again, as the first did; the right button
    // opened its menu on the press already.
    if (event->button() == Qt::LeftButton) {
        mousePressEvent(event);
    } else {
        event->accept();
    }
}

void CAnimationListView::keyPressEvent(QKeyEvent* event)
{
    if (HandlePaneKey(event)) {
        return;
    }
    const int before = currentRow();
    QTableWidget::keyPressEvent(event);
    // Moving through the rows with the keys makes the row current, as a click does.
    const int row = currentRow();
    if (row != before && row >= 0 && row < g_animationCount) {
        m_doc.SelectAnimationItem(row);
    }
}

bool CAnimationListView::BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit)
{
    return BeginRowRename(target, std::move(commit));
}

} // namespace vantomo
