#pragma once
// The archive file being written: large buffered writes, overwriting an
// earlier part in place (the local header once the sizes are known) and
// cutting the file back to an earlier position (a skipped entry).
#include <QByteArray>
#include <QFile>
#include <QString>

class ZipOutput {
public:
    static constexpr qsizetype kBufferSize = 1024 * 1024;

    // Creates the file; an existing file of that name is replaced.
    bool open(const QString &path);
    bool isOpen() const { return m_file.isOpen(); }
    // The logical end of the archive (written plus buffered bytes).
    qint64 position() const { return m_flushed + m_buffer.size(); }
    bool write(const char *data, qsizetype length);
    bool write(const QByteArray &data) { return write(data.constData(), data.size()); }
    // Overwrites bytes that were written before, without moving the end.
    bool overwrite(qint64 offset, const QByteArray &data);
    // Drops everything from `offset` on.
    bool truncateTo(qint64 offset);
    // Writes what is buffered and closes the file.
    bool close();
    // Closes without caring about the content (the archive is abandoned).
    void abandon();
    QString errorString() const { return m_error; }
    QString path() const { return m_path; }

private:
    bool flush();
    bool fail(const QString &what);

    QFile m_file;
    QString m_path;
    QByteArray m_buffer;
    qint64 m_flushed = 0;
    QString m_error;
};
