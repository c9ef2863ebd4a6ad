// A document with the three panes in one window, as the main window holds
// them, and a user interface that shows the panes' real dialogs and renames
// in place but records messages instead of showing them. Modal dialogs,
// message boxes and menus are answered from the event loop with OnNextModal.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QHBoxLayout>
#include <QTimer>
#include <QWidget>

#include "document/Document.h"
#include "scene/AppValues.h"
#include "shell/panes/Panes.h"

namespace vantomo {

class PaneTestUi final : public UserInterface {
public:
    QWidget* window = nullptr;
    std::vector<std::string> messages;
    std::vector<std::string> paths; // answers of AskPath, in order
    std::vector<int> shellCommands;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    std::optional<std::string> AskPath(const FileDialogRequest&) override
    {
        if (paths.empty()) {
            return std::nullopt;
        }
        std::string path = paths.front();
        paths.erase(paths.begin());
        return path;
    }
    SaveChoice AskYesNoCancel(std::string_view) override { return SaveChoice::No; }
    std::optional<std::uint32_t> AskColor(std::uint32_t) override { return std::nullopt; }
    bool RunKeyFrameDialog(KeyFrameDialog& d) override { return ShowKeyFrameDialog(window, d); }
    bool RunFrameInsertDialog(FrameInsertDialog& d) override { return ShowFrameInsertDialog(window, d); }
    bool RunFrameDeleteDialog(FrameDeleteDialog& d) override { return ShowFrameDeleteDialog(window, d); }
    bool RunExportDialog(ExportDialog& d) override { return ShowExportDialog(window, d); }
    bool RunMaterialDialog(MaterialDialog& d) override { return ShowMaterialDialog(window, d); }
    void BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit) override
    {
        BeginRenameInPlace(window, target, std::move(commit));
    }
    void RunShellCommand(int id) override { shellCommands.push_back(id); }
    bool IsShellCommandChecked(int) const override { return false; }
};

struct PaneHarness {
    PaneTestUi ui;
    CVantomoDoc doc{ui};
    QWidget window;
    CHierarchyView* tree;
    CMaterialView* materials;
    CAnimationListView* animations;

    PaneHarness()
    {
        ResetAppValues();
        ui.window = &window;
        auto* layout = new QHBoxLayout(&window);
        tree = new CHierarchyView(doc, &window);
        materials = new CMaterialView(doc, &window);
        animations = new CAnimationListView(doc, &window);
        layout->addWidget(tree);
        layout->addWidget(materials);
        layout->addWidget(animations);
        window.resize(900, 400);
        doc.OnNewDocument();
        window.show();
        QApplication::setActiveWindow(&window);
    }
    ~PaneHarness() { ResetAppValues(); }
};

// Runs `act` once a modal dialog or a popup other than `except` is shown,
// from the event loop that shows it. Gives up after five seconds.
inline void OnNextModal(std::function<void(QWidget*)> act, QWidget* except = nullptr)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, act, except, started]() {
        QWidget* shown = QApplication::activePopupWidget();
        if (shown == nullptr) {
            shown = QApplication::activeModalWidget();
        }
        if (shown != nullptr && shown != except && shown->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(shown);
            // A failed check inside `act` must not leave the test waiting on
            // a dialog nobody will close.
            if (QTest::currentTestFailed()) {
                if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    dialog->reject();
                } else if (QWidget* popup = QApplication::activePopupWidget()) {
                    popup->close();
                }
            }
        } else if (++*started > 1000) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(5);
}

} // namespace vantomo
