#include <QWidget>

#include "document/Commands.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

namespace {

// The first pane of type T under `window` that is shown, or any when none is.
template <typename T>
T* FindPane(QWidget* window)
{
    if (window == nullptr) {
        return nullptr;
    }
    if (auto* self = qobject_cast<T*>(window)) {
        return self;
    }
    const QList<T*> panes = window->findChildren<T*>();
    for (T* pane : panes) {
        if (pane->isVisible()) {
            return pane;
        }
    }
    return panes.isEmpty() ? nullptr : panes.front();
}

} // namespace

std::optional<std::string> AskNameInPlace(QWidget* mainWindow, int commandId, std::string_view currentCp932)
{
    const QString current = FromCp932(currentCp932);
    std::optional<QString> typed;
    QWidget* pane = nullptr;
    switch (commandId) {
    case kCmdRenameModel:
    case kCmdRenameCharacter:
        if (auto* tree = FindPane<CHierarchyView>(mainWindow)) {
            pane = tree;
            typed = tree->EditNameInPlace(commandId, current);
        }
        break;
    case kCmdRenameAnimation:
        if (auto* list = FindPane<CAnimationListView>(mainWindow)) {
            pane = list;
            typed = list->EditNameInPlace(current);
        }
        break;
    case kCmdRenameMaterial:
        if (auto* list = FindPane<CMaterialView>(mainWindow)) {
            pane = list;
            typed = list->EditNameInPlace(current);
        }
        break;
    default:
        break;
    }
    if (!typed) {
        return std::nullopt;
    }
    std::optional<std::string> name = ToCp932(*typed);
    if (!name) {
        ShowPaneMessage(pane != nullptr ? pane->window() : mainWindow, kNameNotCp932Message);
    }
    return name;
}

} // namespace vantomo
