#pragma once
// The client ids and secrets the cloud services issued for the program, read
// at start-up from "mcs.dt" beside the executable. The cloud clients take
// them when they are created.
#include <QByteArray>
#include <QString>
#include <array>

struct TCloudCredentials {
    // In file order: Dropbox client id and secret, Google Drive client id and
    // secret, OneDrive client id, and three strings nothing uses.
    std::array<QString, 8> Strings;

    const QString &DropboxClientId() const { return Strings[0]; }
    const QString &DropboxClientSecret() const { return Strings[1]; }
    const QString &GoogleDriveClientId() const { return Strings[2]; }
    const QString &GoogleDriveClientSecret() const { return Strings[3]; }
    const QString &OneDriveClientId() const { return Strings[4]; }
};

// A copy of the process-wide credentials (any thread).
TCloudCredentials CloudCredentials();
void SetCloudCredentials(const TCloudCredentials &credentials);

// Parses the plain content of "mcs.dt": eight strings, each a 32-bit count of
// UTF-16 code units and the code units. Strings read before a failure stay
// set in `out`; returns false when the content ends early or is malformed.
bool ParseCloudCredentials(const QByteArray &plain, TCloudCredentials &out);
