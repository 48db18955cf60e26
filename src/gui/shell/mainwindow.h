#pragma once
// The main window TfrmMainQuorvane: the jobs list with its filter tree and
// search box, the job actions in menus, a toolbar and context menus, the
// Events panel, the status bar and the notification-area icon. It sits on
// the application core: the core owns the jobs and runs the scheduler tick;
// the window draws what the core's signals report and turns the user's
// actions into calls on the core and its jobs.
#include "gui/shell/jobfilter.h"
#include "gui/shell/jobslistview.h"
#include "gui/shell/jobwindows.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class ApplicationCore;
class ApplicationEntry;
class JobsListModel;
class QActionGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSplitter;
class QSystemTrayIcon;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TJob;
class TfrmOptions;

class TfrmMainQuorvane : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMainQuorvane(ApplicationCore &core, QWidget *parent = nullptr);
    ~TfrmMainQuorvane() override;

    ApplicationCore &Core() { return m_core; }

    // What happens when the window is shown for the first time: the entry
    // serves the command-line words and switches the scheduler on. Without
    // a handler the scheduler is switched on.
    void SetFirstShowHandler(std::function<void()> handler) { m_firstShowHandler = std::move(handler); }
    // The job windows of this build (by default: none available).
    void SetJobWindows(std::unique_ptr<JobWindows> windows);
    JobWindows &Windows() { return *m_windows; }

    // --- the windows' side of start-up and quitting ---
    // The window at start, after the entry is up: with the word hide it is
    // not shown and no password is asked (the scheduler already runs; the
    // window comes from the notification area later). Otherwise the program
    // password when it is set, then the window. False when the password
    // check failed: the program ends.
    bool ShowAtStart(bool hide);
    // The show routine of the tray icon, its "Open" item and a hand-over
    // from another start: nothing while the window or the password prompt
    // is showing; otherwise the program password (when set), then the
    // window comes to the front. True when the window is showing at the end.
    bool ShowFromTray();
    // Another start's request: the show routine, then, only when the window
    // is really showing, the Open action for `jobFilePath` (empty: none).
    void HandOver(const QString &jobFilePath);
    // The windowed program's wiring to its entry: the first show serves the
    // entry's command-line words; hand-overs and the first argument's job
    // file reach this window.
    void AttachEntry(ApplicationEntry &entry);
    // The Open action for a job file handed over or given on the command line.
    void OpenJobFile(const QString &path);
    // The command line's restore word for a job.
    void RestoreJob(TJob &job);
    // The session ends (log-off or shutdown): close the way Quit does,
    // without asking.
    void EndSession();

    // --- the jobs list ---
    JobsListView *JobsView() const { return lbJobsList; }
    JobsListModel *JobsModel() const { return m_model; }
    // The job of the selected item when that item is visible, else nullptr.
    TJob *SelectedJob() const;
    int SelectedRow() const;
    void SelectRow(int row);
    const JobFilter &Filter() const { return m_filter; }
    // Clicking a filter node (ends a search) ...
    void SelectFilterNode(FilterNode node);
    // ... and invoking the search box's search (deselects the node).
    void Search(const QString &text);
    // The tick's refresh: rows, visibility, header, empty panel, repaint and
    // the enabling of the actions.
    void RefreshFromCore();
    // Enables or disables the job actions for the selected job.
    void UpdateActions();
    // Sets every caption of the window through Translate.
    void ApplyTexts();
    // The Language menu's choice of a row of the translation table.
    void SetLanguage(int row);
    // The persisted view.
    void SaveView() const;
    void LoadView();
    void SetCardView(bool cards);

    // --- actions (names of the program) ---
    QAction *ActionNewJob, *ActionOpen, *ActionMinimize, *ActionQuit;
    QAction *ActionProperties, *ActionRename, *ActionDuplicate, *ActionRemove;
    QAction *ActionViewAsCards, *ActionViewAsTable, *ActionShowFilters, *ActionShowEvents;
    QAction *ActionBackup, *ActionRestore, *ActionPause, *ActionResume, *ActionCancel, *ActionPauseAll,
        *ActionCancelAll;
    QAction *ActionOptions, *ActionFTPClient, *ActionCloudClient, *ActionAddLanguage;
    QAction *ActionUserGuide, *ActionSupport, *ActionContactUs, *ActionAbout;
    QAction *ActionHistory, *ActionViewLog, *ActionMoveUp, *ActionMoveDown;
    QAction *ActionTrayOpen;

    // --- controls ---
    QMenu *mnFile, *mnEdit, *mnView, *mnList, *mnRun, *mnTools, *mnLanguage, *mnHelp;
    QMenu *pmIdleJob, *pmActiveJob, *pmLogs, *pmTray;
    QToolBar *tbMain;
    QTreeWidget *tvFilters;
    QLineEdit *edSearch;
    QLabel *lbListHeader;
    JobsListView *lbJobsList;
    QLabel *lbEvents;
    QListWidget *lbCommonLog;
    QPushButton *btSaveEvents;
    QLabel *stJobs, *stRunning, *stCancelled, *stVersion;
    QSystemTrayIcon *TrayIcon;
    QWidget *pnFilters, *pnEvents;
    QSplitter *spMain, *spTop;

    // The version text of the status bar ("1.0.0").
    static QString VersionText();

Q_SIGNALS:
    // The window closed for good (Quit, an elevated relaunch, the end of the
    // session): the program ends.
    void QuitFinished();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // construction (mainwindow.cpp)
    void createActions();
    void createMenus();
    void createToolBar();
    void createCentralArea();
    void createStatusBar();
    void createTrayIcon();
    void connectCore();
    void buildLanguageMenu();
    void updateListHeader();
    void updateStatusPanels();
    void appendEvents(const QStringList &lines);
    void showContextMenu(const QPoint &pos);
    void filterNodeChosen(QTreeWidgetItem *item);
    void setFiltersVisible(bool visible);
    void setEventsVisible(bool visible);

    // job actions (mainwindowjobs.cpp)
    bool busyCheck(const TJob &job, bool tickBlocks = true);
    void showBusyMessage();
    // Runs `change` on the selected job unless a tick is running (then the
    // busy message); false when nothing was changed.
    bool changeSelectedJobStatus(const std::function<void(TJob &)> &change);
    bool windowAvailable(JobWindows::Window window);
    bool acceptNewName(const QString &name);
    void addNewJob(std::unique_ptr<TJob> job, bool runNow, bool selectIfOnly);
    void actionNewJob();
    void actionOpen();
    void actionProperties();
    void actionRename();
    void actionDuplicate();
    void actionRemove();
    void actionBackup();
    void actionRestore();
    void actionPause();
    void actionResume();
    void actionCancel();
    void actionHistory();
    void actionViewLog();
    void openLog(TJob &job, const QString &stamp);
    void fillLogsMenu();
    void actionMove(int step);
    void linkClicked(int row, JobsListView::Link link);

    // tools, help, language (mainwindowtools.cpp)
    void actionOptions();
    void actionAbout();
    void actionAddLanguage();
    void openHelpPage(int page);
    void showWelcomeIfNeeded();
    void showShutdownWindow();

    // life cycle (mainwindowlife.cpp)
    void actionQuit();
    void firstShown();
    void saveEvents();

    ApplicationCore &m_core;
    JobsListModel *m_model;
    std::unique_ptr<JobWindows> m_windows;
    std::function<void()> m_firstShowHandler;
    JobFilter m_filter;
    QList<QTreeWidgetItem *> m_filterItems;
    QActionGroup *m_languageGroup = nullptr;
    QToolButton *m_btViewLog = nullptr;
    QString m_openDefaultPath;
    bool m_firstShown = false;
    bool m_closedForGood = false;
    QPointer<QWidget> m_welcome;
    QPointer<QWidget> m_shutdown;
    QPointer<TfrmOptions> m_options;
    QPointer<QWidget> m_about;
};
