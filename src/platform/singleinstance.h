#pragma once
// One running instance per user and data folder. The first start holds a
// lock file for its whole life and listens on a local socket; a later start
// finds the lock taken and hands its request over through the socket: "show
// yourself" or "open this job file". Both live in a folder only the user can
// reach (the runtime folder), and their names derive from the data folder,
// so that programs working on different data folders never meet.
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLocalSocket;
class QLockFile;

namespace SingleInstance {
// $XDG_RUNTIME_DIR when it is set and exists, else a private folder
// "quorvane-<uid>" in the temporary folder (created with mode 0700; refused
// when it is a link or belongs to someone else). Empty with `error` when
// no usable folder exists.
QString RuntimeFolder(QString *error = nullptr);
// "quorvane-" and a short hash of the data folder.
QString InstanceKey();
QString LockFilePath(const QString &runtimeFolder);
QString ServerPath(const QString &runtimeFolder);

// The two hand-over messages on the wire: a 4-byte magic "QVH1", one type
// byte, a 32-bit little-endian length and that many bytes of UTF-8 payload.
// The receiver answers one byte (1) as soon as it has the whole message and
// acts on it afterwards, from its event loop.
enum class MessageType : quint8 { Show = 1, OpenFile = 2 };
inline constexpr qint32 kMaxPayload = 64 * 1024;
QByteArray EncodeMessage(MessageType type, const QString &payload);
// Parses a complete message from the front of `buffer`. Returns 1 and
// fills `type`/`payload` (removing the message from the buffer) when one is
// complete, 0 when more bytes are needed, -1 when the bytes are no message
// of ours (bad magic, unknown type, oversized or invalid UTF-8).
int DecodeMessage(QByteArray &buffer, MessageType &type, QString &payload);
} // namespace SingleInstance

class InstanceLock {
public:
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    enum class Result { Acquired, HeldByAnother, Failed };
    // Takes the lock without waiting. A lock left behind by a process that
    // no longer runs is taken over. Failed (with `error`) when the runtime
    // folder or the lock file cannot be used at all.
    Result TryAcquire(QString *error = nullptr);
    bool IsHeld() const { return m_held; }
    QString RuntimeFolder() const { return m_folder; }

private:
    std::unique_ptr<QLockFile> m_lock;
    QString m_folder;
    bool m_held = false;
};

// The receiving side; only the holder of the lock listens.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject *parent = nullptr);
    ~InstanceServer() override;
    // Listens on the socket of `runtimeFolder` (a socket left behind by a
    // dead instance is removed first; the caller holds the lock).
    bool Listen(const QString &runtimeFolder, QString *error = nullptr);
    bool IsListening() const;
    // How long a client may stay connected without sending a whole message
    // (5 s; tests shorten it). Applies to connections made afterwards.
    static void SetIdleClientTimeoutMs(int ms);

Q_SIGNALS:
    // Emitted from the event loop after the sender got its answer, so that
    // a receiver may open modal windows.
    void ShowRequested();
    void OpenFileRequested(const QString &path);

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
    QHash<QLocalSocket *, QByteArray> m_buffers;
};

namespace InstanceClient {
enum class SendResult { Delivered, NoInstance, Failed };
// Connects to the running instance's socket, sends the message and waits
// for its answer (given before the receiver acts on it).
SendResult SendShow(int timeoutMs = 5000, QString *error = nullptr);
SendResult SendOpenFile(const QString &path, int timeoutMs = 5000, QString *error = nullptr);
} // namespace InstanceClient
