#pragma once
// The icons of the main window, drawn in code so that the program ships no
// image files: toolbar and menu actions, the card links, the job kinds and
// the program's own icon (window and notification area).
#include <QIcon>
#include <QPixmap>
#include <QString>

enum class ShellIcon {
    App,
    NewJob,
    Open,
    Properties,
    Duplicate,
    Rename,
    Remove,
    Backup,
    Restore,
    History,
    ViewLog,
    Options,
    Pause,
    Resume,
    Cancel,
    MoveUp,
    MoveDown,
    Search,
};

QIcon ShellIconFor(ShellIcon icon);
QPixmap ShellPixmap(ShellIcon icon, int size);

// The card icon of a job: `name` is the job's bmpIcon (jobs/jobicons.h).
QPixmap JobIconPixmap(const QString &name, int size);
