#include "shell/QtUserInterface.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>
#include <limits>

#include "shell/MainFrame.h"
#include "shell/VantomoView.h"
#include "shell/VideoDialog.h"
#include "shell/panes/DialogFolders.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const QString patterns = parts[i + 1];
        if (description.isEmpty() && patterns.isEmpty()) {
            break;
        }
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) {
                description.truncate(open);
            }
        }
        QString joined = patterns;
        joined.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << description.trimmed() + QStringLiteral(" (") + joined + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

QString TranslateMessage(std::string_view utf8)
{
    const QByteArray source(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QString whole = QCoreApplication::translate("Messages", source.constData());
    if (whole != QString::fromUtf8(source)) {
        return whole;
    }
    QStringList lines = QString::fromUtf8(source).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = QCoreApplication::translate("Messages", line.toUtf8().constData());
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

int g_longWorkDepth = 0;

} // namespace

bool LongWorkRunning() { return g_longWorkDepth > 0; }

QtProgress::QtProgress(QWidget* parent, const QString& text, bool cancellable)
    : m_dialog(parent), m_cancellable(cancellable)
{
    ++g_longWorkDepth;
    m_dialog.setWindowTitle(QStringLiteral("Vantomo"));
    m_dialog.setLabelText(text);
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setAutoReset(false);
    m_dialog.setAutoClose(false);
    m_dialog.setRange(0, 1000);
    m_dialog.setValue(0);
    if (!cancellable) {
        m_dialog.setCancelButton(nullptr);
    } else {
        m_dialog.setCancelButtonText(QCoreApplication::translate("Messages", "キャンセル"));
    }
    // The dialog is shown by Report, never by its own timer.
    m_dialog.setMinimumDuration(std::numeric_limits<int>::max());
    m_dialog.hide();
    m_clock.start();
}

QtProgress::~QtProgress()
{
    m_dialog.hide();
    --g_longWorkDepth;
}

bool QtProgress::Report(std::uint64_t done, std::uint64_t total)
{
    const qint64 now = m_clock.elapsed();
    if (!m_shown) {
        if (now < kShowAfterMs) {
            return true;
        }
        m_shown = true;
        m_dialog.show();
    } else if (now - m_lastUpdate < kUpdateEveryMs) {
        return !m_cancellable || !m_dialog.wasCanceled();
    }
    m_lastUpdate = now;
    if (total > 0) {
        const std::uint64_t part = std::min(done, total);
        // In thousandths, without overflowing for any size.
        const std::uint64_t value = part <= std::numeric_limits<std::uint64_t>::max() / 1000
                                        ? part * 1000 / total
                                        : part / (total / 1000);
        m_dialog.setValue(static_cast<int>(value));
    } else {
        m_dialog.setRange(0, 0); // size unknown: a busy bar
    }
    // Paints the dialog and takes the click on Cancel; the dialog is modal, so
    // no other window takes input meanwhile.
    QCoreApplication::processEvents();
    return !m_cancellable || !m_dialog.wasCanceled();
}

std::unique_ptr<Progress> QtUserInterface::BeginProgress(std::string_view title, bool cancellable)
{
    return std::make_unique<QtProgress>(Parent(), TranslateMessage(title), cancellable);
}

QWidget* QtUserInterface::Parent() const { return m_frame; }

void QtUserInterface::ShowMessage(std::string_view text)
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Vantomo"), QString(), QMessageBox::Ok, Parent());
    SetMessageText(box, TranslateMessage(text));
    box.exec();
}

void SetMessageText(QMessageBox& box, const QString& text)
{
    // A long list (files, objects) would make a box taller than the screen:
    // its first lines show, and all of it is under the details.
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() <= kMessageLinesShown) {
        box.setText(text);
        return;
    }
    box.setText(lines.mid(0, kMessageLinesShown).join(QLatin1Char('\n')) + QStringLiteral("\n..."));
    box.setDetailedText(text);
}

QString DefaultSuffixOf(const QString& qtFilter)
{
    const qsizetype star = qtFilter.indexOf(QStringLiteral("*."));
    if (star < 0) {
        return {};
    }
    qsizetype end = star + 2;
    while (end < qtFilter.size() && qtFilter[end] != QLatin1Char(' ') && qtFilter[end] != QLatin1Char(')') &&
           qtFilter[end] != QLatin1Char(';')) {
        ++end;
    }
    const QString suffix = qtFilter.mid(star + 2, end - star - 2);
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}

std::optional<std::string> QtUserInterface::AskPath(const FileDialogRequest& request)
{
    const QString filter =
        QtFileFilter(QCoreApplication::translate("Filters", request.filter.c_str()));
    QFileDialog dialog(Parent(), QString(), DialogStartFolder(QFile::decodeName(request.initialFolder.c_str())),
                       filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // A name typed without an extension takes the kind of file chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& chosen) {
        const QString suffix = DefaultSuffixOf(chosen);
        dialog.setDefaultSuffix(suffix.isEmpty() ? QString::fromStdString(request.defaultExtension) : suffix);
    });
    if (!request.overwritePrompt) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    RememberDialogFolder(dialog.selectedFiles().front());
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

SaveChoice QtUserInterface::AskYesNoCancel(std::string_view text)
{
    // The one question the document asks names the file: translate its frame.
    QString shown;
    if (text.size() > kSaveQuestionTail.size() && text.ends_with(kSaveQuestionTail)) {
        const std::string_view name = text.substr(0, text.size() - kSaveQuestionTail.size());
        // An untitled document is named in the language in force.
        const QString title = name == kUntitledTitle ? QCoreApplication::translate("Messages", kUntitledTitle)
                                                     : QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        shown = QCoreApplication::translate("Messages", "%1 への変更を保存しますか?").arg(title);
    } else {
        shown = TranslateMessage(text);
    }
    const auto answer = QMessageBox::question(Parent(), QStringLiteral("Vantomo"), shown,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        return SaveChoice::Yes;
    }
    return answer == QMessageBox::No ? SaveChoice::No : SaveChoice::Cancel;
}

std::optional<std::uint32_t> QtUserInterface::AskColor(std::uint32_t initial)
{
    const QColor chosen = QColorDialog::getColor(DisplayColor(initial), Parent());
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(chosen.red()) | (static_cast<std::uint32_t>(chosen.green()) << 8) |
           (static_cast<std::uint32_t>(chosen.blue()) << 16);
}

// The five dialogs and renaming in place are the panes library's.
bool QtUserInterface::RunKeyFrameDialog(KeyFrameDialog& dialog) { return ShowKeyFrameDialog(Parent(), dialog); }
bool QtUserInterface::RunFrameInsertDialog(FrameInsertDialog& dialog)
{
    return ShowFrameInsertDialog(Parent(), dialog);
}
bool QtUserInterface::RunFrameDeleteDialog(FrameDeleteDialog& dialog)
{
    return ShowFrameDeleteDialog(Parent(), dialog);
}
bool QtUserInterface::RunExportDialog(ExportDialog& dialog) { return ShowExportDialog(Parent(), dialog); }
bool QtUserInterface::RunMaterialDialog(MaterialDialog& dialog) { return ShowMaterialDialog(Parent(), dialog); }
bool QtUserInterface::RunVideoDialog(VideoDialog& dialog) { return ShowVideoDialog(Parent(), dialog); }

FrameDrawer* QtUserInterface::VideoFrameDrawer()
{
    CVantomoView* view = m_frame != nullptr ? m_frame->GlView() : nullptr;
    if (view == nullptr || !view->isValid() || !view->Failure().isEmpty()) {
        return nullptr;
    }
    return view;
}
void QtUserInterface::BeginRename(const RenameTarget& target, std::function<void(const std::string&)> commit)
{
    BeginRenameInPlace(Parent(), target, std::move(commit));
}

void QtUserInterface::RunShellCommand(int commandId)
{
    if (m_frame != nullptr) {
        m_frame->RunShellCommand(commandId);
    }
}

bool QtUserInterface::IsShellCommandChecked(int commandId) const
{
    return m_frame != nullptr && m_frame->IsShellCommandChecked(commandId);
}

} // namespace vantomo
