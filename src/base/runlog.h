#pragma once
// Helpers for run-log lines: "<time>: <text>" with the time of day in the
// user's long time format.
#include <QDateTime>
#include <QString>
#include <QStringView>

// The time of day of `when` in the long time format, ": ", then the text.
QString FormatLogLine(const QDateTime &when, const QString &text);
// The same at the current time.
QString TimedLine(const QString &text);
// Removes every CR LF pair from a message (and the line breaks at its end)
// so that it stays on one log line. A lone CR or LF left over, part of a
// file name, say, is shown the way VisibleText shows it.
QString RemoveLineBreaks(const QString &message);
// `text` with every control character shown as an escape ("\n", "\r",
// "\t", otherwise "\x1B" and the like) and every byte of a file name that
// is not UTF-8 as "\xE9" (see filenamecodec.h), so that a file name never
// brings a line break or a terminal command into a log, a window or a
// console. With `keepLayout`, line feeds and tabs stay as they are (text
// that is laid out in lines and columns).
QString VisibleText(QStringView text, bool keepLayout = false);
