// The desktop program as users expect it, on Qt's offscreen platform: the
// prompts in the status bar and the tool tips, Qt's own texts in Japanese,
// the layout kept across runs, where file dialogs open, a small window's
// control panel, English that reads as English, and Help without a browser.
#include "ShellFixture.h"

#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTranslator>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "document/Commands.h"
#include "shell/Language.h"
#include "shell/VantomoView.h"
#include "shell/panes/DialogFolders.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"

namespace vantomo {

namespace {

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString PromptOf(int id) { return Utf8(CommandPrompt(*FindCommand(id))); }

QToolButton* Button(CMainFrame& frame, QToolBar* bar, int id)
{
    return qobject_cast<QToolButton*>(bar->widgetForAction(frame.Action(id)));
}

void Hover(QWidget* widget)
{
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(widget, &enter);
}

void Leave(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

bool HasJapanese(const QString& text)
{
    static const QRegularExpression kana(QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(kana);
}

// Scrolls `area` as far as it goes to show the whole of `control` (a line
// edit would only show its cursor through ensureWidgetVisible).
void Reveal(QScrollArea* area, QWidget* control)
{
    const QRect rect(control->mapTo(area->widget(), QPoint(0, 0)), control->size());
    const auto reveal = [](QScrollBar* bar, int low, int high, int visible) {
        if (low < bar->value()) {
            bar->setValue(low);
        } else if (high >= bar->value() + visible) {
            bar->setValue(high - visible + 1);
        }
    };
    reveal(area->horizontalScrollBar(), rect.left(), rect.right(), area->viewport()->width());
    reveal(area->verticalScrollBar(), rect.top(), rect.bottom(), area->viewport()->height());
}

// Waits for the message boxes `modals` answers, up to two seconds.
void WaitForMessage(const ModalWatcher& modals)
{
    for (int i = 0; i < 200 && modals.texts.isEmpty(); ++i) {
        QTest::qWait(10);
    }
}

TEST_F(ShellTest, PromptsShowWhileAnItemIsUnderThePointerAndTipsNameTheCommand)
{
    frame->show();
    QToolButton* saveAs = Button(*frame, frame->MainToolBar(), kCmdFileSaveAs);
    ASSERT_NE(saveAs, nullptr);
    EXPECT_EQ(saveAs->toolTip(), QStringLiteral("名前を付けて保存"));
    Hover(saveAs);
    EXPECT_EQ(frame->statusBar()->currentMessage(), PromptOf(kCmdFileSaveAs));
    Leave(saveAs);
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty()) << "ready again";

    // A menu item under the pointer.
    QMenu* animation = frame->menuBar()->actions().at(4)->menu();
    animation->popup(QPoint(0, 0));
    animation->setActiveAction(frame->Action(kCmdPrevKey));
    EXPECT_EQ(frame->statusBar()->currentMessage(), PromptOf(kCmdPrevKey));
    animation->close();

    // The tree's context menu, opened from the keyboard, says what its items do.
    auto* tree = frame->findChild<CHierarchyView*>();
    tree->setFocus();
    tree->setCurrentItem(tree->CharacterItem(0));
    QString shown;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* item : menu->actions()) {
            if (item->data().toInt() == kCmdAddCharacter) {
                menu->setActiveAction(item);
            }
        }
        shown = frame->statusBar()->currentMessage();
        menu->close();
    });
    QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(shown, PromptOf(kCmdAddCharacter));
    EXPECT_TRUE(frame->statusBar()->currentMessage().isEmpty()) << "cleared when the menu closes";

    // Every prompt belongs to a command and has its English.
    QTranslator catalog;
    ASSERT_TRUE(catalog.load(QStringLiteral(":/i18n/vantomo_en.qm")));
    for (const auto& [name, prompt] : CommandPrompts()) {
        EXPECT_NE(FindCommand(name), nullptr) << name;
        const std::string text(prompt);
        EXPECT_FALSE(catalog.translate("Prompts", text.c_str()).isEmpty()) << text;
    }

    doc->Execute(kCmdLanguage);
    EXPECT_EQ(saveAs->toolTip(), QStringLiteral("Save As"));
    Hover(saveAs);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Save the document under a new name, or export it as XAML, Metasequoia or glTF"));
    Leave(saveAs);
}

TEST(MenuItemName, TheAccessKeyTheDotsAndTheShortcutGo)
{
    EXPECT_EQ(MenuItemName(QStringLiteral("名前を付けて保存(&A)...\tCtrl+A")), QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(MenuItemName(QStringLiteral("Save &As...\tCtrl+A")), QStringLiteral("Save As"));
    EXPECT_EQ(MenuItemName(QStringLiteral("Previous Key Frame (&B)\tCtrl+H")), QStringLiteral("Previous Key Frame"));
    EXPECT_EQ(MenuItemName(QStringLiteral("Copy && Paste")), QStringLiteral("Copy & Paste"));
}

TEST_F(ShellTest, JapaneseModeShowsQtsOwnTextsInJapanese)
{
    ASSERT_FALSE(QtJapaneseCatalog().isEmpty()) << "Qt's catalog comes with qt6-translations-l10n";
    ASSERT_EQ(doc->Scene().m_languageName, "Japanese");
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("キャンセル"));
    EXPECT_EQ(QCoreApplication::translate("QColorDialog", "Select Color"), QStringLiteral("色を選択"));

    doc->Execute(kCmdLanguage);
    QMessageBox english(QMessageBox::Question, QString(), QString(), QMessageBox::Cancel);
    EXPECT_EQ(english.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(frame->Action(kCmdFileNew)->text(), QStringLiteral("&New\tCtrl+N"));
}

TEST_F(ShellTest, TheLayoutIsKeptWhenTheWindowClosesAndComesBackAtTheNextStart)
{
    EXPECT_FALSE(frame->RestoreLayout()) << "a first start keeps nothing";
    frame->setGeometry(40, 60, 720, 600); // inside the offscreen screen's 800 x 800
    frame->show();
    QApplication::processEvents();
    frame->addToolBar(Qt::BottomToolBarArea, frame->ControlToolBar());
    frame->Execute(kCmdStatusBar);
    auto* columns = qobject_cast<QSplitter*>(frame->centralWidget());
    columns->setSizes({260, columns->width() - 260 - columns->handleWidth()});
    QApplication::processEvents();
    const int client = frame->height() - frame->menuBar()->height();
    frame->LeftSplitter()->setSizes({120, 200, client - 320});
    const QList<int> rows = frame->LeftSplitter()->sizes();
    ASSERT_TRUE(frame->close());

    CMainFrame again(*doc, ui, false);
    ASSERT_TRUE(again.RestoreLayout());
    again.show();
    QApplication::processEvents();
    EXPECT_EQ(again.size(), QSize(720, 600));
    EXPECT_EQ(again.toolBarArea(again.ControlToolBar()), Qt::BottomToolBarArea);
    EXPECT_TRUE(again.statusBar()->isHidden());
    EXPECT_FALSE(again.Action(kCmdStatusBar)->isChecked());
    EXPECT_EQ(qobject_cast<QSplitter*>(again.centralWidget())->sizes().at(0), 260);
    EXPECT_EQ(again.LeftSplitter()->sizes(), rows) << "at the height they were left at";

    // Another height lays the rows out by the rule again.
    again.resize(720, 700);
    QApplication::processEvents();
    const int taller = again.height() - again.menuBar()->height();
    EXPECT_EQ(again.LeftSplitter()->sizes().at(0), taller / 2);

    // A place the screen no longer has comes back inside it.
    again.setGeometry(3000, 2000, 500, 400);
    again.SaveLayout();
    CMainFrame moved(*doc, ui, false);
    ASSERT_TRUE(moved.RestoreLayout());
    EXPECT_TRUE(moved.screen()->availableGeometry().contains(moved.geometry()));
    EXPECT_EQ(moved.size(), QSize(500, 400));
}

TEST_F(ShellTest, FileDialogsOpenInTheDocumentsFolderElseTheLastOneUsedElseHome)
{
    QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")).remove(QLatin1String(kLastFolderSetting));
    EXPECT_EQ(DialogStartFolder(QString()), QDir::homePath());
    QTemporaryDir used;
    QTemporaryDir project;
    RememberDialogFolder(used.filePath(QStringLiteral("a.mqo")));
    EXPECT_EQ(DialogStartFolder(QString()), used.path());
    EXPECT_EQ(DialogStartFolder(project.path() + QStringLiteral("/gone")), used.path());
    EXPECT_EQ(DialogStartFolder(project.path()), project.path());

    // The open dialog of a saved project starts beside it; choosing a file
    // elsewhere makes that the last folder used.
    ASSERT_TRUE(doc->OnSaveDocument(QFile::encodeName(project.filePath(QStringLiteral("walk.vtm"))).toStdString()));
    QString start;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        start = dialog->directory().absolutePath();
        dialog->reject();
    });
    doc->Execute(kCmdFileOpen);
    EXPECT_EQ(start, project.path());
    EXPECT_NE(start, QCoreApplication::applicationDirPath());
}

TEST_F(ShellTest, ASmallWindowKeepsEveryPanelControlInReach)
{
    OpenSample();
    const QFontMetrics metrics(Panel().ValueField(0)->font());
    for (const QSize size : {QSize(800, 600), QSize(640, 480)}) {
        frame->resize(size);
        frame->show();
        QApplication::processEvents();
        QScrollArea* area = Panel().ScrollArea();
        std::vector<QWidget*> controls = {Panel().CurrentFrameField(), Panel().LastFrameField(), Panel().RateList(),
                                          Panel().Slider()};
        for (int i = 0; i < 4; ++i) {
            controls.push_back(Panel().ValueField(i));
            controls.push_back(Panel().EnableButton(i));
            EXPECT_GE(Panel().ValueField(i)->width(), metrics.horizontalAdvance(QStringLiteral("-1500.000000")));
        }
        for (QWidget* control : controls) {
            Reveal(area, control);
            const QRect shown(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
            EXPECT_TRUE(area->viewport()->rect().contains(shown))
                << size.width() << "x" << size.height() << ": " << control->metaObject()->className() << " at "
                << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height() << " in "
                << area->viewport()->width() << "x" << area->viewport()->height() << " form "
                << area->widget()->width() << "x" << area->widget()->height();
        }
        if (size.width() == 800) {
            // The frame fields wrap: the rate box needs no scrolling here.
            area->horizontalScrollBar()->setValue(0);
            const QRect rate(Panel().RateList()->mapTo(area->viewport(), QPoint(0, 0)), Panel().RateList()->size());
            EXPECT_GT(Panel().FieldRows(), 1);
            EXPECT_TRUE(area->viewport()->rect().contains(rate));
        }
    }
    // A wide window keeps the form's one row.
    frame->resize(1280, 900);
    QApplication::processEvents();
    EXPECT_EQ(Panel().FieldRows(), 1);
}

TEST_F(ShellTest, EnglishMenusAndLabelsAreWholeEnglishWords)
{
    frame->show();
    doc->Execute(kCmdLanguage);
    ASSERT_EQ(doc->Scene().m_languageName, "English");
    for (QAction* title : frame->menuBar()->actions()) {
        QString keys;
        for (QAction* item : title->menu()->actions()) {
            const QString text = item->text();
            // The recent files' placeholder is no command.
            if (item->isSeparator() || text.isEmpty() || (!item->isEnabled() && !text.contains(QLatin1Char('&')))) {
                continue;
            }
            EXPECT_FALSE(HasJapanese(text)) << text.toStdString();
            EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\\(&.\\)")))) << text.toStdString();
            const qsizetype amp = text.indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0) << text.toStdString();
            const QChar key = text.at(amp + 1).toUpper();
            EXPECT_FALSE(keys.contains(key)) << "two items take " << QString(key).toStdString() << " in "
                                             << title->text().toStdString();
            keys += key;
        }
    }
    // The toolbars: whole words, none cut.
    EXPECT_EQ(frame->Action(kCmdFirstFrame)->iconText(), QStringLiteral("First"));
    EXPECT_EQ(frame->Action(kCmdPrevKey)->iconText(), QStringLiteral("Prev Key"));
    EXPECT_EQ(frame->Action(kCmdSmoothShading)->iconText(), QStringLiteral("Shading"));
    for (QToolBar* bar : {frame->MainToolBar(), frame->ControlToolBar()}) {
        for (QAction* action : bar->actions()) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
            if (button == nullptr) {
                continue;
            }
            EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(action->iconText()) + 4)
                << action->iconText().toStdString();
        }
    }
    // Where the two bars do not fit across the window, the control bar takes
    // a row of its own (from the 3D view's height) instead of hiding buttons.
    frame->resize(900, 800);
    QApplication::processEvents();
    EXPECT_GT(frame->ControlToolBar()->y(), frame->MainToolBar()->y());
    for (QAction* action : frame->ControlToolBar()->actions()) {
        if (QWidget* button = frame->ControlToolBar()->widgetForAction(action); button != nullptr && !action->isSeparator()) {
            EXPECT_TRUE(button->isVisible()) << action->iconText().toStdString();
        }
    }
    const int client = frame->height() - frame->menuBar()->height();
    EXPECT_EQ(frame->ThreeDView()->height(),
              ThreeDRowHeight(client, frame->ToolBarHeight(), BarPlace::Top, BarPlace::Top) - frame->ToolBarHeight());
    frame->resize(2600, 800);
    QApplication::processEvents();
    EXPECT_EQ(frame->ControlToolBar()->y(), frame->MainToolBar()->y()) << "one row again where they fit";

    // The texts the document passes on: filters and the untitled question.
    for (const char* filter : {kOpenFilter, kSaveFilter, kAddModelFilter, kVideoFilter}) {
        EXPECT_FALSE(HasJapanese(QCoreApplication::translate("Filters", filter))) << filter;
    }
    doc->SetModifiedFlag(true);
    modals.answer = QMessageBox::Cancel;
    doc->Execute(kCmdFileNew);
    ASSERT_EQ(modals.texts.size(), 1);
    EXPECT_EQ(modals.texts.front(), QStringLiteral("Save changes to Untitled?"));
}

TEST_F(ShellTest, HelpTopicsSaysSoWhenNoBrowserCanBeStarted)
{
    frame->SetBrowserCommand(QStringLiteral("false"));
    frame->Execute(kCmdHelp);
    WaitForMessage(modals);
    ASSERT_EQ(modals.texts.size(), 1);
    EXPECT_TRUE(modals.texts.front().contains(QStringLiteral("index.html"))) << modals.texts.front().toStdString();

    modals.texts.clear();
    frame->SetBrowserCommand(QStringLiteral("true"));
    frame->Execute(kCmdHelp);
    QTest::qWait(300);
    EXPECT_TRUE(modals.texts.isEmpty()) << "a browser that started says nothing";
}

TEST_F(ShellTest, MissingTexturesAreOneMessageAndALongListKeepsItsRestInTheDetails)
{
    QTemporaryDir folder;
    const QString mqo = folder.filePath(QStringLiteral("textured.mqo"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(VANTOMO_TEST_DATA_DIR "/mqo/textured.mqo"), mqo));
    doc->Textures().baseFolder.clear();
    ASSERT_TRUE(doc->AddModelFromPath(QFile::encodeName(mqo).toStdString()).ok);
    ASSERT_EQ(modals.texts.size(), 1);
    EXPECT_EQ(modals.texts.front(), QStringLiteral("ファイルが見つからないか、この画像ファイルには対応していません！\nwood.bmp"));

    QStringList lines;
    for (int i = 0; i < 40; ++i) {
        lines << QStringLiteral("texture%1.bmp").arg(i);
    }
    QMessageBox box;
    SetMessageText(box, lines.join(QLatin1Char('\n')));
    EXPECT_EQ(box.text().count(QLatin1Char('\n')), kMessageLinesShown);
    EXPECT_EQ(box.detailedText(), lines.join(QLatin1Char('\n')));
    QMessageBox shortBox;
    SetMessageText(shortBox, QStringLiteral("a\nb"));
    EXPECT_EQ(shortBox.text(), QStringLiteral("a\nb"));
    EXPECT_TRUE(shortBox.detailedText().isEmpty());
}

TEST(HiDpi, TheFramebufferRoundsAsQtDoesAndPointsAreFloored)
{
    EXPECT_EQ(FramebufferSize(QSize(101, 75), 1.5), QSize(152, 113));
    EXPECT_EQ(FramebufferSize(QSize(640, 480), 1.0), QSize(640, 480));
    EXPECT_EQ(FramebufferSize(QSize(333, 201), 1.25), QSize(416, 251));
    EXPECT_EQ(ViewPoint(QPointF(10.7, 3.2)), QPoint(10, 3));
    EXPECT_EQ(ViewPoint(QPointF(-0.5, -3.2)), QPoint(-1, -4)) << "a drag left of the view keeps its direction";
}

} // namespace

} // namespace vantomo
