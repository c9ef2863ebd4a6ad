#include "shell/panes/DialogFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace vantomo {

namespace {

QSettings Settings() { return QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")); }

bool IsFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

} // namespace

QString DialogStartFolder(const QString& preferred)
{
    if (IsFolder(preferred)) {
        return QFileInfo(preferred).absoluteFilePath();
    }
    const QString last = Settings().value(QLatin1String(kLastFolderSetting)).toString();
    if (IsFolder(last)) {
        return last;
    }
    return QDir::homePath();
}

void RememberDialogFolder(const QString& chosenFile)
{
    if (chosenFile.isEmpty()) {
        return;
    }
    QSettings settings = Settings();
    settings.setValue(QLatin1String(kLastFolderSetting), QFileInfo(chosenFile).absolutePath());
}

} // namespace vantomo
