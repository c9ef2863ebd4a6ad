// The main window and the control panel on Qt's offscreen platform.
#include "ShellFixture.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTranslator>

#include "document/Navigation.h"
#include "document/Commands.h"
#include "document/FrameValues.h"
#include "document/VideoExport.h"
#include "document/ViewRequests.h"
#include "shell/DesktopIntegration.h"
#include "shell/Language.h"
#include "base/Numbers.h"
#include "shell/OnionSkinSetting.h"
#include "shell/panes/DopeSheetView.h"
#include "shell/panes/Panes.h"

namespace vantomo {

namespace {

QString MenuTitles(const CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions()) {
        titles << action->text();
    }
    return titles.join(QLatin1Char(' '));
}

TEST_F(ShellTest, ATooSmallWindowGivesTheThreeDRowNoHeightAndTheTableCorrects)
{
    EXPECT_EQ(ThreeDRowHeight(100, 40, BarPlace::Top, BarPlace::Top), 0);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Top, BarPlace::Top), 620);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Floating, BarPlace::Floating), 660);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Floating, BarPlace::Left), 660);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Floating, BarPlace::Bottom), 620);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Right, BarPlace::Floating), 660);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Bottom, BarPlace::Floating), 620);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Top, BarPlace::Bottom), 580);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Bottom, BarPlace::Top), 580);
    EXPECT_EQ(ThreeDRowHeight(800, 40, BarPlace::Left, BarPlace::Right), 620);

    frame->resize(320, 150);
    frame->show();
    QApplication::processEvents();
    EXPECT_EQ(frame->RightSplitter()->sizes().at(0), 0);
}

TEST_F(ShellTest, PanesFollowTheLayoutRules)
{
    frame->resize(1280, 850); // wide enough for both bars on one row
    frame->show();
    QApplication::processEvents();
    const int client = frame->height() - frame->menuBar()->height();
    const QList<int> left = frame->LeftSplitter()->sizes();
    EXPECT_EQ(left.at(0), client / 2);
    EXPECT_EQ(left.at(1), client / 5);
    const int d = ThreeDRowHeight(client, frame->ToolBarHeight(), BarPlace::Top, BarPlace::Top);
    EXPECT_EQ(frame->ThreeDView()->height(), d);
    EXPECT_EQ(frame->RightSplitter()->handleWidth(), 1);
    EXPECT_FALSE(frame->RightSplitter()->handle(1)->isEnabled()) << "the bar cannot be dragged";
    EXPECT_EQ(frame->LeftSplitter()->width(), 200);
    EXPECT_EQ(frame->MainToolBar()->y(), frame->ControlToolBar()->y()) << "both bars share one row";
    EXPECT_GT(frame->ControlToolBar()->x(), frame->MainToolBar()->x());
}

TEST_F(ShellTest, TheDopeSheetTakesTheBottomOfTheThreeDRowWhileShown)
{
    frame->resize(1100, 850);
    frame->show();
    QApplication::processEvents();
    const int row = frame->ThreeDView()->height();
    ASSERT_NE(frame->DopeSheet(), nullptr);
    EXPECT_FALSE(frame->DopeSheet()->isVisible()) << "hidden until asked for";
    EXPECT_FALSE(doc->IsChecked(kCmdDopeSheet));
    frame->Execute(kCmdDopeSheet);
    QApplication::processEvents();
    EXPECT_TRUE(frame->DopeSheet()->isVisible());
    EXPECT_TRUE(doc->IsChecked(kCmdDopeSheet));
    EXPECT_TRUE(frame->Action(kCmdDopeSheet)->isChecked());
    EXPECT_GT(frame->DopeSheet()->y(), frame->ThreeDView()->y()) << "below the 3D view";
    EXPECT_EQ(frame->ThreeDView()->height() + frame->DopeSheet()->height(), row - 
              qobject_cast<QSplitter*>(frame->DopeSheet()->parentWidget())->handleWidth());
    EXPECT_TRUE(frame->DopeSheet()->hasFocus());
    frame->Execute(kCmdDopeSheet);
    QApplication::processEvents();
    EXPECT_FALSE(frame->DopeSheet()->isVisible());
    EXPECT_EQ(frame->ThreeDView()->height(), row);
}

TEST_F(ShellTest, TheTitleShowsAProjectPathInAnyScript)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("歩く.vtm"));
    ASSERT_TRUE(doc->OnSaveDocument(QFile::encodeName(path).toStdString()));
    EXPECT_EQ(frame->WindowTitleText(), QStringLiteral("Vantomo 1.7 - ") + path);
}

TEST_F(ShellTest, MenusCarryTheCommandTableAndNoMnemonicTakesAnAltAccelerator)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vantomo 1.7 - 無題"));
    QString altLetters;
    for (const CommandInfo& info : CommandTable()) {
        if (info.key.starts_with("Alt+") && info.key.size() == 5) {
            altLetters += QLatin1Char(info.key[4]);
        }
        if (info.owner == CommandOwner::None || info.id == kCmdRecentFile) {
            continue;
        }
        QAction* action = frame->Action(info.id);
        ASSERT_NE(action, nullptr) << info.id;
        // A toolbar button shows the picture named after its command.
        if (info.toolbar != 0) {
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(info.name.data(), info.name.size()))))
                << info.name;
        }
        // The model keys belong to the tree, which acts on its caret item.
        const QKeySequence key(QString::fromLatin1(info.key.data(), info.key.size()));
        if (info.scope == KeyScope::Tree) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << info.id;
            const QList<QAction*> treeActions = frame->findChild<CHierarchyView*>()->actions();
            EXPECT_TRUE(std::any_of(treeActions.begin(), treeActions.end(),
                                    [&key](const QAction* a) { return a->shortcut() == key; }))
                << info.id;
        } else {
            EXPECT_EQ(action->shortcut(), key) << info.id;
        }
        // The material list's two commands live in its own context menu.
        if (!info.menuText.empty() && info.id != kCmdMaterialColor && info.id != kCmdRenameMaterial) {
            EXPECT_EQ(action->text(), QString::fromUtf8(info.menuText.data(), info.menuText.size()));
            EXPECT_FALSE(action->associatedObjects().size() < 2) << "in a menu: " << info.id;
        }
    }
    for (const QString& language : {QStringLiteral("Japanese"), QStringLiteral("English")}) {
        QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")).setValue(QStringLiteral("Vantomo/Language"), language);
        frame->ApplyLanguage();
        for (QAction* menu : frame->menuBar()->actions()) {
            const qsizetype amp = menu->text().indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0) << menu->text().toStdString();
            const QChar letter = menu->text().at(amp + 1).toUpper();
            EXPECT_FALSE(altLetters.contains(letter)) << menu->text().toStdString();
        }
    }
}

TEST_F(ShellTest, TheVideoDialogEditsItsSettingsWithinTheChosenAnimation)
{
    VideoDialog dialog;
    dialog.settings.animation = 0;
    dialog.settings.lastFrame = 60;
    dialog.settings.fps = 30.0;
    dialog.animationNames = {"walk", "wave"};
    dialog.frameCounts = {61, 11};
    // Typed in the dialog while it runs: another animation (whose range
    // becomes all of it), a first frame, a size and a rate; then OK.
    QTimer::singleShot(50, [] {
        QWidget* window = QApplication::activeModalWidget();
        ASSERT_NE(window, nullptr);
        window->findChild<QComboBox*>(QStringLiteral("animation"))->setCurrentIndex(1);
        EXPECT_EQ(window->findChild<QSpinBox*>(QStringLiteral("last"))->value(), 10);
        EXPECT_EQ(window->findChild<QSpinBox*>(QStringLiteral("last"))->maximum(), 10);
        window->findChild<QSpinBox*>(QStringLiteral("first"))->setValue(3);
        window->findChild<QSpinBox*>(QStringLiteral("width"))->setValue(320);
        window->findChild<QSpinBox*>(QStringLiteral("height"))->setValue(240);
        window->findChild<QDoubleSpinBox*>(QStringLiteral("rate"))->setValue(12.5);
        window->grab().save(QStringLiteral(VANTOMO_BINARY_DIR "/video_dialog.png"));
        window->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    ASSERT_TRUE(ui.RunVideoDialog(dialog));
    EXPECT_EQ(dialog.settings.animation, 1);
    EXPECT_EQ(dialog.settings.firstFrame, 3);
    EXPECT_EQ(dialog.settings.lastFrame, 10);
    EXPECT_EQ(dialog.settings.width, 320);
    EXPECT_EQ(dialog.settings.height, 240);
    EXPECT_EQ(dialog.settings.fps, 12.5);

    // Cancel keeps the settings; without an OpenGL view nothing can draw.
    QTimer::singleShot(50, [] { QApplication::activeModalWidget()->close(); });
    dialog.settings.width = 100;
    EXPECT_FALSE(ui.RunVideoDialog(dialog));
    EXPECT_EQ(dialog.settings.width, 100);
    EXPECT_EQ(ui.VideoFrameDrawer(), nullptr);
    EXPECT_TRUE(doc->Execute(kCmdExportVideo));
    EXPECT_EQ(modals.texts.value(0).toStdString(), kVideoNoDrawingMessage);
}

TEST_F(ShellTest, TheEnglishCatalogCoversEveryMenuToolbarAndPanelText)
{
    QTranslator catalog;
    ASSERT_TRUE(catalog.load(QStringLiteral(":/i18n/vantomo_en.qm")));
    for (const CommandInfo& info : CommandTable()) {
        if (!info.menuText.empty()) {
            const std::string text(info.menuText);
            EXPECT_FALSE(catalog.translate("Commands", text.c_str()).isEmpty()) << text;
        }
    }
    for (const char* text : {"度", "現在のﾌﾚｰﾑ", "最後のﾌﾚｰﾑ", "1秒間のﾌﾚｰﾑ数"}) {
        EXPECT_FALSE(catalog.translate("ControlPanel", text).isEmpty()) << text;
    }
    for (const char* text : {kOpenFailedMessage, kSelectModelMessage, kSaveFailedMessage, kOpenFilter, kSaveFilter,
                             kOpeningProgress, kImportingProgress, kSavingProgress, kExportingProgress,
                             kUnreadObjectsMessage, kObjectsWithoutModelMessage, kVideoFilter, kVideoExportTitle,
                             kVideoExportFailedMessage, kVideoNoDrawingMessage, kSelectKeysMessage, kNotAKeyMessage,
                             kKeyInTheWayMessage, kNothingToPasteMessage, kNoPasteTargetMessage}) {
        const bool filter = text == kOpenFilter || text == kSaveFilter || text == kVideoFilter;
        EXPECT_FALSE(catalog.translate(filter ? "Filters" : "Messages", text).isEmpty())
            << text;
    }
    for (const char* label : kStepLabels) {
        EXPECT_FALSE(catalog.translate("UndoSteps", label).isEmpty()) << label;
    }
}

TEST_F(ShellTest, UndoAndRedoSayWhatTheyTakeInBothLanguages)
{
    OpenSample();
    frame->show();
    QAction* undo = frame->Action(kCmdUndo);
    QAction* redo = frame->Action(kCmdRedo);
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す(&U)\tCtrl+Z"));
    ASSERT_TRUE(doc->DeleteModel(0).ok);
    EXPECT_EQ(undo->text(), QStringLiteral("元に戻す: モデルの削除(&U)\tCtrl+Z"));
    EXPECT_TRUE(undo->isEnabled());

    doc->Execute(kCmdLanguage);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Delete Model\tCtrl+Z"));
    EXPECT_EQ(undo->toolTip(), QStringLiteral("Undo Delete Model"));
    frame->Execute(kCmdUndo);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo\tCtrl+Z"));
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Delete Model\tCtrl+Y"));
    doc->Execute(kCmdLanguage);
    EXPECT_EQ(redo->text(), QStringLiteral("繰り返す: モデルの削除(&R)\tCtrl+Y"));
}

TEST_F(ShellTest, TheLanguageSwitchChangesMenusLabelsAndPanelAndBack)
{
    frame->show();
    const QString japanese = MenuTitles(*frame);
    EXPECT_TRUE(japanese.contains(QStringLiteral("ファイル(&F)")));
    EXPECT_EQ(frame->Action(kCmdFileNew)->iconText(), QStringLiteral("新規"));

    doc->Execute(kCmdLanguage);
    EXPECT_EQ(doc->Scene().m_languageName, "English");
    EXPECT_TRUE(MenuTitles(*frame).contains(QStringLiteral("&File")));
    EXPECT_EQ(frame->Action(kCmdFileNew)->text(), QStringLiteral("&New\tCtrl+N"));
    EXPECT_EQ(frame->Action(kCmdFileNew)->iconText(), QStringLiteral("New"));
    EXPECT_EQ(frame->Action(kCmdFirstFrame)->iconText(), QStringLiteral("First"));
    EXPECT_EQ(Panel().EnableButton(3)->text(), QStringLiteral("Deg"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vantomo 1.7 - Untitled"));
    EXPECT_EQ(QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")).value(QStringLiteral("Vantomo/Language")),
              QStringLiteral("English"));

    doc->Execute(kCmdLanguage);
    EXPECT_EQ(MenuTitles(*frame), japanese);
    EXPECT_EQ(frame->Action(kCmdFirstFrame)->iconText(), QStringLiteral("最初"));
    EXPECT_EQ(Panel().EnableButton(3)->text(), QStringLiteral("度"));
}

TEST(Language, AMissingSettingFollowsTheLocale)
{
    EXPECT_EQ(ChooseLanguage(QString(), QLocale::Japanese), QStringLiteral("Japanese"));
    EXPECT_EQ(ChooseLanguage(QString(), QLocale::German), QStringLiteral("English"));
    EXPECT_EQ(ChooseLanguage(QStringLiteral("english"), QLocale::Japanese), QStringLiteral("Japanese"))
        << "compared exactly";
    EXPECT_EQ(ChooseLanguage(QStringLiteral("English"), QLocale::Japanese), QStringLiteral("English"));
    EXPECT_EQ(ToggledLanguage(QStringLiteral("Japanese")), QStringLiteral("English"));
    EXPECT_EQ(ToggledLanguage(QString()), QStringLiteral("English"));
}

TEST_F(ShellTest, TheSliderMovesTheFrameAndRepaintsTheViewWithoutStoppingPlayback)
{
    OpenSample();
    doc->Execute(kCmdPlay);
    ASSERT_EQ(g_playing, 1);
    const int before = frame->Invalidations();
    Panel().Slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(g_currentFrame, Panel().Slider()->value());
    EXPECT_GT(g_currentFrame, 0);
    EXPECT_EQ(Panel().CurrentFrameField()->text().toInt(), g_currentFrame);
    EXPECT_GT(frame->Invalidations(), before);
    EXPECT_EQ(g_playing, 1);
}

TEST_F(ShellTest, TypingTenInTheFrameFieldShowsFrameTenAndStopsPlayback)
{
    OpenSample();
    frame->show();
    doc->Execute(kCmdPlay);
    ASSERT_TRUE(Panel().PlaybackTimer().isActive());
    QLineEdit* field = Panel().CurrentFrameField();
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("10"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(g_currentFrame, 10);
    EXPECT_EQ(Panel().Slider()->value(), 10);
    EXPECT_EQ(g_playing, 0);
    EXPECT_FALSE(Panel().PlaybackTimer().isActive());

    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("500"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(g_currentFrame, 60) << "kept within the animation";
}

// Types `text` into `field` and presses Enter.
void Enter(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

TEST_F(ShellTest, AnUndoneEditNeverComesBackThroughAnotherField)
{
    OpenSample();
    frame->show();
    doc->SelectModelItem(0);
    const CVector before = doc->Scene().GetSelectedModel()->m_tracks[0][0].m_position;
    Enter(Panel().ValueField(0), QStringLiteral("50"));
    ASSERT_EQ(doc->Scene().GetSelectedModel()->m_tracks[0][0].m_position.x, 50.0f);
    frame->Execute(kCmdUndo);
    EXPECT_EQ(Panel().ValueField(0)->text().toFloat(), before.x) << "the field shows the undone value";
    Enter(Panel().ValueField(1), QStringLiteral("5"));
    const CVector after = doc->Scene().GetSelectedModel()->m_tracks[0][0].m_position;
    EXPECT_EQ(after.x, before.x) << "only the field typed in applies";
    EXPECT_EQ(after.y, 5.0f);
    EXPECT_EQ(after.z, before.z);
}

TEST_F(ShellTest, TheFieldsFollowEveryChangeAndARefusedLastFrameChangesNothing)
{
    OpenSample();
    frame->show();
    doc->SelectModelItem(0);
    Enter(Panel().CurrentFrameField(), QStringLiteral("12"));
    ASSERT_EQ(g_currentFrame, 12);
    // An import starts at frame 0 again: the readout says so.
    ASSERT_TRUE(doc->AddModelFromPath(std::string(VANTOMO_TEST_DATA_DIR) + "/mqo/textured.mqo").Complete());
    EXPECT_EQ(Panel().CurrentFrameField()->text(), QString::number(g_currentFrame));
    EXPECT_EQ(Panel().Slider()->value(), g_currentFrame);

    doc->SelectModelItem(0);
    doc->Execute(kCmdAddKeySelected);
    doc->SetModifiedFlag(false);
    const std::size_t history = doc->History().UndoCount();
    Enter(Panel().CurrentFrameField(), QStringLiteral("7"));
    for (const char* refused : {"-3", "99999999999"}) {
        Enter(Panel().LastFrameField(), QString::fromLatin1(refused));
        EXPECT_EQ(g_lastFrame, 60) << refused;
        EXPECT_EQ(Panel().LastFrameField()->text(), QStringLiteral("60")) << refused;
        EXPECT_EQ(g_currentFrame, 7) << refused;
        EXPECT_EQ(doc->History().UndoCount(), history) << refused;
        EXPECT_FALSE(doc->IsModified()) << refused;
    }

    // New: every field shows the new document.
    doc->Execute(kCmdFileNew);
    EXPECT_EQ(Panel().CurrentFrameField()->text(), QStringLiteral("0"));
    EXPECT_EQ(Panel().LastFrameField()->text(), QStringLiteral("60"));
    EXPECT_TRUE(Panel().Slider()->Ticks().empty());
}

TEST_F(ShellTest, APanWithAModelSelectedShowsTheModelsPosition)
{
    OpenSample();
    doc->SelectModelItem(0);
    const CVector position = doc->Scene().GetSelectedModel()->m_tracks[0][0].m_position;
    ViewMouseState mouse;
    MouseInput input{100, 100, 640.0f, 480.0f};
    input.middleButton = true;
    MiddleButtonDown(mouse, input);
    input.x = 140;
    input.y = 130;
    ApplyViewRequests(*doc, MouseMove(doc->Scene(), doc->View(), CurrentTime(), mouse, input, doc->m_mouseMode));
    EXPECT_NE(doc->Scene().GetCameraRecord().m_position.x, 0.0f) << "the camera panned";
    EXPECT_EQ(Panel().ValueField(0)->text().toFloat(), position.x);
    EXPECT_EQ(Panel().ValueField(2)->text().toFloat(), position.z) << "never the camera's z";
}

TEST_F(ShellTest, FieldsRefuseDropsKeepTypingAndTheRateIsTakenAsTyped)
{
    OpenSample();
    frame->show();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(Panel().ValueField(i)->acceptDrops());
        // The slider lies right of every field.
        EXPECT_GT(Panel().Slider()->geometry().left(), Panel().ValueField(i)->geometry().right());
    }
    EXPECT_FALSE(Panel().CurrentFrameField()->acceptDrops());

    // Text being typed survives a change the document announces.
    QLineEdit* x = Panel().ValueField(0);
    x->setFocus();
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("3.5"));
    doc->Execute(kCmdNextFrame);
    EXPECT_EQ(x->text(), QStringLiteral("3.5"));

    // "6" is six frames a second, not a completion to 60; Enter applies it.
    QComboBox* rate = Panel().RateList();
    rate->lineEdit()->setFocus();
    rate->lineEdit()->selectAll();
    QTest::keyClicks(rate->lineEdit(), QStringLiteral("6"));
    QTest::keyClick(rate->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(doc->Scene().m_fps, 6.0f);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ShellTest, LeavingAnUntouchedFieldChangesNothing)
{
    OpenSample();
    frame->show();
    doc->SelectModelItem(0);
    doc->Execute(kCmdAddKeySelected);
    const std::size_t history = doc->History().UndoCount();
    doc->SetModifiedFlag(false);
    for (QLineEdit* field : {Panel().ValueField(0), Panel().LastFrameField(), Panel().CurrentFrameField()}) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        Panel().RateList()->setFocus();
    }
    EXPECT_EQ(doc->History().UndoCount(), history) << "no undo entry, no cleared history";
    EXPECT_FALSE(doc->IsModified());

    // The last frame typed as it already is acts neither.
    QLineEdit* last = Panel().LastFrameField();
    last->selectAll();
    QTest::keyClicks(last, QStringLiteral("60"));
    QTest::keyClick(last, Qt::Key_Return);
    EXPECT_EQ(doc->History().UndoCount(), history);

    QLineEdit* x = Panel().ValueField(0);
    x->selectAll();
    QTest::keyClicks(x, QStringLiteral("12.5"));
    QTest::keyClick(x, Qt::Key_Return);
    EXPECT_EQ(doc->Scene().GetSelectedModel()->m_tracks[0][0].m_position.x, 12.5f);
    EXPECT_EQ(doc->History().UndoCount(), history + 1);
    EXPECT_TRUE(doc->IsModified()) << "a typed value is work to save";
}

TEST_F(ShellTest, LongWorkShowsItsProgressAfterHalfASecondAndCancelStopsIt)
{
    frame->show();
    OpenSample();
    doc->Execute(kCmdPlay);
    {
        QtProgress progress(frame.get(), QStringLiteral("work"), true);
        EXPECT_TRUE(LongWorkRunning());
        EXPECT_TRUE(progress.Report(1, 10));
        EXPECT_FALSE(progress.Dialog().isVisible()) << "short work shows nothing";

        QTest::qSleep(QtProgress::kShowAfterMs + 20);
        const int frameBefore = g_currentFrame;
        EXPECT_TRUE(progress.Report(5, 10));
        EXPECT_TRUE(progress.Dialog().isVisible());
        EXPECT_EQ(progress.Dialog().value(), 500);
        EXPECT_TRUE(progress.Dialog().isModal());

        // Events pass while the dialog is up, but playback waits for the work.
        QTest::qWait(3 * TimerPeriodMs(doc->Scene().m_fps));
        EXPECT_EQ(g_currentFrame, frameBefore);

        QPushButton* cancel = progress.Dialog().findChild<QPushButton*>();
        ASSERT_NE(cancel, nullptr);
        cancel->click();
        QTest::qSleep(QtProgress::kUpdateEveryMs + 5);
        EXPECT_FALSE(progress.Report(6, 10));
        EXPECT_FALSE(progress.Report(7, 10)) << "the refusal stays";
    }
    EXPECT_FALSE(LongWorkRunning());
    const int frameAfter = g_currentFrame;
    QTest::qWait(4 * TimerPeriodMs(doc->Scene().m_fps));
    EXPECT_NE(g_currentFrame, frameAfter) << "playback goes on after the work";

    // Work that cannot stop offers no Cancel and never refuses.
    QtProgress saving(frame.get(), QStringLiteral("save"), false);
    QTest::qSleep(QtProgress::kShowAfterMs + 20);
    EXPECT_TRUE(saving.Report(0, 0));
    EXPECT_EQ(saving.Dialog().findChild<QPushButton*>(), nullptr);
    saving.Dialog().cancel();
    EXPECT_TRUE(saving.Report(1, 0));
}

TEST_F(ShellTest, ChoosingSixtyWhilePlayingRestartsTheTimerAtSixteenMilliseconds)
{
    OpenSample();
    doc->Execute(kCmdPlay);
    EXPECT_EQ(Panel().PlaybackTimer().interval(), 33);
    EXPECT_EQ(Panel().PlaybackTimer().timerType(), Qt::PreciseTimer);
    QComboBox* rate = Panel().RateList();
    const int sixty = rate->findText(QStringLiteral("60"));
    rate->setCurrentIndex(sixty);
    emit rate->activated(sixty);
    EXPECT_TRUE(Panel().PlaybackTimer().isActive());
    EXPECT_EQ(Panel().PlaybackTimer().interval(), 16);
    EXPECT_EQ(doc->Scene().m_fps, 60.0f);
    EXPECT_TRUE(doc->IsModified());

    const int before = g_currentFrame;
    QTest::qWait(120);
    EXPECT_NE(g_currentFrame, before) << "the ticks advance the frame";
    doc->Execute(kCmdStop);
    EXPECT_FALSE(Panel().PlaybackTimer().isActive());
}

TEST_F(ShellTest, ADroppedProjectAfterAnEditAsksToSaveFirst)
{
    OpenSample();
    doc->SelectModelItem(0);
    doc->SetModifiedFlag(true);
    const std::size_t models = doc->Scene().m_models.size();
    modals.answer = QMessageBox::Cancel;
    frame->DropFiles({QString::fromStdString(std::string(VANTOMO_TEST_DATA_DIR) + "/vtm/new_scene.vtm")});
    ASSERT_EQ(modals.texts.size(), 1);
    EXPECT_TRUE(modals.texts.front().contains(QStringLiteral("への変更を保存しますか"))) << modals.texts.front().toStdString();
    EXPECT_EQ(doc->Scene().m_models.size(), models) << "Cancel keeps the edited scene";

    modals.answer = QMessageBox::No;
    frame->DropFiles({QString::fromStdString(std::string(VANTOMO_TEST_DATA_DIR) + "/vtm/new_scene.vtm")});
    EXPECT_TRUE(doc->Scene().m_models.empty());
    EXPECT_TRUE(frame->RecentFiles().front().endsWith(QStringLiteral("new_scene.vtm")));
}

TEST_F(ShellTest, FunctionKeysSetTheCameraAsTabled)
{
    OpenSample();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    CAnimation& camera = doc->Scene().GetCameraRecord();
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        CVector axis;
        bool keepY;
    };
    const Case cases[] = {
        {Qt::Key_F3, Qt::NoModifier, {0, 0, 0}, true},     {Qt::Key_F3, Qt::ShiftModifier, {0, 180, 0}, true},
        {Qt::Key_F1, Qt::NoModifier, {0, -90, 0}, true},   {Qt::Key_F1, Qt::ShiftModifier, {0, 90, 0}, true},
        {Qt::Key_F2, Qt::NoModifier, {90, 0, 0}, false},   {Qt::Key_F2, Qt::ShiftModifier, {-90, 0, 0}, false},
    };
    for (const Case& c : cases) {
        camera.m_position = CVector{11, 22, -1500};
        camera.m_angle = 5;
        QTest::keyClick(frame.get(), c.key, c.modifiers);
        EXPECT_EQ(camera.m_position.x, 0.0f);
        EXPECT_EQ(camera.m_position.y, c.keepY ? 22.0f : 0.0f);
        EXPECT_EQ(camera.m_position.z, -1500.0f);
        EXPECT_EQ(camera.m_axis.x, c.axis.x);
        EXPECT_EQ(camera.m_axis.y, c.axis.y);
        EXPECT_EQ(camera.m_angle, 0.0f);
        EXPECT_EQ(Panel().ValueField(3)->text(), QStringLiteral("0.000000"));
    }
}

TEST_F(ShellTest, TheOnionSkinIsTheUsersSettingAndNoEditOfTheProject)
{
    OpenSample();
    EXPECT_EQ(doc->GetOnionSkin(), OnionSkin{});
    EXPECT_TRUE(frame->MainToolBar()->actions().contains(frame->Action(kCmdOnionSkin)));
    frame->Execute(kCmdOnionSkin);
    frame->Execute(kCmdOnionSkinFrames3);
    EXPECT_TRUE(frame->Action(kCmdOnionSkinFrames3)->isChecked());
    EXPECT_FALSE(frame->Action(kCmdOnionSkinKeys)->isChecked());
    EXPECT_FALSE(doc->IsModified());
    // The next start takes it back from the settings, not from the project.
    ui.SetFrame(nullptr);
    frame.reset();
    doc = std::make_unique<CVantomoDoc>(ui);
    frame = std::make_unique<CMainFrame>(*doc, ui, createGl);
    ui.SetFrame(frame.get());
    EXPECT_EQ(doc->GetOnionSkin(), (OnionSkin{true, 3}));
    EXPECT_TRUE(frame->Action(kCmdOnionSkin)->isChecked());
    QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")).setValue(QStringLiteral("Vantomo/OnionSkinFrames"), 12);
    EXPECT_EQ(LoadOnionSkinSetting().frames, kMaxOnionFrames); // an edited file comes back in range
}

TEST_F(ShellTest, HomeAndFFrameTheModelsWhileAFieldKeepsHomeAndFForItsText)
{
    OpenSample();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    const CAnimation& camera = doc->Scene().GetCameraRecord();
    const CAnimation before = camera;
    QTest::keyClick(frame.get(), Qt::Key_Home);
    EXPECT_NE(camera.m_position, before.m_position);
    EXPECT_EQ(Panel().ValueField(2)->text().toStdString(), FormatFixed6(camera.m_position.z)); // the panel follows
    doc->SelectModelItem(1, true);
    const CAnimation all = camera;
    QTest::keyClick(frame.get(), Qt::Key_F);
    EXPECT_NE(camera.m_position, all.m_position);
    const CAnimation selected = camera;
    QLineEdit* field = Panel().ValueField(1);
    field->setFocus();
    field->setCursorPosition(3);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClick(field, Qt::Key_F);
    EXPECT_EQ(field->cursorPosition(), 1);
    EXPECT_TRUE(field->text().startsWith(QLatin1Char('f'), Qt::CaseInsensitive)) << field->text().toStdString();
    EXPECT_EQ(camera, selected);
}

TEST_F(ShellTest, TheWindowsKeysWinOverAFieldsOwnButTypingStaysTheFields)
{
    OpenSample();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    doc->Execute(kCmdMouseAnimation);
    doc->Execute(kCmdModeRotate);
    doc->SelectModelItem(0, true);
    QLineEdit* field = Panel().ValueField(1);
    field->setFocus();
    field->selectAll();
    // Typing, Backspace and the arrows are the field's.
    QTest::keyClicks(field, QStringLiteral("0.56"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(field->text(), QStringLiteral("0.5"));
    QTest::keyClick(field, Qt::Key_Return);
    const std::size_t history = doc->History().UndoCount();
    // The window's keys win over the field's: Ctrl+V is the move mode, Ctrl+Z
    // undoes the scene edit just entered, Ctrl+E steps a frame.
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(doc->Scene().m_transformMode, 0);
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->History().UndoCount(), history - 1);
    const int frameBefore = g_currentFrame;
    QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(g_currentFrame, frameBefore + 1);
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(doc->m_mouseMode, MouseMode::Camera);
}

TEST_F(ShellTest, TheFrameRateReadoutShowsMeasurements)
{
    frame->Fps().ResetFpsClock();
    frame->UpdateFps();
    EXPECT_TRUE(frame->FpsPane()->text().startsWith(QStringLiteral("FPS ")));
}

TEST(FileFilter, ThePlatformNeutralFilterBecomesQtsForm)
{
    EXPECT_EQ(QtFileFilter(QString::fromUtf8(kOpenFilter)),
              QStringLiteral("全ての形式 (*.vtm *.mqo);;Vantomoファイル (*.vtm);;Metasequoiaファイル (*.mqo)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Images|*.png|")), QStringLiteral("Images (*.png)"));
    EXPECT_EQ(QtFileFilter(QString()), QString());
    // A name typed without an extension takes the chosen kind's.
    EXPECT_EQ(DefaultSuffixOf(QStringLiteral("xamlファイル (*.xaml)")), QStringLiteral("xaml"));
    EXPECT_EQ(DefaultSuffixOf(QStringLiteral("glTFファイル (*.gltf *.glb)")), QStringLiteral("gltf"));
    EXPECT_EQ(DefaultSuffixOf(QStringLiteral("All (*)")), QString());
}

TEST(DesktopIntegration, InstallWritesTheEntryAndTypeAndRemoveTakesThemAway)
{
    QTemporaryDir home;
    ASSERT_TRUE(InstallFileType(home.path(), QStringLiteral("/opt/my \"tools\"/vantomo"), false));
    QFile desktop(home.path() + QStringLiteral("/applications/vantomo.desktop"));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains(QStringLiteral("Exec=\"/opt/my \\\"tools\\\"/vantomo\" %f")));
    EXPECT_TRUE(entry.contains(QStringLiteral("MimeType=application/x-vantomo;")));
    QFile mime(home.path() + QStringLiteral("/mime/packages/vantomo.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mime.readAll().contains("<glob pattern=\"*.vtm\"/>"));
    EXPECT_TRUE(RemoveFileType(home.path(), false));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/applications/vantomo.desktop")));
    EXPECT_FALSE(QFile::exists(home.path() + QStringLiteral("/mime/packages/vantomo.xml")));
}

} // namespace

} // namespace vantomo
