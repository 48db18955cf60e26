#include "base/errors.h"
#include "base/paths.h"

#include <gtest/gtest.h>

namespace {
TEST(Paths, JoinPathTable)
{
    struct Case {
        QString first, second, joined;
    };
    const Case cases[] = {
        {"", "", ""},
        {"", "b", "b"},
        {"a", "", "a"},
        {"/home/u", "docs", "/home/u/docs"},
        {"/home/u/", "docs", "/home/u/docs"},
        {"/home/u", "/etc/x", "/etc/x"},
        {"/", "tmp", "/tmp"},
        {"rel", "sub/file.txt", "rel/sub/file.txt"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(JoinPath(c.first, c.second), c.joined) << c.first.toStdString() << " + " << c.second.toStdString();
}

TEST(Paths, JoinPathRejectsNul)
{
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    for (const auto &[first, second] : {std::pair{withNul, QStringLiteral("x")}, std::pair{QStringLiteral("x"), withNul},
                                        std::pair{QString(), withNul}}) {
        try {
            JoinPath(first, second);
            ADD_FAILURE() << "no error";
        } catch (const QvError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Invalid characters in path"));
        }
    }
}

TEST(Paths, RemoteParentPath)
{
    const std::pair<QString, QString> cases[] = {
        {"/a/b/c", "/a/b"}, {"/a", "/"}, {"/", "/"}, {"name", "/"}, {"", "/"}, {"/a/b/", "/a/b"},
    };
    for (const auto &[path, parent] : cases)
        EXPECT_EQ(RemoteParentPath(path), parent) << path.toStdString();
}

TEST(Paths, LocalParentNameAndExtension)
{
    EXPECT_EQ(LocalParentPath(QStringLiteral("/a/b.txt")), QStringLiteral("/a"));
    EXPECT_EQ(LocalParentPath(QStringLiteral("/a")), QStringLiteral("/"));
    EXPECT_EQ(LocalParentPath(QStringLiteral("a")), QString());
    EXPECT_EQ(PathFileName(QStringLiteral("/a/b.tar.gz")), QStringLiteral("b.tar.gz"));
    EXPECT_EQ(PathExtension(QStringLiteral("/a/b.tar.gz")), QStringLiteral(".gz"));
    EXPECT_EQ(PathExtension(QStringLiteral("/a.d/noext")), QString());
}
} // namespace
