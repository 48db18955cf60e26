#include "platform/mountpoints.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The mounts file writes blanks, tabs, new lines and backslashes as octal escapes.
QString decodeField(const QByteArray &field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int v = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out.append(char(v));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return QFile::decodeName(out);
}

// The real form of `path`: its deepest existing folder resolved, the rest kept.
QString realPath(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!existing.isEmpty() && existing != QLatin1String("/") && !QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        rest = existing.mid(slash) + rest;
        existing = slash > 0 ? existing.left(slash) : QStringLiteral("/");
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? existing : canonical) + rest);
}
} // namespace

namespace MountPoints {
QStringList All()
{
    QStringList points;
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("/")};
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 2)
            points.append(decodeField(fields[1]));
    }
    if (!points.contains(QStringLiteral("/")))
        points.append(QStringLiteral("/"));
    return points;
}

bool IsOpticalMount(const QString &device, const QString &fileSystem)
{
    const QString fs = fileSystem.toLower();
    return device.startsWith(QLatin1String("/dev/sr")) || device.startsWith(QLatin1String("/dev/cdrom"))
           || fs == QLatin1String("iso9660") || fs == QLatin1String("udf");
}

bool IsOpticalDrive(const QString &mountPoint)
{
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString wanted = QDir::cleanPath(mountPoint);
    bool optical = false;
    // The last mount of a point is the one in effect.
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() >= 3 && QDir::cleanPath(decodeField(fields[1])) == wanted)
            optical = IsOpticalMount(decodeField(fields[0]), decodeField(fields[2]));
    }
    return optical;
}

QString Of(const QString &path)
{
    const QString real = realPath(path);
    QString best = QStringLiteral("/");
    for (const QString &point : All()) {
        const QString p = QDir::cleanPath(point);
        const bool inside = real == p || (p == QLatin1String("/") ? real.startsWith(p) : real.startsWith(p + QLatin1Char('/')));
        if (inside && p.size() > best.size())
            best = p;
    }
    return best;
}
} // namespace MountPoints
