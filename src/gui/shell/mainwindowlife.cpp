// The main window's life: the first show, hiding to the notification area
// and showing again with the program password, the persisted view, the
// Events file and quitting.
#include "gui/shell/mainwindow.h"

#include "app/applicationcore.h"
#include "app/applicationentry.h"
#include "options/options.h"
#include "base/appstate.h"
#include "base/textfile.h"
#include "gui/common/messagedialog.h"
#include "gui/common/modalrun.h"
#include "gui/shell/jobslistmodel.h"
#include "gui/tools/passwordinput.h"
#include "jobs/jobtext.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
// How long Quit waits for the cancelled jobs to stop.
constexpr int kQuitWaitMs = 5000;

QSettings viewSettings()
{
    return QSettings(QLatin1String(AppState::ApplicationTitle), QLatin1String(AppState::ApplicationTitle));
}
} // namespace

// --- showing ---

void TfrmMainQuorvane::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    ApplyTexts();
    if (!m_firstShown) {
        m_firstShown = true;
        // After the window has appeared.
        QTimer::singleShot(0, this, &TfrmMainQuorvane::firstShown);
    }
}

void TfrmMainQuorvane::firstShown()
{
    if (m_firstShowHandler)
        m_firstShowHandler();
    else
        m_core.StartScheduler();
    m_core.DrainEvents();
    RefreshFromCore();
    showWelcomeIfNeeded();
}

bool TfrmMainQuorvane::ShowAtStart(bool hide)
{
    if (hide)
        return true;
    if (!CheckProgramPassword(nullptr))
        return false;
    show();
    return true;
}

bool TfrmMainQuorvane::ShowFromTray()
{
    if (isVisible() && !isMinimized()) {
        raise();
        activateWindow();
        return true;
    }
    if (IsProgramPasswordPromptShowing())
        return false;
    if (!isVisible() && !CheckProgramPassword(this))
        return false; // the window stays hidden
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    return true;
}

void TfrmMainQuorvane::HandOver(const QString &jobFilePath)
{
    // Nothing the other start asks for runs behind a cancelled or wrong
    // password, or while the prompt of an earlier request is still open.
    if (!ShowFromTray())
        return;
    if (!jobFilePath.isEmpty())
        OpenJobFile(jobFilePath);
}

void TfrmMainQuorvane::AttachEntry(ApplicationEntry &entry)
{
    SetFirstShowHandler([&entry] { entry.FirstShown(); });
    connect(&entry, &ApplicationEntry::HandOverRequested, this, &TfrmMainQuorvane::HandOver);
    connect(&entry, &ApplicationEntry::OpenJobFileRequested, this, &TfrmMainQuorvane::OpenJobFile);
}

// --- closing and quitting ---

void TfrmMainQuorvane::closeEvent(QCloseEvent *event)
{
    SaveView();
    if (!AppState::ApplicationClosing) {
        // Closing only hides: the program goes on in the notification area.
        event->ignore();
        hide();
        return;
    }
    if (m_closedForGood) {
        event->accept();
        return;
    }
    m_closedForGood = true;
    // Cancel every active job and wait for them a while.
    m_core.Quit(kQuitWaitMs);
    TrayIcon->hide();
    event->accept();
    Q_EMIT QuitFinished();
}

void TfrmMainQuorvane::actionQuit()
{
    const bool active = m_core.AnyJobActive();
    const QString question =
        active ? Translate(QStringLiteral("Some jobs are currently running.")) + QLatin1Char('\n') +
                     Translate(QStringLiteral("Do you want to cancel them and quit?"))
               : FillPercentS(Translate(QStringLiteral("Quit %s?")), {QLatin1String(AppState::ApplicationTitle)});
    if (ShowMessageDialog(question, mtConfirmation, mbYesNo, 0, this) == mrNo)
        return;
    if (active)
        m_core.AppendToEvents({question});
    AppState::ApplicationClosing = true;
    close();
}

void TfrmMainQuorvane::EndSession()
{
    AppState::ApplicationClosing = true;
    close();
}

// --- the persisted view ---

void TfrmMainQuorvane::SaveView() const
{
    QSettings s = viewSettings();
    const QRect g = isMaximized() ? normalGeometry() : geometry();
    s.setValue(QStringLiteral("window_x"), g.x());
    s.setValue(QStringLiteral("window_y"), g.y());
    s.setValue(QStringLiteral("window_w"), g.width());
    s.setValue(QStringLiteral("window_h"), g.height());
    s.setValue(QStringLiteral("window_m"), isMaximized() ? 1 : 0);
    s.setValue(QStringLiteral("view_as_cards"), lbJobsList->IsCardView() ? 1 : 0);
    s.setValue(QStringLiteral("filters_visible"), ActionShowFilters->isChecked() ? 1 : 0);
    s.setValue(QStringLiteral("filters_width"), pnFilters->width());
    s.setValue(QStringLiteral("events_visible"), ActionShowEvents->isChecked() ? 1 : 0);
    s.setValue(QStringLiteral("events_height"), pnEvents->height());
    s.sync();
}

void TfrmMainQuorvane::LoadView()
{
    const QSettings s = viewSettings();
    const auto value = [&s](const char *key, int fallback, bool *present = nullptr) {
        bool ok = false;
        const int v = s.value(QLatin1String(key)).toInt(&ok);
        if (present)
            *present = ok && s.contains(QLatin1String(key));
        return ok && s.contains(QLatin1String(key)) ? v : fallback;
    };
    QRect available(0, 0, 1280, 800);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        available = screen->availableGeometry();
    bool hasX = false, hasY = false;
    const int w = qBound(400, value("window_w", qMin(980, available.width())), qMax(400, available.width() * 2));
    const int h = qBound(300, value("window_h", qMin(680, available.height())), qMax(300, available.height() * 2));
    const int x = value("window_x", 0, &hasX);
    const int y = value("window_y", 0, &hasY);
    resize(w, h);
    if (hasX && hasY)
        move(x, y);
    else
        move(available.center() - QPoint(w / 2, h / 2)); // centred on the screen
    if (value("window_m", 0) == 1)
        setWindowState(windowState() | Qt::WindowMaximized);

    SetCardView(value("view_as_cards", 1) != 0);
    setFiltersVisible(value("filters_visible", 1) != 0);
    setEventsVisible(value("events_visible", 1) != 0);
    bool hasWidth = false, hasHeight = false;
    const int filtersWidth = value("filters_width", 0, &hasWidth);
    const int eventsHeight = value("events_height", 0, &hasHeight);
    if (hasWidth && filtersWidth > 0) {
        const int total = qMax(spTop->width(), w);
        spTop->setSizes({filtersWidth, qMax(100, total - filtersWidth)});
    }
    if (hasHeight && eventsHeight > 0) {
        const int total = qMax(spMain->height(), h - 120);
        spMain->setSizes({qMax(100, total - eventsHeight), eventsHeight});
    }
}

// --- the Events list ---

void TfrmMainQuorvane::saveEvents()
{
    QFileDialog dialog(this, Translate(QStringLiteral("Save to file...")));
    dialog.setObjectName(QStringLiteral("dlgSaveEvents"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Translate(QStringLiteral("Text files")) + QStringLiteral(" (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontUseNativeDialog, HasModalHook());
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QStringList lines;
    for (int i = 0; i < lbCommonLog->count(); ++i)
        lines << lbCommonLog->item(i)->text();
    QString error;
    if (!WriteTextLines(dialog.selectedFiles().first(), lines, &error))
        ShowErrorDialog(error, this);
}
