#include "engine/files/changedetection.h"

#include "platform/directoryscan.h"

#include <cstdio>

namespace {

const char *const kSystemNames[] = {"dumpstack.log.tmp", "pagefile.sys",    "swapfile.sys",   "ntuser.dat",
                                    "hiberfil.sys",      "ntuser.dat.log1", "ntuser.dat.log2"};

QString WithoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

namespace {
QString TimeText(int year, int month, int day, int hour, int minute, int second, int msec)
{
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d:%03d", year, month, day, hour, minute,
                                second, msec);
    return QString::fromLatin1(buf, n);
}
} // namespace

QString FileTimeText(const QDateTime &lastModified)
{
    const QDate d = lastModified.date();
    const QTime t = lastModified.time();
    return TimeText(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

QString FileTimeText(qint64 utcMs)
{
    DirectoryScan::LocalTime t;
    if (!DirectoryScan::ToLocalTime(utcMs, t))
        return FileTimeText(QDateTime::fromMSecsSinceEpoch(utcMs));
    return TimeText(t.year, t.month, t.day, t.hour, t.minute, t.second, t.msec);
}

SourceFilter::SourceFilter(const TSourceSettings &sources, const TOptions &options)
    : m_filterType(sources.FilterType),
      m_extensions(QLatin1Char(';') + sources.Extensions + QLatin1Char(';')),
      m_skipHidden(options.Processing.SkipHiddenSystemFiles),
      m_tempRoot(WithoutTrailingSeparator(options.General.PathForTempFiles).toLower())
{
    for (const QString &entry : options.ExcludedDirs) {
        if (!entry.isEmpty())
            m_excluded.insert(WithoutTrailingSeparator(entry).toLower());
    }
}

bool SourceFilter::SkipsHidden(const QString &name) const
{
    return m_skipHidden && name.startsWith(QLatin1Char('.'));
}

bool SourceFilter::SkipsFile(const QString &name) const
{
    if (m_filterType != ftNoFilters) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toLower();
        const bool listed = m_extensions.contains(QLatin1Char(';') + ext + QLatin1Char(';'));
        if (m_filterType == ftIncludeOnly ? !listed : listed)
            return true;
    }
    for (const char *system : kSystemNames) {
        if (name.compare(QLatin1String(system), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool SourceFilter::ExcludesFolder(const QString &fullPath, const QString &name) const
{
    const QString lower = fullPath.toLower();
    if (!m_tempRoot.isEmpty() && lower == m_tempRoot)
        return true;
    if (m_excluded.isEmpty())
        return false;
    return m_excluded.contains(lower) || m_excluded.contains(QStringLiteral("%anypath%/") + name.toLower());
}
