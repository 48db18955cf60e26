#pragma once
// The application's event lines. Any thread may add one; the main window
// (or the application core) drains the queue once a second into its Events list.
#include <QString>
#include <QStringList>

// Appends DateTimeToStr(now) + ": " + text to PendingEvents.
void AddEvent(const QString &text);

namespace PendingEvents {
// Appends a line as it stands (no time stamp).
void Append(const QString &line);
// Removes and returns every queued line, oldest first.
QStringList TakeAll();
} // namespace PendingEvents
