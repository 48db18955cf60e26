// The main window's tools and help: options, about, the welcome window, the
// web pages and the shutdown window after the day's last run.
#include "gui/shell/mainwindow.h"

#include "app/applicationcore.h"
#include "options/options.h"
#include "gui/notify/shutdowndialog.h"
#include "gui/shell/helplinks.h"
#include "gui/tools/about.h"
#include "gui/tools/optionsapply.h"
#include "gui/tools/optionswindow.h"
#include "gui/tools/welcome.h"
#include "gui/common/modalrun.h"
#include "base/events.h"

void TfrmMainQuorvane::actionOptions()
{
    if (!m_options)
        m_options = new TfrmOptions(this);
    EditOptions(*m_options, TfrmOptions::pgGeneral, this);
    m_core.DrainEvents();
    RefreshFromCore();
}

void TfrmMainQuorvane::actionAbout()
{
    if (!m_about)
        m_about = new TfrmAbout(this);
    ExecModal(*static_cast<QDialog *>(m_about.data()));
}

void TfrmMainQuorvane::openHelpPage(int page)
{
    const QUrl url = HelpPageUrl(static_cast<HelpPage>(page), Options().Language.LanguageOfInterface);
    if (!OpenUrlInBrowser(url)) {
        AddEvent(Translate(QStringLiteral("Unable to open the web page:")) + QLatin1Char(' ') + url.toString());
        m_core.DrainEvents();
    }
}

void TfrmMainQuorvane::showWelcomeIfNeeded()
{
    if (!TfrmWelcome::ShouldShow(m_core.Jobs().Count() == 0))
        return;
    if (!m_welcome) {
        auto *welcome = new TfrmWelcome(this);
        connect(welcome, &TfrmWelcome::NewJobRequested, this, &TfrmMainQuorvane::actionNewJob);
        connect(welcome, &TfrmWelcome::OpenRequested, this, &TfrmMainQuorvane::actionOpen);
        connect(welcome, &TfrmWelcome::UserGuideRequested, this, [this] { openHelpPage(0); });
        m_welcome = welcome;
    }
    // Not modal: the main window stays usable behind it.
    m_welcome->show();
}

void TfrmMainQuorvane::showShutdownWindow()
{
    if (!m_shutdown)
        m_shutdown = new TfrmPCshutdownDialog(ShutdownActionsFor(m_core), this);
    if (!m_shutdown->isVisible())
        m_shutdown->show();
}
