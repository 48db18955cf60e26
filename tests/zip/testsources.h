#pragma once
// Sources that the tests put behind ZipWriter::openSource: bytes from
// memory, optionally failing part-way like a disk with a bad sector.
#include "zip/zipwriter.h"

#include <QHash>
#include <cstring>

class MemorySource : public ZipSource {
public:
    explicit MemorySource(QByteArray data, qint64 failAt = -1) : m_data(std::move(data)), m_failAt(failAt) {}
    qint64 read(char *buffer, qint64 max) override
    {
        if (m_failAt >= 0 && m_pos >= m_failAt)
            return -1;
        qint64 n = std::min<qint64>(max, m_data.size() - m_pos);
        if (m_failAt >= 0)
            n = std::min<qint64>(n, m_failAt - m_pos);
        std::memcpy(buffer, m_data.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    bool rewind() override
    {
        m_pos = 0;
        return true;
    }
    bool changedSinceOpened() const override { return false; } // memory holds still
    QString errorString() const override { return QStringLiteral("Input/output error"); }

private:
    QByteArray m_data;
    qint64 m_failAt;
    qint64 m_pos = 0;
};

// A writer whose files named "mem:..." come from memory; all others are
// read from disk as usual.
class MemoryBackedWriter : public ZipWriter {
public:
    using ZipWriter::ZipWriter;
    struct Item {
        QByteArray data;
        qint64 failAt = -1;
        qint64 modifiedSecs = 1700000000;
    };
    QHash<QString, Item> items;

protected:
    std::unique_ptr<ZipSource> openSource(const QString &localPath, ZipSourceInfo *info, QString *message) override
    {
        if (!localPath.startsWith(QLatin1String("mem:")))
            return ZipWriter::openSource(localPath, info, message);
        const auto it = items.constFind(localPath);
        if (it == items.constEnd()) {
            *message = QStringLiteral("No such file or directory");
            return nullptr;
        }
        info->size = it->data.size();
        info->modifiedSecs = it->modifiedSecs;
        info->unixMode = 0100644;
        return std::make_unique<MemorySource>(it->data, it->failAt);
    }
};
