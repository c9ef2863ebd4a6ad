// A new user's session in the real main window, with the mouse on the panes:
// two documents imported into two characters, a model dragged under another,
// renamed, hidden and shown, an animation added and keyed, a material's
// colour and texture changed, frames inserted and deleted; the panes stay in
// step with the document and with undo and redo throughout.
#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSlider>
#include <QtTest>

#include "PaneHarness.h"
#include "document/Commands.h"
#include "scene/AppValues.h"
#include "shell/MainFrame.h"
#include "shell/QtUserInterface.h"

using namespace vantomo;

namespace {

std::string Fixture(const char* path) { return std::string(VANTOMO_TEST_DATA_DIR) + "/" + path; }

void Choose(QWidget* shown, int id)
{
    auto* menu = qobject_cast<QMenu*>(shown);
    QVERIFY(menu != nullptr);
    for (QAction* action : menu->actions()) {
        if (action->data().toInt() == id) {
            menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
            return;
        }
    }
    QFAIL("no such menu entry");
}


// Accepts the file dialog it is given with `path`.
std::function<void(QWidget*)> AcceptFile(const std::string& path)
{
    return [path](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        QVERIFY(dialog != nullptr);
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

// Answers the file dialog that opens next, other than `except`, with `path`.
void ChooseFile(const std::string& path, QWidget* except) { OnNextModal(AcceptFile(path), except); }

// The context menu at `at`, answered with command `id`; `then` runs on the
// dialog that command opens, if any.
void MenuOn(QAbstractItemView* view, const QPoint& at, int id, std::function<void(QWidget*)> then = {})
{
    OnNextModal([id, then](QWidget* shown) {
        if (then) {
            OnNextModal(then, shown);
        }
        Choose(shown, id);
    });
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
}

QLineEdit* OpenEditor(QAbstractItemView* view)
{
    for (QLineEdit* line : view->findChildren<QLineEdit*>()) {
        if (line->isVisible()) {
            return line;
        }
    }
    return nullptr;
}

// Types `text` and Return into the in-place editor of `view` once it opens.
void TypeWhenEditorOpens(QAbstractItemView* view, const QString& text)
{
    auto* timer = new QTimer(view);
    QObject::connect(timer, &QTimer::timeout, [timer, view, text] {
        if (QLineEdit* editor = OpenEditor(view)) {
            timer->stop();
            timer->deleteLater();
            editor->setText(text);
            QTest::keyClick(editor, Qt::Key_Return);
        }
    });
    timer->start(5);
}

} // namespace

class SessionTest : public QObject {
    Q_OBJECT
private slots:
    void buildTwoCharactersWithTheMouse();
};

void SessionTest::buildTwoCharactersWithTheMouse()
{
    ResetAppValues();
    QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo"))
        .setValue(QStringLiteral("Vantomo/Language"), QStringLiteral("Japanese"));
    QtUserInterface ui;
    CVantomoDoc doc(ui);
    CMainFrame frame(doc, ui, false);
    ui.SetFrame(&frame);
    frame.resize(1100, 800);
    frame.show();
    QApplication::setActiveWindow(&frame);
    auto* tree = frame.findChild<CHierarchyView*>();
    auto* materials = frame.findChild<CMaterialView*>();
    auto* animations = frame.findChild<CAnimationListView*>();
    QVERIFY(tree && materials && animations);
    CTessaline& scene = doc.Scene();
    auto at = [tree](QTreeWidgetItem* item) { return tree->visualItemRect(item).center(); };

    // Import the tower into the first character through its menu.
    MenuOn(tree, at(tree->CharacterItem(0)), kCmdAddModel, AcceptFile(Fixture("panes/tower.mqo")));
    QTRY_COMPARE(scene.m_models.size(), std::size_t{2});
    QCOMPARE(tree->CharacterItem(0)->childCount(), 2);

    // A second character from the root's menu, and the cart imported into it.
    MenuOn(tree, at(tree->topLevelItem(0)), kCmdAddCharacter);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at(tree->CharacterItem(1)));
    QCOMPARE(scene.m_selectedCharacter, 1);
    MenuOn(tree, at(tree->CharacterItem(1)), kCmdAddModel, AcceptFile(Fixture("panes/cart.mqo")));
    QTRY_COMPARE(scene.m_models.size(), std::size_t{4});
    QCOMPARE(materials->rowCount(), 3);

    // Drag the wheel onto the tower's top: it moves to the first character.
    const int top = 1;
    const int wheel = 3;
    QCOMPARE(scene.m_models[3].m_name, std::string("wheel"));
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at(tree->ModelItem(wheel)));
    const QPoint target = at(tree->ModelItem(top));
    QMouseEvent move(QEvent::MouseMove, QPointF(target), tree->viewport()->mapToGlobal(QPointF(target)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(tree->viewport(), &move);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, target);
    QCOMPARE(scene.m_models[wheel].m_parent, top);
    QCOMPARE(tree->ModelItem(wheel)->parent(), tree->ModelItem(top));

    // Undo and redo of the drop, one step each, keep the tree in step.
    frame.Execute(kCmdUndo);
    QVERIFY(tree->ModelItem(wheel) != nullptr);
    QCOMPARE(tree->ModelItem(wheel)->parent(), tree->CharacterItem(1));
    frame.Execute(kCmdRedo);
    QCOMPARE(tree->ModelItem(wheel)->parent(), tree->ModelItem(top));

    // Rename the cart in place.
    const int cart = 2;
    TypeWhenEditorOpens(tree, QStringLiteral("wagon"));
    MenuOn(tree, at(tree->ModelItem(cart)), kCmdRenameModel);
    QTRY_COMPARE(scene.m_models[cart].m_name, std::string("wagon"));
    QCOMPARE(tree->ModelItem(cart)->text(0), QStringLiteral("wagon"));

    // Hide the base and show it again.
    MenuOn(tree, at(tree->ModelItem(0)), kCmdShowHideModel);
    QCOMPARE(scene.m_models[0].m_visible, 0);
    QCOMPARE(CHierarchyView::KindOf(tree->ModelItem(0)), CHierarchyView::kHiddenModelItem);
    MenuOn(tree, at(tree->ModelItem(0)), kCmdShowHideModel);
    QCOMPARE(scene.m_models[0].m_visible, 1);

    // Add an animation and key the wagon at frame 10 through the key dialog.
    MenuOn(animations, animations->visualItemRect(animations->item(0, 0)).center(), kCmdAddAnimation);
    QCOMPARE(animations->rowCount(), 2);
    QCOMPARE(g_currentAnimation, 1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at(tree->ModelItem(cart)));
    OnNextModal([](QWidget* shown) {
        shown->findChild<QLineEdit*>(QStringLiteral("frame"))->setText(QStringLiteral("10"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    frame.Execute(kCmdKeyDialog);
    QCOMPARE(scene.m_models[cart].m_tracks[1][10].m_key, 1);

    // The roof's colour and texture in the material dialog.
    const std::string texture = Fixture("images/eight.ppm");
    OnNextModal([texture](QWidget* shown) {
        shown->findChild<QSlider*>(QStringLiteral("greenSlider"))->setValue(60);
        ChooseFile(texture, shown);
        shown->findChild<QAbstractButton*>(QStringLiteral("chooseTexture"))->click();
        QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("texture"))->text(), QString::fromStdString(texture));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    QTest::mouseDClick(materials->viewport(), Qt::LeftButton, {},
                       materials->visualItemRect(materials->item(1, 0)).center());
    const CMaterial& roof = scene.m_materials[1];
    QCOMPARE(roof.m_color[1], 0.6f);
    QCOMPARE(roof.m_texture, texture);
    QVERIFY(roof.m_image != nullptr);
    QCOMPARE(materials->item(1, 1)->data(Qt::UserRole + 1).value<QColor>(), QColor(178, 153, 25));

    // Five frames inserted after frame 0, then deleted again.
    g_currentFrame = 0;
    OnNextModal([](QWidget* shown) {
        shown->findChild<QLineEdit*>(QStringLiteral("count"))->setText(QStringLiteral("5"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    frame.Execute(kCmdInsertFrames);
    QCOMPARE(g_lastFrame, 65);
    QCOMPARE(animations->item(1, 1)->text(), QStringLiteral("65"));
    QCOMPARE(scene.m_models[cart].m_tracks[1][15].m_key, 1); // the key moved along
    OnNextModal([](QWidget* shown) {
        shown->findChild<QLineEdit*>(QStringLiteral("start"))->setText(QStringLiteral("1"));
        shown->findChild<QLineEdit*>(QStringLiteral("end"))->setText(QStringLiteral("5"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    frame.Execute(kCmdDeleteFrames);
    QCOMPARE(g_lastFrame, 60);
    QCOMPARE(animations->item(1, 1)->text(), QStringLiteral("60"));
    QCOMPARE(scene.m_models[cart].m_tracks[1][10].m_key, 1);
    QVERIFY(doc.IsModified());
    ui.SetFrame(nullptr);
}

QTEST_MAIN(SessionTest)
#include "test_session.moc"


