#pragma once
// Stand-ins for the services of the application core: a job runner that
// records the starts instead of running backups, and recorders for the
// platform's keep-awake, elevation and power-off.
#include "app/coreservices.h"
#include "app/jobrunner.h"
#include "platform/elevation.h"
#include "platform/keepawake.h"
#include "platform/poweroff.h"

#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>

class TJob;

class RecordingRunner : public JobRunner {
public:
    // Names of the jobs whose backup was started, in order.
    QStringList Started;
    QStringList Removed;
    QSet<QString> NeedsElevation;
    bool RemoveSucceeds = true;
    // Called after a start is recorded (the helper program prints it).
    std::function<void(TJob &)> OnStart;

    // Does what a kind's Backup does to the job's state: jsRunning, the start
    // stamped, the outcome of the last run cleared.
    void StartBackup(TJob &job) override;
    bool RequiresElevationForBackup(TJob &job) override;
    bool RemoveBackups(TJob &job) override;
    // No worker threads here: a job can always be destroyed.
    bool IsRunInProgress(const TJob &) override { return false; }

    // What the end of a worker does: the end stamped, jsNone.
    static void Finish(TJob &job, bool cancelled = false);
};

class RecordingInhibitor : public SleepInhibitor {
public:
    QList<bool> Calls;
    bool Held = false;
    bool SetKeepAwake(bool on, QString *error = nullptr) override;
    bool IsHeld() const override { return Held; }
};

class RecordingElevation : public ElevatedLauncher {
public:
    QList<QStringList> Calls;
    bool Succeeds = false;
    bool RelaunchElevated(const QString &program, const QStringList &arguments, QString *error = nullptr) override;
};

class RecordingPower : public PowerControl {
public:
    int PowerOffs = 0;
    int Reboots = 0;
    bool Succeeds = true;
    bool PowerOff(QString *error = nullptr) override;
    bool Reboot(QString *error = nullptr) override;
};

struct Recorders {
    std::shared_ptr<RecordingRunner> Runner = std::make_shared<RecordingRunner>();
    std::shared_ptr<RecordingInhibitor> KeepAwake = std::make_shared<RecordingInhibitor>();
    std::shared_ptr<RecordingElevation> Elevation = std::make_shared<RecordingElevation>();
    std::shared_ptr<RecordingPower> Power = std::make_shared<RecordingPower>();

    CoreServices Services() const;
};
