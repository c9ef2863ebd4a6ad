// The views show the document and nothing else: after every command of the
// every-command script, and after every step of seeded random sessions
// (commands, drags in the 3D view, typed fields, list clicks, undo and redo,
// animation switches, imports), each pane shows exactly what a pane freshly
// built on the same document shows.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "TempFolder.h"
#include "document/Commands.h"
#include "document/Script.h"
#include "scene/AppValues.h"
#include "shell/SliderView.h"
#include "shell/panes/DopeSheetView.h"
#include "shell/panes/Panes.h"

namespace vantomo {
namespace {

using Lines = std::vector<std::string>;

std::string Utf8(const QString& text) { return text.toStdString(); }

Lines PanelLines(const CSliderView& panel)
{
    Lines lines;
    for (int i = 0; i < 4; ++i) {
        lines.push_back("value " + std::to_string(i) + " " + Utf8(panel.ValueField(i)->text()) +
                        (panel.ValueField(i)->isReadOnly() ? " read-only" : "") +
                        (panel.EnableButton(i)->isChecked() ? " on" : " off"));
    }
    lines.push_back("frame " + Utf8(panel.CurrentFrameField()->text()) + " of " +
                    Utf8(panel.LastFrameField()->text()));
    const KeySlider* slider = panel.Slider();
    std::string ticks;
    for (int tick : slider->Ticks()) {
        ticks += " " + std::to_string(tick);
    }
    lines.push_back("slider " + std::to_string(slider->value()) + " in " + std::to_string(slider->minimum()) +
                    ".." + std::to_string(slider->maximum()) + " ticks" + ticks);
    lines.push_back("rate " + Utf8(panel.RateList()->currentText()));
    const QTimer& timer = panel.PlaybackTimer();
    lines.push_back(timer.isActive() ? "playing every " + std::to_string(timer.interval()) + " ms" : "stopped");
    return lines;
}

Lines TreeLines(const CHierarchyView& tree)
{
    Lines lines;
    for (QTreeWidgetItemIterator it(const_cast<CHierarchyView*>(&tree)); *it != nullptr; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* p = (*it)->parent(); p != nullptr; p = p->parent()) {
            ++depth;
        }
        lines.push_back(std::string(static_cast<std::size_t>(depth) * 2, ' ') + Utf8((*it)->text(0)) + " kind " +
                        std::to_string(CHierarchyView::KindOf(*it)) + " value " +
                        std::to_string(CHierarchyView::ValueOf(*it)) + ((*it)->isExpanded() ? " open" : ""));
    }
    // Where the caret rests when no model is selected is the user's last
    // click or key (the root and the first character select alike, a model
    // just hidden keeps it); a model item looks selected exactly when its
    // model is.
    std::string selected;
    for (const QTreeWidgetItem* item : tree.selectedItems()) {
        const CHierarchyView::ItemKind kind = CHierarchyView::KindOf(item);
        if (kind == CHierarchyView::kModelItem || kind == CHierarchyView::kHiddenModelItem) {
            selected += " " + std::to_string(CHierarchyView::ValueOf(item));
        }
    }
    lines.push_back("selected models" + selected);
    return lines;
}

Lines ListLines(const QTableWidget& list)
{
    Lines lines;
    for (int row = 0; row < list.rowCount(); ++row) {
        std::string line;
        for (int column = 0; column < list.columnCount(); ++column) {
            if (const QTableWidgetItem* item = list.item(row, column)) {
                line += Utf8(item->text()) + " " + Utf8(item->data(Qt::UserRole + 1).toString()) + " | ";
            }
        }
        lines.push_back(line);
    }
    std::string selected;
    for (const QModelIndex& index : list.selectionModel()->selectedRows()) {
        selected += " " + std::to_string(index.row());
    }
    lines.push_back("selected" + selected);
    return lines;
}

Lines SheetLines(const CDopeSheetView& sheet)
{
    Lines lines;
    lines.push_back("frame " + std::to_string(sheet.CurrentFrame()) + " of " + std::to_string(sheet.LastFrame()) +
                    (sheet.DragOffset() != 0 ? " dragging" : ""));
    for (std::size_t r = 0; r < sheet.Rows().size(); ++r) {
        const DopeSheetRow& row = sheet.Rows()[r];
        std::string line = (row.kind == DopeSheetRow::kCharacter ? "character " : "model ") +
                           std::to_string(row.index) + " depth " + std::to_string(row.depth) + " keys";
        for (const CDopeSheetView::Cell& cell : sheet.RowCells(static_cast<int>(r), 0, sheet.LastFrame())) {
            line += " " + std::to_string(cell.frame) + (cell.selected == 2 ? "*" : (cell.selected == 1 ? "+" : ""));
        }
        lines.push_back(line);
    }
    return lines;
}

// A document with the panes of the main window on it, driven by a script
// runner (commands with their dialogs answered) and by the panes' widgets.
class Session {
public:
    Session()
    {
        ResetAppValues();
        runner = std::make_unique<ScriptRunner>(doc, ui, [](const CTessaline&) {});
        doc.OnNewDocument();
        panel = new CSliderView(doc, &window);
        tree = new CHierarchyView(doc, &window);
        animations = new CAnimationListView(doc, &window);
        materials = new CMaterialView(doc, &window);
        sheet = new CDopeSheetView(doc, &window);
        panel->setGeometry(0, 0, 700, 130);
        tree->setGeometry(0, 140, 230, 300);
        animations->setGeometry(240, 140, 230, 300);
        materials->setGeometry(480, 140, 230, 300);
        sheet->setGeometry(0, 450, 720, 220);
        window.resize(720, 680);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    ~Session()
    {
        delete panel;
        delete tree;
        delete animations;
        delete materials;
        delete sheet;
        runner.reset();
        ResetAppValues();
    }

    // Empty when every pane shows what a fresh one shows; else the panes
    // that differ, with both pictures.
    std::string Differences()
    {
        std::string out;
        auto compare = [&out](const char* name, const Lines& live, const Lines& fresh) {
            if (live != fresh) {
                out += std::string(name) + " differs\n  live:\n";
                for (const std::string& l : live) {
                    out += "    " + l + "\n";
                }
                out += "  fresh:\n";
                for (const std::string& l : fresh) {
                    out += "    " + l + "\n";
                }
            }
        };
        {
            // A fresh panel starts its timer as playback runs, so the two compare alike.
            CSliderView fresh(doc, nullptr);
            compare("control panel", PanelLines(*panel), PanelLines(fresh));
        }
        {
            CHierarchyView fresh(doc, nullptr);
            compare("hierarchy", TreeLines(*tree), TreeLines(fresh));
        }
        {
            CAnimationListView fresh(doc, nullptr);
            compare("animation list", ListLines(*animations), ListLines(fresh));
        }
        {
            CMaterialView fresh(doc, nullptr);
            compare("material list", ListLines(*materials), ListLines(fresh));
        }
        {
            CDopeSheetView fresh(doc, nullptr);
            compare("dope sheet", SheetLines(*sheet), SheetLines(fresh));
        }
        return out;
    }

    HeadlessUserInterface ui;
    CVantomoDoc doc{ui};
    std::unique_ptr<ScriptRunner> runner;
    QWidget window;
    CSliderView* panel = nullptr;
    CHierarchyView* tree = nullptr;
    CAnimationListView* animations = nullptr;
    CMaterialView* materials = nullptr;
    CDopeSheetView* sheet = nullptr;
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ViewsFollowTheDocument, AfterEveryCommandOfTheEveryCommandScript)
{
    Session session;
    std::string script = ReadText(std::string(VANTOMO_TEST_DATA_DIR) + "/scripts/every_command.txt");
    for (std::size_t at = script.find("@DATA@"); at != std::string::npos; at = script.find("@DATA@")) {
        script.replace(at, 6, VANTOMO_TEST_DATA_DIR);
    }
    TempFolder scratch;
    std::vector<std::string> failures;
    session.runner->SetAfterCommand([&](int line) {
        const std::string differences = session.Differences();
        if (!differences.empty()) {
            failures.push_back("after line " + std::to_string(line) + ":\n" + differences);
        }
    });
    const ScriptResult result = session.runner->Run(script, scratch.Folder());
    ASSERT_TRUE(result.ok) << "line " << result.line << ": " << result.error;
    EXPECT_TRUE(failures.empty()) << failures.size() << " commands left a view behind; the first "
                                  << failures.front();
}

// One random step of a user's session: mostly commands and panel entries,
// some drags and clicks, now and then an import.
class RandomSession {
public:
    RandomSession(Session& session, unsigned seed) : s(session), rng(seed) {}

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    std::string Run(const std::vector<std::string>& tokens, const std::vector<std::vector<std::string>>& dialogs = {})
    {
        // A refused step (a disabled command, an index out of range) is part
        // of the session too: what it refused must leave the views right.
        return s.runner->RunCommand(tokens, dialogs);
    }

    void TypeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    // A point of the dope sheet: a random row and frame, now and then beside
    // the diamond or past the last frame.
    QPoint SheetPoint()
    {
        const int rows = std::max(1, static_cast<int>(s.sheet->Rows().size()));
        const QPoint centre = s.sheet->CellCentre(Pick(rows), Pick(std::max(0, g_lastFrame) + 3));
        return Pick(4) == 0 ? centre + QPoint(Pick(9) - 4, Pick(9) - 4) : centre;
    }

    Qt::KeyboardModifiers SheetModifiers()
    {
        static const Qt::KeyboardModifiers kinds[] = {Qt::NoModifier, Qt::NoModifier, Qt::ControlModifier,
                                                      Qt::ShiftModifier};
        return kinds[Pick(4)];
    }

    void SheetDrag(const QPoint& from, const QPoint& to, Qt::KeyboardModifiers modifiers)
    {
        QWidget* viewport = s.sheet->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, modifiers, from);
        for (int i = 1; i <= 4; ++i) {
            const QPoint at = from + (to - from) * i / 4;
            QMouseEvent move(QEvent::MouseMove, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::NoButton,
                             Qt::LeftButton, modifiers);
            QApplication::sendEvent(viewport, &move);
        }
        QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, to);
    }

    // The dope sheet as a user works it: clicks, boxes, drags of the selected
    // keys, its keys, and the script lines of the same edits.
    std::string SheetStep()
    {
        switch (Pick(6)) {
        case 0:
            QTest::mouseClick(s.sheet->viewport(), Qt::LeftButton, SheetModifiers(), SheetPoint());
            return "sheet click";
        case 1:
            SheetDrag(SheetPoint(), SheetPoint(), SheetModifiers());
            return "sheet box";
        case 2: {
            const std::vector<KeyRef> keys = s.doc.SelectedKeys().Keys();
            if (keys.empty()) {
                QTest::mouseClick(s.sheet->viewport(), Qt::LeftButton, {}, SheetPoint());
                return "sheet click";
            }
            // Grab a selected key where its model's row shows it.
            const KeyRef key = keys[static_cast<std::size_t>(Pick(static_cast<int>(keys.size())))];
            for (std::size_t r = 0; r < s.sheet->Rows().size(); ++r) {
                const DopeSheetRow& row = s.sheet->Rows()[r];
                if (row.kind == DopeSheetRow::kModel && row.index == key.model) {
                    const QPoint from = s.sheet->CellCentre(static_cast<int>(r), key.frame);
                    SheetDrag(from, from + QPoint((Pick(11) - 5) * s.sheet->Zoom(), Pick(5) - 2), {});
                    return "sheet drag";
                }
            }
            return "sheet drag of a key not shown";
        }
        case 3: {
            s.sheet->setFocus();
            static const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
                {Qt::Key_Delete, Qt::NoModifier}, {Qt::Key_C, Qt::ControlModifier},
                {Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}};
            const auto& [key, modifiers] = keys[Pick(4)];
            QTest::keyClick(s.sheet, key, modifiers);
            return "sheet key";
        }
        case 4: {
            const int models = static_cast<int>(s.doc.Scene().m_models.size());
            if (models == 0) {
                return "no keys to name";
            }
            const std::string key = "#" + std::to_string(Pick(models)) + ":" + std::to_string(Pick(g_lastFrame + 2));
            static const char* const lines[] = {"move-keys", "delete-keys", "copy-keys"};
            const std::string line = lines[Pick(3)];
            if (line == "move-keys") {
                Run({line, std::to_string(Pick(11) - 5), key});
            } else {
                Run({line, key});
            }
            return line;
        }
        default:
            Run({"paste-keys", std::to_string(Pick(g_lastFrame + 2))});
            return "paste-keys";
        }
    }

    std::string Step()
    {
        const int models = static_cast<int>(s.doc.Scene().m_models.size());
        const int last = std::max(0, g_lastFrame);
        const std::string frame = std::to_string(Pick(last + 3));
        switch (Pick(25)) {
        case 22:
        case 23:
        case 24:
            return SheetStep();
        case 0: {
            static const int commands[] = {
                kCmdModeMove,       kCmdModeRotate,      kCmdModeScale,       kCmdMouseCamera,
                kCmdMouseAnimation, kCmdAddKeySelected,  kCmdAddKeyAll,       kCmdDeleteKeySelected,
                kCmdDeleteKeyAll,   kCmdFirstFrame,      kCmdLastFrame,       kCmdNextFrame,
                kCmdPrevFrame,      kCmdNextKey,         kCmdPrevKey,         kCmdPlay,
                kCmdStop,           kCmdAddCharacter,    kCmdDeleteCharacter, kCmdAddAnimation,
                kCmdDeleteAnimation, kCmdShowHideModel,  kCmdSmoothShading,   kCmdCameraReset,
                kCmdCameraTop,      kCmdCameraLeft,      kCmdCopyAnimation,   kCmdPasteAnimation};
            const int id = commands[Pick(static_cast<int>(std::size(commands)))];
            Run({"command", std::to_string(id)});
            return "command " + std::to_string(id);
        }
        case 1:
        case 2:
            Run({"command", std::to_string(Pick(2) == 0 ? kCmdUndo : kCmdRedo)});
            return "undo or redo";
        case 3:
            Run({"select-model", "#" + std::to_string(Pick(models + 1))});
            return "select model";
        case 4:
            Run({"select-character", std::to_string(Pick(static_cast<int>(s.doc.Scene().m_characterNames.size())))});
            return "select character";
        case 5:
            Run({"animation", std::to_string(Pick(g_animationCount + 1))});
            return "animation";
        case 6:
            Run({"command", std::to_string(kCmdInsertFrames)}, {{"dialog", "insert", frame, std::to_string(1 + Pick(4))}});
            return "insert frames";
        case 7:
            Run({"command", std::to_string(kCmdDeleteFrames)}, {{"dialog", "delete", frame, frame}});
            return "delete frames";
        case 8:
            Run({"command", std::to_string(kCmdKeyDialog)}, {{"dialog", "key", frame, std::to_string(Pick(4))}});
            return "key dialog";
        case 9: {
            // A drag in the 3D view: pick, move, release.
            const std::string x = std::to_string(100 + Pick(440));
            const std::string y = std::to_string(80 + Pick(320));
            const std::string button = Pick(3) == 0 ? "right" : "left";
            Run({"mouse", "press", x, y, button});
            Run({"mouse", "move", std::to_string(100 + Pick(440)), std::to_string(80 + Pick(320)), button});
            Run({"mouse", "release", x, y, button});
            return "drag";
        }
        case 10:
            Run({"wheel", std::to_string(Pick(480) - 240)});
            return "wheel";
        case 11:
        case 12: {
            const int field = Pick(4);
            TypeInto(s.panel->ValueField(field), QString::number(Pick(200) - 100));
            return "typed value " + std::to_string(field);
        }
        case 13:
            TypeInto(s.panel->CurrentFrameField(), QString::fromStdString(frame));
            return "typed frame";
        case 14: {
            static const char* const lasts[] = {"30", "60", "90", "-5", "abc", "45"};
            TypeInto(s.panel->LastFrameField(), QString::fromLatin1(lasts[Pick(6)]));
            return "typed last frame";
        }
        case 15: {
            const int row = Pick(std::max(1, s.animations->rowCount()));
            if (s.animations->rowCount() > 0) {
                const QRect cell = s.animations->visualRect(s.animations->model()->index(row, 0));
                QTest::mouseClick(s.animations->viewport(), Qt::LeftButton, {}, cell.center());
            }
            return "animation row click";
        }
        case 16: {
            if (s.materials->rowCount() > 0) {
                const int row = Pick(s.materials->rowCount());
                const QRect cell = s.materials->visualRect(s.materials->model()->index(row, 0));
                QTest::mouseClick(s.materials->viewport(), Qt::LeftButton, {}, cell.center());
            }
            return "material row click";
        }
        case 17: {
            std::vector<QTreeWidgetItem*> items;
            for (QTreeWidgetItemIterator it(s.tree); *it != nullptr; ++it) {
                items.push_back(*it);
            }
            QTreeWidgetItem* item = items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
            s.tree->scrollToItem(item);
            QTest::mouseClick(s.tree->viewport(), Qt::LeftButton, {}, s.tree->visualItemRect(item).center());
            return "tree click";
        }
        case 18:
            s.panel->Slider()->setValue(Pick(last + 1));
            return "slider";
        case 19: {
            static const char* const rates[] = {"10", "30", "60", "6"};
            Run({"rate", rates[Pick(4)]});
            return "rate";
        }
        case 20:
            if (Pick(8) == 0) {
                Run({"import", std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo"});
                return "import";
            }
            Run({"values", std::to_string(Pick(50)), "0", std::to_string(Pick(50))});
            return "values";
        default:
            if (models > 0 && Pick(2) == 0) {
                const int a = Pick(models);
                const int b = Pick(models);
                Run({"reparent", "#" + std::to_string(a), "#" + std::to_string(b)});
                return "reparent";
            }
            Run({"command", std::to_string(kCmdNextFrame)});
            return "next frame";
        }
    }

private:
    Session& s;
    std::mt19937 rng;
};

TEST(ViewsFollowTheDocument, AfterEveryStepOfRandomSessions)
{
    // 5 sessions of 1,000 steps, each starting from the textured sample.
    for (unsigned seed = 1; seed <= 5; ++seed) {
        Session session;
        ASSERT_EQ(session.runner->RunCommand({"view-size", "640", "480"}), "");
        ASSERT_EQ(session.runner->RunCommand({"import", std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo"}), "");
        ASSERT_EQ(session.runner->RunCommand({"command", std::to_string(kCmdAddAnimation)}), "");
        RandomSession random(session, seed);
        std::vector<std::string> steps;
        for (int i = 0; i < 1000; ++i) {
            steps.push_back(random.Step());
            const std::string differences = session.Differences();
            if (!differences.empty()) {
                std::string recent;
                for (std::size_t k = steps.size() > 8 ? steps.size() - 8 : 0; k < steps.size(); ++k) {
                    recent += "  " + steps[k] + "\n";
                }
                FAIL() << "seed " << seed << ", step " << i << ", the last steps:\n" << recent << differences;
            }
        }
    }
}

} // namespace
} // namespace vantomo
