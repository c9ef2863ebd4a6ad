#include "shell/panes/PaneText.h"

#include "base/Numbers.h"

#include <algorithm>
#include <array>
#include <charconv>

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusTipEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableWidget>
#include <QTimer>

#include "document/Commands.h"
#include "document/Document.h"
#include "base/Cp932.h"

namespace vantomo {

QString FromCp932(std::string_view cp932)
{
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

std::optional<std::string> ToCp932(const QString& text)
{
    bool lossless = true;
    std::string cp932 = Utf8ToCp932(text.toStdString(), &lossless);
    if (!lossless) {
        return std::nullopt;
    }
    return cp932;
}

namespace {

QString FormatWith(float value, std::chars_format format, int precision)
{
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    if (error != std::errc()) {
        return QStringLiteral("0");
    }
    return QString::fromLatin1(buffer.data(), static_cast<int>(end - buffer.data()));
}

} // namespace

QString FormatInteger(int value) { return QString::fromStdString(FormatInt(value)); }

QString FormatFixed(float value) { return QString::fromStdString(FormatFixed6(value)); }

QString FormatGeneral(float value) { return FormatWith(value, std::chars_format::general, 6); }

void ShowPaneMessage(QWidget* parent, const char* text)
{
    QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                    QCoreApplication::translate("Panes", text), QMessageBox::Ok, parent);
    box.exec();
}

InPlaceEdit::~InPlaceEdit()
{
    for (const QMetaObject::Connection& c : m_connections) {
        QObject::disconnect(c);
    }
}

bool InPlaceEdit::IsOpen() const { return m_editor != nullptr; }

bool InPlaceEdit::Begin(const QModelIndex& index, const QString& current, std::function<void(const QString&)> commit)
{
    if (m_view == nullptr || !index.isValid() || IsOpen()) {
        return false;
    }
    QAbstractItemModel* model = m_view->model();
    m_index = QPersistentModelIndex(index);
    m_shown = model->data(index, Qt::DisplayRole);
    model->setData(index, current, Qt::EditRole);
    m_view->scrollTo(index);
    m_view->setFocus();
    m_view->edit(index);
    m_editor = m_view->indexWidget(index);
    if (m_editor == nullptr) {
        model->setData(index, m_shown, Qt::EditRole);
        return false;
    }
    m_typed.reset();
    m_cancelled = false;
    m_commit = std::move(commit);
    QAbstractItemDelegate* delegate = m_view->itemDelegate();
    // Enter or a focus change commits the text and then closes the editor;
    // Escape only closes it.
    m_connections.append(QObject::connect(delegate, &QAbstractItemDelegate::commitData, m_view, [this](QWidget* w) {
        if (w == m_editor) {
            if (auto* line = qobject_cast<QLineEdit*>(w)) {
                m_typed = line->text();
            }
        }
    }));
    m_connections.append(QObject::connect(delegate, &QAbstractItemDelegate::closeEditor, m_view, [this](QWidget* w) {
        if (w == m_editor) {
            Finish();
        }
    }));
    return true;
}

void InPlaceEdit::Cancel()
{
    if (!IsOpen()) {
        return;
    }
    m_cancelled = true;
    QWidget* editor = m_editor;
    // The view closes (and later deletes) the editor; Finish runs from the signal.
    emit m_view->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    if (m_editor != nullptr) {
        Finish();
    }
}

void InPlaceEdit::Finish()
{
    for (const QMetaObject::Connection& c : m_connections) {
        QObject::disconnect(c);
    }
    m_connections.clear();
    m_editor = nullptr;
    if (m_index.isValid()) {
        m_view->model()->setData(m_index, m_shown, Qt::EditRole);
    }
    std::optional<QString> typed = m_cancelled ? std::nullopt : m_typed;
    std::function<void(const QString&)> commit = std::move(m_commit);
    m_commit = nullptr;
    m_typed.reset();
    if (ended) {
        ended();
    }
    if (typed && commit) {
        // Later, from the event loop: the view is still closing the editor.
        QTimer::singleShot(0, m_view, [commit = std::move(commit), text = *typed] { commit(text); });
    }
}

void SetUpReportList(QTableWidget* list)
{
    list->setColumnCount(2);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list->horizontalHeader()->setHighlightSections(false);
    list->setColumnWidth(0, 130);
    list->setColumnWidth(1, 50);
    list->setShowGrid(false);
    list->setWordWrap(false);
    list->setTextElideMode(Qt::ElideRight);
}

bool ChangeEndsInPlaceEdit(Change change)
{
    switch (change) {
    case Change::Layout:
    case Change::ModeMove:
    case Change::ModeRotate:
    case Change::ModeScale:
    case Change::Keys:
    case Change::Frames:
    case Change::Navigation:
    case Change::Play:
    case Change::Camera:
    case Change::Stop:
    case Change::Frame:
    case Change::Pose:
    case Change::Rate:
    case Change::Title:
        return false;
    default:
        return true;
    }
}

namespace {

// The pictures as pixel rows: '.' transparent, 'k' outline, 'f' fill, 'l'
// line or vein.
using Picture = std::array<const char*, 13>;

constexpr Picture kSheet = {
    "..kkkkkk.....", "..kffffkk....", "..kffffkfk...", "..kffffkkkk..", "..kfffffffk..",
    "..kflllllfk..", "..kfffffffk..", "..kflllllfk..", "..kfffffffk..", "..kflllllfk..",
    "..kfffffffk..", "..kfffffffk..", "..kkkkkkkkk..",
};

constexpr Picture kLeaf = {
    "........kkkk.", "......kkfffk.", ".....kfffffk.", "....kffffflk.", "...kffffflfk.",
    "...kfffflffk.", "..kffflfffk..", "..kfflffffk..", "..kflffffk...", "..klfffkk....",
    ".klkkkk......", ".k...........", "k............",
};

constexpr Picture kFigure = {
    ".....kkk.....", "....kfffk....", "....kfffk....", ".....kfk.....", "..kkkkfkkkk..",
    ".kfffffffffk.", "..kkkfffkkk..", "....kfffk....", "....kfffk....", "....kfkfk....",
    "...kfk.kfk...", "...kfk.kfk...", "...kkk.kkk...",
};

struct Palette {
    QColor outline, fill, line;
};

QImage Draw(const Picture& picture, const Palette& palette, bool dithered)
{
    QImage image(13, 13, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            if (dithered && (x + y) % 2 != 0) {
                continue;
            }
            switch (picture[static_cast<std::size_t>(y)][x]) {
            case 'k':
                image.setPixelColor(x, y, palette.outline);
                break;
            case 'f':
                image.setPixelColor(x, y, palette.fill);
                break;
            case 'l':
                image.setPixelColor(x, y, palette.line);
                break;
            default:
                break;
            }
        }
    }
    return image;
}

} // namespace

QImage ItemImage(int index)
{
    const bool selected = index % 2 != 0;
    switch (index / 2) {
    case 0:
        return Draw(kSheet, {QColor(64, 64, 64), selected ? QColor(255, 255, 255) : QColor(192, 192, 192),
                             QColor(128, 128, 128)}, false);
    case 1:
    case 2:
        return Draw(kLeaf, {QColor(0, 80, 0), selected ? QColor(64, 224, 64) : QColor(0, 160, 0),
                            selected ? QColor(192, 255, 192) : QColor(128, 208, 128)}, index >= 4);
    case 3:
        return Draw(kFigure, {QColor(0, 0, 0), selected ? QColor(255, 232, 0) : QColor(255, 255, 255), {}}, false);
    case 4:
        return Draw(kFigure, {QColor(0, 0, 0), selected ? QColor(128, 112, 32) : QColor(72, 72, 88), {}}, false);
    default:
        return {};
    }
}

QIcon ItemIcon(int first)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(ItemImage(first)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(ItemImage(first + 1)), QIcon::Selected);
    return icon;
}

QColor DisplayColor(std::uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 255u), static_cast<int>((colorRef >> 8) & 255u),
                  static_cast<int>((colorRef >> 16) & 255u));
}

QString MenuItemName(const QString& menuText)
{
    QString name = menuText.section(QLatin1Char('\t'), 0, 0);
    static const QRegularExpression accessTail(QStringLiteral("\\s*\\(&[^)]\\)"));
    name.remove(accessTail);
    name.remove(QStringLiteral("..."));
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char('&')) {
            if (i + 1 < name.size() && name[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += name[i];
    }
    return out.trimmed();
}

QString CommandPromptText(int commandId)
{
    const CommandInfo* info = FindCommand(commandId);
    if (info == nullptr) {
        return {};
    }
    const std::string prompt(CommandPrompt(*info));
    if (!prompt.empty()) {
        return QCoreApplication::translate("Prompts", prompt.c_str());
    }
    const std::string text(info->menuText);
    return MenuItemName(QCoreApplication::translate("Commands", text.c_str()));
}

void ShowPromptsOf(QMenu& menu, QWidget* owner)
{
    const QPointer<QWidget> target(owner);
    auto tell = [target](const QString& text) {
        if (target != nullptr) {
            QStatusTipEvent tip(text);
            QCoreApplication::sendEvent(target, &tip);
        }
    };
    QObject::connect(&menu, &QMenu::hovered, &menu, [tell](QAction* action) { tell(action->statusTip()); });
    QObject::connect(&menu, &QMenu::aboutToHide, &menu, [tell] { tell(QString()); });
}

PaneKey PaneKeyOf(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (key.key() == Qt::Key_Menu && modifiers == Qt::NoModifier) {
        return PaneKey::Menu;
    }
    if (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        return PaneKey::Menu;
    }
    if (key.key() == Qt::Key_F2 && modifiers == Qt::NoModifier) {
        return PaneKey::Rename;
    }
    return PaneKey::None;
}

bool IsPaneKey(const QKeyEvent& key) { return PaneKeyOf(key) != PaneKey::None; }

QPoint MenuPointOf(const QRect& itemRect)
{
    return QPoint(itemRect.left() + std::min(16, itemRect.width() / 2), itemRect.center().y());
}

QAction* AddCommandItem(QMenu& menu, int commandId, const QString& text)
{
    QAction* action = menu.addAction(text);
    action->setData(commandId);
    action->setStatusTip(CommandPromptText(commandId));
    return action;
}

} // namespace vantomo
