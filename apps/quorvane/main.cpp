// The windowed program: the entry with its single-instance rule and
// command-line words, the application core, and the main window on top.
#include "app/applicationentry.h"
#include "app/options/options.h"
#include "base/appstate.h"
#include "gui/editing/editingwindows.h"
#include "gui/shell/mainwindow.h"
#include "gui/shell/screenshots.h"
#include "platform/allocator.h"

#include <QApplication>
#include <QSessionManager>
#include <QStyleFactory>
#include <QTextStream>

int main(int argc, char **argv)
{
    ConfigureAllocator();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(AppState::ApplicationTitle));
    QApplication::setOrganizationName(QLatin1String(AppState::ApplicationTitle));
    QApplication::setApplicationVersion(TfrmMainQuorvane::VersionText());
    // The program's light visual style, the same on every desktop.
    if (QStyle *style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    // Closing the window hides it; the program lives on in the notification area.
    app.setQuitOnLastWindowClosed(false);

    QStringList arguments = QApplication::arguments().mid(1);
    const QString screenshotFolder = ScreenshotSession::TakeSwitch(arguments);

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

    std::unique_ptr<ScreenshotSession> screenshots;
    int exitCode = 0;
    if (!screenshotFolder.isEmpty()) {
        screenshots = std::make_unique<ScreenshotSession>(window, screenshotFolder);
        QObject::connect(screenshots.get(), &ScreenshotSession::Finished, &window, [&window, &exitCode](bool ok) {
            exitCode = ok ? 0 : 1;
            window.EndSession();
        });
        screenshots->Start();
    }
    const int result = app.exec();
    return exitCode != 0 ? exitCode : result;
}
