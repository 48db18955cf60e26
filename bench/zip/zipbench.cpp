// One-archive backup of a folder tree at level "normal" with our writer,
// against Info-ZIP's `zip -r -6` on the same tree: wall time and size.
//
//   zip_bench <folder> [work folder]
//
// Goal: at most 1.2 x zip's time, archive size within 2 % of zip's.
#include "zip/zipwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>
#include <sys/resource.h>

namespace {

double CpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Result {
    double seconds = 0;
    double cpu = 0;
    qint64 bytes = 0;
    int entries = 0;
};

Result OurWriter(const QString &tree, const QString &archive)
{
    Result r;
    ZipWriterSettings s;
    s.level = 2;
    s.noCompressionExtensions = QStringLiteral("zip;rar;7z;cab;mp3;jpg;gif;ace;jar;gz;tar;chm;png;sit;sitx;rpm");
    ZipWriter writer(s);
    writer.onFileFailure = [](const QString &f, int code, const QString &m) {
        std::fprintf(stderr, "skipped %s (%d): %s\n", qPrintable(f), code, qPrintable(m));
    };
    QElapsedTimer t;
    t.start();
    const double cpu0 = CpuSeconds(RUSAGE_SELF);
    QString error;
    if (!writer.open(archive, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return r;
    }
    const QDir base(QFileInfo(tree).absolutePath());
    const QString top = QFileInfo(tree).fileName();
    writer.addFolder(top, tree);
    QDirIterator it(tree, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo fi = it.fileInfo();
        const QString name = base.relativeFilePath(path);
        if (fi.isDir())
            writer.addFolder(name, path);
        else if (fi.isFile())
            writer.addFile(path, name);
        else
            continue;
        ++r.entries;
    }
    if (!writer.close(&error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    r.seconds = double(t.nsecsElapsed()) / 1e9;
    r.cpu = CpuSeconds(RUSAGE_SELF) - cpu0;
    r.bytes = QFileInfo(archive).size();
    return r;
}

Result InfoZip(const QString &tree, const QString &archive)
{
    Result r;
    QFile::remove(archive);
    QProcess p;
    p.setWorkingDirectory(QFileInfo(tree).absolutePath());
    QElapsedTimer t;
    t.start();
    const double cpu0 = CpuSeconds(RUSAGE_CHILDREN);
    p.start(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-6"), QStringLiteral("-q"),
                                    QStringLiteral("-n"),
                                    QStringLiteral(".zip:.rar:.7z:.cab:.mp3:.jpg:.gif:.ace:.jar:.gz:.tar:.chm:.png:.sit:.sitx:.rpm"),
                                    archive, QFileInfo(tree).fileName()});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        std::fprintf(stderr, "zip failed: %s\n", p.readAllStandardError().constData());
    r.seconds = double(t.nsecsElapsed()) / 1e9;
    r.cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu0;
    r.bytes = QFileInfo(archive).size();
    return r;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: zip_bench <folder> [work folder]\n");
        return 2;
    }
    const QString tree = QFileInfo(args.at(1)).absoluteFilePath();
    const QString work = args.size() > 2 ? args.at(2) : QDir::tempPath();
    const QString ours = work + QStringLiteral("/bench-ours.zip");
    const QString theirs = work + QStringLiteral("/bench-infozip.zip");
    // Both runs read the tree once beforehand so that neither pays for a cold cache.
    InfoZip(tree, theirs);
    const Result z = InfoZip(tree, theirs);
    const Result o = OurWriter(tree, ours);
    std::printf("entries        %d\n", o.entries);
    std::printf("zip -r -6      %8.2f s (cpu %7.2f s)  %12lld bytes\n", z.seconds, z.cpu, static_cast<long long>(z.bytes));
    std::printf("ZipWriter      %8.2f s (cpu %7.2f s)  %12lld bytes\n", o.seconds, o.cpu, static_cast<long long>(o.bytes));
    const double timeRatio = z.seconds > 0 ? o.seconds / z.seconds : 0;
    const double sizeRatio = z.bytes > 0 ? double(o.bytes) / double(z.bytes) : 0;
    std::printf("time ratio     %8.3f (goal <= 1.2), cpu time ratio %.3f\nsize ratio     %8.4f (goal 0.98 .. 1.02)\n", timeRatio, z.cpu > 0 ? o.cpu / z.cpu : 0.0, sizeRatio);
    QFile::remove(ours);
    QFile::remove(theirs);
    return timeRatio <= 1.2 && sizeRatio >= 0.98 && sizeRatio <= 1.02 ? 0 : 1;
}
