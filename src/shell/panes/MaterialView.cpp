#include <QEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QStyledItemDelegate>

#include "document/Commands.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

namespace {

constexpr int kSwatchRole = Qt::UserRole + 1;

// Draws column 1 as a swatch: a 12 x 12 square with a black outline, one
// pixel in from the cell's corner, in the colour the material is drawn with.
class SwatchDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (index.column() != 1) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        background.text.clear();
        QStyledItemDelegate::paint(painter, background, index);
        const QVariant colour = index.data(kSwatchRole);
        if (!colour.isValid()) {
            return;
        }
        painter->save();
        painter->setPen(Qt::black);
        painter->setBrush(colour.value<QColor>());
        const int size = 11;
        const int top = option.rect.top() + (option.rect.height() - size - 1) / 2;
        painter->drawRect(QRect(option.rect.left() + 1, top, size, size));
        painter->restore();
    }
};

} // namespace

CMaterialView::CMaterialView(CVantomoDoc& doc, QWidget* parent) : CListPane(doc, parent)
{
    SetUpReportList(this);
    setItemDelegate(new SwatchDelegate(this));
    SetHeaders();
    m_doc.AddView(this);
    Rebuild();
}

void CMaterialView::SetHeaders()
{
    setHorizontalHeaderLabels({tr("ﾏﾃﾘｱﾙ名"), tr("色")});
}

void CMaterialView::OnChange(const ChangeNotice& change)
{
    if (HoldBackWhileEditing(change.kind)) {
        return;
    }
    Rebuild();
}

void CMaterialView::Rebuild()
{
    const CTessaline& scene = m_doc.Scene();
    const int count = static_cast<int>(scene.m_materials.size());
    clearContents();
    setRowCount(count);
    for (int i = 0; i < count; ++i) {
        const CMaterial& material = scene.m_materials[static_cast<std::size_t>(i)];
        auto* name = new QTableWidgetItem(FromCp932(material.m_name));
        name->setData(Qt::UserRole, i);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        setItem(i, 0, name);
        auto* swatch = new QTableWidgetItem();
        swatch->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        swatch->setData(kSwatchRole, DisplayColor(MaterialDisplayColor(material)));
        setItem(i, 1, swatch);
    }
    const int selected = scene.m_selectedMaterial;
    if (selected >= 0 && selected < count) {
        setCurrentCell(selected, 0);
        selectRow(selected);
    } else {
        clearSelection();
    }
    viewport()->update();
}

void CMaterialView::SelectRowAt(const QPoint& pos)
{
    const int row = rowAt(pos.y());
    m_doc.SelectMaterialItem(row);
    if (row >= 0) {
        setCurrentCell(row, 0);
        selectRow(row);
    } else {
        clearSelection();
    }
}

void CMaterialView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    SelectRowAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        ShowContextMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void CMaterialView::ShowContextMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("menu180"));
    AddCommandItem(menu, kCmdMaterialColor, tr("色(&C)"));
    AddCommandItem(menu, kCmdRenameMaterial, tr("名前変更(&R)"));
    ShowPromptsOf(menu, this);
    QPointer<CMaterialView> self(this);
    QAction* chosen = menu.exec(globalPos);
    if (self != nullptr && chosen != nullptr) {
        setFocus();
        m_doc.Execute(chosen->data().toInt());
    }
}

void CMaterialView::RenameCurrent()
{
    // As the menu's item: the command opens the editor on the row.
    m_doc.Execute(kCmdRenameMaterial);
}

void CMaterialView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int row = rowAt(event->position().toPoint().y());
    SelectRowAt(event->position().toPoint());
    if (row >= 0) {
        // The dialog, the copy back and the reload of the texture are the
        // document's; hint 107 then rebuilds this list.
        m_doc.EditMaterial(row);
    }
    event->accept();
}

void CMaterialView::keyPressEvent(QKeyEvent* event)
{
    if (HandlePaneKey(event)) {
        return;
    }
    // Enter opens the material dialog on the selected row, as a double click
    // does; the Enter that ends a rename comes here too and is not one.
    if (state() != QAbstractItemView::EditingState &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        const int row = currentRow();
        if (row >= 0 && row < rowCount()) {
            m_doc.EditMaterial(row);
        }
        return;
    }
    QTableWidget::keyPressEvent(event);
    // The keys move the selected material as a click does.
    if (currentRow() >= 0 && currentRow() != m_doc.Scene().m_selectedMaterial) {
        m_doc.SelectMaterialItem(currentRow());
    }
}

bool CMaterialView::BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit)
{
    return BeginRowRename(target, std::move(commit));
}

} // namespace vantomo
