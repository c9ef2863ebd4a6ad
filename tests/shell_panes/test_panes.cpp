// The panes and dialogs driven as a user drives them, under the offscreen
// platform: clicks, drags, menus, in-place edits and typed dialog fields.
#include <filesystem>

#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QSlider>
#include <QTranslator>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "PaneHarness.h"
#include "TempFolder.h"
#include "document/Commands.h"
#include "document/Structure.h"
#include "base/Cp932.h"
#include "shell/panes/PaneText.h"

using namespace vantomo;

namespace {

std::string Fixture(const char* name) { return std::string(VANTOMO_TEST_DATA_DIR) + "/panes/" + name; }

// The model indices of the tree's model items in display order, and the
// models the traversal enters, which must agree.
std::vector<int> TreeModels(CHierarchyView* tree)
{
    std::vector<int> models;
    for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
        const auto kind = CHierarchyView::KindOf(*it);
        if (kind == CHierarchyView::kModelItem || kind == CHierarchyView::kHiddenModelItem) {
            models.push_back(CHierarchyView::ValueOf(*it));
        }
    }
    return models;
}

std::vector<int> TraversalModels(const CTessaline& scene)
{
    std::vector<int> models;
    for (const TraversalEntry& entry : scene.m_traversal) {
        if (entry.kind == kEnterModel) {
            models.push_back(entry.model);
        }
    }
    return models;
}

int ModelNamed(const CTessaline& scene, const char* name)
{
    for (std::size_t i = 0; i < scene.m_models.size(); ++i) {
        if (scene.m_models[i].m_name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QPoint Centre(QTreeWidget* tree, QTreeWidgetItem* item) { return tree->visualItemRect(item).center(); }

// Choose the menu entry whose command is `id` in the popup `shown`.
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

// The open in-place editor of any pane, or null.
QLineEdit* OpenEditor()
{
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* line = qobject_cast<QLineEdit*>(widget);
        if (line != nullptr && line->isVisible()) {
            for (QWidget* up = line->parentWidget(); up != nullptr; up = up->parentWidget()) {
                if (qobject_cast<QAbstractItemView*>(up) != nullptr) {
                    return line;
                }
            }
        }
    }
    return nullptr;
}

// Type `text` into the open in-place editor and end with `key`.
void TypeIntoEditor(const QString& text, Qt::Key key = Qt::Key_Return)
{
    QLineEdit* editor = OpenEditor();
    QVERIFY(editor != nullptr);
    editor->setText(text);
    QTest::keyClick(editor, key);
}

// Lets the editor close and the commit that follows it reach the document:
// both run from the event loop.
void Settle()
{
    QTRY_VERIFY(OpenEditor() == nullptr);
    QTest::qWait(20);
}

// A rename run through its command: the command opens the editor and
// returns; the commit reaches the document from the event loop.
void RenameWith(CVantomoDoc& doc, int command, const QString& text, Qt::Key key = Qt::Key_Return)
{
    doc.Execute(command);
    TypeIntoEditor(text, key);
    Settle();
}

// Answers the message box that the next OK opens, recording its text.
void ExpectMessage(QWidget* dialog, QString* seen)
{
    OnNextModal(
        [seen](QWidget* shown) {
            auto* box = qobject_cast<QMessageBox*>(shown);
            QVERIFY(box != nullptr);
            *seen = box->text();
            box->accept();
        },
        dialog);
}

} // namespace

class PaneTest : public QObject {
    Q_OBJECT
private slots:
    void treeMirrorsTheSceneAndTheTraversal();
    void treeClicksSelectAndSwitchTheMouseMode();
    void treeKeysSelectAndActOnTheCaretOnlyWithTheFocus();
    void tabLeavesTheListsWithoutSwitchingTheAnimation();
    void dropsReparentUnlessRefused();
    void renamesRefuseDuplicatesAndIgnoreEmptyNames();
    void renameReturnsAtOnceAndAChangeOfTheDocumentEndsIt();
    void animationListSelectsTheCurrentAnimation();
    void materialDialogCouplesSlidersAndEdits();
    void keyAndFrameDialogsRefuseBadNumbers();
    void exportOptionsShowTheLocksAndOfferTheLastChoices();
    void englishCatalogTranslatesThePanes();
    void keysOpenTheMenusRenameAndOpenTheMaterialDialog();
    void dialogsOpenWithTheFirstFieldSelected();
    void theRootShowsTheTitleAfterTheFirstSaveAs();
};

void PaneTest::treeMirrorsTheSceneAndTheTraversal()
{
    PaneHarness h;
    // A new document: the root and the one character, before any model.
    QCOMPARE(h.tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = h.tree->topLevelItem(0);
    QCOMPARE(CHierarchyView::KindOf(root), CHierarchyView::kRootItem);
    QCOMPARE(root->childCount(), 1);
    QCOMPARE(root->child(0)->text(0), QStringLiteral("Character_0"));
    QCOMPARE(h.animations->rowCount(), 1);
    QCOMPARE(h.animations->item(0, 0)->text(), QStringLiteral("Animation_0"));
    QCOMPARE(h.animations->item(0, 1)->text(), QStringLiteral("60"));

    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    h.doc.Execute(kCmdAddCharacter);
    h.doc.SelectCharacterItem(1);
    QVERIFY(h.doc.AddModelFromPath(Fixture("cart.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    QCOMPARE(scene.m_models.size(), std::size_t{4});
    root = h.tree->topLevelItem(0); // rebuilt
    QCOMPARE(root->childCount(), 2);
    QCOMPARE(root->child(1)->childCount(), 2);
    QCOMPARE(TreeModels(h.tree), TraversalModels(scene));
    QCOMPARE(h.materials->rowCount(), 3);

    // Reparent, hide and delete: the tree follows each.
    const int top = ModelNamed(scene, "top");
    const int wheel = ModelNamed(scene, "wheel");
    QVERIFY(h.doc.DropModel(wheel, top));
    QCOMPARE(h.tree->ModelItem(wheel)->parent(), h.tree->ModelItem(top));
    QCOMPARE(TreeModels(h.tree), TraversalModels(scene));
    // Undo and redo rebuild the tree from the restored scene; the drop is one step.
    h.doc.Execute(kCmdUndo);
    QVERIFY(h.tree->ModelItem(wheel) != nullptr);
    QCOMPARE(h.tree->ModelItem(wheel)->parent(), h.tree->CharacterItem(1));
    h.doc.Execute(kCmdRedo);
    QCOMPARE(h.tree->ModelItem(wheel)->parent(), h.tree->ModelItem(top));

    h.doc.SelectModelItem(top);
    QCOMPARE(h.tree->currentItem(), h.tree->ModelItem(top));
    h.doc.Execute(kCmdShowHideModel);
    QCOMPARE(CHierarchyView::KindOf(h.tree->ModelItem(top)), CHierarchyView::kHiddenModelItem);
    QVERIFY(!h.tree->ModelItem(top)->isSelected()); // hiding cleared the selection
    h.doc.SelectModelItem(top);
    h.doc.Execute(kCmdShowHideModel);
    QCOMPARE(CHierarchyView::KindOf(h.tree->ModelItem(top)), CHierarchyView::kModelItem);

    h.doc.SelectModelItem(top);
    h.doc.Execute(kCmdDeleteModel);
    QCOMPARE(scene.m_models.size(), std::size_t{3});
    QCOMPARE(TreeModels(h.tree).size(), std::size_t{3});
    QCOMPARE(TreeModels(h.tree), TraversalModels(scene));
    // The wheel went to the root of the character its former parent had.
    QCOMPARE(CHierarchyView::KindOf(h.tree->ModelItem(ModelNamed(scene, "wheel"))->parent()),
             CHierarchyView::kCharacterItem);

    // Saved and opened again: the root shows the project's title, the rest
    // the same structure.
    TempFolder folder;
    const std::vector<int> before = TreeModels(h.tree);
    QVERIFY(h.doc.OnSaveDocument(folder.Path("scene.vtm")));
    h.doc.OnNewDocument();
    QCOMPARE(TreeModels(h.tree).size(), std::size_t{0});
    QVERIFY(h.doc.OnOpenDocument(folder.Path("scene.vtm")));
    QCOMPARE(h.tree->topLevelItem(0)->text(0), QStringLiteral("scene.vtm"));
    QCOMPARE(TreeModels(h.tree), before);
    QCOMPARE(TreeModels(h.tree), TraversalModels(h.doc.Scene()));
    QCOMPARE(h.materials->rowCount(), static_cast<int>(h.doc.Scene().m_materials.size()));
}

void PaneTest::treeKeysSelectAndActOnTheCaretOnlyWithTheFocus()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    QTest::mouseClick(h.tree->viewport(), Qt::LeftButton, {}, Centre(h.tree, h.tree->ModelItem(base)));
    QCOMPARE(scene.m_selectedModel, base);

    // The arrow keys select what the caret moves to, as a click does.
    QTest::keyClick(h.tree, Qt::Key_Down);
    QVERIFY(h.tree->currentItem() != h.tree->ModelItem(base));
    QCOMPARE(scene.m_selectedModel, CHierarchyView::ValueOf(h.tree->currentItem()));
    QTest::keyClick(h.tree, Qt::Key_Up);
    QCOMPARE(scene.m_selectedModel, base);
    QCOMPARE(h.doc.m_mouseMode, MouseMode::Animation);

    // Alt+M hides the caret's model (which clears the selection) and, pressed
    // again, shows it again.
    QTest::keyClick(h.tree, Qt::Key_M, Qt::AltModifier);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_visible, 0);
    QCOMPARE(scene.m_selectedModel, kNoModel);
    QTest::keyClick(h.tree, Qt::Key_M, Qt::AltModifier);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_visible, 1);
    QCOMPARE(scene.m_selectedModel, base);

    // Away from the tree the model keys do nothing.
    const std::size_t models = scene.m_models.size();
    h.animations->setFocus();
    QTest::keyClick(h.animations, Qt::Key_M, Qt::AltModifier);
    QTest::keyClick(h.animations, Qt::Key_Delete, Qt::AltModifier);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_visible, 1);
    QCOMPARE(scene.m_models.size(), models);
    h.tree->setFocus();
    QTest::keyClick(h.tree, Qt::Key_Delete, Qt::AltModifier);
    QCOMPARE(scene.m_models.size(), models - 1);
}

void PaneTest::tabLeavesTheListsWithoutSwitchingTheAnimation()
{
    PaneHarness h;
    h.doc.Execute(kCmdAddAnimation);
    h.doc.SelectAnimationItem(0);
    h.animations->setFocus();
    QTest::keyClick(h.animations, Qt::Key_Tab);
    QCOMPARE(g_currentAnimation, 0);
    QVERIFY(!h.animations->hasFocus());
}

void PaneTest::treeClicksSelectAndSwitchTheMouseMode()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    QWidget* viewport = h.tree->viewport();

    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(h.tree, h.tree->ModelItem(base)));
    QCOMPARE(scene.m_selectedModel, base);
    QCOMPARE(h.doc.m_mouseMode, MouseMode::Animation);
    QCOMPARE(h.tree->currentItem(), h.tree->ModelItem(base));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(h.tree, h.tree->topLevelItem(0)));
    QCOMPARE(h.doc.m_mouseMode, MouseMode::Camera);
    QCOMPARE(scene.m_selectedModel, kNoModel);

    // The right button selects without leaving the camera mode and opens the
    // model's menu; its entries run the document's commands.
    OnNextModal([](QWidget* shown) { Choose(shown, kCmdShowHideModel); });
    QTest::mouseClick(viewport, Qt::RightButton, {}, Centre(h.tree, h.tree->ModelItem(base)));
    QCOMPARE(h.doc.m_mouseMode, MouseMode::Camera);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_visible, 0);

    OnNextModal([](QWidget* shown) {
        QCOMPARE(shown->objectName(), QStringLiteral("menu137"));
        Choose(shown, kCmdAddCharacter);
    });
    QTest::mouseClick(viewport, Qt::RightButton, {}, Centre(h.tree, h.tree->CharacterItem(0)));
    QCOMPARE(scene.m_characterNames.size(), std::size_t{2});
    QCOMPARE(h.tree->topLevelItem(0)->childCount(), 2);
}

void PaneTest::dropsReparentUnlessRefused()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    const int top = ModelNamed(scene, "top");
    QVERIFY(h.doc.DropModel(top, base)); // top hangs below base
    h.doc.History().Clear();
    h.doc.SetModifiedFlag(false);
    QWidget* viewport = h.tree->viewport();

    auto drag = [&](int from, QTreeWidgetItem* to, Qt::KeyboardModifiers modifiers, Qt::CursorShape* shape) {
        const QPoint start = Centre(h.tree, h.tree->ModelItem(from));
        const QPoint end = Centre(h.tree, to);
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, QPointF(end), viewport->mapToGlobal(QPointF(end)), Qt::NoButton,
                         Qt::LeftButton, modifiers);
        QApplication::sendEvent(viewport, &move);
        *shape = viewport->cursor().shape();
        QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, end);
    };

    // On its own child: the no-drop cursor, and nothing changes or is recorded.
    Qt::CursorShape shape = Qt::ArrowCursor;
    drag(base, h.tree->ModelItem(top), {}, &shape);
    QCOMPARE(shape, Qt::ForbiddenCursor);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_parent, -1);
    QVERIFY(!h.doc.IsModified());
    QVERIFY(!h.doc.History().CanUndo());

    // With Ctrl held: refused the same way.
    drag(top, h.tree->CharacterItem(0), Qt::ControlModifier, &shape);
    QCOMPARE(shape, Qt::ForbiddenCursor);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(top)].m_parent, base);
    QVERIFY(!h.doc.IsModified());

    // On its character: a root model of it, one undo step.
    drag(top, h.tree->CharacterItem(0), {}, &shape);
    QCOMPARE(shape, Qt::DragMoveCursor);
    QCOMPARE(scene.m_models[static_cast<std::size_t>(top)].m_parent, -1);
    QCOMPARE(h.tree->ModelItem(top)->parent(), h.tree->CharacterItem(0));
    QCOMPARE(h.doc.History().UndoCount(), std::size_t{1});
    QVERIFY(h.doc.IsModified());
    QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
}

void PaneTest::renamesRefuseDuplicatesAndIgnoreEmptyNames()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    h.doc.SelectModelItem(base);

    RenameWith(h.doc, kCmdRenameModel, QStringLiteral("TOP"));
    QCOMPARE(h.ui.messages, std::vector<std::string>{kDuplicateNameMessage});
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_name, std::string("base"));
    QCOMPARE(h.tree->ModelItem(base)->text(0), QStringLiteral("base"));

    h.ui.messages.clear();
    h.doc.SetModifiedFlag(false);
    RenameWith(h.doc, kCmdRenameModel, QString());
    RenameWith(h.doc, kCmdRenameModel, QStringLiteral("x"), Qt::Key_Escape);
    QVERIFY(h.ui.messages.empty());
    QVERIFY(!h.doc.IsModified());

    RenameWith(h.doc, kCmdRenameModel, QStringLiteral("土台"));
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_name, Utf8ToCp932("土台"));
    QCOMPARE(h.tree->ModelItem(base)->text(0), QStringLiteral("土台"));

    // A character CP932 cannot hold is refused with a message box.
    QString seen;
    h.doc.Execute(kCmdRenameModel);
    ExpectMessage(nullptr, &seen);
    TypeIntoEditor(QStringLiteral("\U0001F600"));
    QTRY_COMPARE(seen, QString::fromUtf8(kNameNotCp932Message));
    QCOMPARE(scene.m_models[static_cast<std::size_t>(base)].m_name, Utf8ToCp932("土台"));

    // 50006 edits the selected character's item, whatever the caret shows.
    h.doc.SelectCharacterItem(0);
    RenameWith(h.doc, kCmdRenameCharacter, QStringLiteral("Tower"));
    QCOMPARE(scene.m_characterNames[0], std::string("Tower"));
    QCOMPARE(h.tree->CharacterItem(0)->text(0), QStringLiteral("Tower"));
    // 50002 with no model selected edits nothing.
    h.doc.Execute(kCmdRenameModel);
    QVERIFY(OpenEditor() == nullptr);

    // The animation and material rows, through their menus.
    h.doc.Execute(kCmdAddAnimation);
    QCOMPARE(h.animations->rowCount(), 2);
    h.ui.messages.clear();
    OnNextModal([](QWidget* shown) { Choose(shown, kCmdRenameAnimation); });
    QTest::mouseClick(h.animations->viewport(), Qt::RightButton, {},
                      h.animations->visualItemRect(h.animations->item(1, 0)).center());
    TypeIntoEditor(QStringLiteral("animation_0"));
    Settle();
    QCOMPARE(h.ui.messages, std::vector<std::string>{kDuplicateNameMessage});
    OnNextModal([](QWidget* shown) { Choose(shown, kCmdRenameAnimation); });
    QTest::mouseClick(h.animations->viewport(), Qt::RightButton, {},
                      h.animations->visualItemRect(h.animations->item(1, 0)).center());
    TypeIntoEditor(QStringLiteral("Walk"));
    Settle();
    QCOMPARE(scene.m_animationNames[1], std::string("Walk"));
    QCOMPARE(h.animations->item(1, 0)->text(), QStringLiteral("Walk"));

    OnNextModal([](QWidget* shown) { Choose(shown, kCmdRenameMaterial); });
    QTest::mouseClick(h.materials->viewport(), Qt::RightButton, {},
                      h.materials->visualItemRect(h.materials->item(0, 0)).center());
    TypeIntoEditor(QStringLiteral("ROOF"));
    Settle();
    QCOMPARE(h.ui.messages.size(), std::size_t{2});
    QCOMPARE(scene.m_materials[0].m_name, std::string("stone"));
    h.doc.SelectMaterialItem(0);
    RenameWith(h.doc, kCmdRenameMaterial, QStringLiteral("Granite"));
    QTRY_COMPARE(h.materials->item(0, 0)->text(), QStringLiteral("Granite"));
}

void PaneTest::renameReturnsAtOnceAndAChangeOfTheDocumentEndsIt()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    h.doc.SelectModelItem(base);

    // The command opens the editor and returns: nothing waits for the edit.
    QVERIFY(h.doc.Execute(kCmdRenameModel));
    QLineEdit* editor = OpenEditor();
    QVERIFY(editor != nullptr);
    QCOMPARE(editor->text(), QStringLiteral("base"));

    // Another model deleted meanwhile: the edit ends without a rename, and
    // the tree shows the document as it now is.
    editor->setText(QStringLiteral("gone"));
    const int top = ModelNamed(scene, "top");
    QVERIFY(h.doc.DeleteModel(top).ok);
    Settle();
    QVERIFY(OpenEditor() == nullptr);
    QVERIFY(ModelNamed(scene, "gone") < 0);
    QVERIFY(h.tree->ModelItem(ModelNamed(scene, "base")) != nullptr);
    QCOMPARE(h.tree->ModelItem(ModelNamed(scene, "base"))->text(0), QStringLiteral("base"));

    // A frame step while editing leaves the editor open; the commit renames.
    h.doc.SelectModelItem(ModelNamed(scene, "base"));
    QVERIFY(h.doc.Execute(kCmdRenameModel));
    h.doc.SetCurrentFrame(3);
    QVERIFY(OpenEditor() != nullptr);
    TypeIntoEditor(QStringLiteral("plinth"));
    Settle();
    QVERIFY(ModelNamed(scene, "plinth") >= 0);
    QCOMPARE(h.tree->ModelItem(ModelNamed(scene, "plinth"))->text(0), QStringLiteral("plinth"));
}

void PaneTest::animationListSelectsTheCurrentAnimation()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    h.doc.Execute(kCmdAddAnimation);
    QCOMPARE(g_currentAnimation, 1);
    // Shorten animation 1 to 31 frames so the two lengths differ.
    for (CModel& model : scene.m_models) {
        model.m_tracks[1].resize(31);
    }
    h.doc.UpdateAllViews(Change::AnimationList);
    QCOMPARE(h.animations->item(0, 1)->text(), QStringLiteral("60"));
    QCOMPARE(h.animations->item(1, 1)->text(), QStringLiteral("30"));

    g_currentFrame = 12;
    QTest::mouseClick(h.animations->viewport(), Qt::LeftButton, {},
                      h.animations->visualItemRect(h.animations->item(0, 0)).center());
    QCOMPARE(g_currentAnimation, 0);
    QCOMPARE(g_lastFrame, 60);
    QCOMPARE(g_currentFrame, 0);
    QTest::mouseClick(h.animations->viewport(), Qt::LeftButton, {},
                      h.animations->visualItemRect(h.animations->item(1, 0)).center());
    QCOMPARE(g_currentAnimation, 1);
    QCOMPARE(g_lastFrame, 30);
    QCOMPARE(h.animations->currentRow(), 1);

    // Below the last row nothing changes.
    QTest::mouseClick(h.animations->viewport(), Qt::LeftButton, {}, QPoint(10, h.animations->viewport()->height() - 2));
    QCOMPARE(g_currentAnimation, 1);

    // Deleting the current (last) row makes the new last row current.
    OnNextModal([](QWidget* shown) { Choose(shown, kCmdDeleteAnimation); });
    QTest::mouseClick(h.animations->viewport(), Qt::RightButton, {},
                      h.animations->visualItemRect(h.animations->item(1, 0)).center());
    QCOMPARE(h.animations->rowCount(), 1);
    QCOMPARE(g_currentAnimation, 0);
    QCOMPARE(h.animations->currentRow(), 0);
}

void PaneTest::materialDialogCouplesSlidersAndEdits()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const QRect stone = h.materials->visualItemRect(h.materials->item(0, 0));
    QCOMPARE(scene.m_materials[0].m_name, std::string("stone"));
    QCOMPARE(MaterialDisplayColor(scene.m_materials[0]), 0x00CCCCCCu);

    bool checked = false;
    OnNextModal([&checked](QWidget* shown) {
        auto* redSlider = shown->findChild<QSlider*>(QStringLiteral("redSlider"));
        auto* red = shown->findChild<QLineEdit*>(QStringLiteral("red"));
        auto* powerSlider = shown->findChild<QSlider*>(QStringLiteral("powerSlider"));
        auto* power = shown->findChild<QLineEdit*>(QStringLiteral("power"));
        auto* green = shown->findChild<QLineEdit*>(QStringLiteral("green"));
        QVERIFY(redSlider && red && powerSlider && power && green);
        QCOMPARE(redSlider->value(), 80);
        QCOMPARE(red->text(), QStringLiteral("0.8"));
        QCOMPARE(powerSlider->value(), 5);

        redSlider->setValue(25);
        QCOMPARE(red->text(), QStringLiteral("0.250000"));
        powerSlider->setValue(7);
        QCOMPARE(power->text(), QStringLiteral("7.000000"));
        // A colour beyond 1 puts the slider at its end and keeps the text;
        // another slider moving leaves it alone.
        red->setText(QStringLiteral("1.5"));
        QCOMPARE(redSlider->value(), 100);
        shown->findChild<QSlider*>(QStringLiteral("greenSlider"))->setValue(10);
        QCOMPARE(red->text(), QStringLiteral("1.5"));
        QCOMPARE(green->text(), QStringLiteral("0.100000"));

        // A bad number keeps the dialog open.
        QString seen;
        green->setText(QStringLiteral("zero"));
        ExpectMessage(shown, &seen);
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        QCOMPARE(seen, QString::fromUtf8(kEnterNumberMessage));
        QVERIFY(shown->isVisible());
        green->setText(QStringLiteral("0.2"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        checked = true;
    });
    QTest::mouseDClick(h.materials->viewport(), Qt::LeftButton, {}, stone.center());
    QVERIFY(checked);
    const CMaterial& m = scene.m_materials[0];
    QCOMPARE(m.m_color[0], 1.5f);
    QCOMPARE(m.m_color[1], 0.2f);
    QCOMPARE(m.m_power, 7.0f);
    QVERIFY(h.doc.IsModified());
    // The drawn colour, clamped, is what the swatch shows after the rebuild.
    QCOMPARE(MaterialDisplayColor(m), 0x00CC33FFu);
    QCOMPARE(h.materials->item(0, 1)->data(Qt::UserRole + 1).value<QColor>(), QColor(255, 51, 204));
}

void PaneTest::keyAndFrameDialogsRefuseBadNumbers()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    h.doc.SelectModelItem(0);
    g_currentFrame = 5;

    // The key dialog: the current frame, the first action; a bad frame is refused.
    QString seen;
    OnNextModal([&seen](QWidget* shown) {
        auto* frame = shown->findChild<QLineEdit*>(QStringLiteral("frame"));
        QCOMPARE(frame->text(), QStringLiteral("5"));
        QVERIFY(shown->findChild<QRadioButton*>(QStringLiteral("action0"))->isChecked());
        frame->setText(QStringLiteral("1.5"));
        ExpectMessage(shown, &seen);
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        QVERIFY(shown->isVisible());
        frame->setText(QStringLiteral(" 20 "));
        shown->findChild<QRadioButton*>(QStringLiteral("action1"))->click();
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    QVERIFY(h.doc.Execute(kCmdKeyDialog));
    QCOMPARE(seen, QString::fromUtf8(kEnterIntegerMessage));
    for (const CModel& model : scene.m_models) {
        QCOMPARE(model.m_tracks[0][20].m_key, 1); // every model of the character
    }

    // Insertion: one frame after the current one, unless changed.
    OnNextModal([](QWidget* shown) {
        QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("after"))->text(), QStringLiteral("5"));
        auto* count = shown->findChild<QLineEdit*>(QStringLiteral("count"));
        QCOMPARE(count->text(), QStringLiteral("1"));
        count->setText(QStringLiteral("10"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    h.doc.Execute(kCmdInsertFrames);
    QCOMPARE(g_lastFrame, 70);
    QCOMPARE(h.animations->item(0, 1)->text(), QStringLiteral("70"));

    // Deletion: start and end at the current frame; a bad end is refused.
    g_currentFrame = 5;
    seen.clear();
    OnNextModal([&seen](QWidget* shown) {
        auto* start = shown->findChild<QLineEdit*>(QStringLiteral("start"));
        auto* end = shown->findChild<QLineEdit*>(QStringLiteral("end"));
        QCOMPARE(start->text(), QStringLiteral("5"));
        QCOMPARE(end->text(), QStringLiteral("5"));
        end->setText(QStringLiteral("x"));
        ExpectMessage(shown, &seen);
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        end->setText(QStringLiteral("14"));
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    h.doc.Execute(kCmdDeleteFrames);
    QCOMPARE(seen, QString::fromUtf8(kEnterIntegerMessage));
    QCOMPARE(g_lastFrame, 60);

    // Cancel changes nothing.
    h.doc.SetModifiedFlag(false);
    OnNextModal([](QWidget* shown) { shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click(); });
    h.doc.Execute(kCmdDeleteFrames);
    QCOMPARE(g_lastFrame, 60);
    QVERIFY(!h.doc.IsModified());
}

void PaneTest::exportOptionsShowTheLocksAndOfferTheLastChoices()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    TempFolder folder;

    // Metasequoia: only the UV box and the scale; the normals box ticked.
    h.ui.paths = {folder.Path("a.mqo")};
    QString seen;
    OnNextModal([&seen](QWidget* shown) {
        QCOMPARE(shown->windowTitle(), QStringLiteral("Metasequoiaフォーマットで保存"));
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!shown->findChild<QRadioButton*>(QStringLiteral("keys%1").arg(i))->isEnabled());
        }
        QVERIFY(shown->findChild<QRadioButton*>(QStringLiteral("keys2"))->isChecked());
        QVERIFY(shown->findChild<QLineEdit*>(QStringLiteral("speed"))->isReadOnly());
        QVERIFY(!shown->findChild<QRadioButton*>(QStringLiteral("layout0"))->isEnabled());
        QVERIFY(shown->findChild<QCheckBox*>(QStringLiteral("uv"))->isEnabled());
        auto* normals = shown->findChild<QCheckBox*>(QStringLiteral("normals"));
        QVERIFY(!normals->isEnabled());
        QVERIFY(normals->isChecked());
        QVERIFY(!shown->findChild<QCheckBox*>(QStringLiteral("lights"))->isEnabled());
        auto* scale = shown->findChild<QLineEdit*>(QStringLiteral("scale"));
        QCOMPARE(scale->text(), QStringLiteral("1"));
        scale->setText(QStringLiteral("big"));
        ExpectMessage(shown, &seen);
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        scale->setText(QStringLiteral("2"));
        shown->findChild<QCheckBox*>(QStringLiteral("uv"))->click();
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    h.doc.Execute(kCmdFileSaveAs);
    QCOMPARE(seen, QString::fromUtf8(kEnterNumberMessage));
    QVERIFY(std::filesystem::exists(folder.Path("a.mqo")));
    QCOMPARE(h.doc.m_mqoSettings.scale, 2.0f);
    QCOMPARE(h.doc.m_mqoSettings.writeUV, 1);
    QCOMPARE(h.doc.m_mqoSettings.writeNormals, 1);

    // The next Metasequoia export starts from those choices; Cancel keeps them.
    h.ui.paths = {folder.Path("b.mqo")};
    OnNextModal([](QWidget* shown) {
        QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("scale"))->text(), QStringLiteral("2"));
        QVERIFY(shown->findChild<QCheckBox*>(QStringLiteral("uv"))->isChecked());
        shown->findChild<QLineEdit*>(QStringLiteral("scale"))->setText(QStringLiteral("3"));
        shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
    });
    h.doc.Execute(kCmdFileSaveAs);
    QCOMPARE(h.doc.m_mqoSettings.scale, 2.0f);

    // XAML: "行列" and the lights unavailable, the speed read-only.
    h.ui.paths = {folder.Path("c.xaml")};
    OnNextModal([](QWidget* shown) {
        QCOMPARE(shown->windowTitle(), QStringLiteral("XAMLフォーマットで保存"));
        QVERIFY(shown->findChild<QRadioButton*>(QStringLiteral("keys0"))->isEnabled());
        QVERIFY(!shown->findChild<QRadioButton*>(QStringLiteral("keys1"))->isEnabled());
        QVERIFY(shown->findChild<QRadioButton*>(QStringLiteral("keys2"))->isEnabled());
        QVERIFY(shown->findChild<QLineEdit*>(QStringLiteral("speed"))->isReadOnly());
        QVERIFY(shown->findChild<QRadioButton*>(QStringLiteral("layout1"))->isEnabled());
        QVERIFY(shown->findChild<QCheckBox*>(QStringLiteral("normals"))->isEnabled());
        QVERIFY(!shown->findChild<QCheckBox*>(QStringLiteral("lights"))->isEnabled());
        QCOMPARE(shown->findChild<QLineEdit*>(QStringLiteral("scale"))->text(), QStringLiteral("1"));
        shown->findChild<QRadioButton*>(QStringLiteral("keys2"))->click();
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
    });
    h.doc.Execute(kCmdFileSaveAs);
    QCOMPARE(h.doc.m_xamlSettings.animationKeys, 2);
    QCOMPARE(h.doc.m_xamlSettings.animationKeysLock, -1);
}

void PaneTest::englishCatalogTranslatesThePanes()
{
    QTranslator english;
    QVERIFY(QFile::exists(QStringLiteral(":/i18n/vantomo_panes_en.qm")));
    QVERIFY(english.load(QStringLiteral(":/i18n/vantomo_panes_en.qm")));
    PaneHarness h;
    QApplication::installTranslator(&english);
    QCoreApplication::processEvents(); // the language change is posted
    QCOMPARE(h.animations->horizontalHeaderItem(0)->text(), QStringLiteral("Animation"));
    QCOMPARE(h.materials->horizontalHeaderItem(1)->text(), QStringLiteral("Color"));
    QCOMPARE(h.tree->topLevelItem(0)->text(0), QStringLiteral("Untitled"));

    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    h.doc.SelectModelItem(0);
    QString seen;
    OnNextModal([&seen](QWidget* shown) {
        QCOMPARE(shown->windowTitle(), QStringLiteral("Add or Delete Model Keys"));
        shown->findChild<QLineEdit*>(QStringLiteral("frame"))->setText(QStringLiteral("?"));
        ExpectMessage(shown, &seen);
        shown->findChild<QAbstractButton*>(QStringLiteral("ok"))->click();
        shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
    });
    h.doc.Execute(kCmdKeyDialog);
    QCOMPARE(seen, QStringLiteral("Please enter an integer."));

    QApplication::removeTranslator(&english);
    Settle();
    QCOMPARE(h.animations->horizontalHeaderItem(0)->text(), QStringLiteral("ｱﾆﾒｰｼｮﾝ名"));
}

namespace {

// The object name of the popup `press` opens, and whether it opened over `rect`
// (global coordinates); the popup is closed again.
QString MenuOpenedBy(const std::function<void()>& press, const QRect& rect, bool* atRect = nullptr)
{
    QString name;
    OnNextModal([&](QWidget* shown) {
        name = shown->objectName();
        if (atRect != nullptr) {
            *atRect = rect.contains(shown->pos());
        }
        shown->close();
    });
    press();
    return name;
}

QRect GlobalRect(QAbstractItemView* view, const QRect& rect)
{
    return QRect(view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

} // namespace

void PaneTest::keysOpenTheMenusRenameAndOpenTheMaterialDialog()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    CTessaline& scene = h.doc.Scene();
    const int base = ModelNamed(scene, "base");
    QTest::mouseClick(h.tree->viewport(), Qt::LeftButton, {}, Centre(h.tree, h.tree->ModelItem(base)));
    QVERIFY(h.tree->hasFocus());

    // The Menu key and Shift+F10 open the caret item's own menu over the item.
    const QRect baseRect = GlobalRect(h.tree, h.tree->visualItemRect(h.tree->ModelItem(base)));
    bool atItem = false;
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.tree, Qt::Key_Menu); }, baseRect, &atItem), QStringLiteral("menu135"));
    QVERIFY(atItem);
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.tree, Qt::Key_F10, Qt::ShiftModifier); }, baseRect),
             QStringLiteral("menu135"));
    h.tree->setCurrentItem(h.tree->CharacterItem(0));
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.tree, Qt::Key_F10, Qt::ShiftModifier); }, {}),
             QStringLiteral("menu137"));
    h.tree->setCurrentItem(h.tree->topLevelItem(0));
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.tree, Qt::Key_Menu); }, {}), QStringLiteral("menu138"));
    // The platform's keyboard context-menu event opens the same menu.
    h.tree->setCurrentItem(h.tree->ModelItem(base));
    QCOMPARE(MenuOpenedBy(
                 [&] {
                     QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(0, 0), h.tree->viewport()->mapToGlobal(QPoint(0, 0)));
                     QApplication::sendEvent(h.tree->viewport(), &event);
                 },
                 {}),
             QStringLiteral("menu135"));

    // F2 renames the caret's model, then its character, in place.
    QTimer::singleShot(20, [] { TypeIntoEditor(QStringLiteral("pillar")); });
    QTest::keyClick(h.tree, Qt::Key_F2);
    QTRY_COMPARE(scene.m_models[static_cast<std::size_t>(base)].m_name, std::string("pillar"));
    QTRY_COMPARE(h.tree->ModelItem(base)->text(0), QStringLiteral("pillar"));
    h.tree->setCurrentItem(h.tree->CharacterItem(0));
    QTimer::singleShot(20, [] { TypeIntoEditor(QStringLiteral("Tower")); });
    QTest::keyClick(h.tree, Qt::Key_F2);
    QTRY_COMPARE(scene.m_characterNames[0], std::string("Tower"));

    // The lists: their menus from the keyboard at the current row, F2 on it.
    h.animations->setFocus();
    const QRect row = GlobalRect(h.animations, h.animations->visualItemRect(h.animations->item(0, 0)));
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.animations, Qt::Key_Menu); }, row, &atItem),
             QStringLiteral("menu176"));
    QVERIFY(atItem);
    QTimer::singleShot(20, [] { TypeIntoEditor(QStringLiteral("Stand")); });
    QTest::keyClick(h.animations, Qt::Key_F2);
    QTRY_COMPARE(scene.m_animationNames[0], std::string("Stand"));
    QTRY_COMPARE(h.animations->item(0, 0)->text(), QStringLiteral("Stand"));

    h.materials->setFocus();
    QTest::keyClick(h.materials, Qt::Key_Down);
    QCOMPARE(scene.m_selectedMaterial, 1);
    QCOMPARE(MenuOpenedBy([&] { QTest::keyClick(h.materials, Qt::Key_F10, Qt::ShiftModifier); }, {}),
             QStringLiteral("menu180"));
    QTimer::singleShot(20, [] { TypeIntoEditor(QStringLiteral("Slate")); });
    QTest::keyClick(h.materials, Qt::Key_F2);
    QTRY_COMPARE(scene.m_materials[1].m_name, std::string("Slate"));

    // Enter opens the material dialog on the selected row.
    QString title;
    OnNextModal([&title](QWidget* shown) {
        title = shown->windowTitle();
        shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
    });
    QTest::keyClick(h.materials, Qt::Key_Return);
    QCOMPARE(title, QStringLiteral("材質設定"));
}

void PaneTest::dialogsOpenWithTheFirstFieldSelected()
{
    PaneHarness h;
    QVERIFY(h.doc.AddModelFromPath(Fixture("tower.mqo")).Complete());
    h.doc.SelectModelItem(0);
    g_currentFrame = 7;
    // Which field has the focus, with its whole text selected, and that Tab
    // goes on through the fields before OK.
    const auto expectFirst = [](const char* name, bool lineEdit = true) {
        OnNextModal([name, lineEdit](QWidget* shown) {
            QWidget* focus = shown->focusWidget();
            QVERIFY(focus != nullptr);
            QCOMPARE(focus->objectName(), QString::fromLatin1(name));
            if (lineEdit) {
                auto* edit = qobject_cast<QLineEdit*>(focus);
                QVERIFY(edit != nullptr);
                QVERIFY(!edit->text().isEmpty());
                QCOMPARE(edit->selectedText(), edit->text());
            }
            shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
        });
    };
    expectFirst("frame");
    h.doc.Execute(kCmdKeyDialog);
    expectFirst("after");
    h.doc.Execute(kCmdInsertFrames);
    // Tab goes through the fields first and reaches OK last.
    QStringList order;
    OnNextModal([&order](QWidget* shown) {
        for (int i = 0; i < 3; ++i) {
            order << shown->focusWidget()->objectName();
            QTest::keyClick(shown->focusWidget(), Qt::Key_Tab);
        }
        shown->findChild<QAbstractButton*>(QStringLiteral("cancel"))->click();
    });
    h.doc.Execute(kCmdInsertFrames);
    QCOMPARE(order, (QStringList{QStringLiteral("after"), QStringLiteral("count"), QStringLiteral("ok")}));
    expectFirst("start");
    h.doc.Execute(kCmdDeleteFrames);
    expectFirst("red");
    h.doc.EditMaterial(0);

    // The export options: the key kind where the kind offers one, else the scale.
    TempFolder folder;
    h.ui.paths = {folder.Path("a.xaml"), folder.Path("a.mqo")};
    expectFirst("keys0", false);
    h.doc.Execute(kCmdFileSaveAs);
    expectFirst("scale");
    h.doc.Execute(kCmdFileSaveAs);
}

void PaneTest::theRootShowsTheTitleAfterTheFirstSaveAs()
{
    PaneHarness h;
    QCOMPARE(h.tree->topLevelItem(0)->text(0), QStringLiteral("無題"));
    TempFolder folder;
    h.ui.paths = {folder.Path("first.vtm")};
    h.doc.Execute(kCmdFileSaveAs);
    QCOMPARE(h.doc.GetTitle(), folder.Path("first.vtm"));
    QCOMPARE(h.tree->topLevelItem(0)->text(0), QStringLiteral("first.vtm"));
    // Saved again under the same name, the title stays.
    h.doc.Execute(kCmdFileSave);
    QCOMPARE(h.tree->topLevelItem(0)->text(0), QStringLiteral("first.vtm"));
}

QTEST_MAIN(PaneTest)
#include "test_panes.moc"


