#include "gui/shell/windowedprogram.h"

#include "app/applicationentry.h"
#include "base/appstate.h"
#include "gui/editing/editingwindows.h"
#include "gui/shell/mainwindow.h"

#include <QApplication>
#include <QSessionManager>
#include <QStyleFactory>
#include <QTextStream>

namespace WindowedProgram {

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QLatin1String(AppState::ApplicationTitle));
    QApplication::setOrganizationName(QLatin1String(AppState::ApplicationTitle));
    QApplication::setApplicationVersion(TfrmMainQuorvane::VersionText());
    // The program's light visual style, the same on every desktop.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    // Closing the window hides it; the program lives on in the notification area.
    app.setQuitOnLastWindowClosed(false);
}

int Run(QApplication &app, const QStringList &arguments, const StartedHook &started)
{
    ApplicationEntry entry(arguments);
    QString error;
    switch (entry.Start(&error)) {
    case ApplicationEntry::Outcome::Run:
        break;
    case ApplicationEntry::Outcome::Failed:
        QTextStream(stderr) << "Quorvane: " << error << '\n';
        return 1;
    case ApplicationEntry::Outcome::HandedOver:
    case ApplicationEntry::Outcome::NoInstance:
    case ApplicationEntry::Outcome::Closing:
        return 0;
    }

    TfrmMainQuorvane window(entry.Core());
    window.SetJobWindows(CreateEditingJobWindows());
    window.AttachEntry(entry);
    QObject::connect(&window, &TfrmMainQuorvane::QuitFinished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // The end of the desktop session closes the program like Quit, unasked.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.EndSession(); });

    // The program password at start: cancelled or wrong ends the program.
    if (!window.ShowAtStart(entry.Arguments().Hide))
        return 0;

    int exitCode = 0;
    if (started) {
        started(window, [&window, &exitCode](int code) {
            exitCode = code;
            window.EndSession();
        });
    }
    const int result = app.exec();
    return exitCode != 0 ? exitCode : result;
}

} // namespace WindowedProgram
