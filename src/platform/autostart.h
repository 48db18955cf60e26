#pragma once
// The run-at-log-on entry: an XDG autostart file
// $XDG_CONFIG_HOME/autostart/Quorvane.desktop that starts the windowed
// program with the word "hide" (no window, the scheduler runs at once).
#include <QString>

namespace Autostart {
// The path of the autostart file.
QString EntryPath();
// The program the entry starts: the windowed program "quorvane" beside the
// running executable when there is one, else the running executable.
QString ProgramPath();
// The content of the autostart file for `programPath` (quoted and escaped by
// the rules of desktop entries).
QByteArray DesktopEntry(const QString &programPath);
// True when the autostart file exists.
bool IsSet();
} // namespace Autostart

// Writes (on) or removes (off) the autostart file for Autostart::ProgramPath().
// On failure adds the event "Error writing to Registry. Make sure you have
// the rights." and returns false. Removing an entry that is not there succeeds.
bool SetRunAtLogon(bool on);
// The same for an explicit program path.
bool SetRunAtLogon(bool on, const QString &programPath);
