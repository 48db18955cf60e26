#include "platform/singleinstance.h"

#include "platform/folders.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStringDecoder>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char kMagic[4] = {'Q', 'V', 'H', '1'};
constexpr int kHeaderSize = 4 + 1 + 4;
// A client that connects and then says nothing is dropped after this.
std::atomic<int> s_idleClientMs{5000};

// A folder only this user may use: a real folder (no link) owned by the
// user, without access for group or others.
bool isPrivateFolder(const QString &path, QString *error)
{
    struct stat st {};
    const QByteArray p = QFile::encodeName(path);
    if (::lstat(p.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 0077) != 0) {
        if (error)
            *error = QStringLiteral("%1 is not a private folder of this user").arg(path);
        return false;
    }
    return true;
}
} // namespace

namespace {
// A socket path must fit the address of a local socket (108 bytes with its
// terminating zero on Linux); the name below the folder takes 31 of them.
constexpr int kMaxSocketPath = 107;

bool socketPathFits(const QString &folder)
{
    return QFile::encodeName(folder).size() + 1 + 31 <= kMaxSocketPath;
}

QString privateFolderIn(const QString &parent, QString *error)
{
    const QString folder = QDir::cleanPath(parent) + QStringLiteral("/quorvane-") + QString::number(::geteuid());
    const QByteArray p = QFile::encodeName(folder);
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return QString();
    }
    if (!isPrivateFolder(folder, error))
        return QString();
    return folder;
}
} // namespace

namespace SingleInstance {
QString RuntimeFolder(QString *error)
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QFileInfo(xdg).isDir() && socketPathFits(xdg))
        return QDir::cleanPath(xdg);
    // The temporary folder, or /tmp when the socket's path would not fit below it.
    const QString temp = Folders::TempFolder();
    const QString parent = socketPathFits(temp + QStringLiteral("/quorvane-4294967295")) ? temp : QStringLiteral("/tmp");
    return privateFolderIn(parent, error);
}

QString InstanceKey()
{
    const QByteArray hash = QCryptographicHash::hash(QDir::cleanPath(Folders::DataFolder()).toUtf8(),
                                                     QCryptographicHash::Sha256);
    return QStringLiteral("quorvane-") + QString::fromLatin1(hash.toHex().left(16));
}

QString LockFilePath(const QString &runtimeFolder)
{
    return runtimeFolder + QLatin1Char('/') + InstanceKey() + QStringLiteral(".lock");
}

QString ServerPath(const QString &runtimeFolder)
{
    return runtimeFolder + QLatin1Char('/') + InstanceKey() + QStringLiteral(".sock");
}

QByteArray EncodeMessage(MessageType type, const QString &payload)
{
    const QByteArray utf8 = payload.toUtf8();
    QByteArray out(kMagic, 4);
    out.append(char(type));
    const quint32 n = quint32(utf8.size());
    for (int i = 0; i < 4; ++i)
        out.append(char((n >> (8 * i)) & 0xFF));
    out.append(utf8);
    return out;
}

int DecodeMessage(QByteArray &buffer, MessageType &type, QString &payload)
{
    const int known = int(qMin<qsizetype>(buffer.size(), 4));
    if (std::memcmp(buffer.constData(), kMagic, size_t(known)) != 0)
        return -1;
    if (buffer.size() >= 5) {
        const quint8 t = quint8(buffer[4]);
        if (t != quint8(MessageType::Show) && t != quint8(MessageType::OpenFile))
            return -1;
    }
    if (buffer.size() < kHeaderSize)
        return 0;
    quint32 n = 0;
    for (int i = 0; i < 4; ++i)
        n |= quint32(quint8(buffer[5 + i])) << (8 * i);
    if (n > quint32(kMaxPayload))
        return -1;
    if (buffer.size() < kHeaderSize + qsizetype(n))
        return 0;
    // A U+FEFF at the start is part of the path, not a byte-order mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder(QByteArrayView(buffer.constData() + kHeaderSize, n));
    if (decoder.hasError() || text.contains(QChar(0)))
        return -1;
    type = MessageType(quint8(buffer[4]));
    payload = text;
    buffer.remove(0, kHeaderSize + n);
    return 1;
}
} // namespace SingleInstance

// --- the lock ---

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::TryAcquire(QString *error)
{
    if (m_held)
        return Result::Acquired;
    if (!m_lock) {
        m_folder = SingleInstance::RuntimeFolder(error);
        if (m_folder.isEmpty())
            return Result::Failed;
        m_lock = std::make_unique<QLockFile>(SingleInstance::LockFilePath(m_folder));
        // Never stale by age: a lock is only taken over when the process
        // that wrote it no longer runs.
        m_lock->setStaleLockTime(0);
    }
    if (m_lock->tryLock(0)) {
        m_held = true;
        return Result::Acquired;
    }
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        return Result::HeldByAnother;
    case QLockFile::PermissionError:
        if (error)
            *error = QStringLiteral("No permission to create the lock file %1").arg(SingleInstance::LockFilePath(m_folder));
        return Result::Failed;
    default:
        if (error)
            *error = QStringLiteral("Unable to create the lock file %1").arg(SingleInstance::LockFilePath(m_folder));
        return Result::Failed;
    }
}

// --- the receiving side ---

InstanceServer::InstanceServer(QObject *parent) : QObject(parent) {}

InstanceServer::~InstanceServer()
{
    if (m_server)
        m_server->close();
}

bool InstanceServer::Listen(const QString &runtimeFolder, QString *error)
{
    if (m_server && m_server->isListening())
        return true;
    const QString path = SingleInstance::ServerPath(runtimeFolder);
    QLocalServer::removeServer(path);
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
    }
    if (!m_server->listen(path)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    return true;
}

bool InstanceServer::IsListening() const
{
    return m_server && m_server->isListening();
}

void InstanceServer::SetIdleClientTimeoutMs(int ms)
{
    s_idleClientMs.store(ms);
}

void InstanceServer::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        const QPointer<QLocalSocket> guard(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, guard] {
            if (guard)
                onReadyRead(guard);
        });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket, guard] {
            m_buffers.remove(socket); // the pointer as a key only
            if (guard)
                guard->deleteLater();
        });
        // The timer dies with the socket.
        QTimer::singleShot(s_idleClientMs.load(), socket, [socket] { socket->abort(); });
    }
}

void InstanceServer::onReadyRead(QLocalSocket *socket)
{
    auto it = m_buffers.find(socket);
    if (it == m_buffers.end())
        return;
    it->append(socket->readAll());
    SingleInstance::MessageType type;
    QString payload;
    const int r = SingleInstance::DecodeMessage(*it, type, payload);
    if (r == 0)
        return;
    m_buffers.erase(it);
    if (r < 0) {
        qWarning("Single instance: a message that is not ours was ignored");
        socket->abort();
        return;
    }
    // Answer first, act later. Acting may open modal windows (the program
    // password, the open-job dialog) whose event loops run as long as the
    // user takes; the connection, its idle timer and the waiting sender
    // must be done with before that, or the timer would free the socket
    // under this call.
    socket->write("\x01", 1);
    socket->flush();
    socket->disconnectFromServer();
    QMetaObject::invokeMethod(
        this,
        [this, type, payload] {
            if (type == SingleInstance::MessageType::Show)
                Q_EMIT ShowRequested();
            else
                Q_EMIT OpenFileRequested(payload);
        },
        Qt::QueuedConnection);
}

// --- the sending side ---

namespace {
InstanceClient::SendResult send(SingleInstance::MessageType type, const QString &payload, int timeoutMs,
                                QString *error)
{
    const QString folder = SingleInstance::RuntimeFolder(error);
    if (folder.isEmpty())
        return InstanceClient::SendResult::Failed;
    QLocalSocket socket;
    socket.connectToServer(SingleInstance::ServerPath(folder));
    QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        const auto e = socket.error();
        if (error)
            *error = socket.errorString();
        if (e == QLocalSocket::ServerNotFoundError || e == QLocalSocket::ConnectionRefusedError)
            return InstanceClient::SendResult::NoInstance;
        return InstanceClient::SendResult::Failed;
    }
    socket.write(SingleInstance::EncodeMessage(type, payload));
    if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
        if (error)
            *error = socket.errorString();
        return InstanceClient::SendResult::Failed;
    }
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime()))) {
            if (error)
                *error = socket.errorString();
            return InstanceClient::SendResult::Failed;
        }
    }
    char answer = 0;
    socket.read(&answer, 1);
    if (answer != 1) {
        if (error)
            *error = QStringLiteral("unexpected answer from the running instance");
        return InstanceClient::SendResult::Failed;
    }
    return InstanceClient::SendResult::Delivered;
}
} // namespace

namespace InstanceClient {
SendResult SendShow(int timeoutMs, QString *error)
{
    return send(SingleInstance::MessageType::Show, QString(), timeoutMs, error);
}

SendResult SendOpenFile(const QString &path, int timeoutMs, QString *error)
{
    return send(SingleInstance::MessageType::OpenFile, path, timeoutMs, error);
}
} // namespace InstanceClient
