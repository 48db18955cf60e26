// The rule for a local destination inside a source folder, shared by the
// wizard, "quorvane-cli create" and the scan.
#include "jobs/destinationinsource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(DestinationInSource, FolderOfASourceItem)
{
    EXPECT_EQ(FolderOfSourceItem(QStringLiteral("/data/*")), QStringLiteral("/data"));
    EXPECT_EQ(FolderOfSourceItem(QStringLiteral("/data//*")), QStringLiteral("/data"));
    EXPECT_EQ(FolderOfSourceItem(QStringLiteral("/*")), QStringLiteral("/"));
    EXPECT_EQ(FolderOfSourceItem(QStringLiteral("/data/file.txt")), QString());
}

TEST(DestinationInSource, PathInsideAFolderByNameAndThroughLinks)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir().mkpath(root + "/data/backups"));
    ASSERT_TRUE(QDir().mkpath(root + "/data2"));
    ASSERT_TRUE(QFile::link(root + "/data", root + "/data-link"));
    ASSERT_TRUE(QFile::link(root + "/data2", root + "/data/to-data2"));
    const struct {
        QString outer, inner;
        std::optional<QString> expected;
    } cases[] = {
        {root + "/data", root + "/data/backups", QStringLiteral("backups")},
        {root + "/data", root + "/data/backups/Job", QStringLiteral("backups/Job")}, // not there yet
        {root + "/data/", root + "/data/./backups/../backups", QStringLiteral("backups")},
        {root + "/data", root + "/data", QString()},
        {root + "/data", root + "/data2", std::nullopt},          // a common prefix of the names only
        {root + "/data/backups", root + "/data", std::nullopt},   // the other way round
        {root + "/data-link", root + "/data/backups", QStringLiteral("backups")},
        {root + "/data", root + "/data-link/backups/Job", QStringLiteral("backups/Job")},
        {root + "/data", root + "/data/to-data2/x", std::nullopt}, // leads out through a link
        {QStringLiteral("/"), root + "/data", root.mid(1) + "/data"},
        {QString(), root, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.outer + " | " + c.inner).toStdString());
        const std::optional<QString> got = PathInsideFolder(c.outer, c.inner);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_EQ(got->toStdString(), c.expected->toStdString());
        }
    }
}

TEST(DestinationInSource, TheSourceItemThatHoldsTheDestination)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir().mkpath(root + "/a/b"));
    const QStringList items = {root + "/notes.txt", root + "/x/*", root + "/a/*"};
    EXPECT_EQ(SourceItemHoldingFolder(items, root + "/a/b/backups"), root + "/a/*");
    EXPECT_EQ(SourceItemHoldingFolder(items, root + "/a"), root + "/a/*");
    EXPECT_EQ(SourceItemHoldingFolder(items, root + "/notes.txt/x"), QString()); // file items hold nothing
    EXPECT_EQ(SourceItemHoldingFolder(items, root + "/b"), QString());
    EXPECT_EQ(SourceItemHoldingFolder({QStringLiteral("/*")}, root), QStringLiteral("/*"));
}

} // namespace
