// The document's user interface on Qt: file, colour and question dialogs,
// message boxes, the key, frame, export and material dialogs, renaming in
// place, and the commands of the program's windows, which go to the main
// window.
#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

#include "document/UserInterface.h"

class QMessageBox;
class QWidget;

namespace vantomo {

class CMainFrame;

// "Desc|*.a;*.b|Desc|*.c|" to Qt's "Desc (*.a *.b);;Desc (*.c)". A
// description that already ends in "(...)" keeps only its text before it.
QString QtFileFilter(const QString& filter);

// The extension a name typed without one takes under a Qt filter such as
// "xamlファイル (*.xaml)": the first pattern's; "" for "*" or none.
QString DefaultSuffixOf(const QString& qtFilter);

// A message of the document in the language in force: the whole text when
// the catalog holds it, else its lines one by one.
QString TranslateMessage(std::string_view utf8);

// A message box's text: a message of more than kMessageLinesShown lines shows
// its first lines, with the whole text under the box's details.
inline constexpr int kMessageLinesShown = 16;
void SetMessageText(QMessageBox& box, const QString& text);

// True while long work (reading or writing a file) runs. Its progress dialog
// lets events through, so the playback timer must not move the frame under it.
bool LongWorkRunning();

// Long work on Qt: nothing is shown for the first half second, then a modal
// progress dialog, updated a few dozen times a second. Cancel (when offered)
// makes the next report refuse.
class QtProgress final : public Progress {
public:
    QtProgress(QWidget* parent, const QString& text, bool cancellable);
    ~QtProgress() override;
    QtProgress(const QtProgress&) = delete;
    QtProgress& operator=(const QtProgress&) = delete;

    bool Report(std::uint64_t done, std::uint64_t total) override;

    // The dialog, for tests.
    QProgressDialog& Dialog() { return m_dialog; }

    static constexpr qint64 kShowAfterMs = 500;
    static constexpr qint64 kUpdateEveryMs = 40;

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
    qint64 m_lastUpdate = 0;
    bool m_cancellable;
    bool m_shown = false;
};

class QtUserInterface final : public UserInterface {
public:
    QtUserInterface() = default;

    // The window the dialogs belong to and the commands go to; set once the
    // main window exists (the document is made before it).
    void SetFrame(CMainFrame* frame) { m_frame = frame; }

    void ShowMessage(std::string_view text) override;
    std::optional<std::string> AskPath(const FileDialogRequest& request) override;
    SaveChoice AskYesNoCancel(std::string_view text) override;
    std::optional<std::uint32_t> AskColor(std::uint32_t initial) override;
    bool RunKeyFrameDialog(KeyFrameDialog& dialog) override;
    bool RunFrameInsertDialog(FrameInsertDialog& dialog) override;
    bool RunFrameDeleteDialog(FrameDeleteDialog& dialog) override;
    bool RunExportDialog(ExportDialog& dialog) override;
    bool RunMaterialDialog(MaterialDialog& dialog) override;
    void BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit) override;
    void RunShellCommand(int commandId) override;
    bool IsShellCommandChecked(int commandId) const override;
    std::unique_ptr<Progress> BeginProgress(std::string_view title, bool cancellable) override;
    bool RunVideoDialog(VideoDialog& dialog) override;
    // The 3D view draws the frames in its own context; none while it has no working one.
    FrameDrawer* VideoFrameDrawer() override;

private:
    QWidget* Parent() const;
    CMainFrame* m_frame = nullptr;
};

} // namespace vantomo
