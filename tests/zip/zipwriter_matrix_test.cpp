// Every encryption method at every compression level: the archive must be
// accepted by the outside tools and read back byte for byte, with the
// modification times, the empty folders and the non-ASCII names.
#include "zip/zipreader.h"
#include "zip/zipwriter.h"
#include "support/testenv.h"
#include "zip/ziptools.h"
#include "support/testnames.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace ZipTest;

namespace {

const QString kPassword = QStringLiteral("Secret pass 42");

struct SourceFile {
    const char *name;
    QByteArray data;
    bool compressible;   // deflate makes it smaller
    bool listed;         // its extension is in the no-compression list
};

struct MatrixCase {
    int encryption;
    int level;
};

void PrintTo(const MatrixCase &c, std::ostream *os)
{
    *os << "encryption " << c.encryption << ", level " << c.level;
}

std::string CaseName(const testing::TestParamInfo<MatrixCase> &info)
{
    static const char *enc[] = {"None", "Pkware", "Aes128", "Aes192", "Aes256"};
    static const char *lvl[] = {"Stored", "Fastest", "Normal", "Maximum"};
    return std::string(enc[info.param.encryption + 1]) + lvl[info.param.level];
}

class WriterMatrix : public testing::TestWithParam<MatrixCase> {
protected:
    void SetUp() override
    {
        m_files = {
            {"empty.txt", QByteArray(), false, false},
            {"tiny.txt", QByteArray("hello"), false, false},
            {"text.txt", CompressibleBytes(200 * 1024, 1), true, false},
            {"big.log", CompressibleBytes(2600 * 1024, 2), true, false},
            {"noise.bin", RandomBytes(300 * 1024, 3), false, false},
            {"photo.JPG", CompressibleBytes(100 * 1024, 4), true, true},
            {"Ordner ä/日本.txt", CompressibleBytes(5000, 5), true, false},
        };
        m_source = FreshFolder(QStringLiteral("src"));
        qint64 t = 1600000001;
        for (const SourceFile &f : m_files) {
            WriteFileWithTime(m_source + QLatin1Char('/') + QString::fromUtf8(f.name), f.data, t);
            m_times.insert(QString::fromUtf8(f.name), t);
            t += 86400 + 3601;
        }
    }

    QString m_source;
    QList<SourceFile> m_files;
    QMap<QString, qint64> m_times;
};

TEST_P(WriterMatrix, ArchiveIsAcceptedAndReadsBackExactly)
{
    const MatrixCase c = GetParam();
    const QString password = c.encryption >= 0 ? kPassword : QString();
    ZipWriterSettings s;
    s.level = c.level;
    s.encryption = c.encryption;
    s.password = password;
    s.noCompressionExtensions = QStringLiteral("zip;rar;7z;jpg;gz");
    ZipWriter writer(s);
    int failures = 0;
    writer.onFileFailure = [&](const QString &, int, const QString &) { ++failures; };

    const QString archive = TestEnv::Root() + QStringLiteral("/matrix.zip");
    QString error;
    ASSERT_TRUE(writer.open(archive, &error)) << error.toStdString();
    ASSERT_TRUE(writer.addFolder(QStringLiteral("empty dir")));
    ASSERT_TRUE(writer.addFolder(QStringLiteral("Ordner ä")));
    ASSERT_TRUE(writer.addFolder(QStringLiteral("Ordner ä/leer")));
    for (const SourceFile &f : m_files) {
        const QString name = QString::fromUtf8(f.name);
        ASSERT_TRUE(writer.addFile(m_source + QLatin1Char('/') + name, name)) << f.name;
    }
    ASSERT_TRUE(writer.close(&error)) << error.toStdString();
    EXPECT_EQ(failures, 0);

    const ToolResult seven = SevenZipTest(archive, password);
    EXPECT_EQ(seven.exitCode, 0) << seven.output.toStdString();
    if (c.encryption <= 0) {
        const ToolResult unzip = UnzipTest(archive, password);
        EXPECT_EQ(unzip.exitCode, 0) << unzip.output.toStdString();
        const ToolResult py = Python(QStringLiteral(
            "import sys, zipfile\n"
            "z = zipfile.ZipFile(sys.argv[1])\n"
            "if sys.argv[2]: z.setpassword(sys.argv[2].encode())\n"
            "bad = z.testzip()\n"
            "sys.exit(0 if bad is None else 1)\n"), {archive, password});
        EXPECT_EQ(py.exitCode, 0) << py.output.toStdString();
    }
    if (c.encryption < 0) {
        const ToolResult tar = BsdtarList(archive);
        EXPECT_EQ(tar.exitCode, 0) << tar.output.toStdString();
        EXPECT_TRUE(tar.output.contains(QStringLiteral("Ordner ä/日本.txt"))) << tar.output.toStdString();
        EXPECT_TRUE(tar.output.contains(QStringLiteral("Ordner ä/leer/"))) << tar.output.toStdString();
    }

    ZipReader reader;
    ASSERT_TRUE(reader.open(archive, password, &error)) << error.toStdString();
    const QList<ZipEntryInfo> entries = reader.entries();
    ASSERT_EQ(entries.size(), 3 + m_files.size());
    static const int kEncryptionCodes[] = {0, 1, 257, 258, 259};
    for (const ZipEntryInfo &e : entries) {
        if (e.isFolder) {
            EXPECT_FALSE(e.encrypted) << e.name.toStdString();
            continue;
        }
        EXPECT_EQ(e.encryptionMethod, kEncryptionCodes[c.encryption + 1]) << e.name.toStdString();
        const auto f = std::find_if(m_files.begin(), m_files.end(),
                                    [&](const SourceFile &sf) { return e.name == QString::fromUtf8(sf.name); });
        ASSERT_NE(f, m_files.end()) << e.name.toStdString();
        const bool deflated = c.level > 0 && f->compressible && !f->listed;
        EXPECT_EQ(e.compressionMethod, deflated ? 8 : 0) << e.name.toStdString();
        if (deflated) {
            EXPECT_LT(e.compressedSize, e.size);
        }
    }

    const QString out = FreshFolder(QStringLiteral("out"));
    ASSERT_TRUE(reader.extractAll(out, &error)) << error.toStdString();
    const QMap<QString, QByteArray> restored = ReadTree(out);
    ASSERT_EQ(restored.size(), m_files.size());
    for (const SourceFile &f : m_files) {
        const QString name = QString::fromUtf8(f.name);
        ASSERT_TRUE(restored.contains(name)) << f.name;
        EXPECT_TRUE(restored.value(name) == f.data) << f.name;
        EXPECT_EQ(QFileInfo(out + QLatin1Char('/') + name).lastModified().toSecsSinceEpoch(), m_times.value(name))
            << f.name;
    }
    EXPECT_TRUE(FolderList(out).contains(QStringLiteral("empty dir")));
    EXPECT_TRUE(FolderList(out).contains(QStringLiteral("Ordner ä/leer")));
}

std::vector<MatrixCase> AllCases()
{
    std::vector<MatrixCase> cases;
    for (int enc = -1; enc <= 3; ++enc)
        for (int level = 0; level <= 3; ++level)
            cases.push_back({enc, level});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EncryptionAndLevel, WriterMatrix, testing::ValuesIn(AllCases()), CaseName);

} // namespace
