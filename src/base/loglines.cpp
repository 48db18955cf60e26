#include "base/loglines.h"

#include "base/textfile.h"

namespace {
const QByteArray kBom("\xEF\xBB\xBF", 3);
}

LogLines::LogLines() : m_text(kBom) {}

void LogLines::Clear()
{
    // Gives the memory of a long log back instead of keeping its capacity.
    m_text = kBom;
    m_ends = QList<qsizetype>();
}

void LogLines::Append(QStringView line)
{
    m_text += line.toUtf8();
    m_ends.append(m_text.size());
    m_text += "\r\n";
}

qsizetype LogLines::Start(qsizetype i) const
{
    return i == 0 ? kBom.size() : m_ends.at(i - 1) + 2;
}

QString LogLines::At(qsizetype i) const
{
    const qsizetype start = Start(i);
    return DecodeUtf8Line(QByteArrayView(m_text.constData() + start, m_ends.at(i) - start));
}

QStringList LogLines::ToStringList() const
{
    QStringList lines;
    lines.reserve(Size());
    for (qsizetype i = 0; i < Size(); ++i)
        lines.append(At(i));
    return lines;
}
