// The screenshot tool: the windowed program, started as the user starts it,
// that saves a picture of each window into the folder of its switch
// "--screenshots=DIR" and then quits (scripts/screenshots.sh). Test-only:
// the shipped program has no such mode.
#include "gui/shell/mainwindow.h"
#include "gui/shell/windowedprogram.h"
#include "platform/allocator.h"
#include "screenshots.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    ConfigureAllocator();
    QApplication app(argc, argv);
    WindowedProgram::SetUpApplication(app);
    QStringList arguments = QApplication::arguments().mid(1);
    const QString folder = ScreenshotSession::TakeSwitch(arguments);
    if (folder.isEmpty()) {
        QTextStream(stderr) << "usage: qv_screenshots --screenshots=DIR [program arguments]\n";
        return 2;
    }
    return WindowedProgram::Run(app, arguments, [&folder](TfrmMainQuorvane &window, std::function<void(int)> finish) {
        auto *session = new ScreenshotSession(window, folder, &window);
        QObject::connect(session, &ScreenshotSession::Finished, &window,
                         [finish = std::move(finish)](bool ok) { finish(ok ? 0 : 1); });
        session->Start();
    });
}
