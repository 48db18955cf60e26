#include "storage/uncpath.h"

#include "base/filenamecodec.h"

#include <QUrl>

#include <iterator>

namespace {

// The characters below U+0080 that a Windows name cannot hold, besides the
// controls, in the order of their private use stand-ins U+F020..U+F027.
constexpr char16_t kRefused[] = {u'"', u'*', u':', u'<', u'>', u'?', u'\\', u'|'};
// A control character and a byte that is not UTF-8 travel as U+F000 + code.
constexpr char16_t kPrivateBase = 0xF000;
constexpr char16_t kRefusedBase = 0xF020;

char16_t ShareChar(char16_t c)
{
    if (c >= 0x01 && c < 0x20)
        return char16_t(kPrivateBase + c);
    for (size_t i = 0; i < std::size(kRefused); ++i) {
        if (c == kRefused[i])
            return char16_t(kRefusedBase + i);
    }
    const int byte = EscapedFileNameByte(QChar(c));
    if (byte >= 0)
        return char16_t(kPrivateBase + byte);
    return c;
}

char16_t CharFromShare(char16_t c)
{
    if (c > kPrivateBase && c < kRefusedBase)
        return char16_t(c - kPrivateBase);
    if (c >= kRefusedBase && c < kRefusedBase + std::size(kRefused))
        return kRefused[c - kRefusedBase];
    if (c >= kPrivateBase + 0x80 && c <= kPrivateBase + 0xFF)
        return char16_t(0xDC00 + (c - kPrivateBase));
    return c;
}

template <typename Map>
QString MapChars(QStringView name, Map map)
{
    QString out(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        out[i] = QChar(map(name.at(i).unicode()));
    return out;
}

QByteArray Escape(const QString &name)
{
    return QUrl::toPercentEncoding(name);
}

QString Authority(const UncPath &p)
{
    return p.port > 0 ? p.server + QLatin1Char(':') + QString::number(p.port) : p.server;
}

} // namespace

QString UncPath::Canonical() const
{
    QString s = ShareRoot();
    for (const QString &f : folders)
        s += QLatin1Char('/') + f;
    return s;
}

QString UncPath::ShareRoot() const
{
    return QStringLiteral("smb://") + Authority(*this) + QLatin1Char('/') + share;
}

QByteArray UncPath::Url() const
{
    QByteArray u = ServerUrl() + Escape(share);
    for (const QString &f : folders)
        u += '/' + Escape(ShareName(f));
    return u;
}

QString ShareName(QStringView name)
{
    return MapChars(name, ShareChar);
}

QString NameFromShare(QStringView shareName)
{
    return MapChars(shareName, CharFromShare);
}

QByteArray UncPath::ServerUrl() const
{
    return "smb://" + Authority(*this).toUtf8() + '/';
}

bool LooksLikeUncPath(const QString &text)
{
    const QString t = text.trimmed();
    return t.startsWith(QLatin1String("\\\\")) || t.startsWith(QLatin1String("//"))
           || t.startsWith(QLatin1String("smb://"), Qt::CaseInsensitive);
}

bool SplitUncCredentials(const QString &text, QString &address, QString &user, QString &password)
{
    const QString t = text.trimmed();
    const QLatin1String scheme("smb://");
    if (!t.startsWith(scheme, Qt::CaseInsensitive))
        return false;
    qsizetype end = t.indexOf(QLatin1Char('/'), scheme.size());
    if (end < 0)
        end = t.size();
    // The last "@" of the server part ends the credentials, so that one in
    // a password needs no escape.
    const qsizetype at = t.lastIndexOf(QLatin1Char('@'), end - 1);
    if (at < scheme.size())
        return false;
    const QString info = t.mid(scheme.size(), at - scheme.size());
    const qsizetype colon = info.indexOf(QLatin1Char(':'));
    const auto decoded = [](const QString &s) { return QUrl::fromPercentEncoding(s.toUtf8()); };
    QString name = decoded(colon < 0 ? info : info.left(colon));
    const qsizetype semicolon = name.indexOf(QLatin1Char(';'));
    if (semicolon >= 0)
        name = name.left(semicolon) + QLatin1Char('\\') + name.mid(semicolon + 1);
    user = name;
    password = colon < 0 ? QString() : decoded(info.mid(colon + 1));
    address = t.left(scheme.size()) + t.mid(at + 1);
    return true;
}

QString UncPathWithoutCredentials(const QString &text)
{
    QString address, user, password;
    return SplitUncCredentials(text, address, user, password) ? address : text;
}

bool ParseUncPath(const QString &text, UncPath &out, QString *error)
{
    auto fail = [error](const char *why) {
        if (error)
            *error = QString::fromLatin1(why);
        return false;
    };
    QString t = text.trimmed();
    bool url = false;
    if (t.startsWith(QLatin1String("smb://"), Qt::CaseInsensitive)) {
        t = t.mid(6);
        url = true;
    } else if (t.startsWith(QLatin1String("\\\\")) || t.startsWith(QLatin1String("//"))) {
        t = t.mid(2);
        t.replace(QLatin1Char('\\'), QLatin1Char('/'));
    } else {
        return fail("not a network path");
    }
    if (t.contains(QChar(0)))
        return fail("invalid characters");
    QStringList parts = t.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return fail("no server or no share");
    UncPath p;
    QString authority = parts.takeFirst();
    if (url) {
        // Credentials are split off before (SplitUncCredentials): a path
        // that still holds them is never sent anywhere.
        if (authority.contains(QLatin1Char('@')))
            return fail("credentials belong in the user name and password fields");
        const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            bool ok = false;
            const int port = authority.mid(colon + 1).toInt(&ok);
            if (!ok || port <= 0 || port > 65535)
                return fail("bad port");
            p.port = port;
            authority = authority.left(colon);
        }
    }
    if (authority.isEmpty())
        return fail("no server");
    p.server = authority;
    p.share = parts.takeFirst();
    for (const QString &f : parts) {
        if (f == QLatin1String(".") || f == QLatin1String(".."))
            return fail("relative names");
    }
    p.folders = parts;
    out = p;
    return true;
}
