#include "shell/RecentFileList.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QTimer>

namespace vantomo {

namespace {

const QString kKey = QStringLiteral("Recent File List");

QSettings Settings() { return QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")); }

} // namespace

RecentFileList::RecentFileList(QObject* owner, std::function<bool(const QString&)> open)
    : QObject(owner), m_open(std::move(open))
{
}

void RecentFileList::AttachMenu(QMenu* menu, QAction* end)
{
    m_menu = menu;
    m_end = end;
    RebuildMenu();
}

QStringList RecentFileList::Files() const
{
    QStringList files = Settings().value(kKey).toStringList();
    while (files.size() > kCount) {
        files.removeLast();
    }
    return files;
}

void RecentFileList::Store(const QStringList& files)
{
    QSettings settings = Settings();
    settings.setValue(kKey, files);
}

void RecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = Files();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kCount) {
        files.removeLast();
    }
    Store(files);
    RebuildMenu();
}

void RecentFileList::RebuildMenu()
{
    if (m_menu == nullptr) {
        return;
    }
    for (QAction* action : m_actions) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    m_actions.clear();
    const QStringList files = Files();
    if (files.isEmpty()) {
        auto* empty = new QAction(QCoreApplication::translate("Commands", "最近使ったﾌｧｲﾙ"), this);
        empty->setEnabled(false);
        m_menu->insertAction(m_end, empty);
        m_actions.push_back(empty);
        return;
    }
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), this);
        connect(action, &QAction::triggered, this, [this, path] { Open(path); });
        m_menu->insertAction(m_end, action);
        m_actions.push_back(action);
    }
}

void RecentFileList::Open(const QString& path)
{
    if (!m_open(path)) {
        // A file that cannot be opened leaves the list, as it always did; the
        // menu is rebuilt once the chosen item's signal has returned.
        QStringList files = Files();
        files.removeAll(path);
        Store(files);
        QTimer::singleShot(0, this, &RecentFileList::RebuildMenu);
    }
}

} // namespace vantomo
