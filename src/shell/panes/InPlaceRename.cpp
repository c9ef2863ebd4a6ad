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

bool BeginRenameInPlace(QWidget* mainWindow, const RenameTarget& target,
                        std::function<void(const std::string&)> commit)
{
    switch (target.commandId) {
    case kCmdRenameModel:
    case kCmdRenameCharacter:
        if (auto* tree = FindPane<CHierarchyView>(mainWindow)) {
            return tree->BeginRename(target, std::move(commit));
        }
        break;
    case kCmdRenameAnimation:
        if (auto* list = FindPane<CAnimationListView>(mainWindow)) {
            return list->BeginRename(target, std::move(commit));
        }
        break;
    case kCmdRenameMaterial:
        if (auto* list = FindPane<CMaterialView>(mainWindow)) {
            return list->BeginRename(target, std::move(commit));
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace vantomo
