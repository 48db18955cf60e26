#pragma once
// Process-wide state that every part of the program reads.
#include <QString>
#include <atomic>

namespace AppState {
// The program is quitting: windows really close, the scheduler stops and
// Translate returns texts unchanged.
extern std::atomic<bool> ApplicationClosing;
// Started with one of the words backup, restore, remove or admin.
extern std::atomic<bool> CommandLineRun;

inline constexpr const char *ApplicationTitle = "Quorvane";

// The extension of remote job files: ".qvj", or ".qvk" when the legacy jobs
// list is in use. Set once at start-up before any job runs.
QString JobFileExtension();
void SetJobFileExtension(const QString &ext);
// The extension of a backup set's state lists.
inline QString StateFileExtension() { return QStringLiteral(".qvl"); }
// The extension of local job files.
inline QString LocalJobFileExtension() { return QStringLiteral(".qvd"); }
} // namespace AppState
