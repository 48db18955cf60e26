// Fuzzes the readers of the remote job files of the three kinds. The first
// byte picks the kind (bits 0-1), whether the settings are read (bit 2) and
// the destination type the caller has set (bits 3-4); the rest is the plain
// content. A reader either succeeds or throws DecodeError. For the files-and-
// folders and drive-image kinds, what was accepted with its settings must be
// written back and read again to the same job, with no destination change.
#include "base/errors.h"
#include "jobs/jobkinds.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const quint8 selector = data[0];
    const bool loadSettings = selector & 0x04;
    const auto destination = static_cast<TDestinationType>((selector >> 3) & 0x03);
    const QByteArray plain(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    bool changed = false;
    try {
        switch (selector & 0x03) {
        case 0: {
            TJob_FilesAndFolders job(QStringLiteral("fuzz"));
            job.DestinationSettings.DestinationType = destination;
            TBackupSetState state;
            job.ParseRemoteContent(plain, loadSettings, state, &changed);
            const QByteArray written = job.EncodeRemoteContent(state);
            TJob_FilesAndFolders again(QStringLiteral("fuzz"));
            again.DestinationSettings = job.DestinationSettings;
            TBackupSetState state2;
            try {
                again.ParseRemoteContent(written, true, state2, &changed);
            } catch (const DecodeError &) {
                std::abort();
            }
            // The ZIP password never reaches the destination: it is the one
            // field that does not come back.
            TSpecificSettings expected = job.Settings;
            expected.Compression.Password.clear();
            if (!(state2 == state) || changed || !(again.Settings == expected) ||
                again.EncodeRemoteContent(state2) != written)
                std::abort();
            break;
        }
        case 1: {
            TJob_DriveImage job(QStringLiteral("fuzz"));
            job.DestinationSettings.DestinationType = destination;
            job.ParseRemoteContent(plain, loadSettings, &changed);
            const QByteArray written = job.EncodeRemoteContent();
            TJob_DriveImage again(QStringLiteral("fuzz"));
            again.DestinationSettings = job.DestinationSettings;
            try {
                again.ParseRemoteContent(written, true, &changed);
            } catch (const DecodeError &) {
                std::abort();
            }
            if (changed || again.SourceDrivesList != job.SourceDrivesList || again.EncodeRemoteContent() != written)
                std::abort();
            break;
        }
        default: {
            TJob_AppsData job(QStringLiteral("fuzz"));
            job.DestinationSettings.DestinationType = destination;
            job.ParseRemoteContent(plain, loadSettings, &changed);
            // Written with the entries it carried: every name that has an entry keeps it.
            const QByteArray written = job.EncodeRemoteContent(job.RemoteAppsData);
            TJob_AppsData again(QStringLiteral("fuzz"));
            again.DestinationSettings = job.DestinationSettings;
            try {
                again.ParseRemoteContent(written, true, &changed);
            } catch (const DecodeError &) {
                std::abort();
            }
            if (changed || again.AppNames != job.AppNames)
                std::abort();
            break;
        }
        }
    } catch (const DecodeError &) {
    }
    return 0;
}
