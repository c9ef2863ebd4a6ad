// The main window: five panes in splitters (hierarchy, materials and
// animations on the left; the 3D view above the control panel on the right,
// split by a thin bar that cannot be dragged), the menus, the main and
// control toolbars, the status bar with the frame-rate readout, the language
// switch, dropped files, recent files and the small commands of the program.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QStringList>

#include "document/Document.h"
#include "shell/FpsClock.h"
#include "shell/Language.h"

class QStackedWidget;
class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class QUrl;

namespace vantomo {

class QtUserInterface;

class CDopeSheetView;
class CSliderView;
class RecentFileList;
class CVantomoView;

// Where a toolbar sits, for the 3D row's height.
enum class BarPlace { Floating, Top, Bottom, Left, Right };

// The 3D view row's ideal height: the client height less the control
// panel's 180 pixels, corrected by the main toolbar's height H where the two
// toolbars are placed so that they take height from the client area
// differently from one toolbar row at the top; never below 0.
int ThreeDRowHeight(int clientHeight, int toolBarHeight, BarPlace mainBar, BarPlace controlBar);

class CMainFrame final : public QMainWindow, public DocumentView {
public:
    // `createGlView` false puts a plain placeholder where the 3D view goes
    // (platforms without OpenGL windows, such as the offscreen one).
    CMainFrame(CVantomoDoc& doc, QtUserInterface& ui, bool createGlView);
    ~CMainFrame() override;

    void OnChange(const ChangeNotice& change) override;

    // Reads the "Vantomo/Language" setting and puts the language in force.
    void ApplyLanguage();
    // Once per drawn frame of the 3D view.
    void UpdateFps();
    FpsClock& Fps() { return m_fps; }

    void RunShellCommand(int id);
    bool IsShellCommandChecked(int id) const;
    // Menu items, toolbar buttons and keys: the command runs when enabled.
    void Execute(int id);
    // Enable and check every command's action as the document says.
    void RefreshCommandStates();
    // The Undo and Redo items name the step they would take.
    void RefreshUndoTexts();
    // The history's memory limit from the setting "Vantomo/UndoMemoryLimitMiB".
    void ApplyUndoMemoryLimit();

    // Files dropped on the window (local paths, in drop order).
    void DropFiles(const QStringList& paths);
    // Repaint the 3D view (or count a repaint of its placeholder).
    void Invalidate3DView();
    int Invalidations() const { return m_invalidations; }

    // The 3D view's pane, and the OpenGL view in it (null with the placeholder).
    QWidget* ThreeDView() const { return m_p3DView; }
    CVantomoView* GlView() const { return m_glView; }
    CSliderView* ControlPanel() const { return m_pControlPanel; }
    CDopeSheetView* DopeSheet() const { return m_dopeSheet; }
    QWidget* Pane(int index) const { return m_panes[index]; } // tree, materials, animations
    QAction* Action(int id) const;
    QToolBar* MainToolBar() const { return m_wndToolBar; }
    QToolBar* ControlToolBar() const { return m_wndControlBar; }
    QSplitter* LeftSplitter() const { return m_wndLeftSplitter; }
    QSplitter* RightSplitter() const { return m_wndRightSplitter; }
    QLabel* FpsPane() const { return m_fpsPane; }
    QStringList RecentFiles() const;
    QString WindowTitleText() const;
    int ToolBarHeight() const { return m_toolBarHeight; }
    const std::string& LanguageName() const { return m_doc.Scene().m_languageName; }

    // The layout rules, run by the resize and toolbar events.
    void LayoutLeftRows(int clientHeight);
    void LayoutRightRows();

    // The window's geometry, the toolbars' places, the columns, the left
    // rows and the status bar, kept in the settings when the window closes
    // and put back before it is first shown. False when nothing was kept
    // (the first start): the caller then chooses the window's place.
    void SaveLayout();
    bool RestoreLayout();

    // What opens a page in the browser ("xdg-open"; empty for Qt's own
    // search). Tests set one that fails.
    void SetBrowserCommand(const QString& command) { m_browserCommand = command; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateStatusBar();
    void CreateClient(bool createGlView);
    void Retranslate();
    void SetToolBarLabels();
    void UpdateTitle();
    // Opens a recent file as the File menu's item does; false when it could not be opened.
    bool OpenRecent(const QString& path);
    void NoteDocumentPath();
    void OpenHelp();
    // Opens `url` in the browser; `failed` runs when no browser could show it.
    void OpenInBrowser(const QUrl& url, std::function<void()> failed);
    int ClientHeight() const;
    void FocusPane(int step);
    void ShowDopeSheet(bool show);
    BarPlace PlaceOf(QToolBar* bar) const;
    void FitToolBarRows();

    CVantomoDoc& m_doc;
    QtUserInterface& m_ui;
    QSplitter* m_wndSplitter = nullptr;
    QSplitter* m_wndLeftSplitter = nullptr;
    QSplitter* m_wndRightSplitter = nullptr;
    QToolBar* m_wndToolBar = nullptr;
    QToolBar* m_wndControlBar = nullptr;
    QWidget* m_p3DView = nullptr;
    CVantomoView* m_glView = nullptr;
    QLabel* m_glFailure = nullptr; // shown in the pane when OpenGL 3.3 is missing
    CSliderView* m_pControlPanel = nullptr;
    QSplitter* m_viewSplitter = nullptr; // the 3D view above the dope sheet
    CDopeSheetView* m_dopeSheet = nullptr;
    QWidget* m_panes[3] = {};
    int m_toolBarHeight = 0;
    QLabel* m_readyPane = nullptr;
    QLabel* m_fpsPane = nullptr;
    std::vector<QLabel*> m_indicators;
    std::map<int, QAction*> m_actions;
    struct MenuEntry {
        QMenu* menu;
        const char* title;
    };
    std::vector<MenuEntry> m_menus;
    RecentFileList* m_recent = nullptr;
    Translations m_translations;
    FpsClock m_fps;
    int m_invalidations = 0;
    std::string m_lastPath;
    QList<int> m_savedLeftRows;   // the rows restored, until the height or the user changes them
    int m_savedLeftRowsClient = -1;
    bool m_barsApart = false; // the control bar was put on a row of its own for want of width
    QString m_browserCommand = QStringLiteral("xdg-open");
};

} // namespace vantomo
