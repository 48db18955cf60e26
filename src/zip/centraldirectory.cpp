#include "zip/centraldirectory.h"

#include "zip/zipoutput.h"

#include <QDir>

void CentralDirectory::reset(const QString &tempFolder)
{
    m_tempFolder = tempFolder.isEmpty() ? QDir::tempPath() : tempFolder;
    m_memory.clear();
    m_spill.reset();
    m_entries = 0;
    m_size = 0;
}

bool CentralDirectory::append(const QByteArray &record, QString *error)
{
    m_memory.append(record);
    ++m_entries;
    m_size += quint64(record.size());
    if (m_memory.size() >= kMemoryLimit)
        return spill(error);
    return true;
}

bool CentralDirectory::spill(QString *error)
{
    if (!m_spill) {
        QDir().mkpath(m_tempFolder);
        m_spill = std::make_unique<QTemporaryFile>(QDir(m_tempFolder).filePath(QStringLiteral("zipdir-XXXXXX.tmp")));
        if (!m_spill->open()) {
            if (error)
                *error = QStringLiteral("Unable to create a temporary file in \"%1\": %2")
                             .arg(m_tempFolder, m_spill->errorString());
            m_spill.reset();
            return false;
        }
    }
    if (m_spill->write(m_memory) != m_memory.size()) {
        if (error)
            *error = QStringLiteral("Unable to write the temporary file \"%1\": %2")
                         .arg(m_spill->fileName(), m_spill->errorString());
        return false;
    }
    m_memory.resize(0); // keeps the capacity for the next records
    return true;
}

bool CentralDirectory::writeTo(ZipOutput &out, QString *error)
{
    if (m_spill) {
        if (!m_spill->flush() || !m_spill->seek(0)) {
            if (error)
                *error = QStringLiteral("Unable to read the temporary file \"%1\": %2")
                             .arg(m_spill->fileName(), m_spill->errorString());
            return false;
        }
        QByteArray chunk(ZipOutput::kBufferSize, '\0');
        for (;;) {
            const qint64 n = m_spill->read(chunk.data(), chunk.size());
            if (n < 0) {
                if (error)
                    *error = QStringLiteral("Unable to read the temporary file \"%1\": %2")
                                 .arg(m_spill->fileName(), m_spill->errorString());
                return false;
            }
            if (n == 0)
                break;
            if (!out.write(chunk.constData(), qsizetype(n))) {
                if (error)
                    *error = out.errorString();
                return false;
            }
        }
    }
    if (!out.write(m_memory)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}
