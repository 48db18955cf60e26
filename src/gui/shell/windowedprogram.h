#pragma once
// The windowed program from its command line to the end of its event loop:
// the entry with its single-instance rule and command-line words, the
// application core, the main window with the job windows plugged in, and
// the program password at start. The program's main() is this; a tool
// that drives the same program (tests/screenshots) passes a hook that runs
// once the window is up.
#include <QStringList>
#include <functional>

class QApplication;
class TfrmMainQuorvane;

namespace WindowedProgram {

// The application's names, version and visual style; called once, right
// after the QApplication is made.
void SetUpApplication(QApplication &app);

// Runs once the main window is shown; `finish` ends the program the way
// the end of the desktop session does, with the given exit code.
using StartedHook = std::function<void(TfrmMainQuorvane &window, std::function<void(int exitCode)> finish)>;

// Runs the program with `arguments` (without the program's name) and
// returns its exit code.
int Run(QApplication &app, const QStringList &arguments, const StartedHook &started = {});

} // namespace WindowedProgram
