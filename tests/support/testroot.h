#pragma once
// Points HOME, XDG_CONFIG_HOME, XDG_DOCUMENTS_DIR and TMPDIR at folders below
// `root` so that a test process never touches the user's real files, and
// names the local time zone in TZ when it is unset.
#include <QByteArray>
#include <QDir>
#include <QString>

inline bool PrepareTestRoot(const QString &root)
{
    const QByteArray r = root.toUtf8();
    for (const char *sub : {"/home", "/config", "/tmp", "/home/Documents"})
        if (!QDir().mkpath(QString::fromUtf8(r + sub)))
            return false;
    qputenv("QV_TEST_ROOT", r);
    qputenv("HOME", r + "/home");
    qputenv("XDG_CONFIG_HOME", r + "/config");
    qputenv("XDG_DOCUMENTS_DIR", r + "/home/Documents");
    qputenv("TMPDIR", r + "/tmp");
    // glibc frees and copies its time-zone name at every tzset() while TZ is
    // unset; its own lock makes that safe, but ThreadSanitizer cannot see
    // that lock. The same zone, named, keeps sanitizer runs quiet here and
    // in every program a test starts.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    return true;
}
