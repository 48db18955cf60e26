#include "platform/autostart.h"

#include "base/appstate.h"
#include "base/events.h"
#include "base/filewrite.h"
#include "platform/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char *const kWriteError = "Error writing to Registry. Make sure you have the rights.";

// Quotes one Exec argument: inside the double quotes a backslash goes before
// each double quote, backquote, dollar sign and backslash; a percent sign is
// doubled so that it is no field code.
QString quoteExecArgument(const QString &arg)
{
    QString out = QStringLiteral("\"");
    for (QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('%'))
            out += QLatin1Char('%');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

// The escapes of a desktop entry's string values (applied after quoting).
QString escapeValue(const QString &value)
{
    QString out;
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default: out += c;
        }
    }
    return out;
}

void reportFailure(const QString &detail)
{
    qWarning("Autostart entry: %s", qPrintable(detail));
    AddEvent(QLatin1String(kWriteError));
}
} // namespace

namespace Autostart {
QString EntryPath()
{
    return Folders::ConfigHome() + QStringLiteral("/autostart/") + QLatin1String(AppState::ApplicationTitle)
        + QStringLiteral(".desktop");
}

QString ProgramPath()
{
    QString self = QCoreApplication::instance() ? QCoreApplication::applicationFilePath()
                                                : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QFileInfo info(self);
    if (info.fileName() == QLatin1String("quorvane"))
        return info.absoluteFilePath();
    const QFileInfo windowed(info.absolutePath() + QStringLiteral("/quorvane"));
    if (windowed.isFile() && windowed.isExecutable())
        return windowed.absoluteFilePath();
    return info.absoluteFilePath();
}

QByteArray DesktopEntry(const QString &programPath)
{
    const QString exec = quoteExecArgument(programPath) + QStringLiteral(" --hide");
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=") + QLatin1String(AppState::ApplicationTitle) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + escapeValue(exec) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool IsSet()
{
    return QFileInfo(EntryPath()).isFile();
}
} // namespace Autostart

bool SetRunAtLogon(bool on)
{
    return SetRunAtLogon(on, Autostart::ProgramPath());
}

bool SetRunAtLogon(bool on, const QString &programPath)
{
    const QString path = Autostart::EntryPath();
    if (on) {
        const QString dir = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(dir)) {
            reportFailure(QStringLiteral("cannot create the folder %1").arg(dir));
            return false;
        }
        QString error;
        if (!WriteFileAtomically(path, Autostart::DesktopEntry(programPath), &error)) {
            reportFailure(QStringLiteral("cannot write %1: %2").arg(path, error));
            return false;
        }
        return true;
    }
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    QFile f(path);
    if (info.isDir() || !f.remove()) {
        reportFailure(QStringLiteral("cannot remove %1: %2").arg(path, info.isDir() ? QStringLiteral("it is a folder") : f.errorString()));
        return false;
    }
    return true;
}
