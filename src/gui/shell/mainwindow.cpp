// The main window's construction and the refresh it does for every tick of
// the application core.
#include "gui/shell/mainwindow.h"

#include "app/applicationcore.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/version.h"
#include "gui/common/messagedialog.h"
#include "gui/shell/jobslistmodel.h"
#include "gui/shell/shellicons.h"
#include "jobs/job.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QAction *makeAction(QObject *owner, const char *name, ShellIcon icon = ShellIcon::App, bool withIcon = false)
{
    auto *a = new QAction(owner);
    a->setObjectName(QLatin1String(name));
    if (withIcon)
        a->setIcon(ShellIconFor(icon));
    return a;
}
} // namespace

QString TfrmMainQuorvane::VersionText()
{
    return QStringLiteral("%1.%2.%3").arg(QV_VERSION_MAJOR).arg(QV_VERSION_MINOR).arg(QV_VERSION_PATCH);
}

TfrmMainQuorvane::TfrmMainQuorvane(ApplicationCore &core, QWidget *parent)
    : QMainWindow(parent), m_core(core), m_model(new JobsListModel(core.Jobs(), this)),
      m_windows(CreateUnavailableJobWindows())
{
    setObjectName(QStringLiteral("TfrmMainQuorvane"));
    setWindowTitle(QLatin1String(AppState::ApplicationTitle));
    setWindowIcon(ShellIconFor(ShellIcon::App));

    createActions();
    createMenus();
    createToolBar();
    createCentralArea();
    createStatusBar();
    createTrayIcon();
    buildLanguageMenu();
    connectCore();

    ApplyTexts();
    LoadView();
    // Events the core collected during start-up.
    appendEvents(m_core.Events());
    RefreshFromCore();
}

TfrmMainQuorvane::~TfrmMainQuorvane()
{
    m_core.SetVisibilityHook({});
}

void TfrmMainQuorvane::SetJobWindows(std::unique_ptr<JobWindows> windows)
{
    m_windows = windows ? std::move(windows) : CreateUnavailableJobWindows();
}

// --- construction ---

void TfrmMainQuorvane::createActions()
{
    ActionNewJob = makeAction(this, "ActionNewJob", ShellIcon::NewJob, true);
    ActionOpen = makeAction(this, "ActionOpen", ShellIcon::Open, true);
    ActionMinimize = makeAction(this, "ActionMinimize");
    ActionQuit = makeAction(this, "ActionQuit");
    ActionProperties = makeAction(this, "ActionProperties", ShellIcon::Properties, true);
    ActionRename = makeAction(this, "ActionRename", ShellIcon::Rename, true);
    ActionDuplicate = makeAction(this, "ActionDuplicate", ShellIcon::Duplicate, true);
    ActionRemove = makeAction(this, "ActionRemove", ShellIcon::Remove, true);
    ActionViewAsCards = makeAction(this, "ActionViewAsCards");
    ActionViewAsTable = makeAction(this, "ActionViewAsTable");
    ActionShowFilters = makeAction(this, "ActionShowFilters");
    ActionShowEvents = makeAction(this, "ActionShowEvents");
    ActionBackup = makeAction(this, "ActionBackup", ShellIcon::Backup, true);
    ActionRestore = makeAction(this, "ActionRestore", ShellIcon::Restore, true);
    ActionPause = makeAction(this, "ActionPause", ShellIcon::Pause, true);
    ActionResume = makeAction(this, "ActionResume", ShellIcon::Resume, true);
    ActionCancel = makeAction(this, "ActionCancel", ShellIcon::Cancel, true);
    ActionPauseAll = makeAction(this, "ActionPauseAll");
    ActionCancelAll = makeAction(this, "ActionCancelAll");
    ActionOptions = makeAction(this, "ActionOptions", ShellIcon::Options, true);
    ActionFTPClient = makeAction(this, "ActionFTPClient");
    ActionCloudClient = makeAction(this, "ActionCloudClient");
    ActionAddLanguage = makeAction(this, "ActionAddLanguage");
    ActionUserGuide = makeAction(this, "ActionUserGuide");
    ActionSupport = makeAction(this, "ActionSupport");
    ActionContactUs = makeAction(this, "ActionContactUs");
    ActionAbout = makeAction(this, "ActionAbout");
    ActionHistory = makeAction(this, "ActionHistory", ShellIcon::History, true);
    ActionViewLog = makeAction(this, "ActionViewLog", ShellIcon::ViewLog, true);
    ActionMoveUp = makeAction(this, "ActionMoveUp", ShellIcon::MoveUp, true);
    ActionMoveDown = makeAction(this, "ActionMoveDown", ShellIcon::MoveDown, true);
    ActionTrayOpen = makeAction(this, "ActionTrayOpen");

    auto *viewGroup = new QActionGroup(this);
    for (QAction *a : {ActionViewAsCards, ActionViewAsTable}) {
        a->setCheckable(true);
        viewGroup->addAction(a);
    }
    ActionViewAsCards->setChecked(true);
    ActionShowFilters->setCheckable(true);
    ActionShowFilters->setChecked(true);
    ActionShowEvents->setCheckable(true);
    ActionShowEvents->setChecked(true);

    connect(ActionNewJob, &QAction::triggered, this, &TfrmMainQuorvane::actionNewJob);
    connect(ActionOpen, &QAction::triggered, this, &TfrmMainQuorvane::actionOpen);
    connect(ActionMinimize, &QAction::triggered, this, [this] { close(); });
    connect(ActionQuit, &QAction::triggered, this, &TfrmMainQuorvane::actionQuit);
    connect(ActionProperties, &QAction::triggered, this, &TfrmMainQuorvane::actionProperties);
    connect(ActionRename, &QAction::triggered, this, &TfrmMainQuorvane::actionRename);
    connect(ActionDuplicate, &QAction::triggered, this, &TfrmMainQuorvane::actionDuplicate);
    connect(ActionRemove, &QAction::triggered, this, &TfrmMainQuorvane::actionRemove);
    connect(ActionViewAsCards, &QAction::triggered, this, [this] {
        SetCardView(true);
        SaveView();
    });
    connect(ActionViewAsTable, &QAction::triggered, this, [this] {
        SetCardView(false);
        SaveView();
    });
    connect(ActionShowFilters, &QAction::triggered, this, [this](bool on) {
        setFiltersVisible(on);
        SaveView();
    });
    connect(ActionShowEvents, &QAction::triggered, this, [this](bool on) {
        setEventsVisible(on);
        SaveView();
    });
    connect(ActionBackup, &QAction::triggered, this, &TfrmMainQuorvane::actionBackup);
    connect(ActionRestore, &QAction::triggered, this, &TfrmMainQuorvane::actionRestore);
    connect(ActionPause, &QAction::triggered, this, &TfrmMainQuorvane::actionPause);
    connect(ActionResume, &QAction::triggered, this, &TfrmMainQuorvane::actionResume);
    connect(ActionCancel, &QAction::triggered, this, &TfrmMainQuorvane::actionCancel);
    connect(ActionPauseAll, &QAction::triggered, this, [this] {
        m_core.PauseAll();
        RefreshFromCore();
    });
    connect(ActionCancelAll, &QAction::triggered, this, [this] {
        m_core.CancelAll();
        m_core.DrainEvents();
        RefreshFromCore();
    });
    connect(ActionOptions, &QAction::triggered, this, &TfrmMainQuorvane::actionOptions);
    connect(ActionFTPClient, &QAction::triggered, this, [this] {
        if (windowAvailable(JobWindows::wFtpClient))
            m_windows->ShowFtpClient(this);
    });
    connect(ActionCloudClient, &QAction::triggered, this, [this] {
        if (windowAvailable(JobWindows::wCloudClient))
            m_windows->ShowCloudClient(this);
    });
    connect(ActionAddLanguage, &QAction::triggered, this, &TfrmMainQuorvane::actionAddLanguage);
    connect(ActionUserGuide, &QAction::triggered, this, [this] { openHelpPage(0); });
    connect(ActionSupport, &QAction::triggered, this, [this] { openHelpPage(1); });
    connect(ActionContactUs, &QAction::triggered, this, [this] { openHelpPage(2); });
    connect(ActionAbout, &QAction::triggered, this, &TfrmMainQuorvane::actionAbout);
    connect(ActionHistory, &QAction::triggered, this, &TfrmMainQuorvane::actionHistory);
    connect(ActionViewLog, &QAction::triggered, this, &TfrmMainQuorvane::actionViewLog);
    connect(ActionMoveUp, &QAction::triggered, this, [this] { actionMove(-1); });
    connect(ActionMoveDown, &QAction::triggered, this, [this] { actionMove(1); });
    connect(ActionTrayOpen, &QAction::triggered, this, &TfrmMainQuorvane::ShowFromTray);
}

void TfrmMainQuorvane::createMenus()
{
    QMenuBar *bar = menuBar();
    mnFile = bar->addMenu(QString());
    mnFile->addActions({ActionNewJob, ActionOpen});
    mnFile->addSeparator();
    mnFile->addActions({ActionMinimize, ActionQuit});

    mnEdit = bar->addMenu(QString());
    mnEdit->addActions({ActionProperties, ActionRename, ActionDuplicate, ActionRemove});

    mnView = bar->addMenu(QString());
    mnList = mnView->addMenu(QString());
    mnList->addActions({ActionViewAsCards, ActionViewAsTable});
    mnView->addActions({ActionShowFilters, ActionShowEvents});

    mnRun = bar->addMenu(QString());
    mnRun->addActions({ActionBackup, ActionRestore, ActionPause, ActionResume, ActionCancel});
    mnRun->addSeparator();
    mnRun->addActions({ActionPauseAll, ActionCancelAll});

    mnTools = bar->addMenu(QString());
    mnTools->addAction(ActionOptions);
    mnTools->addSeparator();
    mnTools->addActions({ActionFTPClient, ActionCloudClient});
    mnTools->addSeparator();
    mnLanguage = mnTools->addMenu(QString());
    mnTools->addAction(ActionAddLanguage);

    mnHelp = bar->addMenu(QString());
    mnHelp->addActions({ActionUserGuide, ActionSupport, ActionContactUs});
    mnHelp->addSeparator();
    mnHelp->addAction(ActionAbout);

    for (QMenu *m : {mnFile, mnEdit, mnView, mnList, mnRun, mnTools, mnLanguage, mnHelp})
        m->setObjectName(QStringLiteral("mn"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    mnEdit->setObjectName(QStringLiteral("mnEdit"));
    mnView->setObjectName(QStringLiteral("mnView"));
    mnList->setObjectName(QStringLiteral("mnList"));
    mnRun->setObjectName(QStringLiteral("mnRun"));
    mnTools->setObjectName(QStringLiteral("mnTools"));
    mnLanguage->setObjectName(QStringLiteral("mnLanguage"));
    mnHelp->setObjectName(QStringLiteral("mnHelp"));

    // The job's context menus: one for an idle job, one for a busy one.
    pmIdleJob = new QMenu(this);
    pmIdleJob->setObjectName(QStringLiteral("pmIdleJob"));
    pmIdleJob->addActions({ActionProperties, ActionDuplicate, ActionRename, ActionRemove});
    pmIdleJob->addSeparator();
    pmIdleJob->addActions({ActionBackup, ActionRestore});
    pmIdleJob->addSeparator();
    pmIdleJob->addAction(ActionViewLog);
    pmActiveJob = new QMenu(this);
    pmActiveJob->setObjectName(QStringLiteral("pmActiveJob"));
    pmActiveJob->addActions({ActionPause, ActionResume, ActionCancel});
    pmActiveJob->addSeparator();
    pmActiveJob->addActions({ActionPauseAll, ActionCancelAll});

    pmLogs = new QMenu(this);
    pmLogs->setObjectName(QStringLiteral("pmLogs"));
    connect(pmLogs, &QMenu::aboutToShow, this, &TfrmMainQuorvane::fillLogsMenu);
}

void TfrmMainQuorvane::createToolBar()
{
    tbMain = addToolBar(QString());
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setMovable(false);
    tbMain->setIconSize(QSize(24, 24));
    tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->addActions({ActionNewJob, ActionProperties, ActionOpen});
    tbMain->addSeparator();
    tbMain->addActions({ActionDuplicate, ActionRename, ActionRemove});
    tbMain->addSeparator();
    tbMain->addActions({ActionBackup, ActionRestore});
    tbMain->addSeparator();
    tbMain->addAction(ActionHistory);
    // View Log with a drop-down of the older logs.
    m_btViewLog = new QToolButton(tbMain);
    m_btViewLog->setObjectName(QStringLiteral("btViewLog"));
    m_btViewLog->setDefaultAction(ActionViewLog);
    m_btViewLog->setMenu(pmLogs);
    m_btViewLog->setPopupMode(QToolButton::MenuButtonPopup);
    m_btViewLog->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_btViewLog->setIconSize(tbMain->iconSize());
    tbMain->addWidget(m_btViewLog);
    tbMain->addSeparator();
    tbMain->addAction(ActionOptions);
}

void TfrmMainQuorvane::createCentralArea()
{
    // The filter panel: search box and tree.
    pnFilters = new QWidget;
    pnFilters->setObjectName(QStringLiteral("pnFilters"));
    auto *filterLayout = new QVBoxLayout(pnFilters);
    filterLayout->setContentsMargins(4, 4, 0, 4);
    edSearch = new QLineEdit;
    edSearch->setObjectName(QStringLiteral("edSearch"));
    edSearch->setClearButtonEnabled(true);
    QAction *searchAction = edSearch->addAction(ShellIconFor(ShellIcon::Search), QLineEdit::TrailingPosition);
    connect(searchAction, &QAction::triggered, this, [this] { Search(edSearch->text()); });
    connect(edSearch, &QLineEdit::returnPressed, this, [this] { Search(edSearch->text()); });
    edSearch->installEventFilter(this);
    tvFilters = new QTreeWidget;
    tvFilters->setObjectName(QStringLiteral("tvFilters"));
    tvFilters->setHeaderHidden(true);
    tvFilters->setColumnCount(1);
    tvFilters->setItemsExpandable(false);
    tvFilters->setRootIsDecorated(false);
    tvFilters->setIndentation(14);
    for (int i = 0; i < kFilterNodeCount; ++i) {
        const FilterNode node = static_cast<FilterNode>(i);
        QTreeWidgetItem *item;
        if (node == FilterNode::Jobs)
            item = new QTreeWidgetItem(tvFilters);
        else
            item = new QTreeWidgetItem(m_filterItems.at(static_cast<int>(FilterNodeParent(node))));
        item->setData(0, Qt::UserRole, i);
        m_filterItems.append(item);
    }
    tvFilters->expandAll();
    tvFilters->setCurrentItem(m_filterItems.first());
    connect(tvFilters, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { filterNodeChosen(item); });
    connect(tvFilters, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { if (item) filterNodeChosen(item); });
    filterLayout->addWidget(edSearch);
    filterLayout->addWidget(tvFilters, 1);

    // The list with its header line and the move buttons.
    auto *pnList = new QWidget;
    pnList->setObjectName(QStringLiteral("pnList"));
    auto *listLayout = new QVBoxLayout(pnList);
    listLayout->setContentsMargins(0, 4, 4, 4);
    listLayout->setSpacing(2);
    auto *headerLine = new QHBoxLayout;
    lbListHeader = new QLabel;
    lbListHeader->setObjectName(QStringLiteral("lbListHeader"));
    QFont headerFont = lbListHeader->font();
    headerFont.setBold(true);
    lbListHeader->setFont(headerFont);
    headerLine->addWidget(lbListHeader, 1);
    for (QAction *a : {ActionMoveUp, ActionMoveDown}) {
        auto *button = new QToolButton;
        button->setObjectName(QStringLiteral("bt") + a->objectName().mid(6));
        button->setDefaultAction(a);
        button->setAutoRaise(true);
        headerLine->addWidget(button);
    }
    listLayout->addLayout(headerLine);
    lbJobsList = new JobsListView;
    lbJobsList->SetJobsModel(m_model);
    listLayout->addWidget(lbJobsList, 1);
    connect(lbJobsList, &JobsListView::customContextMenuRequested, this, &TfrmMainQuorvane::showContextMenu);
    connect(lbJobsList, &JobsListView::LinkClicked, this, &TfrmMainQuorvane::linkClicked);
    connect(lbJobsList, &JobsListView::JobDoubleClicked, this, [this](int row) {
        if (row == SelectedRow())
            actionProperties();
    });
    connect(lbJobsList, &JobsListView::SelectedRowChanged, this, &TfrmMainQuorvane::UpdateActions);

    // The Events panel.
    pnEvents = new QWidget;
    pnEvents->setObjectName(QStringLiteral("pnEvents"));
    auto *eventsLayout = new QVBoxLayout(pnEvents);
    eventsLayout->setContentsMargins(4, 0, 4, 4);
    eventsLayout->setSpacing(2);
    auto *eventsHeader = new QHBoxLayout;
    lbEvents = new QLabel;
    lbEvents->setObjectName(QStringLiteral("lbEvents"));
    lbEvents->setFont(headerFont);
    btSaveEvents = new QPushButton;
    btSaveEvents->setObjectName(QStringLiteral("btSaveEvents"));
    connect(btSaveEvents, &QPushButton::clicked, this, &TfrmMainQuorvane::saveEvents);
    eventsHeader->addWidget(lbEvents, 1);
    eventsHeader->addWidget(btSaveEvents);
    lbCommonLog = new QListWidget;
    lbCommonLog->setObjectName(QStringLiteral("lbCommonLog"));
    lbCommonLog->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbCommonLog->setUniformItemSizes(true);
    eventsLayout->addLayout(eventsHeader);
    eventsLayout->addWidget(lbCommonLog, 1);

    spTop = new QSplitter(Qt::Horizontal);
    spTop->setObjectName(QStringLiteral("spTop"));
    spTop->addWidget(pnFilters);
    spTop->addWidget(pnList);
    spTop->setStretchFactor(1, 1);
    spTop->setChildrenCollapsible(false);
    spMain = new QSplitter(Qt::Vertical);
    spMain->setObjectName(QStringLiteral("spMain"));
    spMain->addWidget(spTop);
    spMain->addWidget(pnEvents);
    spMain->setStretchFactor(0, 1);
    spMain->setChildrenCollapsible(false);
    setCentralWidget(spMain);
    spTop->setSizes({200, 760});
    spMain->setSizes({480, 140});
}

void TfrmMainQuorvane::createStatusBar()
{
    stJobs = new QLabel;
    stRunning = new QLabel;
    stCancelled = new QLabel;
    stVersion = new QLabel(VersionText());
    stJobs->setObjectName(QStringLiteral("stJobs"));
    stRunning->setObjectName(QStringLiteral("stRunning"));
    stCancelled->setObjectName(QStringLiteral("stCancelled"));
    stVersion->setObjectName(QStringLiteral("stVersion"));
    for (QLabel *l : {stJobs, stRunning, stCancelled})
        statusBar()->addWidget(l);
    statusBar()->addPermanentWidget(stVersion);
}

void TfrmMainQuorvane::createTrayIcon()
{
    pmTray = new QMenu(this);
    pmTray->setObjectName(QStringLiteral("pmTray"));
    pmTray->addAction(ActionTrayOpen);
    pmTray->addSeparator();
    pmTray->addAction(ActionQuit);
    TrayIcon = new QSystemTrayIcon(ShellIconFor(ShellIcon::App), this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setContextMenu(pmTray);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            ShowFromTray();
    });
    // The icon is always shown (where the desktop has a notification area).
    TrayIcon->show();
}

void TfrmMainQuorvane::connectCore()
{
    // The tick asks, for every job, whether its item is visible.
    m_core.SetVisibilityHook([this](int, TJob &job) {
        const int row = m_model->RowOf(&job);
        if (row < 0)
            return true; // a job the list has not taken over yet is visible
        if (m_filter.Decides())
            m_model->SetVisible(row, m_filter.Shows(job));
        return m_model->IsVisible(row);
    });
    connect(&m_core, &ApplicationCore::JobsChanged, this, &TfrmMainQuorvane::RefreshFromCore);
    connect(&m_core, &ApplicationCore::StatusCountsChanged, this, &TfrmMainQuorvane::updateStatusPanels);
    connect(&m_core, &ApplicationCore::EventsAppended, this, &TfrmMainQuorvane::appendEvents);
    connect(&m_core, &ApplicationCore::ErrorMessage, this, [this](const QString &text) { ShowErrorDialog(text, this); });
    connect(&m_core, &ApplicationCore::ShutdownWindowRequested, this, &TfrmMainQuorvane::showShutdownWindow);
    connect(&m_core, &ApplicationCore::CloseRequested, this, [this] {
        AppState::ApplicationClosing = true;
        close();
    });
    connect(&m_core, &ApplicationCore::RestoreRequested, this, [this](TJob *job) {
        if (job)
            RestoreJob(*job);
    });
    // A worker's report repaints the list (coalesced) and, since a status
    // may have changed, the enabling of the actions.
    connect(m_model, &JobsListModel::JobsRepaintRequested, this, &TfrmMainQuorvane::UpdateActions);
}

// --- the refresh ---

TJob *TfrmMainQuorvane::SelectedJob() const
{
    const int row = lbJobsList->SelectedVisibleRow();
    return row >= 0 ? m_model->JobAt(row) : nullptr;
}

int TfrmMainQuorvane::SelectedRow() const
{
    return lbJobsList->SelectedRow();
}

void TfrmMainQuorvane::SelectRow(int row)
{
    lbJobsList->SelectRow(row);
    UpdateActions();
}

void TfrmMainQuorvane::RefreshFromCore()
{
    const TJob *selected = SelectedRow() >= 0 ? m_model->JobAt(SelectedRow()) : nullptr;
    if (m_model->Sync()) {
        // The rows were rebuilt: the selection follows its job.
        const int row = selected ? m_model->RowOf(selected) : -1;
        if (row >= 0)
            lbJobsList->SelectRow(row);
    }
    lbJobsList->ApplyVisibility();
    updateListHeader();
    m_model->RefreshAll();
    UpdateActions();
}

void TfrmMainQuorvane::updateListHeader()
{
    lbListHeader->setText(m_filter.HeaderText());
    const bool nothing = !m_model->AnyVisible();
    lbJobsList->SetEmptyPanel(nothing, m_filter.Decides() ? m_filter.NothingFoundText() : QString());
}

void TfrmMainQuorvane::updateStatusPanels()
{
    const QStringList texts = m_core.StatusPanelTexts();
    QLabel *panels[3] = {stJobs, stRunning, stCancelled};
    for (int i = 0; i < 3 && i < texts.size(); ++i) {
        if (panels[i]->text() != texts[i])
            panels[i]->setText(texts[i]);
    }
}

void TfrmMainQuorvane::UpdateActions()
{
    TJob *job = SelectedJob();
    const TJobStatus status = job ? job->JobStatus.load() : jsNone;
    const bool idle = job && status == jsNone;
    const bool busy = job && (status == jsWaiting || status == jsRunning || status == jsPaused);
    for (QAction *a : {ActionProperties, ActionRename, ActionDuplicate, ActionRemove, ActionBackup, ActionRestore,
                       ActionHistory, ActionViewLog})
        a->setEnabled(idle);
    m_btViewLog->setEnabled(idle);
    ActionPause->setVisible(status != jsPaused);
    ActionResume->setVisible(status == jsPaused);
    ActionPause->setEnabled(busy && status != jsPaused && job->CanPause);
    ActionResume->setEnabled(busy && status == jsPaused);
    ActionCancel->setEnabled(busy);
    bool anyBusy = false;
    for (const auto &j : m_core.Jobs().Jobs())
        anyBusy = anyBusy || j->JobStatus.load() != jsNone;
    ActionPauseAll->setEnabled(anyBusy);
    ActionCancelAll->setEnabled(anyBusy);
    const int row = job ? SelectedRow() : -1;
    ActionMoveUp->setEnabled(job && row > 0);
    ActionMoveDown->setEnabled(job && row < m_model->rowCount() - 1);
}

void TfrmMainQuorvane::showContextMenu(const QPoint &pos)
{
    TJob *job = SelectedJob();
    if (!job)
        return; // no visible selection: no context menu
    UpdateActions();
    QMenu *menu = job->JobStatus.load() == jsNone ? pmIdleJob : pmActiveJob;
    menu->popup(lbJobsList->viewport()->mapToGlobal(pos));
}

// --- filter and search ---

void TfrmMainQuorvane::filterNodeChosen(QTreeWidgetItem *item)
{
    SelectFilterNode(static_cast<FilterNode>(item->data(0, Qt::UserRole).toInt()));
}

void TfrmMainQuorvane::SelectFilterNode(FilterNode node)
{
    QTreeWidgetItem *item = m_filterItems.at(static_cast<int>(node));
    if (tvFilters->currentItem() != item) {
        const QSignalBlocker block(tvFilters);
        tvFilters->setCurrentItem(item);
    }
    m_filter.HasNode = true;
    m_filter.Node = node;
    m_filter.SearchedString.clear();
    if (!edSearch->hasFocus())
        edSearch->clear();
    m_model->ApplyFilter(m_filter);
    RefreshFromCore();
}

void TfrmMainQuorvane::Search(const QString &text)
{
    m_filter.SearchedString = text;
    m_filter.HasNode = false;
    {
        const QSignalBlocker block(tvFilters);
        tvFilters->setCurrentItem(nullptr);
        tvFilters->clearSelection();
    }
    m_model->ApplyFilter(m_filter);
    RefreshFromCore();
}

bool TfrmMainQuorvane::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the search box clears it; leaving it shows "Find jobs..." again.
    if (watched == edSearch && event->type() == QEvent::FocusIn)
        edSearch->clear();
    return QMainWindow::eventFilter(watched, event);
}

// --- view ---

void TfrmMainQuorvane::SetCardView(bool cards)
{
    ActionViewAsCards->setChecked(cards);
    ActionViewAsTable->setChecked(!cards);
    lbJobsList->SetCardView(cards);
}

void TfrmMainQuorvane::setFiltersVisible(bool visible)
{
    ActionShowFilters->setChecked(visible);
    pnFilters->setVisible(visible);
}

void TfrmMainQuorvane::setEventsVisible(bool visible)
{
    ActionShowEvents->setChecked(visible);
    pnEvents->setVisible(visible);
}

// --- events ---

void TfrmMainQuorvane::appendEvents(const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    lbCommonLog->addItems(lines);
    // The core keeps at most MaxNumberOfLinesInEventsLog lines; so does the list.
    const int limit = static_cast<int>(m_core.Events().size());
    while (lbCommonLog->count() > limit)
        delete lbCommonLog->takeItem(0);
    if (!lbCommonLog->hasFocus())
        lbCommonLog->scrollToBottom();
}
