#pragma once
// What the golden tests share: the files' paths, a fixture with a private
// data folder, and field-by-field comparisons that name the field that
// differs.
#include "goldenvalues.h"

#include "base/appstate.h"
#include "base/events.h"
#include "platform/folders.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace GoldenTest {

inline QString GoldenPath(const QString &relative)
{
    return TestEnv::SourceDir() + QLatin1Char('/') + QLatin1String(Golden::kFolder) + QLatin1Char('/') + relative;
}

inline QByteArray Bytes(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A private data folder and a clean events queue for each test.
class GoldenFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Folders::SetDataFolderOverride(m_dir.path());
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
        PendingEvents::TakeAll();
    }
    void TearDown() override
    {
        EXPECT_TRUE(PendingEvents::TakeAll().isEmpty()) << "a golden file was reported as damaged";
        Folders::SetDataFolderOverride(QString());
        AppState::SetJobFileExtension(QStringLiteral(".qvj"));
    }
    QString Dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// The bytes of a written file against a golden file: their sizes and the
// first offset where they differ.
void ExpectSameBytes(const QByteArray &written, const QByteArray &golden);

void ExpectSameOptions(const TOptions &actual, const TOptions &expected);
void ExpectSameJob(const TJob &actual, const TJob &expected);

} // namespace GoldenTest
