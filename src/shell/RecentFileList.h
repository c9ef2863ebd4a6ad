// The last projects opened or saved, kept in the settings, and their items in
// the File menu.
#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace vantomo {

class RecentFileList final : public QObject {
public:
    static constexpr int kCount = 4;

    // `open` runs when an item is chosen; it says whether the file opened.
    RecentFileList(QObject* owner, std::function<bool(const QString&)> open);

    // The items go into `menu` before `end` (a separator).
    void AttachMenu(QMenu* menu, QAction* end);
    // The newest first, at most kCount.
    QStringList Files() const;
    // `path` becomes the newest (an absolute path, once).
    void Add(const QString& path);
    // Shows the list again, as in the language in force.
    void RebuildMenu();

private:
    void Open(const QString& path);
    void Store(const QStringList& files);

    std::function<bool(const QString&)> m_open;
    QMenu* m_menu = nullptr;
    QAction* m_end = nullptr;
    std::vector<QAction*> m_actions;
};

} // namespace vantomo
