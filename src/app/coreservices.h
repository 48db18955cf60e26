#pragma once
// The services the application core needs from outside: the job runner and
// the platform's keep-awake, elevation and power-off. The program uses the
// system's; tests pass recorders.
#include <memory>

class JobRunner;
class SleepInhibitor;
class ElevatedLauncher;
class PowerControl;

struct CoreServices {
    std::shared_ptr<JobRunner> Runner;
    std::shared_ptr<SleepInhibitor> KeepAwake;
    std::shared_ptr<ElevatedLauncher> Elevation;
    std::shared_ptr<PowerControl> Power;

    // The engine runner and this system's platform services.
    static CoreServices System();
};
