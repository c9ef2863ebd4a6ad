// Draws each pane and dialog as a user sees it into PNG files, for looking
// at and for the README: panes_gallery OUTPUT_FOLDER [en]. Runs under any Qt
// platform (offscreen needs no display).
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QTranslator>

#include "PaneHarness.h"
#include "document/Commands.h"
#include "shell/panes/PaneText.h"

using namespace vantomo;


namespace {

void Save(QWidget* widget, const QString& folder, const QString& name)
{
    widget->grab().save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

// Shows the dialog `command` opens, saves its picture and cancels it.
void ShootDialog(CVantomoDoc& doc, int command, const QString& folder, const QString& name)
{
    OnNextModal([folder, name](QWidget* shown) {
        Save(shown, folder, name);
        qobject_cast<QDialog*>(shown)->reject();
    });
    doc.Execute(command);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    QTranslator english;
    if (argc > 2 && QString::fromLatin1(argv[2]) == QStringLiteral("en") &&
        english.load(QStringLiteral(":/i18n/vantomo_panes_en.qm"))) {
        QApplication::installTranslator(&english);
    }

    PaneHarness h;
    const std::string data = VANTOMO_TEST_DATA_DIR;
    static_cast<void>(h.doc.AddModelFromPath(data + "/panes/tower.mqo"));
    h.doc.Execute(kCmdAddCharacter);
    h.doc.SelectCharacterItem(1);
    static_cast<void>(h.doc.AddModelFromPath(data + "/panes/cart.mqo"));
    CTessaline& scene = h.doc.Scene();
    h.doc.DropModel(3, 2); // the wheel under the cart
    h.doc.SelectModelItem(1);
    h.doc.Execute(kCmdShowHideModel); // the tower's top hidden
    h.doc.Execute(kCmdAddAnimation);
    h.doc.SelectModelItem(2);
    scene.m_materials[1].m_color[0] = 1.5f; // beyond 1: shown clamped
    h.doc.UpdateAllViews(Change::Shading);

    // The left column as the main window stacks it.
    QWidget column;
    auto* splitter = new QSplitter(Qt::Vertical, &column);
    h.tree->setParent(splitter);
    h.materials->setParent(splitter);
    h.animations->setParent(splitter);
    splitter->addWidget(h.tree);
    splitter->addWidget(h.materials);
    splitter->addWidget(h.animations);
    auto* layout = new QVBoxLayout(&column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    column.resize(220, 560);
    column.show();
    splitter->setSizes({240, 160, 160});
    QApplication::processEvents();
    Save(&column, folder, QStringLiteral("panes"));
    h.ui.window = &column;

    ShootDialog(h.doc, kCmdKeyDialog, folder, QStringLiteral("key_dialog"));
    ShootDialog(h.doc, kCmdInsertFrames, folder, QStringLiteral("insert_dialog"));
    ShootDialog(h.doc, kCmdDeleteFrames, folder, QStringLiteral("delete_dialog"));
    OnNextModal([folder](QWidget* shown) {
        Save(shown, folder, QStringLiteral("material_dialog"));
        qobject_cast<QDialog*>(shown)->reject();
    });
    h.doc.EditMaterial(1);
    h.ui.paths = {QDir::tempPath().toStdString() + "/gallery.xaml"};
    OnNextModal([folder](QWidget* shown) {
        Save(shown, folder, QStringLiteral("export_xaml"));
        qobject_cast<QDialog*>(shown)->reject();
    });
    h.doc.Execute(kCmdFileSaveAs);
    h.ui.paths = {QDir::tempPath().toStdString() + "/gallery.mqo"};
    OnNextModal([folder](QWidget* shown) {
        Save(shown, folder, QStringLiteral("export_mqo"));
        qobject_cast<QDialog*>(shown)->reject();
    });
    h.doc.Execute(kCmdFileSaveAs);

    // A drag in progress: the wheel over the base, shown as the screen shows
    // it (the dragged picture is a window of its own, so only a display has it).
    if (QGuiApplication::platformName() == QStringLiteral("xcb")) {
        QWidget* viewport = h.tree->viewport();
        const QPoint from = h.tree->visualItemRect(h.tree->ModelItem(3)).center();
        const QPoint to = h.tree->visualItemRect(h.tree->ModelItem(0)).center();
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QTest::qWait(300);
        const QPoint corner = column.mapToGlobal(QPoint(0, 0));
        QGuiApplication::primaryScreen()
            ->grabWindow(0, corner.x(), corner.y(), column.width(), 260)
            .save(folder + QStringLiteral("/drag.png"));
        QTest::keyClick(h.tree, Qt::Key_Escape);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, from);
    }

    // The ten item images, eight times their size, normal above selected.
    QImage strip(5 * 13 * 8 + 4 * 8, 2 * 13 * 8 + 8, QImage::Format_ARGB32);
    strip.fill(QColor(240, 240, 240));
    {
        QPainter painter(&strip);
        for (int i = 0; i < 10; ++i) {
            painter.drawImage(QRect((i / 2) * (13 * 8 + 8), (i % 2) * (13 * 8 + 8), 13 * 8, 13 * 8), ItemImage(i));
        }
    }
    strip.save(folder + QStringLiteral("/item_images.png"));

    // A rename in progress in the tree, three times its size.
    h.doc.Execute(kCmdRenameModel);
    QTest::qWait(50);
    const QImage shot = h.tree->grab().toImage();
    shot.scaled(shot.size() * 3).save(folder + QStringLiteral("/rename.png"));
    for (QWidget* widget : QApplication::allWidgets()) {
        if (auto* line = qobject_cast<QLineEdit*>(widget); line != nullptr && line->isVisible()) {
            QTest::keyClick(line, Qt::Key_Escape);
        }
    }
    return 0;
}
