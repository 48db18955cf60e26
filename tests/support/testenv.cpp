#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace TestEnv {
QString Root()
{
    return qEnvironmentVariable("QV_TEST_ROOT");
}

QString SourceDir()
{
    QString s = qEnvironmentVariable("QV_SOURCE_DIR");
    return s.isEmpty() ? QStringLiteral(QV_SOURCE_DIR_DEFAULT) : s;
}

QString BinDir()
{
    QString s = qEnvironmentVariable("QV_BIN_DIR");
    return s.isEmpty() ? QStringLiteral(QV_BIN_DIR_DEFAULT) : s;
}

void WriteFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}
std::string CaseName(const char *what)
{
    std::string name;
    bool wordStart = true;
    for (const char *c = what; *c; ++c) {
        const bool alnum = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9');
        if (!alnum) {
            wordStart = true;
            continue;
        }
        name += wordStart && *c >= 'a' && *c <= 'z' ? char(*c - 'a' + 'A') : *c;
        wordStart = false;
    }
    return name;
}
} // namespace TestEnv
