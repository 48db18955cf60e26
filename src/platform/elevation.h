#pragma once
// Starting the program again with administrator rights (through pkexec).
#include <QString>
#include <QStringList>
#include <memory>

class ElevatedLauncher {
public:
    virtual ~ElevatedLauncher();
    // Starts `program` with `arguments` elevated and returns true once the
    // elevated program really runs (the user has agreed). False with `error`
    // when it cannot be done: no pkexec, the request was refused or
    // dismissed, or this process already has administrator rights (a
    // relaunch would change nothing; the caller then runs the job itself).
    virtual bool RelaunchElevated(const QString &program, const QStringList &arguments, QString *error = nullptr) = 0;
};

std::unique_ptr<ElevatedLauncher> CreateSystemElevatedLauncher();
