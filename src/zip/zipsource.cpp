#include "zip/zipsource.h"

#include "platform/sourcefile.h"

#include <QFile>

namespace {

class LocalFileSource : public ZipSource {
public:
    bool open(int fd, const SourceFile::Info &opened)
    {
        m_opened = opened;
        return m_file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    }
    qint64 read(char *buffer, qint64 max) override { return m_file.read(buffer, max); }
    bool rewind() override { return m_file.seek(0); }
    bool changedSinceOpened() const override
    {
        SourceFile::Info now;
        return !SourceFile::InfoOfOpenFile(m_file.handle(), &now) || SourceFile::SizeOrTimeChanged(m_opened, now);
    }
    QString errorString() const override { return m_file.errorString(); }

private:
    QFile m_file;
    SourceFile::Info m_opened;
};

} // namespace

std::unique_ptr<ZipSource> OpenLocalZipSource(const QString &path, bool sharedLock, ZipSourceInfo *info,
                                              QString *message)
{
    SourceFile::OpenFailure failure;
    SourceFile::Info fileInfo;
    QString error;
    const int fd = SourceFile::OpenForReading(path, sharedLock, &failure, &error, &fileInfo);
    if (fd < 0) {
        if (message)
            *message = error;
        return nullptr;
    }
    auto source = std::make_unique<LocalFileSource>();
    if (!source->open(fd, fileInfo)) {
        if (message)
            *message = source->errorString();
        return nullptr;
    }
    if (info) {
        info->size = fileInfo.size;
        info->modifiedSecs = fileInfo.modifiedSecs;
        info->unixMode = fileInfo.mode;
    }
    return source;
}
