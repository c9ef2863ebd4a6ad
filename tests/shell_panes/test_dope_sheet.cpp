// The dope sheet under the offscreen platform, driven with the mouse and the
// keys as a user drives it: rows in the tree's order, clicks and boxes that
// select keys, a drag that moves them with one MoveKeys, the keys that act
// while it has the focus, scrubbing and the row menu.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include "document/Commands.h"
#include "document/KeyEditing.h"
#include "document/Script.h"
#include "scene/AppValues.h"
#include "shell/panes/DopeSheetView.h"
#include "shell/panes/Panes.h"

namespace vantomo {
namespace {

using Cells = std::vector<CDopeSheetView::Cell>;

struct ChangeCounter : DocumentView {
    std::vector<Change> changes;
    void OnChange(const ChangeNotice& change) override { changes.push_back(change.kind); }
    long Count(Change kind) const { return std::count(changes.begin(), changes.end(), kind); }
};

class DopeSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        doc.OnNewDocument();
        const ScriptResult opened = runner.Run("open \"" + std::string(VANTOMO_SOURCE_DIR) + "/samples/walker.vtm\"\n", ".");
        ASSERT_TRUE(opened.ok) << opened.error;
        sheet = new CDopeSheetView(doc, &window);
        sheet->setGeometry(0, 0, 900, 240);
        window.resize(900, 240);
        window.show();
        QApplication::setActiveWindow(&window);
        doc.AddView(&counter);
    }
    void TearDown() override
    {
        doc.RemoveView(&counter);
        delete sheet;
        ResetAppValues();
    }

    QWidget* Viewport() const { return sheet->viewport(); }
    int RowOf(int model) const
    {
        for (std::size_t r = 0; r < sheet->Rows().size(); ++r) {
            if (sheet->Rows()[r].kind == DopeSheetRow::kModel && sheet->Rows()[r].index == model) {
                return static_cast<int>(r);
            }
        }
        return -1;
    }
    QPoint Key(int model, int frame) const { return sheet->CellCentre(RowOf(model), frame); }
    void Click(const QPoint& at, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(Viewport(), Qt::LeftButton, modifiers, at);
    }
    // Press, moves in steps of a few pixels, release: as a hand drags.
    void Drag(const QPoint& from, const QPoint& to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(Viewport(), Qt::LeftButton, modifiers, from);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i) {
            const QPoint at = from + (to - from) * i / steps;
            QMouseEvent move(QEvent::MouseMove, QPointF(at), Viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
                             Qt::LeftButton, modifiers);
            QApplication::sendEvent(Viewport(), &move);
            if (i == steps - 1) {
                midDragKeyChanges = counter.Count(Change::Keys);
            }
        }
        QTest::mouseRelease(Viewport(), Qt::LeftButton, modifiers, to);
    }
    std::vector<int> KeysOf(int model) const
    {
        std::vector<int> keys;
        const Track& track = doc.Scene().m_models[static_cast<std::size_t>(model)].m_tracks[0];
        for (std::size_t f = 0; f < track.size(); ++f) {
            if (f == 0 || track[f].m_key == 1) {
                keys.push_back(static_cast<int>(f));
            }
        }
        return keys;
    }
    bool HasKey(int model, int frame) const
    {
        const std::vector<int> keys = KeysOf(model);
        return std::binary_search(keys.begin(), keys.end(), frame);
    }
    // The first key after frame 0 of `model`.
    int SomeKey(int model) const { return KeysOf(model).at(1); }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    ScriptRunner runner{doc, ui, [](const CTessaline&) {}};
    ChangeCounter counter;
    QWidget window;
    CDopeSheetView* sheet = nullptr;
    long midDragKeyChanges = -1;
};

TEST_F(DopeSheetTest, RowsFollowTheTreeAndEachCharacterShowsTheUnionOfItsModelsKeys)
{
    CHierarchyView tree(doc, nullptr);
    std::vector<int> treeModels;
    for (QTreeWidgetItemIterator it(&tree); *it != nullptr; ++it) {
        if (CHierarchyView::KindOf(*it) == CHierarchyView::kModelItem) {
            treeModels.push_back(CHierarchyView::ValueOf(*it));
        }
    }
    std::vector<int> sheetModels;
    for (const DopeSheetRow& row : sheet->Rows()) {
        if (row.kind == DopeSheetRow::kModel) {
            sheetModels.push_back(row.index);
        }
    }
    ASSERT_EQ(doc.Scene().m_models.size(), 6u);
    EXPECT_EQ(sheetModels, treeModels);
    ASSERT_EQ(sheet->Rows().front(), (DopeSheetRow{DopeSheetRow::kCharacter, 0, 0}));

    std::vector<int> frames;
    for (int m = 0; m < 6; ++m) {
        for (const int f : KeysOf(m)) {
            frames.push_back(f);
        }
        Cells cells = sheet->RowCells(RowOf(m), 0, g_lastFrame);
        std::vector<int> shown;
        for (const auto& cell : cells) {
            shown.push_back(cell.frame);
        }
        EXPECT_EQ(shown, KeysOf(m)) << "model " << m;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    std::vector<int> group;
    for (const auto& cell : sheet->RowCells(0, 0, g_lastFrame)) {
        group.push_back(cell.frame);
    }
    EXPECT_EQ(group, frames);

    // Folding hides the models, not the group's keys.
    sheet->SetFolded(0, true);
    EXPECT_EQ(sheet->Rows().size(), 1u);
    EXPECT_EQ(sheet->RowCells(0, 0, g_lastFrame).size(), frames.size());
    Click(QPoint(8, sheet->CellCentre(0, 0).y()));
    EXPECT_FALSE(sheet->IsFolded(0)) << "the triangle unfolds";
}

TEST_F(DopeSheetTest, ClicksAndBoxesSelectTheKeysUnderThem)
{
    const int a = SomeKey(1);
    const int b = SomeKey(2);
    Click(Key(1, a));
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{1, a}}));
    Click(Key(2, b), Qt::ControlModifier);
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{1, a}, {2, b}}));
    Click(Key(1, a), Qt::ControlModifier);
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{2, b}}));
    Click(Key(1, 0), Qt::ShiftModifier);
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{2, b}, {1, 0}}));
    EXPECT_EQ(sheet->RowCells(RowOf(1), 0, 0), (Cells{{0, 2}})) << "shown selected";
    // A plain click on one of several selected keys keeps only it.
    Click(Key(2, b));
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{2, b}}));
    // A click beside the keys clears the selection.
    int empty = 1;
    while (HasKey(2, empty)) {
        ++empty;
    }
    Click(sheet->CellCentre(RowOf(2), empty));
    EXPECT_TRUE(doc.SelectedKeys().Empty());

    // A box from before frame 1 to past the last frame across models 1 and
    // 2 takes every key of theirs but frame 0's.
    const QPoint from = sheet->CellCentre(RowOf(1), 1) - QPoint(sheet->Zoom() / 2 - 1, 4);
    const QPoint to = sheet->CellCentre(RowOf(2), g_lastFrame) + QPoint(sheet->Zoom() / 2, 4);
    Drag(from, to);
    KeySelection expected;
    for (const int m : {1, 2}) {
        for (const int f : KeysOf(m)) {
            if (f > 0) {
                expected.Add(m, f);
            }
        }
    }
    EXPECT_EQ(doc.SelectedKeys().Keys(), expected.Keys());
    // Shift adds a box, Ctrl toggles one.
    Drag(Key(3, 0) - QPoint(3, 3), Key(3, 0) + QPoint(3, 3), Qt::ShiftModifier);
    EXPECT_TRUE(doc.SelectedKeys().Contains(3, 0));
    EXPECT_EQ(doc.SelectedKeys().Size(), expected.Size() + 1);
    Drag(Key(3, 0) - QPoint(3, 3), Key(3, 0) + QPoint(3, 3), Qt::ControlModifier);
    EXPECT_FALSE(doc.SelectedKeys().Contains(3, 0));

    // A group's diamond stands for every model's key at its frame.
    Click(sheet->CellCentre(0, 0));
    EXPECT_EQ(doc.SelectedKeys().Size(), 6u);
    EXPECT_EQ(sheet->RowCells(0, 0, 0), (Cells{{0, 2}}));
    Click(Key(4, 0), Qt::ControlModifier);
    EXPECT_EQ(sheet->RowCells(0, 0, 0), (Cells{{0, 1}})) << "some of the group's keys";
}

TEST_F(DopeSheetTest, ADragByThreeFramesIsOneMoveKeysAndItsPreviewChangesNothing)
{
    const int a = SomeKey(1);
    const int b = SomeKey(2);
    Click(Key(1, a));
    Click(Key(2, b), Qt::ShiftModifier);
    const std::vector<int> before1 = KeysOf(1);
    counter.changes.clear();
    Drag(Key(1, a), Key(1, a + 3));
    EXPECT_EQ(midDragKeyChanges, 0) << "the preview does not touch the document";
    EXPECT_EQ(counter.Count(Change::Keys), 1) << "one MoveKeys on release";
    EXPECT_EQ(sheet->DragOffset(), 0);
    std::vector<int> moved = before1;
    std::replace(moved.begin(), moved.end(), a, a + 3);
    std::sort(moved.begin(), moved.end());
    EXPECT_EQ(KeysOf(1), moved);
    EXPECT_TRUE(HasKey(2, b + 3));
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{1, a + 3}, {2, b + 3}}));

    // A drag the document refuses shows red while it lasts and changes nothing.
    counter.changes.clear();
    const int last = g_lastFrame;
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, Key(1, a + 3));
    const QPoint past = sheet->CellCentre(RowOf(1), last) + QPoint(sheet->Zoom() * 3, 0);
    for (const QPoint& at : {Key(1, a + 3) + QPoint(10, 0), past}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), Viewport()->mapToGlobal(QPointF(at)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(Viewport(), &move);
    }
    EXPECT_GT(sheet->DragOffset(), last - (a + 3));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, past);
    EXPECT_EQ(counter.Count(Change::Keys), 0);
    EXPECT_EQ(ui.messages.back(), kFrameOutOfRangeMessage);
    EXPECT_EQ(KeysOf(1), moved);
}

TEST_F(DopeSheetTest, ADragIsOneUndoStep)
{
    const int a = SomeKey(1);
    Click(Key(1, a));
    doc.History().Clear();
    const std::vector<int> before = KeysOf(1);
    Drag(Key(1, a), Key(1, a + 3));
    ASSERT_NE(KeysOf(1), before);
    ASSERT_TRUE(doc.Execute(kCmdUndo));
    EXPECT_EQ(KeysOf(1), before);
    EXPECT_FALSE(doc.IsEnabled(kCmdUndo)) << "one drag, one step";
}

TEST_F(DopeSheetTest, DeleteCopyAndPasteActOnTheSelectedKeysWhileThePaneHasTheFocus)
{
    // The window's own Ctrl+C and Ctrl+V (camera and move mode) stay quiet.
    int windowKeys = 0;
    for (const char* key : {"Ctrl+C", "Ctrl+V", "Delete"}) {
        auto* action = new QAction(&window);
        action->setShortcut(QKeySequence(QString::fromLatin1(key)));
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, [&windowKeys] { ++windowKeys; });
        window.addAction(action);
    }
    sheet->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->hasFocus(); }));

    const int a = SomeKey(1);
    Click(Key(1, a));
    QTest::keyClick(sheet, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(doc.GetCopiedKeys().models.size(), 1u);
    doc.SetCurrentFrame(g_lastFrame - 1);
    Click(Key(2, 0));
    QTest::keyClick(sheet, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(HasKey(2, g_lastFrame - 1)) << "onto the selected row";
    EXPECT_EQ(doc.SelectedKeys(), (KeySelection{{2, g_lastFrame - 1}}));
    QTest::keyClick(sheet, Qt::Key_Delete);
    EXPECT_FALSE(HasKey(2, g_lastFrame - 1));
    EXPECT_TRUE(doc.SelectedKeys().Empty());
    // With nothing selected the copy goes back onto its own model.
    QTest::keyClick(sheet, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(HasKey(1, g_lastFrame - 1));
    QTest::keyClick(sheet, Qt::Key_Escape);
    EXPECT_TRUE(doc.SelectedKeys().Empty());
    EXPECT_EQ(windowKeys, 0);
}

TEST_F(DopeSheetTest, TheRulerAndTheLineScrubTheCurrentFrame)
{
    const int y = CDopeSheetView::kRulerHeight / 2;
    Drag(QPoint(sheet->CellCentre(0, 12).x(), y), QPoint(sheet->CellCentre(0, 20).x(), y));
    EXPECT_EQ(g_currentFrame, 20);
    EXPECT_EQ(sheet->CurrentFrame(), 20);
    // The line itself, grabbed between the keys.
    const QPoint line(sheet->CellCentre(0, 20).x(), sheet->CellCentre(static_cast<int>(sheet->Rows().size()) - 1, 20).y() + 5);
    Drag(line, line + QPoint(5 * sheet->Zoom(), 0));
    EXPECT_EQ(g_currentFrame, 25);
    // Zooming keeps the frame under the mouse where it was.
    const QPoint at = sheet->CellCentre(0, 30);
    QWheelEvent wheel(QPointF(at), Viewport()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &wheel);
    EXPECT_GT(sheet->Zoom(), 12);
    EXPECT_EQ(sheet->FrameAt(at.x()), 30);
}

TEST_F(DopeSheetTest, TheRowMenuAddsAKeyAtTheCurrentFrame)
{
    doc.SetCurrentFrame(7);
    ASSERT_FALSE(HasKey(3, 7));
    // The menu, as the right button opens it, answered with its item.
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        menu->setActiveAction(menu->actions().front());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint at = Key(3, 7);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, Viewport()->mapToGlobal(at));
    QApplication::sendEvent(Viewport(), &event);
    EXPECT_TRUE(HasKey(3, 7));
    EXPECT_EQ(doc.Scene().m_selectedModel, 3);

    // A character's row keys every model of it.
    doc.SetCurrentFrame(9);
    sheet->AddKeyAtCurrentFrame(0);
    for (int m = 0; m < 6; ++m) {
        EXPECT_TRUE(HasKey(m, 9)) << m;
    }
}

} // namespace
} // namespace vantomo
