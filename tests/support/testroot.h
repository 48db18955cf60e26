#pragma once
// Points HOME, XDG_CONFIG_HOME, XDG_DOCUMENTS_DIR and TMPDIR at folders below
// `root` so that a test process never touches the user's real files.
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
    return true;
}
