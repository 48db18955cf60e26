#include "base/loglines.h"

#include "base/runlog.h"
#include "base/textfile.h"

#include <QDir>
#include <QTemporaryFile>

namespace {
const QByteArray kBom("\xEF\xBB\xBF", 3);
}

LogLines::LogLines() : m_tail(kBom) {}

LogLines::~LogLines() = default;

void LogLines::Clear()
{
    // Gives the memory (and the file) of a long log back.
    m_spool.reset();
    m_spooled = 0;
    m_spoolFailed = false;
    m_tail = kBom;
    m_ends = QList<qint64>();
}

void LogLines::Append(QStringView line)
{
    // A file name in a line can hold line breaks, terminal commands and
    // bytes that are not UTF-8: the log shows them as escapes, so that a
    // line stays one line wherever it is shown.
    m_tail += VisibleText(line).toUtf8();
    m_ends.append(m_spooled + m_tail.size());
    m_tail += "\r\n";
    if (m_tail.size() >= kTailBytes && !m_spoolFailed)
        MoveTailOut();
}

void LogLines::MoveTailOut()
{
    if (!m_spool) {
        m_spool = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/quorvane-log-XXXXXX"));
        if (!m_spool->open()) {
            m_spool.reset();
            m_spoolFailed = true; // no room for it: the log stays in memory
            return;
        }
    }
    if (!m_spool->seek(m_spooled) || m_spool->write(m_tail) != m_tail.size() || !m_spool->flush()) {
        m_spoolFailed = true;
        return;
    }
    m_spooled += m_tail.size();
    m_tail.resize(0);
}

QByteArray LogLines::Bytes(qint64 from, qint64 to) const
{
    if (from >= m_spooled)
        return m_tail.mid(from - m_spooled, to - from);
    // Lines are moved out whole, so a line lies in the file or in memory.
    QByteArray bytes;
    if (m_spool && m_spool->seek(from))
        bytes = m_spool->read(to - from);
    return bytes;
}

QString LogLines::At(qsizetype i) const
{
    const qint64 start = i == 0 ? kBom.size() : m_ends.at(i - 1) + 2;
    return DecodeUtf8Line(Bytes(start, m_ends.at(i)));
}

QStringList LogLines::ToStringList() const
{
    QStringList lines;
    lines.reserve(Size());
    for (qsizetype i = 0; i < Size(); ++i)
        lines.append(At(i));
    return lines;
}

bool LogLines::WriteTo(QIODevice &out) const
{
    constexpr qint64 kPiece = 64 * 1024;
    for (qint64 at = 0; at < m_spooled; at += kPiece) {
        const QByteArray piece = Bytes(at, std::min(m_spooled, at + kPiece));
        if (piece.size() != std::min(kPiece, m_spooled - at) || out.write(piece) != piece.size())
            return false;
    }
    return out.write(m_tail) == m_tail.size();
}
