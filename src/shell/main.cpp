// vantomo: the desktop program.
#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSurfaceFormat>
#include <QTimer>

#include "document/Document.h"
#include "shell/DesktopIntegration.h"
#include "shell/MainFrame.h"
#include "shell/QtUserInterface.h"
#include "shell/Startup.h"

using namespace vantomo;


int main(int argc, char** argv)
{
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Vantomo"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantomo"));

    StartupOptions options;
    QString error;
    if (!ParseStartupOptions(QCoreApplication::arguments(), options, error)) {
        fputs(qPrintable(error + QLatin1Char('\n')), stderr);
        return 2;
    }

    // The file type is registered again at every start, as it always was.
    if (!options.noRegistration) {
        (void)InstallFileType(UserDataHome(), QCoreApplication::applicationFilePath());
    }

    int result = 0;
    {
        QtUserInterface ui;
        CVantomoDoc doc(ui);
        CMainFrame frame(doc, ui, UsesGlView(QGuiApplication::platformName()));
        ui.SetFrame(&frame);
        frame.OnChange(Change::Layout);
        if (frame.RestoreLayout()) {
            frame.show(); // maximised again if it was
        } else {
            // Without a window manager (Xvfb) maximising does nothing: take
            // the screen's working area first.
            frame.setGeometry(frame.screen()->availableGeometry());
            frame.showMaximized();
        }
        if (!options.file.isEmpty()) {
            // The window is up first, so that a long open shows its progress
            // over it. A file that cannot be opened ends the program, as it
            // always did; an import the user stopped leaves the empty scene.
            QCoreApplication::processEvents();
            const std::string path = QFile::encodeName(options.file).toStdString();
            if (!doc.OnOpenDocument(path) && !doc.LastFailure().empty()) {
                ui.SetFrame(nullptr);
                return 1;
            }
        }
        ScheduleStartupActions(frame, options);
        result = QApplication::exec();
        ui.SetFrame(nullptr);
    }
    return result;
}
