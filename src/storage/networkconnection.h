#pragma once
// A connection to a network share for one job: the share given by a UNC
// path, reached through libsmbclient with the job's user name and password.
// Nothing is mounted; the connection owns one libsmbclient context that the
// SMB file system (smbfs.h) uses for every file operation. A libsmbclient
// context is not thread-safe: one connection is used by one thread at a time
// (the job's worker, or the main thread for a rename).
#include "storage/uncpath.h"

#include <QString>

struct _SMBCCTX;

class TNetworkPathConnection {
public:
    // Longest UNC path accepted, in UTF-16 code units (without terminator).
    static constexpr int kMaxPathLength = 4096;

    TNetworkPathConnection();
    ~TNetworkPathConnection(); // Destroy: disconnects with force if still connected
    TNetworkPathConnection(const TNetworkPathConnection &) = delete;
    TNetworkPathConnection &operator=(const TNetworkPathConnection &) = delete;

    // Connects to the share of aNetworkPath and proves access to it. A blank
    // user name connects anonymously (as guest where the server allows it).
    // Returns false with LastError set ("<prefix> <system message>").
    bool Connect(const QString &aNetworkPath, const QString &aUsername, const QString &aPassword);
    // Drops the connection. Without force, waits up to about 10 s while files
    // on it are still open, then drops it anyway.
    void Disconnect(bool aForce);

    bool Active() const { return FConnected; }
    QString NetworkPath() const { return FRemotePath; }
    QString LastError() const { return FLastError; }
    bool Failed() const { return FFailed; }

    // The parsed path of the live connection and its context (null while
    // not connected), for the SMB file system.
    const UncPath &Path() const { return FPath; }
    _SMBCCTX *Context() const { return FContext; }
    // Forgets the cached server connections, so that the next call connects
    // anew (after a failure the old one may be dead).
    void DropCachedServers();

    // The text of a failure for an errno value: the prefix for its meaning
    // (access denied, wrong password, unknown share, no network), a blank
    // and the system message.
    static QString ErrorText(int code, bool credentialsRejected, const QString &systemMessage);

private:
    bool Fail(const QString &text);

    QString FRemotePath;
    QString FUser;
    QString FPassword;
    bool FConnected = false;
    bool FOwned = false;
    QString FLastError;
    bool FFailed = false;
    QString FURI;
    UncPath FPath;
    _SMBCCTX *FContext = nullptr;
    // The credentials the context's authentication callback hands out.
    struct Credentials {
        QByteArray user, password, workgroup;
    } FCredentials;
    friend struct SmbAuth;
};
