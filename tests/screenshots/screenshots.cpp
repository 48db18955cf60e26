#include "screenshots.h"

#include "app/applicationcore.h"
#include "options/options.h"
#include "gui/editing/editingpreviews.h"
#include "gui/editing/fileswizard.h"
#include "gui/editing/jobkindchooser.h"
#include "gui/editing/logviewer.h"
#include "gui/editing/restorelist.h"
#include "base/appstate.h"
#include "gui/shell/mainwindow.h"
#include "gui/tools/optionswindow.h"
#include "gui/tools/welcome.h"
#include "jobs/job.h"
#include "jobs/jobkinds.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>

namespace {
// Longest wait for a job to be in the middle of a copy.
constexpr int kMaxWaitMs = 60000;
constexpr int kPollMs = 10;

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}
} // namespace

QString ScreenshotSession::TakeSwitch(QStringList &arguments)
{
    const QString prefix = QStringLiteral("--screenshots=");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i].startsWith(prefix)) {
            const QString folder = arguments[i].mid(prefix.size());
            arguments.removeAt(i);
            return folder;
        }
    }
    return QString();
}

ScreenshotSession::ScreenshotSession(TfrmMainQuorvane &window, const QString &folder, QObject *parent)
    : QObject(parent), m_window(window), m_folder(folder)
{
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &ScreenshotSession::poll);
}

void ScreenshotSession::Start()
{
    QDir().mkpath(m_folder);
    m_window.resize(1100, 720);
    m_poll.start();
}

void ScreenshotSession::poll()
{
    m_waitedMs += kPollMs;
    bool copying = false;
    bool anyJob = false;
    for (const auto &job : m_window.Core().Jobs().Jobs()) {
        anyJob = true;
        const int percent = job->CurrentFileOperationProgress.load();
        if (job->JobStatus.load() == jsRunning && percent > 3 && percent < 97)
            copying = true;
    }
    // The status bar counts the running job once a tick has seen it.
    if (copying && m_window.Core().Counts().Running == 0)
        copying = false;
    if (!copying && anyJob && m_waitedMs < kMaxWaitMs)
        return;
    m_poll.stop();
    if (!copying)
        QTextStream(stderr) << "screenshots: no job was busy copying; taking the windows as they are\n";
    takeAll();
}

bool ScreenshotSession::Save(QWidget &widget, const QString &name)
{
    settle();
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    const QPixmap shot = widget.grab();
    if (shot.isNull() || !shot.save(path, "PNG")) {
        QTextStream(stderr) << "screenshots: cannot save " << path << '\n';
        m_ok = false;
        return false;
    }
    m_saved << path;
    return true;
}

void ScreenshotSession::takeAll()
{
    // The list as the tick draws it, at once, while the copy goes on.
    m_window.RefreshFromCore();
    m_window.SelectRow(0);
    m_window.JobsView()->setFocus();
    m_window.SetCardView(true);
    Save(m_window, QStringLiteral("TfrmMainQuorvane-cards"));
    m_window.SetCardView(false);
    Save(m_window, QStringLiteral("TfrmMainQuorvane-table"));
    m_window.SetCardView(true);

    TfrmOptions options(&m_window);
    options.OptionsToControls(Options());
    options.show();
    for (int page = 0; page < TfrmOptions::PageCount; ++page) {
        options.pcOptions()->setCurrentIndex(page);
        Save(options, QStringLiteral("TfrmOptions-") + TfrmOptions::PageKey(static_cast<TfrmOptions::Page>(page)));
    }
    options.hide();

    TfrmWelcome welcome(&m_window);
    welcome.show();
    Save(welcome, QStringLiteral("TfrmWelcome"));
    welcome.hide();

    // The job kind chooser, as New Job shows it.
    TfrmSourceType chooser(&m_window);
    chooser.show();
    Save(chooser, QStringLiteral("TfrmSourceType"));
    chooser.hide();

    // The log viewer on the first idle job with a log, and the restore
    // points of the first idle files job whose set can be read.
    bool logShown = false;
    bool pointsShown = false;
    for (const auto &job : m_window.Core().Jobs().Jobs()) {
        if (job->JobStatus.load() != jsNone)
            continue;
        if (!logShown) {
            if (std::unique_ptr<TfrmLog> log = LogViewerPreview(*job, &m_window)) {
                log->show();
                Save(*log, QStringLiteral("TfrmLog"));
                logShown = true;
            }
        }
        auto *files = qobject_cast<TJob_FilesAndFolders *>(job.get());
        if (!pointsShown && files) {
            if (std::unique_ptr<TfrmRestoreList> points = RestoreListPreview(*files, &m_window)) {
                points->show();
                Save(*points, QStringLiteral("TfrmRestoreList"));
                pointsShown = true;
                // The wizard's pages on the same job, as Properties shows them.
                TfrmWizard_FilesBackup wizard(&m_window);
                wizard.JobToControls(*files);
                wizard.setWindowTitle(QStringLiteral(" Properties - ") + files->stJobName);
                wizard.show();
                const char *pages[] = {"Sources", "Destination", "BackupType", "Compression", "Scheduler"};
                for (int page = 0; page < TfrmWizard_FilesBackup::PageCount; ++page) {
                    wizard.ShowPage(page);
                    Save(wizard, QStringLiteral("TfrmWizard_FilesBackup-") + QLatin1String(pages[page]));
                }
                wizard.hide();
            }
        }
    }

    for (const QString &path : std::as_const(m_saved))
        QTextStream(stdout) << path << '\n';
    Q_EMIT Finished(m_ok);
}
