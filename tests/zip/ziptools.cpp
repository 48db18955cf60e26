#include "zip/ziptools.h"

#include "support/testenv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace ZipTest {

ToolResult Run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, args);
    ToolResult r;
    if (!p.waitForStarted(30000)) {
        r.output = QStringLiteral("cannot start %1").arg(program);
        return r;
    }
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.output = QString::fromLocal8Bit(p.readAll()) + QStringLiteral("\n(timed out)");
        return r;
    }
    r.output = QString::fromLocal8Bit(p.readAll());
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

ToolResult SevenZipTest(const QString &archive, const QString &password)
{
    QStringList args{QStringLiteral("t"), QStringLiteral("-bd")};
    // Standard input is closed: a password prompt fails instead of waiting.
    if (!password.isEmpty())
        args << QStringLiteral("-p") + password;
    args << archive;
    ToolResult r = Run(QStringLiteral("7z"), args);
    if (r.exitCode == 0 && !r.output.contains(QStringLiteral("Everything is Ok")))
        r.exitCode = 99;
    return r;
}

ToolResult UnzipTest(const QString &archive, const QString &password)
{
    QStringList args{QStringLiteral("-t")};
    if (!password.isEmpty())
        args << QStringLiteral("-P") << password;
    args << archive;
    return Run(QStringLiteral("unzip"), args);
}

ToolResult BsdtarList(const QString &archive)
{
    return Run(QStringLiteral("bsdtar"), {QStringLiteral("-tf"), archive});
}

ToolResult Python(const QString &script, const QStringList &args)
{
    return Run(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + args);
}

QByteArray CompressibleBytes(qsizetype size, int seed)
{
    QByteArray out;
    out.reserve(size);
    QRandomGenerator rng{quint32(seed)};
    static const char *words[] = {"backup ", "archive ", "restore ", "folder ", "file ", "zip ", "\n", "Quorvane "};
    while (out.size() < size)
        out.append(words[rng.bounded(8)]);
    out.truncate(size);
    return out;
}

QByteArray RandomBytes(qsizetype size, int seed)
{
    QByteArray out(size, '\0');
    QRandomGenerator rng(quint32(seed) * 7919u + 1);
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char(rng.generate() & 0xff);
    return out;
}

void WriteFileWithTime(const QString &path, const QByteArray &data, qint64 modifiedSecs)
{
    TestEnv::WriteFile(path, data);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(modifiedSecs), QFileDevice::FileModificationTime));
}

QMap<QString, QByteArray> ReadTree(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext()) {
        const QString p = it.next();
        out.insert(base.relativeFilePath(p), TestEnv::ReadFile(p));
    }
    return out;
}

QStringList FolderList(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir base(folder);
    while (it.hasNext())
        out << base.relativeFilePath(it.next());
    out.sort();
    return out;
}

QString FreshFolder(const QString &name)
{
    const QString path = TestEnv::Root() + QStringLiteral("/") + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

} // namespace ZipTest
