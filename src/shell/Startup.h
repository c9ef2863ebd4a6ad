// The command line of the desktop program: a file to open, and the options
// the tests and the screenshot script use to drive a real window.
#pragma once

#include <QString>
#include <QStringList>

namespace vantomo {

class CMainFrame;

struct StartupOptions {
    QString file;            // a project or Metasequoia document to open
    QString screenshot;      // --screenshot PNG: save the window's picture, then quit
    QString language;        // --language English|Japanese: switch before the screenshot
    int quitAfterMs = -1;    // --quit-after MS: quit by itself (with --screenshot: shoot first)
    bool play = false;       // --play: start playback at once
    bool noRegistration = false; // --no-registration: leave the file-type registration alone
};

// False with the reason in `error` for an unknown option or a bad value.
bool ParseStartupOptions(const QStringList& arguments, StartupOptions& options, QString& error);

// Whether the 3D view can be an OpenGL widget on this Qt platform: not on
// the offscreen one, where QOpenGLWidget crashes in Qt 6.4.
bool UsesGlView(const QString& platformName);

// Timers for --play, --screenshot and --quit-after.
void ScheduleStartupActions(CMainFrame& frame, const StartupOptions& options);

} // namespace vantomo
