#pragma once
// Helpers of the ZIP tests: the outside programs that judge our archives,
// small source trees, and reading an archive back.
#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

namespace ZipTest {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

// Runs a program to its end (stdin closed); exit code -1 when it could not
// be started or did not finish within `timeoutMs`.
ToolResult Run(const QString &program, const QStringList &args, int timeoutMs = 600000);

// `7z t` (with -p when a password is given): exit code 0 and "Everything is Ok".
ToolResult SevenZipTest(const QString &archive, const QString &password = QString());
// `unzip -t` (with -P when a password is given).
ToolResult UnzipTest(const QString &archive, const QString &password = QString());
// `bsdtar -tf`: the listed names.
ToolResult BsdtarList(const QString &archive);

// Runs a Python 3 script (stdin closed); used to build hostile archives.
ToolResult Python(const QString &script, const QStringList &args = {});

// Bytes that deflate well / that do not compress at all.
QByteArray CompressibleBytes(qsizetype size, int seed = 1);
QByteArray RandomBytes(qsizetype size, int seed = 1);

// Writes a file and sets its modification time (whole seconds, UTC).
void WriteFileWithTime(const QString &path, const QByteArray &data, qint64 modifiedSecs);

// Every regular file below `folder` by relative path, with its content.
QMap<QString, QByteArray> ReadTree(const QString &folder);
// Every folder below `folder` by relative path.
QStringList FolderList(const QString &folder);

// A fresh empty folder below the test's private root.
QString FreshFolder(const QString &name);

} // namespace ZipTest
