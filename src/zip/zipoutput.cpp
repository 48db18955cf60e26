#include "zip/zipoutput.h"

#include "base/filenamecodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

bool ZipOutput::open(const QString &path)
{
    abandon();
    m_error.clear();
    m_flushed = 0;
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);
    // An existing file is removed rather than truncated: truncating would
    // also change the other names of a hard-linked file, the target of a
    // symbolic link, and fail on a read-only file.
    // The path is opened by its bytes (QFile would turn a name that is not
    // UTF-8 into another one).
    std::error_code ec;
    const QByteArray bytes = FileNameToBytes(path);
    const std::filesystem::path native(bytes.toStdString());
    const auto status = std::filesystem::symlink_status(native, ec);
    if (!ec && (std::filesystem::is_regular_file(status) || std::filesystem::is_symlink(status)))
        std::filesystem::remove(native, ec);
    m_path = path;
    std::FILE *f = std::fopen(bytes.constData(), "wbe");
    if (!f) {
        m_error = QStringLiteral("Unable to create the archive: ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!m_file.open(f, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        std::fclose(f);
        return fail(QStringLiteral("Unable to create the archive"));
    }
    return true;
}

bool ZipOutput::fail(const QString &what)
{
    if (m_error.isEmpty())
        m_error = what + QStringLiteral(": ") + m_file.errorString();
    return false;
}

bool ZipOutput::flush()
{
    if (!m_error.isEmpty())
        return false;
    const char *p = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const qint64 n = m_file.write(p, left);
        if (n <= 0)
            return fail(QStringLiteral("Unable to write the archive"));
        p += n;
        left -= n;
    }
    m_flushed += m_buffer.size();
    m_buffer.resize(0);
    return true;
}

bool ZipOutput::write(const char *data, qsizetype length)
{
    if (!m_error.isEmpty())
        return false;
    while (length > 0) {
        const qsizetype room = kBufferSize - m_buffer.size();
        if (room == 0) {
            if (!flush())
                return false;
            continue;
        }
        const qsizetype n = std::min(room, length);
        m_buffer.append(data, n);
        data += n;
        length -= n;
    }
    return true;
}

bool ZipOutput::overwrite(qint64 offset, const QByteArray &data)
{
    if (!m_error.isEmpty())
        return false;
    if (offset >= m_flushed) {
        const qsizetype at = qsizetype(offset - m_flushed);
        if (at + data.size() > m_buffer.size()) {
            m_error = QStringLiteral("Internal error: overwrite past the end of the archive");
            return false;
        }
        std::memcpy(m_buffer.data() + at, data.constData(), size_t(data.size()));
        return true;
    }
    // The part to change is (at least partly) on disk already.
    if (!flush())
        return false;
    if (!m_file.seek(offset))
        return fail(QStringLiteral("Unable to seek in the archive"));
    const qint64 n = m_file.write(data);
    if (n != data.size())
        return fail(QStringLiteral("Unable to write the archive"));
    if (!m_file.seek(m_flushed))
        return fail(QStringLiteral("Unable to seek in the archive"));
    return true;
}

bool ZipOutput::truncateTo(qint64 offset)
{
    if (!m_error.isEmpty())
        return false;
    if (offset >= m_flushed) {
        m_buffer.resize(qsizetype(offset - m_flushed));
        return true;
    }
    m_buffer.resize(0);
    if (!m_file.resize(offset))
        return fail(QStringLiteral("Unable to cut back the archive"));
    if (!m_file.seek(offset))
        return fail(QStringLiteral("Unable to seek in the archive"));
    m_flushed = offset;
    return true;
}

bool ZipOutput::close()
{
    if (!m_file.isOpen())
        return m_error.isEmpty();
    const bool ok = flush();
    if (ok && !m_file.flush())
        fail(QStringLiteral("Unable to write the archive"));
    m_file.close();
    if (m_error.isEmpty() && m_file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Unable to close the archive"));
    m_buffer.clear();
    m_buffer.squeeze();
    return m_error.isEmpty();
}

void ZipOutput::abandon()
{
    if (m_file.isOpen())
        m_file.close();
    m_buffer.clear();
    m_buffer.squeeze();
}
