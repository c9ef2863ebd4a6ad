#include "shell/DesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace vantomo {

namespace {

const char* const kDesktopFile = "applications/vantomo.desktop";
const char* const kMimeFile = "mime/packages/vantomo.xml";
const char* const kIconFile = "icons/hicolor/scalable/apps/vantomo.svg";

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(bytes);
    return file.commit();
}

void RefreshDatabases(const QString& dataHome)
{
    const QString mime = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mime.isEmpty()) {
        QProcess::startDetached(mime, {dataHome + QStringLiteral("/mime")});
    }
    const QString desktop = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktop.isEmpty()) {
        QProcess::startDetached(desktop, {dataHome + QStringLiteral("/applications")});
    }
}

} // namespace

QString DesktopEntryText(const QString& executable)
{
    QString quoted = executable;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Vantomo\n"
                          "GenericName=Keyframe animation\n"
                          "GenericName[ja]=キーフレームアニメーション\n"
                          "Comment=Animate rigid 3D characters made in Metasequoia\n"
                          "Exec=\"%1\" %f\n"
                          "Icon=vantomo\n"
                          "Terminal=false\n"
                          "Categories=Graphics;3DGraphics;\n"
                          "MimeType=application/x-vantomo;\n")
        .arg(quoted);
}

QString MimePackageText()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"application/x-vantomo\">\n"
                          "    <comment>Vantomo Document</comment>\n"
                          "    <comment xml:lang=\"ja\">Vantomo ファイル</comment>\n"
                          "    <icon name=\"vantomo\"/>\n"
                          "    <glob pattern=\"*.vtm\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n");
}

QString UserDataHome() { return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation); }

bool InstallFileType(const QString& dataHome, const QString& executable, bool refresh)
{
    if (dataHome.isEmpty()) {
        return false;
    }
    QFile icon(QStringLiteral(":/icons/vantomo.svg"));
    const QByteArray iconBytes = icon.open(QIODevice::ReadOnly) ? icon.readAll() : QByteArray();
    const bool ok = WriteFile(dataHome + QLatin1Char('/') + QLatin1String(kDesktopFile),
                              DesktopEntryText(executable).toUtf8()) &&
                    WriteFile(dataHome + QLatin1Char('/') + QLatin1String(kMimeFile), MimePackageText().toUtf8()) &&
                    (iconBytes.isEmpty() ||
                     WriteFile(dataHome + QLatin1Char('/') + QLatin1String(kIconFile), iconBytes));
    if (refresh) {
        RefreshDatabases(dataHome);
    }
    return ok;
}

bool RemoveFileType(const QString& dataHome, bool refresh)
{
    if (dataHome.isEmpty()) {
        return false;
    }
    bool ok = true;
    for (const char* name : {kDesktopFile, kMimeFile, kIconFile}) {
        const QString path = dataHome + QLatin1Char('/') + QLatin1String(name);
        if (QFile::exists(path) && !QFile::remove(path)) {
            ok = false;
        }
    }
    if (refresh) {
        RefreshDatabases(dataHome);
    }
    return ok;
}

} // namespace vantomo
