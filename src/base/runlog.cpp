#include "base/runlog.h"

#include "base/datetime.h"
#include "base/filenamecodec.h"

QString FormatLogLine(const QDateTime &when, const QString &text)
{
    return TimeToStr(when) + QStringLiteral(": ") + text;
}

QString TimedLine(const QString &text)
{
    return FormatLogLine(Clock::Now(), text);
}

QString RemoveLineBreaks(const QString &message)
{
    QString s = message;
    s.remove(QStringLiteral("\r\n"));
    while (s.endsWith(QLatin1Char('\r')) || s.endsWith(QLatin1Char('\n')))
        s.chop(1);
    return VisibleText(s);
}

namespace {

bool NeedsEscape(QChar c, bool keepLayout)
{
    const char16_t u = c.unicode();
    if (keepLayout && (u == u'\n' || u == u'\t'))
        return false;
    // C0 controls, DEL and the C1 controls (some terminals act on those too).
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || EscapedFileNameByte(c) >= 0;
}

} // namespace

QString VisibleText(QStringView text, bool keepLayout)
{
    qsizetype first = 0;
    while (first < text.size() && !NeedsEscape(text.at(first), keepLayout))
        ++first;
    if (first == text.size())
        return text.toString();
    QString out = text.first(first).toString();
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!NeedsEscape(c, keepLayout)) {
            out += c;
            continue;
        }
        switch (c.unicode()) {
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default: {
            const int byte = EscapedFileNameByte(c);
            const int code = byte >= 0 ? byte : int(c.unicode());
            out += QLatin1String("\\x") + QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper();
        }
        }
    }
    return out;
}
