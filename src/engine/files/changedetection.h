#pragma once
// What the source scan reads of a file and which entries it leaves out:
// the change key of a file, the extension filter, the excluded system
// names, the excluded folders and hidden entries.
#include "options/options.h"
#include "jobs/jobtypes.h"

#include <QDateTime>
#include <QSet>
#include <QString>

// The change key of a file: its last-write time in local time as
// "yyyy-MM-dd hh:mm:ss:zzz" (24-hour clock, milliseconds included).
QString FileTimeText(const QDateTime &lastModified);
// The same for a time in milliseconds since 1970-01-01 UTC.
QString FileTimeText(qint64 utcMs);

class SourceFilter {
public:
    SourceFilter(const TSourceSettings &sources, const TOptions &options);

    // A hidden entry (its name starts with '.') that the options skip.
    bool SkipsHidden(const QString &name) const;
    // A file inside a folder item that the extension filter or the list of
    // system names leaves out.
    bool SkipsFile(const QString &name) const;
    // A folder inside a folder item that is excluded: `fullPath` (without a
    // trailing separator) is an entry of the excluded folders, or
    // "%anypath%/" + its name is, or it is the temporary files root.
    // Compared in lower case, like the stored entries.
    bool ExcludesFolder(const QString &fullPath, const QString &name) const;

private:
    TFilterType m_filterType;
    QString m_extensions; // ";" + Extensions + ";"
    bool m_skipHidden;
    QSet<QString> m_excluded; // lower case, without a trailing separator
    QString m_tempRoot;       // lower case, without a trailing separator
};
