#pragma once
// The checks of the files-backup wizard that need no window: extension
// lists, source items that would overwrite each other at the destination,
// and the ordered timetable.
#include <QString>
#include <QStringList>

// Normalises an extension list as typed (blanks removed, lower case, one
// leading and one trailing ";" removed) into `text`; returns the English
// warning when the result is not usable, else an empty string.
QString ValidateExtensionList(QString &text);

// The first later item whose name (a folder's last component, a file's name,
// compared without regard to case, folders and files apart) an earlier item
// already has: "later CR LF earlier"; empty when there is none.
QString GetDuplicatedNamesOfFoldersOrFiles(const QStringList &items);

// The item's path without the folder marker "/*".
QString SourceItemPath(const QString &item);
bool IsFolderItem(const QString &item);

// Inserts "HH:MM:SS" keeping the list ascending; false when it is listed.
bool InsertTimeSorted(QStringList &timeTable, const QString &time);
