#include "storage/networkconnection.h"

#include "storage/localcopy.h"

#include "storage/smbclientlib.h"

#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace {

void CopyOut(char *dst, int len, const QByteArray &src)
{
    if (len <= 0)
        return;
    const int n = std::min<int>(len - 1, int(src.size()));
    std::memcpy(dst, src.constData(), size_t(n));
    dst[n] = '\0';
}

// libsmbclient's own messages go to its debug log. A job reports its
// failures through the run log (from errno), so the library's lines are
// dropped rather than mixed into the program's output.
void DiscardLog(void *, int, const char *) {}

// The server named in the path does not resolve (libsmbclient reports
// that as EINVAL, which says nothing): the resolver's message, or empty
// when the name does resolve.
QString ResolveFailure(const QString &server)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *res = nullptr;
    const int r = getaddrinfo(server.toUtf8().constData(), nullptr, &hints, &res);
    if (res)
        freeaddrinfo(res);
    return r == 0 ? QString() : QString::fromLocal8Bit(gai_strerror(r));
}

} // namespace

struct SmbAuth {
    static void Callback(SMBCCTX *c, const char *, const char *, char *wg, int wglen, char *un,
                         int unlen, char *pw, int pwlen)
    {
        auto *self = static_cast<TNetworkPathConnection *>(SmbLib().getOptionUserData(c));
        if (!self)
            return;
        if (!self->FCredentials.workgroup.isEmpty())
            CopyOut(wg, wglen, self->FCredentials.workgroup);
        CopyOut(un, unlen, self->FCredentials.user);
        CopyOut(pw, pwlen, self->FCredentials.password);
    }
};

TNetworkPathConnection::TNetworkPathConnection() = default;

TNetworkPathConnection::~TNetworkPathConnection()
{
    if (FConnected)
        Disconnect(true);
    else if (FContext)
        SmbLib().free_context(FContext, 1);
}

QString TNetworkPathConnection::ErrorText(int code, bool credentialsRejected,
                                          const QString &systemMessage)
{
    QString prefix;
    switch (code) {
    case EACCES:
    case EPERM:
        prefix = credentialsRejected ? QStringLiteral("Invalid password:")
                                     : QStringLiteral("Access denied:");
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        prefix = QStringLiteral("Bad network Name:");
        break;
    case ECONNREFUSED:
    case EHOSTUNREACH:
    case EHOSTDOWN:
    case ETIMEDOUT:
    case ECONNABORTED:
    case ECONNRESET:
    case EADDRNOTAVAIL:
        prefix = QStringLiteral("No Net or bad path:");
        break;
    case ENETDOWN:
    case ENETUNREACH:
        prefix = QStringLiteral("No Network:");
        break;
    case EBUSY:
        prefix = QStringLiteral("Busy:");
        break;
    case ECANCELED:
        prefix = QStringLiteral("Canceled:");
        break;
    default:
        break;
    }
    return (prefix + QLatin1Char(' ') + systemMessage).trimmed();
}

bool TNetworkPathConnection::Fail(const QString &text)
{
    FURI.clear();
    FLastError = text.trimmed();
    FFailed = !FLastError.isEmpty();
    return false;
}

bool TNetworkPathConnection::Connect(const QString &aNetworkPath, const QString &aUsername,
                                     const QString &aPassword)
{
    FFailed = false;
    FLastError.clear();
    // Credentials written into the address count as the user name and
    // password when those are blank; the path goes on without them.
    QString path = aNetworkPath.trimmed();
    QString username = aUsername, password = aPassword;
    {
        QString address, user, pass;
        if (SplitUncCredentials(path, address, user, pass)) {
            path = address;
            if (username.trimmed().isEmpty()) {
                username = user;
                password = pass;
            }
        }
    }
    if (FConnected)
        Disconnect(true);
    if (FContext) {
        SmbLib().free_context(FContext, 1);
        FContext = nullptr;
    }

    // Refused, never cut: a shortened path would name another folder.
    if (path.size() > kMaxPathLength)
        return Fail(SystemErrorMessage(ENAMETOOLONG));
    UncPath unc;
    if (!ParseUncPath(path, unc))
        return Fail(ErrorText(ENOENT, false, SystemErrorMessage(EINVAL)));
    FURI = path;

    // The credentials: "DOMAIN\user" (or DOMAIN/user) names the domain too.
    // A blank user name asks for an anonymous session, which the server may
    // map to its guest account.
    const bool anonymous = username.trimmed().isEmpty();
    FCredentials = {};
    if (!anonymous) {
        QString user = username;
        const qsizetype sep = user.indexOf(QRegularExpression(QStringLiteral("[\\\\/]")));
        if (sep > 0) {
            FCredentials.workgroup = user.left(sep).toUtf8();
            user = user.mid(sep + 1);
        }
        FCredentials.user = user.toUtf8();
        FCredentials.password = password.toUtf8();
    }

    // Several jobs may connect from their own worker threads. Each
    // connection has a context of its own; libsmbclient guards its one-time
    // module set-up itself, and keeps its per-call scratch memory per thread.
    QString loadError;
    if (!SmbClientLib::Load(&loadError))
        return Fail(loadError);
    SMBCCTX *ctx = SmbLib().new_context();
    if (!ctx)
        return Fail(SystemErrorMessage(errno ? errno : ENOMEM));
    // Configuration: libsmbclient reads the user's ~/.smb/smb.conf and, only
    // when that file is missing, the machine's /etc/samba/smb.conf (client
    // protocol limits, signing). That is what a user of this machine expects
    // of a network share, so it stays; the tests give their private HOME a
    // file of its own so that the machine's configuration plays no part there.
    // Everything that would make the outcome depend on more than the job's
    // settings is switched off below.
    SmbLib().setDebug(ctx, 0);
    SmbLib().setLogCallback(ctx, nullptr, DiscardLog);
    // Name and password only: no Kerberos ticket or credential cache of the
    // machine takes part, so the outcome depends on the job's settings alone.
    SmbLib().setOptionUseKerberos(ctx, false);
    SmbLib().setOptionFallbackAfterKerberos(ctx, true);
    SmbLib().setOptionUseCCache(ctx, false);
    // A rejected password must fail, not quietly become an anonymous session.
    SmbLib().setOptionNoAutoAnonymousLogin(ctx, !anonymous);
    SmbLib().setOptionUserData(ctx, this);
    SmbLib().setFunctionAuthDataWithContext(ctx, &SmbAuth::Callback);
    if (!SmbLib().init_context(ctx)) {
        const int e = errno;
        SmbLib().free_context(ctx, 1);
        return Fail(SystemErrorMessage(e ? e : EINVAL));
    }

    UncPath share = unc;
    share.folders.clear();
    errno = 0;
    SMBCFILE *dir = SmbLib().getFunctionOpendir(ctx)(ctx, share.Url().constData());
    if (!dir) {
        int code = errno ? errno : EIO;
        QString message = SystemErrorMessage(code);
        bool rejected = false;
        if (code == EACCES || code == EPERM) {
            // libsmbclient reports a refused logon and a refused share with
            // the same errno. A server-level listing needs the logon only:
            // when that is refused too, the credentials were wrong.
            SmbLib().getFunctionPurgeCachedServers(ctx)(ctx);
            errno = 0;
            SMBCFILE *server = SmbLib().getFunctionOpendir(ctx)(ctx, unc.ServerUrl().constData());
            rejected = !server && (errno == EACCES || errno == EPERM);
            if (server)
                SmbLib().getFunctionClosedir(ctx)(ctx, server);
        } else if (code == EINVAL) {
            const QString resolve = ResolveFailure(unc.server);
            if (!resolve.isEmpty()) {
                code = EHOSTUNREACH;
                message = resolve;
            }
        }
        SmbLib().free_context(ctx, 1);
        return Fail(ErrorText(code, rejected, message));
    }
    SmbLib().getFunctionClosedir(ctx)(ctx, dir);

    FContext = ctx;
    FPath = unc;
    FOwned = true;
    FConnected = true;
    FRemotePath = path;
    FUser = username;
    FPassword = password;
    return true;
}

void TNetworkPathConnection::DropCachedServers()
{
    if (FContext)
        SmbLib().getFunctionPurgeCachedServers(FContext)(FContext);
}

void TNetworkPathConnection::Disconnect(bool aForce)
{
    if (!FConnected || !FOwned)
        return;
    if (FContext) {
        // Without force, files still open on the connection hold it for up
        // to about 10 s; then it is dropped all the same.
        int r = aForce ? 1 : SmbLib().free_context(FContext, 0);
        for (int i = 0; r != 0 && !aForce && errno == EBUSY && i < 99; ++i) {
            QThread::msleep(100);
            r = SmbLib().free_context(FContext, 0);
        }
        if (r != 0)
            SmbLib().free_context(FContext, 1);
        FContext = nullptr;
    }
    FConnected = false;
    FOwned = false;
    FRemotePath.clear();
    FUser.clear();
    FPassword.clear();
    FCredentials = {};
    FURI.clear();
    FPath = UncPath();
}
