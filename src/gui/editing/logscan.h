#pragma once
// Finding the error and warning lines of a run log. An error line holds the
// translated "ERROR:" anywhere (exact case); a warning line is any other line
// holding the translated "WARNING:". The words are passed in so that a log
// is read with the words of the language selected now.
#include <QString>
#include <QStringList>

enum class LogLineKind { Plain, Error, Warning };

struct LogMarkers {
    QString error;   // the translated "ERROR:"
    QString warning; // the translated "WARNING:"

    // The words of the interface language selected now.
    static LogMarkers Current();
};

LogLineKind ClassifyLogLine(const QString &line, const LogMarkers &markers);

struct LogLineCounts {
    int errors = 0;
    int warnings = 0;
};
LogLineCounts CountLogLines(const QStringList &lines, const LogMarkers &markers);

// The next line of `kind` after `current`, wrapping around once to the
// lines up to and including `current`; -1 when there is none.
int FindNextLogLine(const QStringList &lines, int current, LogLineKind kind, const LogMarkers &markers);
// The same backwards: the lines before `current`, then from the end down to
// and including `current`.
int FindPreviousLogLine(const QStringList &lines, int current, LogLineKind kind, const LogMarkers &markers);
