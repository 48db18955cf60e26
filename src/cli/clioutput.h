#pragma once
// Writing to the console: results on standard output, messages, events and
// the progress line on standard error. Control characters other than line
// feeds and tabs are written as visible escapes (see VisibleText).
#include <QString>
#include <QStringList>

namespace CliOut {
void Out(const QString &line);
void Err(const QString &line);
// Clears a progress line drawn on standard error (if any) before a message.
void ClearProgress();
// Draws `line` as the progress line (redrawn in place on a terminal).
void Progress(const QString &line);
// The text of an event line without its time stamp.
QString EventText(const QString &eventLine);
} // namespace CliOut
