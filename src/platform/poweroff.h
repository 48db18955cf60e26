#pragma once
// Turning the computer off or restarting it: logind over the system D-Bus,
// else systemctl. Tests always replace this with a recorder.
#include <QString>
#include <memory>

class PowerControl {
public:
    virtual ~PowerControl();
    // Asks the system to power off now (other programs are not asked to
    // save). False with `error` when the system refuses.
    virtual bool PowerOff(QString *error = nullptr) = 0;
    virtual bool Reboot(QString *error = nullptr) = 0;
};

std::unique_ptr<PowerControl> CreateSystemPowerControl();
