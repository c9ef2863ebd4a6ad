#include <deque>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QFile>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTreeWidgetItemIterator>

#include "document/Commands.h"
#include "base/PathHelpers.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

namespace {

constexpr int kValueRole = Qt::UserRole + 1;

// The first picture of each kind's pair.
int FirstImage(CHierarchyView::ItemKind kind)
{
    switch (kind) {
    case CHierarchyView::kRootItem:
        return 0;
    case CHierarchyView::kModelItem:
        return 2;
    case CHierarchyView::kHiddenModelItem:
        return 4;
    default:
        return 6;
    }
}

bool IsModelKind(CHierarchyView::ItemKind kind)
{
    return kind == CHierarchyView::kModelItem || kind == CHierarchyView::kHiddenModelItem;
}

} // namespace

CHierarchyView::CHierarchyView(CVantomoDoc& doc, QWidget* parent) : QTreeWidget(parent), m_doc(doc)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(13, 13));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Names are edited only through the rename commands, never by a click.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setExpandsOnDoubleClick(true);
    setMouseTracking(false);
    // The model keys act here, while the tree has the focus, on the caret item.
    for (const CommandInfo& info : CommandTable()) {
        if (info.scope != KeyScope::Tree || info.key.empty()) {
            continue;
        }
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(QString::fromLatin1(info.key.data(), static_cast<qsizetype>(info.key.size()))));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { RunKey(id); });
        addAction(action);
    }
    m_rename.ended = [this] {
        if (m_rebuildPending) {
            m_rebuildPending = false;
            Rebuild();
            FollowSelection();
        }
    };
    m_doc.AddView(this);
    Rebuild();
    FollowSelection();
}

void CHierarchyView::RunKey(int id)
{
    if (id == kCmdShowHideModel) {
        // The caret's model, selected or not: a model just hidden is shown
        // again by the same key.
        const ItemKind kind = KindOf(currentItem());
        if (IsModelKind(kind)) {
            static_cast<void>(m_doc.ShowHideModel(ValueOf(currentItem())));
        }
        return;
    }
    m_doc.Execute(id);
}

CHierarchyView::~CHierarchyView()
{
    m_doc.RemoveView(this);
    m_rename.ended = nullptr;
    m_rename.Cancel();
}

CHierarchyView::ItemKind CHierarchyView::KindOf(const QTreeWidgetItem* item)
{
    if (item == nullptr) {
        return kNoKind;
    }
    return static_cast<ItemKind>(item->data(0, Qt::UserRole).toInt());
}

int CHierarchyView::ValueOf(const QTreeWidgetItem* item)
{
    return item == nullptr ? kNoModel : item->data(0, kValueRole).toInt();
}

QTreeWidgetItem* CHierarchyView::ModelItem(int model) const
{
    for (QTreeWidgetItemIterator it(const_cast<CHierarchyView*>(this)); *it != nullptr; ++it) {
        if (IsModelKind(KindOf(*it)) && ValueOf(*it) == model) {
            return *it;
        }
    }
    return nullptr;
}

QTreeWidgetItem* CHierarchyView::CharacterItem(int character) const
{
    for (QTreeWidgetItemIterator it(const_cast<CHierarchyView*>(this)); *it != nullptr; ++it) {
        if (KindOf(*it) == kCharacterItem && ValueOf(*it) == ~character) {
            return *it;
        }
    }
    return nullptr;
}

void CHierarchyView::SetItemImage(QTreeWidgetItem* item, ItemKind kind)
{
    item->setData(0, Qt::UserRole, static_cast<int>(kind));
    item->setIcon(0, ItemIcon(FirstImage(kind)));
}

void CHierarchyView::OnChange(const ChangeNotice& change)
{
    if (m_rename.IsOpen()) {
        // A change of what the edit renames ends it; any other waits until
        // the editor has closed, so the tree is not rebuilt under it.
        if (!ChangeEndsInPlaceEdit(change.kind)) {
            m_rebuildPending = true;
            return;
        }
        m_rename.Cancel();
    }
    switch (change.kind) {
    case Change::NewDocument:
    case Change::ProjectOpened:
    case Change::ModelAddedOrDeleted:
    case Change::ModelMoved:
    case Change::Structure:
        Rebuild();
        FollowSelection();
        break;
    case Change::Selection:
        ExpandAllAndRefreshImages();
        FollowSelection();
        break;
    case Change::Title:
        if (QTreeWidgetItem* root = topLevelItem(0)) {
            root->setText(0, RootTitle());
        }
        break;
    default:
        break;
    }
}

void CHierarchyView::Rebuild()
{
    if (m_dragging) {
        EndDrag();
    }
    m_pressItem = nullptr;
    clear();
    const CTessaline& scene = m_doc.Scene();

    auto* root = new QTreeWidgetItem(this);
    root->setText(0, RootTitle());
    QFont bold = root->font(0);
    bold.setBold(true);
    root->setFont(0, bold);
    root->setData(0, kValueRole, kNoModel);
    SetItemImage(root, kRootItem);

    // Children of each model and roots of each character, in index order.
    const int models = static_cast<int>(scene.m_models.size());
    const int characters = static_cast<int>(scene.m_characterNames.size());
    std::vector<std::vector<int>> childrenOfModel(static_cast<std::size_t>(models));
    std::vector<std::vector<int>> rootsOfCharacter(static_cast<std::size_t>(characters));
    for (int i = 0; i < models; ++i) {
        const int parent = scene.m_models[static_cast<std::size_t>(i)].m_parent;
        if (parent >= 0 && parent < models) {
            childrenOfModel[static_cast<std::size_t>(parent)].push_back(i);
        } else if (parent < 0 && ~parent < characters) {
            rootsOfCharacter[static_cast<std::size_t>(~parent)].push_back(i);
        }
    }
    // Breadth first: each parent's children are inserted in index order, which
    // is all the tree's order depends on. A model whose chain never reaches a
    // character is not reached, and a cycle is entered only once.
    std::vector<bool> inTree(static_cast<std::size_t>(models), false);
    std::deque<std::pair<QTreeWidgetItem*, const std::vector<int>*>> pending;
    for (int c = 0; c < characters; ++c) {
        auto* item = new QTreeWidgetItem(root);
        item->setText(0, FromCp932(scene.m_characterNames[static_cast<std::size_t>(c)]));
        item->setData(0, kValueRole, ~c);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        SetItemImage(item, kCharacterItem);
        pending.emplace_back(item, &rootsOfCharacter[static_cast<std::size_t>(c)]);
    }
    while (!pending.empty()) {
        const auto [parentItem, children] = pending.front();
        pending.pop_front();
        for (int i : *children) {
            if (inTree[static_cast<std::size_t>(i)]) {
                continue;
            }
            inTree[static_cast<std::size_t>(i)] = true;
            const CModel& model = scene.m_models[static_cast<std::size_t>(i)];
            auto* item = new QTreeWidgetItem(parentItem);
            item->setText(0, FromCp932(model.m_name));
            item->setData(0, kValueRole, i);
            item->setFlags(item->flags() | Qt::ItemIsEditable);
            SetItemImage(item, model.m_visible != 0 ? kModelItem : kHiddenModelItem);
            pending.emplace_back(item, &childrenOfModel[static_cast<std::size_t>(i)]);
        }
    }
    ExpandAllAndRefreshImages();
}

QString CHierarchyView::RootTitle() const
{
    // The document's file name, as a title bar shows it; the folders would
    // only crowd the pane.
    const std::optional<std::string> name = GetPathFileName(m_doc.GetTitle());
    return name ? QFile::decodeName(QByteArray::fromStdString(*name)) : tr("無題");
}

void CHierarchyView::ExpandAllAndRefreshImages()
{
    expandAll();
    const CTessaline& scene = m_doc.Scene();
    for (QTreeWidgetItemIterator it(this); *it != nullptr; ++it) {
        const ItemKind kind = KindOf(*it);
        const int value = ValueOf(*it);
        if (IsModelKind(kind) && value >= 0 && static_cast<std::size_t>(value) < scene.m_models.size()) {
            const ItemKind shown = scene.m_models[static_cast<std::size_t>(value)].m_visible != 0 ? kModelItem
                                                                                                 : kHiddenModelItem;
            if (shown != kind) {
                SetItemImage(*it, shown);
            }
        }
    }
}

void CHierarchyView::FollowSelection()
{
    const CTessaline& scene = m_doc.Scene();
    if (QTreeWidgetItem* item = ModelItem(scene.m_selectedModel)) {
        setCurrentItem(item);
        return;
    }
    // No model is selected: a model item must not look selected any more,
    // but the caret stays, so the keys still act on a model just hidden.
    for (QTreeWidgetItem* item : selectedItems()) {
        if (IsModelKind(KindOf(item))) {
            item->setSelected(false);
        }
    }
}

void CHierarchyView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item == nullptr) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    const ItemKind kind = KindOf(item);
    const int value = ValueOf(item);
    if (event->button() == Qt::RightButton) {
        ShowItemMenu(item, event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    setCurrentItem(item);
    switch (kind) {
    case kRootItem:
        // The root is no drag source: the click ends here.
        m_doc.Execute(kCmdMouseCamera);
        event->accept();
        return;
    case kCharacterItem:
        m_doc.SelectCharacterItem(~value);
        break;
    case kModelItem:
    case kHiddenModelItem:
        m_doc.SelectModelItem(value);
        // The hint does not rebuild the tree, so the item is still there.
        m_pressItem = ModelItem(value);
        m_pressPos = pos;
        break;
    default:
        break;
    }
    QTreeWidget::mousePressEvent(event);
}

void CHierarchyView::ShowItemMenu(QTreeWidgetItem* item, const QPoint& globalPos)
{
    // As a right click on the item: it is selected, then its kind's menu opens.
    setCurrentItem(item);
    const int value = ValueOf(item);
    int menu = 0;
    switch (KindOf(item)) {
    case kRootItem:
        m_doc.ClearSelectionItem();
        menu = 138;
        break;
    case kCharacterItem:
        m_doc.SelectCharacterItem(~value);
        menu = 137;
        break;
    case kModelItem:
    case kHiddenModelItem:
        m_doc.SelectModelItem(value, false);
        menu = 135;
        break;
    default:
        break;
    }
    if (menu != 0) {
        ShowMenu(menu, globalPos);
    }
}

bool CHierarchyView::event(QEvent* event)
{
    // F2 renames here rather than turning the camera, as it does elsewhere.
    if (event->type() == QEvent::ShortcutOverride && IsPaneKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeWidget::event(event);
}

void CHierarchyView::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Keyboard) {
        OpenMenuFromKeyboard();
    }
    event->accept();
}

void CHierarchyView::OpenMenuFromKeyboard()
{
    QTreeWidgetItem* item = currentItem();
    if (item == nullptr) {
        return;
    }
    scrollToItem(item);
    ShowItemMenu(item, viewport()->mapToGlobal(MenuPointOf(visualItemRect(item))));
}

void CHierarchyView::RenameFromKeyboard()
{
    // The rename commands of the item's menu, on the item the caret is on.
    switch (KindOf(currentItem())) {
    case kModelItem:
    case kHiddenModelItem:
        m_doc.SelectModelItem(ValueOf(currentItem()), false);
        m_doc.Execute(kCmdRenameModel);
        break;
    case kCharacterItem:
        m_doc.SelectCharacterItem(~ValueOf(currentItem()));
        m_doc.Execute(kCmdRenameCharacter);
        break;
    default:
        break;
    }
}

void CHierarchyView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && m_pressItem != nullptr && (event->buttons() & Qt::LeftButton) &&
        (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_dragging = true;
        m_dragModel = ValueOf(m_pressItem);
        // The dragged item's picture follows the cursor, half transparent.
        auto* image = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
        image->setAttribute(Qt::WA_TransparentForMouseEvents);
        image->setAttribute(Qt::WA_ShowWithoutActivating);
        image->setWindowOpacity(0.6);
        const QRect rect = visualItemRect(m_pressItem);
        image->setPixmap(viewport()->grab(rect));
        image->resize(rect.size());
        m_dragImage = image;
    }
    if (m_dragging) {
        if (m_dragImage != nullptr) {
            m_dragImage->move(event->globalPosition().toPoint() + QPoint(12, 8));
            m_dragImage->show();
        }
        ShowDropFeedback(itemAt(pos), (event->modifiers() & Qt::ControlModifier) != 0);
        event->accept();
        return;
    }
    if (event->buttons() & Qt::LeftButton) {
        // Dragging the selection along would select without the document.
        event->accept();
        return;
    }
    QTreeWidget::mouseMoveEvent(event);
}

void CHierarchyView::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressItem = nullptr;
    if (!m_dragging) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    QTreeWidgetItem* target = itemAt(event->position().toPoint());
    // A drop with Ctrl held would only copy, which the tree cannot: it changes
    // nothing and records nothing.
    const bool drop = (event->modifiers() & Qt::ControlModifier) == 0 && IsValidDropTarget(target);
    const int model = m_dragModel;
    const int ref = ValueOf(target);
    EndDrag();
    if (drop) {
        m_doc.DropModel(model, ref);
    }
    event->accept();
}

void CHierarchyView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Only the left button toggles an item; the right one opened a menu.
    if (event->button() == Qt::LeftButton && KindOf(itemAt(event->position().toPoint())) != kRootItem) {
        QTreeWidget::mouseDoubleClickEvent(event);
    }
}

void CHierarchyView::keyPressEvent(QKeyEvent* event)
{
    if (m_dragging && event->key() == Qt::Key_Escape) {
        EndDrag();
        event->accept();
        return;
    }
    if (IsPaneKey(*event) && state() == QAbstractItemView::EditingState) {
        event->accept(); // a key the name's editor left: nothing else starts while it is open
        return;
    }
    switch (PaneKeyOf(*event)) {
    case PaneKey::Menu:
        OpenMenuFromKeyboard();
        event->accept();
        return;
    case PaneKey::Rename:
        RenameFromKeyboard();
        event->accept();
        return;
    default:
        break;
    }
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    // Moving the caret with the keys selects what it lands on, as a click does.
    if (after != nullptr && after != before) {
        switch (KindOf(after)) {
        case kRootItem:
            m_doc.Execute(kCmdMouseCamera);
            break;
        case kCharacterItem:
            m_doc.SelectCharacterItem(~ValueOf(after));
            break;
        case kModelItem:
        case kHiddenModelItem:
            m_doc.SelectModelItem(ValueOf(after));
            break;
        default:
            break;
        }
    }
}

bool CHierarchyView::IsValidDropTarget(const QTreeWidgetItem* target) const
{
    const ItemKind kind = KindOf(target);
    if (!IsModelKind(kind) && kind != kCharacterItem) {
        return false;
    }
    return m_doc.CanDropModel(m_dragModel, ValueOf(target));
}

void CHierarchyView::ShowDropFeedback(QTreeWidgetItem* target, bool controlDown)
{
    if (m_dropTarget != target) {
        if (m_dropTarget != nullptr) {
            m_dropTarget->setData(0, Qt::BackgroundRole, QVariant());
            m_dropTarget->setData(0, Qt::ForegroundRole, QVariant());
        }
        m_dropTarget = target;
        if (target != nullptr) {
            target->setBackground(0, palette().highlight());
            target->setForeground(0, palette().highlightedText());
        }
    }
    const bool valid = !controlDown && IsValidDropTarget(target);
    viewport()->setCursor(valid ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
}

void CHierarchyView::EndDrag()
{
    if (m_dropTarget != nullptr) {
        m_dropTarget->setData(0, Qt::BackgroundRole, QVariant());
        m_dropTarget->setData(0, Qt::ForegroundRole, QVariant());
        m_dropTarget = nullptr;
    }
    m_dragging = false;
    m_dragModel = kNoModel;
    delete m_dragImage;
    m_dragImage = nullptr;
    viewport()->unsetCursor();
}

void CHierarchyView::ShowMenu(int menuId, const QPoint& globalPos)
{
    QMenu menu(this);
    auto add = [&](int id, const QString& text) { AddCommandItem(menu, id, text); };
    switch (menuId) {
    case 135:
        menu.setTitle(tr("ﾓﾃﾞﾙ(&M)"));
        add(kCmdAddModel, tr("ﾓﾃﾞﾙ追加(&A)\tAlt+X"));
        add(kCmdDeleteModel, tr("ﾓﾃﾞﾙ削除(&D)\tAlt+Delete"));
        add(kCmdRenameModel, tr("名前変更(&C)\tAlt+Z"));
        add(kCmdShowHideModel, tr("表示・非表示(&V)\tAlt+M"));
        break;
    case 137:
        menu.setTitle(tr("ｷｬﾗｸﾀｰ(&C)"));
        add(kCmdAddModel, tr("ﾓﾃﾞﾙ追加(&A)"));
        add(kCmdAddCharacter, tr("ｷｬﾗｱｲﾃﾑ追加(&I)"));
        add(kCmdDeleteCharacter, tr("ｷｬﾗｱｲﾃﾑ削除(&D)"));
        add(kCmdRenameCharacter, tr("名前変更(&C)"));
        break;
    default:
        menu.setTitle(tr("ｷｬﾗｸﾀｰ(&C)"));
        add(kCmdAddCharacter, tr("ｷｬﾗｱｲﾃﾑ追加(&A)"));
        break;
    }
    menu.setObjectName(QStringLiteral("menu%1").arg(menuId));
    ShowPromptsOf(menu, this);
    QPointer<CHierarchyView> self(this);
    QAction* chosen = menu.exec(globalPos);
    if (self != nullptr && chosen != nullptr) {
        m_doc.Execute(chosen->data().toInt());
    }
}

bool CHierarchyView::BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit)
{
    // Each rename edits the item of exactly what the document renames.
    QTreeWidgetItem* item = nullptr;
    if (target.commandId == kCmdRenameModel) {
        item = ModelItem(target.index);
    } else if (target.commandId == kCmdRenameCharacter) {
        item = CharacterItem(target.index);
    }
    if (item == nullptr || m_rename.IsOpen()) {
        return false;
    }
    setCurrentItem(item);
    return m_rename.Begin(indexFromItem(item), FromCp932(target.current),
                          [this, commit = std::move(commit)](const QString& typed) {
                              if (std::optional<std::string> name = ToCp932(typed)) {
                                  commit(*name);
                              } else {
                                  ShowPaneMessage(window(), kNameNotCp932Message);
                              }
                          });
}

void CHierarchyView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && !m_rename.IsOpen()) {
        if (QTreeWidgetItem* root = topLevelItem(0)) {
            root->setText(0, RootTitle());
        }
    }
    QTreeWidget::changeEvent(event);
}

} // namespace vantomo
