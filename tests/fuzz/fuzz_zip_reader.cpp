// Fuzzes the reader of the archives a restore opens. The input is the
// archive. Whatever it holds, the reader opens and extracts it or fails
// with an error, and writes nothing outside the output folder: no file or
// folder appears beside it, and no link inside it.
#include "zip/zipreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {
// A folder holds exactly the names given.
bool HoldsOnly(const QString &folder, const QStringList &names)
{
    QStringList found = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    found.sort();
    return found == names;
}

bool HoldsNoLink(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (it.nextFileInfo().isSymLink())
            return false;
    }
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir root(QDir::tempPath() + QStringLiteral("/qv-fuzz-zip-XXXXXX"));
    if (!root.isValid())
        std::abort();
    const QString archive = root.path() + QStringLiteral("/input.zip");
    // The output folder lies two levels down, so that an entry that climbs
    // out of it would land in a folder this target watches.
    const QString sandbox = root.path() + QStringLiteral("/sandbox");
    const QString out = sandbox + QStringLiteral("/out");
    QDir(sandbox).removeRecursively();
    if (!QDir().mkpath(out))
        std::abort();
    {
        QFile f(archive);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
            std::abort();
    }

    ZipReader reader;
    QString error;
    // Encrypted seeds use this password; a wrong one is just another failure.
    if (reader.open(archive, QStringLiteral("fuzz"), &error)) {
        const QList<ZipEntryInfo> entries = reader.entries();
        if (!entries.isEmpty() && !entries.first().isFolder)
            reader.extractEntryTo(entries.first().name, out + QStringLiteral("/first"), &error);
        reader.extractAll(out, &error);
        reader.close();
    }

    if (!HoldsOnly(root.path(), {QStringLiteral("input.zip"), QStringLiteral("sandbox")})
        || !HoldsOnly(sandbox, {QStringLiteral("out")}) || !HoldsNoLink(out))
        std::abort();
    return 0;
}
