#include "shell/MainFrame.h"

#include <algorithm>
#include <limits>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "document/Commands.h"
#include "document/DroppedFiles.h"
#include "scene/AppValues.h"
#include "base/Numbers.h"
#include "shell/AboutBox.h"
#include "shell/DesktopIntegration.h"
#include "shell/OnionSkinSetting.h"
#include "shell/panes/DopeSheetView.h"
#include "shell/panes/PaneText.h"
#include "shell/panes/Panes.h"
#include "shell/QtUserInterface.h"
#include "shell/RecentFileList.h"
#include "shell/SliderView.h"
#include "shell/VantomoView.h"

namespace vantomo {

namespace {

constexpr int kSeparator = 0;
constexpr int kRecentSlot = -1;
constexpr int kOnionRangeSlot = -2; // the submenu of the onion skin's ranges

const char* const kOnionRangeTitle = QT_TRANSLATE_NOOP("Menus", "オニオンスキンの範囲(&R)");
constexpr int kOnionRanges[] = {kCmdOnionSkinKeys, kCmdOnionSkinFrames1, kCmdOnionSkinFrames2, kCmdOnionSkinFrames3};

// The menus: titles whose access keys are none of the Alt accelerators
// (a mnemonic equal to an Alt shortcut would make Qt fire neither), then the
// commands in each.
struct MenuPlan {
    const char* title;
    std::vector<int> ids;
};

const std::vector<MenuPlan>& Plan()
{
    static const std::vector<MenuPlan> plan = {
        {QT_TRANSLATE_NOOP("Menus", "ファイル(&F)"),
         {kCmdFileNew, kCmdFileOpen, kCmdFileSave, kCmdFileSaveAs, kCmdExportVideo, kSeparator, kRecentSlot,
          kSeparator, kCmdExit}},
        {QT_TRANSLATE_NOOP("Menus", "編集(&E)"),
         {kCmdUndo, kCmdRedo, kSeparator, kCmdCopyAnimation, kCmdPasteAnimation}},
        {QT_TRANSLATE_NOOP("Menus", "ｷｬﾗｸﾀ(&C)"),
         {kCmdAddModel, kCmdDeleteModel, kCmdRenameModel, kCmdShowHideModel, kSeparator, kCmdAddCharacter,
          kCmdDeleteCharacter, kCmdRenameCharacter, kSeparator, kCmdAddAnimation, kCmdDeleteAnimation,
          kCmdRenameAnimation}},
        {QT_TRANSLATE_NOOP("Menus", "ﾏｳｽ(&O)"),
         {kCmdMouseCamera, kCmdMouseModel, kCmdMouseAnimation, kSeparator, kCmdModeMove, kCmdModeRotate,
          kCmdModeScale}},
        {QT_TRANSLATE_NOOP("Menus", "ｱﾆﾒｰｼｮﾝ(&T)"),
         {kCmdPlay, kCmdStop, kSeparator, kCmdNextFrame, kCmdPrevFrame, kCmdNextKey, kCmdPrevKey, kCmdFirstFrame,
          kCmdLastFrame, kSeparator, kCmdKeyDialog, kCmdAddKeySelected, kCmdAddKeyAll, kCmdDeleteKeySelected,
          kCmdDeleteKeyAll, kSeparator, kCmdInsertFrames, kCmdDeleteFrames}},
        {QT_TRANSLATE_NOOP("Menus", "表示(&V)"),
         {kCmdSmoothShading, kCmdCameraReset, kCmdBackgroundColor, kSeparator, kCmdFrameAll, kCmdFrameSelected,
          kSeparator, kCmdOnionSkin, kOnionRangeSlot, kSeparator, kCmdMainToolbar, kCmdControlToolbar, kCmdStatusBar,
          kCmdDopeSheet, kSeparator, kCmdLanguage, kCmdRemoveRegistration}},
        {QT_TRANSLATE_NOOP("Menus", "ﾍﾙﾌﾟ(&H)"), {kCmdHelp, kCmdModelerHomePage, kSeparator, kCmdAbout}},
    };
    return plan;
}

// The toolbar buttons with their labels, separators as 0.
struct ToolButtonPlan {
    int id;
    const char* label;
};

const ToolButtonPlan kMainButtons[] = {
    {kCmdFileNew, QT_TRANSLATE_NOOP("ToolBar", "新規")},
    {kCmdFileOpen, QT_TRANSLATE_NOOP("ToolBar", "開く")},
    {kCmdFileSaveAs, QT_TRANSLATE_NOOP("ToolBar", "保存")},
    {0, nullptr},
    {kCmdUndo, QT_TRANSLATE_NOOP("ToolBar", "Undo")},
    {kCmdRedo, QT_TRANSLATE_NOOP("ToolBar", "Redo")},
    {0, nullptr},
    {kCmdMouseCamera, QT_TRANSLATE_NOOP("ToolBar", "ｶﾒﾗ")},
    {kCmdMouseModel, QT_TRANSLATE_NOOP("ToolBar", "ﾓﾃﾞﾙ")},
    {kCmdMouseAnimation, QT_TRANSLATE_NOOP("ToolBar", "ｱﾆﾒ")},
    {0, nullptr},
    {kCmdModeMove, QT_TRANSLATE_NOOP("ToolBar", "移動")},
    {kCmdModeRotate, QT_TRANSLATE_NOOP("ToolBar", "回転")},
    {kCmdModeScale, QT_TRANSLATE_NOOP("ToolBar", "拡大")},
    {0, nullptr},
    {kCmdSmoothShading, QT_TRANSLATE_NOOP("ToolBar", "陰影")},
    {kCmdOnionSkin, QT_TRANSLATE_NOOP("ToolBar", "ｵﾆｵﾝ")},
};

const ToolButtonPlan kControlButtons[] = {
    {kCmdFirstFrame, QT_TRANSLATE_NOOP("ToolBar", "最初")},
    {kCmdPrevKey, QT_TRANSLATE_NOOP("ToolBar", "前ｷｰ")},
    {kCmdPrevFrame, QT_TRANSLATE_NOOP("ToolBar", "前")},
    {kCmdStop, QT_TRANSLATE_NOOP("ToolBar", "停止")},
    {kCmdPlay, QT_TRANSLATE_NOOP("ToolBar", "再生")},
    {kCmdNextFrame, QT_TRANSLATE_NOOP("ToolBar", "次")},
    {kCmdNextKey, QT_TRANSLATE_NOOP("ToolBar", "次ｷｰ")},
    {kCmdLastFrame, QT_TRANSLATE_NOOP("ToolBar", "最後")},
    {0, nullptr},
    {kCmdKeyDialog, QT_TRANSLATE_NOOP("ToolBar", "ｷｰ")},
    {kCmdAddKeySelected, QT_TRANSLATE_NOOP("ToolBar", "追加")},
    {kCmdAddKeyAll, QT_TRANSLATE_NOOP("ToolBar", "全追")},
    {kCmdDeleteKeySelected, QT_TRANSLATE_NOOP("ToolBar", "削除")},
    {kCmdDeleteKeyAll, QT_TRANSLATE_NOOP("ToolBar", "全削")},
    {0, nullptr},
    {kCmdInsertFrames, QT_TRANSLATE_NOOP("ToolBar", "挿入")},
    {kCmdDeleteFrames, QT_TRANSLATE_NOOP("ToolBar", "削除")},
};

constexpr const char* kApplicationTitle = "Vantomo 1.7";
constexpr const char* kHomePage = "https://www.metaseq.net/";

QSettings Settings() { return QSettings(QStringLiteral("Vantomo"), QStringLiteral("Vantomo")); }

// The window's layout as the user left it.
constexpr const char* kGeometrySetting = "Window/Geometry";
constexpr const char* kBarsSetting = "Window/ToolBars";
constexpr const char* kColumnsSetting = "Window/Columns";
constexpr const char* kLeftRowsSetting = "Window/LeftRows";
constexpr const char* kLeftRowsClientSetting = "Window/LeftRowsClientHeight";
constexpr const char* kStatusBarSetting = "Window/StatusBar";

// Help Topics without a browser to show the page in.
constexpr const char* kNoBrowserMessage = QT_TRANSLATE_NOOP(
    "Messages", "ヘルプを表示するブラウザーを起動できませんでした。次のファイルをブラウザーで開いてください:\n%1");

} // namespace

int ThreeDRowHeight(int clientHeight, int toolBarHeight, BarPlace mainBar, BarPlace controlBar)
{
    int d = clientHeight - 180;
    const bool mainFloating = mainBar == BarPlace::Floating;
    const bool controlFloating = controlBar == BarPlace::Floating;
    const bool mainSide = mainBar == BarPlace::Left || mainBar == BarPlace::Right;
    const bool controlSide = controlBar == BarPlace::Left || controlBar == BarPlace::Right;
    if ((mainFloating && (controlFloating || controlSide)) || (mainSide && controlFloating)) {
        d += toolBarHeight;
    } else if ((mainBar == BarPlace::Top && controlBar == BarPlace::Bottom) ||
               (mainBar == BarPlace::Bottom && controlBar == BarPlace::Top)) {
        d -= toolBarHeight;
    }
    return std::max(0, d);
}

CMainFrame::CMainFrame(CVantomoDoc& doc, QtUserInterface& ui, bool createGlView) : m_doc(doc), m_ui(ui)
{
    setWindowIcon(QIcon(QStringLiteral(":/icons/vantomo.svg")));
    setAcceptDrops(true);
    m_recent = new RecentFileList(this, [this](const QString& path) { return OpenRecent(path); });
    CreateActions();
    CreateMenus();
    CreateStatusBar();
    CreateToolBars();
    CreateClient(createGlView);
    ApplyLanguage();
    m_toolBarHeight = m_wndToolBar->sizeHint().height();
    m_fps.ResetFpsClock();
    m_doc.SetOnionSkin(LoadOnionSkinSetting());
    ApplyUndoMemoryLimit();
    m_doc.AddView(this);
    UpdateTitle();
    // The enabled and checked states follow every change of the document
    // (OnChange) and every command run here (Execute).
    RefreshCommandStates();
}

CMainFrame::~CMainFrame() { m_doc.RemoveView(this); }

void CMainFrame::ApplyUndoMemoryLimit()
{
    // Without the setting (or with a value that is no positive number) the
    // history keeps its default, a quarter of the machine's memory.
    bool ok = false;
    const qulonglong mebibytes = Settings().value(QStringLiteral("Vantomo/UndoMemoryLimitMiB")).toULongLong(&ok);
    if (ok && mebibytes > 0 && mebibytes <= (std::numeric_limits<std::size_t>::max() >> 20)) {
        m_doc.History().SetMemoryLimit(static_cast<std::size_t>(mebibytes) << 20);
    }
}

void CMainFrame::CreateActions()
{
    for (const CommandInfo& info : CommandTable()) {
        if (info.owner == CommandOwner::None || info.id == kCmdRecentFile) {
            continue;
        }
        auto* action = new QAction(this);
        action->setCheckable(info.checked != nullptr);
        // The tree's own keys are the tree's actions; here they only label the menu items.
        if (!info.key.empty() && info.scope == KeyScope::Window) {
            action->setShortcut(QKeySequence(QString::fromLatin1(info.key.data(), static_cast<qsizetype>(info.key.size()))));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (info.toolbar != 0) {
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(info.name.data(), static_cast<qsizetype>(info.name.size())))));
        }
        const int id = info.id;
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
        addAction(action); // keys work even for commands without a menu item
        m_actions[id] = action;
    }
}

QAction* CMainFrame::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateMenus()
{
    for (const MenuPlan& plan : Plan()) {
        QMenu* menu = menuBar()->addMenu(QString());
        m_menus.push_back({menu, plan.title});
        bool afterRecent = false;
        for (int id : plan.ids) {
            if (id == kSeparator) {
                QAction* separator = menu->addSeparator();
                if (afterRecent) {
                    m_recent->AttachMenu(menu, separator);
                    afterRecent = false;
                }
            } else if (id == kRecentSlot) {
                afterRecent = true;
            } else if (id == kOnionRangeSlot) {
                QMenu* ranges = menu->addMenu(QString());
                m_menus.push_back({ranges, kOnionRangeTitle});
                for (int range : kOnionRanges) {
                    ranges->addAction(Action(range));
                }
                connect(ranges, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommandStates);
            } else if (QAction* action = Action(id)) {
                menu->addAction(action);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommandStates);
    }
}

void CMainFrame::CreateToolBars()
{
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_wndControlBar = new QToolBar(this);
    m_wndControlBar->setObjectName(QStringLiteral("ControlToolBar"));
    for (QToolBar* bar : {m_wndToolBar, m_wndControlBar}) {
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        bar->setIconSize(QSize(16, 15));
        bar->setAllowedAreas(Qt::AllToolBarAreas);
        connect(bar, &QToolBar::topLevelChanged, this, [this] { QTimer::singleShot(0, this, &CMainFrame::LayoutRightRows); });
        connect(bar, &QToolBar::visibilityChanged, this, [this] { QTimer::singleShot(0, this, &CMainFrame::LayoutRightRows); });
        connect(bar, &QToolBar::orientationChanged, this, [this] { QTimer::singleShot(0, this, &CMainFrame::LayoutRightRows); });
        // A toolbar hidden from its own context menu unticks its command.
        connect(bar, &QToolBar::visibilityChanged, this, &CMainFrame::RefreshCommandStates);
    }
    for (const ToolButtonPlan& button : kMainButtons) {
        if (button.id == 0) {
            m_wndToolBar->addSeparator();
        } else {
            m_wndToolBar->addAction(Action(button.id));
        }
    }
    for (const ToolButtonPlan& button : kControlButtons) {
        if (button.id == 0) {
            m_wndControlBar->addSeparator();
        } else {
            m_wndControlBar->addAction(Action(button.id));
        }
    }
    // The control bar docks on the main bar's row, just to its right.
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, m_wndControlBar);
}

void CMainFrame::CreateStatusBar()
{
    m_readyPane = new QLabel(this);
    statusBar()->addWidget(m_readyPane, 1);
    m_fpsPane = new QLabel(QStringLiteral("FPS 30.000000"), this);
    m_fpsPane->setMinimumWidth(m_fpsPane->sizeHint().width() + 8);
    m_fpsPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(m_fpsPane);
    // The lock indicators of the old status bar: the keyboard's lock states
    // are not visible to a portable program, so they show dimmed.
    for (const char* text : {"ｶﾅ", "CAP", "NUM", "SCRL"}) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setEnabled(false);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addPermanentWidget(label);
        m_indicators.push_back(label);
    }
}

void CMainFrame::CreateClient(bool createGlView)
{
    m_wndSplitter = new QSplitter(Qt::Horizontal, this);
    m_wndSplitter->setChildrenCollapsible(true);
    m_wndLeftSplitter = new QSplitter(Qt::Vertical, m_wndSplitter);
    m_wndRightSplitter = new QSplitter(Qt::Vertical, m_wndSplitter);
    m_panes[0] = new CHierarchyView(m_doc, m_wndLeftSplitter);
    m_panes[1] = new CMaterialView(m_doc, m_wndLeftSplitter);
    m_panes[2] = new CAnimationListView(m_doc, m_wndLeftSplitter);
    m_panes[0]->setObjectName(QStringLiteral("HierarchyPane"));
    m_panes[1]->setObjectName(QStringLiteral("MaterialPane"));
    m_panes[2]->setObjectName(QStringLiteral("AnimationPane"));
    // A minimum of (0, 0) would count as unset and let the lists' size hints
    // keep a small window from shrinking the rows.
    for (QWidget* pane : m_panes) {
        pane->setMinimumSize(1, 1);
    }

    // The 3D view's row holds the dope sheet below it, hidden until asked for.
    m_viewSplitter = new QSplitter(Qt::Vertical, m_wndRightSplitter);
    m_viewSplitter->setChildrenCollapsible(false);
    if (createGlView) {
        auto* stack = new QStackedWidget(m_viewSplitter);
        auto* view = new CVantomoView(m_doc, stack);
        m_glFailure = new QLabel(stack);
        m_glFailure->setAlignment(Qt::AlignCenter);
        m_glFailure->setWordWrap(true);
        stack->addWidget(view);
        stack->addWidget(m_glFailure);
        view->onFailure = [this, stack] {
            m_glFailure->setText(CVantomoView::FailureText(m_glView->Failure()));
            stack->setCurrentWidget(m_glFailure);
        };
        m_glView = view;
        view->onFrameDrawn = [this] { UpdateFps(); };
        m_p3DView = stack;
    } else {
        auto* placeholder = new QWidget(m_viewSplitter);
        placeholder->setAutoFillBackground(true);
        placeholder->setPalette(QPalette(Qt::black));
        m_p3DView = placeholder;
    }
    m_p3DView->setObjectName(QStringLiteral("ThreeDView"));
    m_p3DView->setMinimumSize(0, 0);
    m_viewSplitter->addWidget(m_p3DView);
    m_dopeSheet = new CDopeSheetView(m_doc, m_viewSplitter);
    m_dopeSheet->setObjectName(QStringLiteral("DopeSheet"));
    m_dopeSheet->setMinimumHeight(CDopeSheetView::kRulerHeight + 2 * CDopeSheetView::kRowHeight);
    m_dopeSheet->hide();
    m_viewSplitter->setStretchFactor(0, 1);
    m_viewSplitter->setStretchFactor(1, 0);
    // The 3D view is the active view at start, as the window's keys expect:
    // F2 turns the camera there, and renames only in a pane given the focus.
    (m_glView != nullptr ? static_cast<QWidget*>(m_glView) : m_p3DView)->setFocus(Qt::OtherFocusReason);
    m_pControlPanel = new CSliderView(m_doc, m_wndRightSplitter);
    m_pControlPanel->setObjectName(QStringLiteral("ControlPanel"));
    m_pControlPanel->setMinimumSize(0, 0);

    // A thin line between the 3D view and the panel that the mouse cannot take.
    m_wndRightSplitter->setHandleWidth(1);
    m_wndRightSplitter->setChildrenCollapsible(true);
    m_wndRightSplitter->handle(1)->setEnabled(false);
    m_wndRightSplitter->handle(1)->setCursor(Qt::ArrowCursor);
    m_wndRightSplitter->setStretchFactor(0, 1);
    m_wndRightSplitter->setStretchFactor(1, 0);

    m_wndSplitter->addWidget(m_wndLeftSplitter);
    m_wndSplitter->addWidget(m_wndRightSplitter);
    m_wndSplitter->setStretchFactor(0, 0);
    m_wndSplitter->setStretchFactor(1, 1);
    m_wndSplitter->setSizes({200, 400});
    m_wndSplitter->setObjectName(QStringLiteral("Columns"));
    m_wndLeftSplitter->setObjectName(QStringLiteral("LeftRows"));
    connect(m_wndLeftSplitter, &QSplitter::splitterMoved, this, [this] { m_savedLeftRows.clear(); });
    setCentralWidget(m_wndSplitter);
}

void CMainFrame::Invalidate3DView()
{
    ++m_invalidations;
    if (m_glView != nullptr) {
        m_glView->update();
    } else if (m_p3DView != nullptr) {
        m_p3DView->update();
    }
}

void CMainFrame::LayoutLeftRows(int clientHeight)
{
    if (m_wndLeftSplitter == nullptr) {
        return;
    }
    // The rows the user left last time come back while the window has the
    // height they were left at; any other height lays them out by the rule.
    if (m_savedLeftRows.size() == 3 && clientHeight == m_savedLeftRowsClient) {
        m_wndLeftSplitter->setSizes(m_savedLeftRows);
        return;
    }
    const int available = std::max(0, m_wndLeftSplitter->height() - 2 * m_wndLeftSplitter->handleWidth());
    const int tree = clientHeight / 2;
    const int materials = clientHeight / 5;
    m_wndLeftSplitter->setSizes({tree, materials, std::max(0, available - tree - materials)});
}

BarPlace CMainFrame::PlaceOf(QToolBar* bar) const
{
    if (bar->isFloating() || bar->isHidden()) {
        // A hidden bar takes no room, as a floating one.
        return BarPlace::Floating;
    }
    switch (toolBarArea(bar)) {
    case Qt::BottomToolBarArea: return BarPlace::Bottom;
    case Qt::LeftToolBarArea: return BarPlace::Left;
    case Qt::RightToolBarArea: return BarPlace::Right;
    default: return BarPlace::Top;
    }
}

void CMainFrame::LayoutRightRows()
{
    if (m_wndRightSplitter == nullptr || m_wndToolBar == nullptr || m_wndControlBar == nullptr) {
        return;
    }
    const int client = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    int d = ThreeDRowHeight(client, m_toolBarHeight, PlaceOf(m_wndToolBar), PlaceOf(m_wndControlBar));
    if (m_barsApart) {
        d = std::max(0, d - m_toolBarHeight); // the second row of bars takes its height from the view
    }
    const int available = std::max(0, m_wndRightSplitter->height() - m_wndRightSplitter->handleWidth());
    const int top = std::min(d, available);
    m_wndRightSplitter->setSizes({top, available - top});
    Invalidate3DView();
}

void CMainFrame::FitToolBarRows()
{
    // The control bar docks on the main bar's row; when the two do not fit
    // across the window (the English labels are longer), it takes a row of
    // its own below rather than hiding its last buttons. A row the user
    // chose is left alone.
    const bool sideBySide = PlaceOf(m_wndToolBar) == BarPlace::Top && PlaceOf(m_wndControlBar) == BarPlace::Top;
    if (!sideBySide || (toolBarBreak(m_wndControlBar) && !m_barsApart)) {
        return;
    }
    const int spacing = style()->pixelMetric(QStyle::PM_ToolBarSeparatorExtent) * 2;
    const bool apart = m_wndToolBar->sizeHint().width() + m_wndControlBar->sizeHint().width() + spacing > width();
    if (apart == m_barsApart) {
        return;
    }
    m_barsApart = apart;
    if (apart) {
        insertToolBarBreak(m_wndControlBar);
    } else {
        removeToolBarBreak(m_wndControlBar);
    }
    // The panes take the height the bars left them now, then the rules apply.
    layout()->activate();
    if (width() > 100 && height() > 100 && !isMinimized()) {
        LayoutLeftRows(ClientHeight());
    }
    LayoutRightRows();
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FitToolBarRows();
    const int client = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    if (width() > 100 && height() > 100 && !isMinimized()) {
        LayoutLeftRows(client);
    }
    LayoutRightRows();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    m_toolBarHeight = m_wndToolBar->height() > 0 ? m_wndToolBar->height() : m_toolBarHeight;
    FitToolBarRows();
    const int client = height() - (menuBar()->isVisible() ? menuBar()->height() : 0);
    LayoutLeftRows(client);
    LayoutRightRows();
}

void CMainFrame::ApplyLanguage()
{
    const QString setting = Settings().value(QStringLiteral("Vantomo/Language")).toString();
    const QString language = ChooseLanguage(setting, QLocale::system().language());
    m_doc.Scene().m_languageName = language.toStdString();
    m_translations.Apply(language);
    Retranslate();
}

void CMainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        Retranslate();
    }
    QMainWindow::changeEvent(event);
}

void CMainFrame::Retranslate()
{
    for (const MenuEntry& entry : m_menus) {
        entry.menu->setTitle(QCoreApplication::translate("Menus", entry.title));
    }
    for (const CommandInfo& info : CommandTable()) {
        QAction* action = Action(info.id);
        if (action == nullptr || info.menuText.empty()) {
            continue;
        }
        const std::string text(info.menuText);
        action->setText(QCoreApplication::translate("Commands", text.c_str()));
        // The status bar's prompt while the item or button is under the
        // pointer; the button's tip names the command as its menu item does.
        action->setStatusTip(CommandPromptText(info.id));
        action->setToolTip(MenuItemName(action->text()));
    }
    SetToolBarLabels();
    RefreshUndoTexts();
    FitToolBarRows();
    m_wndToolBar->setWindowTitle(QCoreApplication::translate("ToolBar", "ﾒｲﾝ ﾂｰﾙ ﾊﾞｰ"));
    m_wndControlBar->setWindowTitle(QCoreApplication::translate("ToolBar", "ｺﾝﾄﾛｰﾙ ﾂｰﾙ ﾊﾞｰ"));
    m_readyPane->setText(QCoreApplication::translate("StatusBar", "ﾚﾃﾞｨ"));
    if (m_glView != nullptr && !m_glView->Failure().isEmpty()) {
        m_glFailure->setText(CVantomoView::FailureText(m_glView->Failure()));
    }
    m_recent->RebuildMenu();
    UpdateTitle();
    if (m_pControlPanel != nullptr) {
        m_pControlPanel->ReloadTexts();
        m_doc.UpdateAllViews(Change::Layout);
    }
}

void CMainFrame::SetToolBarLabels()
{
    auto label = [this](QToolBar* bar, const auto& plan) {
        QSize first;
        for (const ToolButtonPlan& button : plan) {
            if (button.id == 0) {
                continue;
            }
            QAction* action = Action(button.id);
            action->setIconText(QCoreApplication::translate("ToolBar", button.label));
            QWidget* widget = bar->widgetForAction(action);
            if (widget == nullptr) {
                continue;
            }
            widget->setMinimumSize(0, 0);
            widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            widget->adjustSize();
            // Every button is as large as the first, as the old toolbars made
            // them; a longer label widens its own button rather than being cut.
            const QSize own = widget->sizeHint();
            if (!first.isValid()) {
                first = own;
            }
            widget->setFixedSize(std::max(first.width(), own.width()), std::max(first.height(), own.height()));
        }
    };
    label(m_wndToolBar, kMainButtons);
    label(m_wndControlBar, kControlButtons);
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(WindowTitleText());
}

QString CMainFrame::WindowTitleText() const
{
    // The title is the path of the project, in the file system's encoding.
    const std::string& title = m_doc.GetTitle();
    const QString shown = title.empty() ? QCoreApplication::translate("Messages", kUntitledTitle)
                                        : QFile::decodeName(QByteArray::fromStdString(title));
    return QString::fromLatin1(kApplicationTitle) + QStringLiteral(" - ") + shown;
}

void CMainFrame::OnChange(const ChangeNotice& change)
{
    if (change.kind == Change::ProjectOpened) {
        NoteDocumentPath();
    }
    if (change.kind == Change::NewDocument || change.kind == Change::ProjectOpened) {
        m_fps.ResetFpsClock();
    }
    if (change.kind == Change::OnionSkin) {
        SaveOnionSkinSetting(m_doc.GetOnionSkin());
    }
    Invalidate3DView();
    if (change.kind == Change::Frame) {
        return; // playback ticks change neither the title nor a command's state
    }
    UpdateTitle();
    // A key pressed right after a pick must find its command enabled.
    RefreshCommandStates();
}

void CMainFrame::Execute(int id)
{
    m_doc.Execute(id);
    NoteDocumentPath();
    UpdateTitle();
    RefreshCommandStates();
}

void CMainFrame::NoteDocumentPath()
{
    // The framework added every opened or saved project to the recent files.
    const std::string& path = m_doc.GetPathName();
    if (!path.empty() && path != m_lastPath) {
        m_lastPath = path;
        m_recent->Add(QFile::decodeName(path.c_str()));
    }
}

void CMainFrame::RefreshCommandStates()
{
    for (const auto& [id, action] : m_actions) {
        action->setEnabled(m_doc.IsEnabled(id));
        if (action->isCheckable()) {
            action->setChecked(m_doc.IsChecked(id));
        }
    }
    RefreshUndoTexts();
}

void CMainFrame::RefreshUndoTexts()
{
    const UndoHistory& history = m_doc.History();
    for (const bool redo : {false, true}) {
        const int id = redo ? kCmdRedo : kCmdUndo;
        QAction* action = Action(id);
        const CommandInfo* info = FindCommand(id);
        if (action == nullptr || info == nullptr) {
            continue;
        }
        const std::string& label = redo ? history.RedoLabel() : history.UndoLabel();
        QString text;
        if (label.empty()) {
            text = QCoreApplication::translate("Commands", std::string(info->menuText).c_str());
        } else {
            const char* withStep = redo ? QT_TRANSLATE_NOOP("Commands", "繰り返す: %1(&R)\tCtrl+Y")
                                        : QT_TRANSLATE_NOOP("Commands", "元に戻す: %1(&U)\tCtrl+Z");
            text = QCoreApplication::translate("Commands", withStep)
                       .arg(QCoreApplication::translate("UndoSteps", label.c_str()));
        }
        if (action->text() != text) {
            action->setText(text);
            action->setToolTip(MenuItemName(text));
        }
    }
}

void CMainFrame::UpdateFps()
{
    const float rate = m_fps.UpdateFps(m_doc.Scene().m_fps);
    if (rate >= 0.0f && m_fpsPane != nullptr) {
        m_fpsPane->setText(QStringLiteral("FPS ") + QString::fromStdString(FormatFixed6(rate)));
    }
}

void CMainFrame::RunShellCommand(int id)
{
    switch (id) {
    case kCmdExit: close(); break;
    case kCmdMainToolbar: m_wndToolBar->setVisible(!m_wndToolBar->isVisible()); break;
    case kCmdControlToolbar: m_wndControlBar->setVisible(!m_wndControlBar->isVisible()); break;
    case kCmdStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
    case kCmdDopeSheet: ShowDopeSheet(m_dopeSheet->isHidden()); break;
    case kCmdLanguage: {
        QSettings settings = Settings();
        settings.setValue(QStringLiteral("Vantomo/Language"),
                          ToggledLanguage(QString::fromStdString(m_doc.Scene().m_languageName)));
        settings.sync();
        ApplyLanguage();
        break;
    }
    case kCmdHelp: OpenHelp(); break;
    case kCmdModelerHomePage: QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage))); break;
    case kCmdAbout: ShowAboutBox(this); break;
    case kCmdRemoveRegistration:
        (void)RemoveFileType(UserDataHome());
        m_ui.ShowMessage("レジストリを削除しました。");
        break;
    case kCmdNextPane: FocusPane(1); break;
    case kCmdPrevPane: FocusPane(-1); break;
    default: break;
    }
}

bool CMainFrame::IsShellCommandChecked(int id) const
{
    switch (id) {
    case kCmdMainToolbar: return m_wndToolBar != nullptr && !m_wndToolBar->isHidden();
    case kCmdControlToolbar: return m_wndControlBar != nullptr && !m_wndControlBar->isHidden();
    case kCmdStatusBar: return !statusBar()->isHidden();
    case kCmdDopeSheet: return m_dopeSheet != nullptr && !m_dopeSheet->isHidden();
    default: return false;
    }
}

void CMainFrame::ShowDopeSheet(bool show)
{
    m_dopeSheet->setVisible(show);
    if (show) {
        // A third of the row, enough for a character and a few models.
        const int row = m_viewSplitter->height();
        const int sheet = std::clamp(row / 3, m_dopeSheet->minimumHeight(), std::max(m_dopeSheet->minimumHeight(), row));
        m_viewSplitter->setSizes({std::max(0, row - sheet), sheet});
        m_dopeSheet->setFocus(Qt::OtherFocusReason);
    }
    Invalidate3DView();
}

void CMainFrame::FocusPane(int step)
{
    QWidget* panes[5] = {m_panes[0], m_panes[1], m_panes[2], m_p3DView, m_pControlPanel};
    int current = -1;
    for (int i = 0; i < 5; ++i) {
        if (panes[i] != nullptr && (panes[i] == focusWidget() || panes[i]->isAncestorOf(focusWidget()))) {
            current = i;
        }
    }
    const int next = ((current < 0 ? 0 : current + step) % 5 + 5) % 5;
    panes[next]->setFocus(Qt::OtherFocusReason);
}

void CMainFrame::OpenHelp()
{
    // The browser cannot read the program's resources: the pages are copied
    // to the user's cache folder first.
    const bool english = m_doc.Scene().m_languageName == "English";
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/help");
    QDir().mkpath(folder);
    for (const char* name : {"index.html", "index_en.html", "help.css"}) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        QFile::copy(QStringLiteral(":/help/") + QLatin1String(name), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QString page = folder + (english ? QStringLiteral("/index_en.html") : QStringLiteral("/index.html"));
    OpenInBrowser(QUrl::fromLocalFile(page), [this, page] {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Vantomo"),
                        QCoreApplication::translate("Messages", kNoBrowserMessage).arg(QDir::toNativeSeparators(page)),
                        QMessageBox::Ok, this);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
        box.exec();
    });
}

void CMainFrame::OpenInBrowser(const QUrl& url, std::function<void()> failed)
{
    // The desktop's opener says whether it found a program for the page only
    // by its exit code, which may come long after it started one: it is
    // watched, not waited for. Without it, Qt's own search for a browser.
    if (m_browserCommand.isEmpty()) {
        if (!QDesktopServices::openUrl(url)) {
            failed();
        }
        return;
    }
    auto* opener = new QProcess(this);
    opener->setProgram(m_browserCommand);
    opener->setArguments({url.toString()});
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(opener, &QProcess::errorOccurred, this, [this, opener, url, failed](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) {
            return;
        }
        opener->deleteLater();
        const QString command = m_browserCommand;
        m_browserCommand.clear(); // the opener is missing: Qt looks for a browser itself
        OpenInBrowser(url, failed);
        m_browserCommand = command;
    });
    connect(opener, &QProcess::finished, this, [opener, failed](int code, QProcess::ExitStatus status) {
        opener->deleteLater();
        if (status != QProcess::NormalExit || code != 0) {
            failed();
        }
    });
    opener->start();
}

QStringList CMainFrame::RecentFiles() const { return m_recent->Files(); }

bool CMainFrame::OpenRecent(const QString& path)
{
    if (!m_doc.SaveModified()) {
        return true; // the user kept the document: the file stays listed
    }
    const bool opened = m_doc.OnOpenDocument(QFile::encodeName(path).toStdString());
    NoteDocumentPath();
    UpdateTitle();
    return opened;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_doc.SaveModified()) {
        event->ignore();
        return;
    }
    SaveLayout();
    event->accept();
}

void CMainFrame::SaveLayout()
{
    QSettings settings = Settings();
    settings.setValue(QLatin1String(kGeometrySetting), saveGeometry());
    // A row the bars took only for want of width is not the user's choice.
    if (m_barsApart) {
        removeToolBarBreak(m_wndControlBar);
    }
    settings.setValue(QLatin1String(kBarsSetting), saveState());
    if (m_barsApart) {
        insertToolBarBreak(m_wndControlBar);
    }
    settings.setValue(QLatin1String(kColumnsSetting), m_wndSplitter->saveState());
    QList<QVariant> rows;
    for (int size : m_wndLeftSplitter->sizes()) {
        rows << size;
    }
    settings.setValue(QLatin1String(kLeftRowsSetting), rows);
    settings.setValue(QLatin1String(kLeftRowsClientSetting), ClientHeight());
    settings.setValue(QLatin1String(kStatusBarSetting), !statusBar()->isHidden());
}

bool CMainFrame::RestoreLayout()
{
    const QSettings settings = Settings();
    const QByteArray kept = settings.value(QLatin1String(kGeometrySetting)).toByteArray();
    if (kept.isEmpty() || !restoreGeometry(kept)) {
        return false;
    }
    // A place beyond the screen (a monitor since removed, a window frame
    // counted twice) comes back inside the screen's working area.
    if (QScreen* shown = screen(); shown != nullptr && !isMaximized()) {
        const QRect area = shown->availableGeometry();
        QRect place = geometry();
        if (place.width() > area.width() || place.height() > area.height()) {
            place = area;
        } else {
            place.moveLeft(std::clamp(place.left(), area.left(), area.right() + 1 - place.width()));
            place.moveTop(std::clamp(place.top(), area.top(), area.bottom() + 1 - place.height()));
        }
        if (place != geometry()) {
            setGeometry(place);
        }
    }
    restoreState(settings.value(QLatin1String(kBarsSetting)).toByteArray());
    m_barsApart = false; // the rows are the ones kept; whether they fit is seen anew
    FitToolBarRows();
    m_wndSplitter->restoreState(settings.value(QLatin1String(kColumnsSetting)).toByteArray());
    statusBar()->setVisible(settings.value(QLatin1String(kStatusBarSetting), true).toBool());
    m_savedLeftRows.clear();
    for (const QVariant& row : settings.value(QLatin1String(kLeftRowsSetting)).toList()) {
        m_savedLeftRows << row.toInt();
    }
    m_savedLeftRowsClient = settings.value(QLatin1String(kLeftRowsClientSetting), -1).toInt();
    RefreshCommandStates();
    return true;
}

int CMainFrame::ClientHeight() const { return height() - (menuBar()->isVisible() ? menuBar()->height() : 0); }

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    // Opening may ask questions and show progress: that waits until the drop
    // has returned, so the source program is never held in its drag.
    QTimer::singleShot(0, this, [this, paths] { DropFiles(paths); });
}

void CMainFrame::DropFiles(const QStringList& paths)
{
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(paths.size()));
    for (const QString& path : paths) {
        bytes.push_back(QFile::encodeName(path).toStdString());
    }
    (void)OpenDroppedFiles(m_doc, bytes);
    NoteDocumentPath();
    UpdateTitle();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

} // namespace vantomo
