#include "app/coreservices.h"

#include "app/jobrunner.h"
#include "platform/elevation.h"
#include "platform/keepawake.h"
#include "platform/poweroff.h"

CoreServices CoreServices::System()
{
    CoreServices s;
    s.Runner = CreateEngineJobRunner();
    s.KeepAwake = CreateSystemSleepInhibitor();
    s.Elevation = CreateSystemElevatedLauncher();
    s.Power = CreateSystemPowerControl();
    return s;
}
