#pragma once
// The central directory records of the entries written so far. They are
// collected in memory up to a limit and then moved to a temporary file, so
// that an archive with millions of entries does not grow the memory.
#include <QByteArray>
#include <QString>
#include <QTemporaryFile>
#include <memory>

class ZipOutput;

class CentralDirectory {
public:
    static constexpr qsizetype kMemoryLimit = 4 * 1024 * 1024;

    // `tempFolder`: where the spill file goes (the system temp folder when empty).
    void reset(const QString &tempFolder);
    bool append(const QByteArray &record, QString *error);
    quint64 entries() const { return m_entries; }
    quint64 size() const { return m_size; }
    // Copies every record to the archive, in order.
    bool writeTo(ZipOutput &out, QString *error);

private:
    bool spill(QString *error);

    QString m_tempFolder;
    QByteArray m_memory;
    std::unique_ptr<QTemporaryFile> m_spill;
    quint64 m_entries = 0;
    quint64 m_size = 0;
};
