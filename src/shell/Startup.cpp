#include "shell/Startup.h"

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "document/Commands.h"
#include "scene/AppValues.h"
#include "shell/MainFrame.h"

namespace vantomo {

bool ParseStartupOptions(const QStringList& arguments, StartupOptions& options, QString& error)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--screenshot") && hasValue) {
            options.screenshot = arguments[++i];
        } else if (a == QLatin1String("--language") && hasValue) {
            options.language = arguments[++i];
        } else if (a == QLatin1String("--quit-after") && hasValue) {
            bool ok = false;
            options.quitAfterMs = arguments[++i].toInt(&ok);
            if (!ok || options.quitAfterMs < 0) {
                error = QStringLiteral("--quit-after needs a count of milliseconds");
                return false;
            }
        } else if (a == QLatin1String("--play")) {
            options.play = true;
        } else if (a == QLatin1String("--no-registration")) {
            options.noRegistration = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("unknown option or missing value: ") + a;
            return false;
        } else if (options.file.isEmpty()) {
            options.file = a;
        } else {
            error = QStringLiteral("only one file can be opened: ") + a;
            return false;
        }
    }
    return true;
}

bool UsesGlView(const QString& platformName) { return platformName != QLatin1String("offscreen"); }

void ScheduleStartupActions(CMainFrame& frame, const StartupOptions& options)
{
    if (options.play) {
        QTimer::singleShot(200, &frame, [&frame] { frame.Execute(kCmdPlay); });
    }
    if (!options.language.isEmpty()) {
        QTimer::singleShot(100, &frame, [&frame, language = options.language] {
            if (QString::fromStdString(frame.LanguageName()) != language) {
                frame.RunShellCommand(kCmdLanguage);
            }
        });
    }
    const int delay = options.quitAfterMs >= 0 ? options.quitAfterMs : 1500;
    if (!options.screenshot.isEmpty()) {
        QTimer::singleShot(delay, &frame, [&frame, path = options.screenshot] {
            frame.Execute(kCmdStop);
            const QPixmap picture = frame.screen()->grabWindow(0, frame.x(), frame.y(),
                                                               frame.frameGeometry().width(),
                                                               frame.frameGeometry().height());
            const bool saved = !picture.isNull() && picture.save(path, "PNG");
            QApplication::exit(saved ? 0 : 1);
        });
    } else if (options.quitAfterMs >= 0) {
        QTimer::singleShot(options.quitAfterMs, &frame, [] { QApplication::exit(0); });
    }
}

} // namespace vantomo
