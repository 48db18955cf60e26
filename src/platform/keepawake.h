#pragma once
// Keeping the computer awake while backups run or are due: on Linux a
// logind "sleep" inhibitor lock taken over the system D-Bus and held until
// it is released. Without a system bus nothing happens.
#include <QString>
#include <memory>

class SleepInhibitor {
public:
    virtual ~SleepInhibitor();
    // Takes (true) or releases (false) the inhibitor. Taking it twice or
    // releasing it when not held does nothing. Returns false with `error`
    // when the system refused the lock; the absence of a system bus is no
    // failure (there is no sleep manager to ask).
    virtual bool SetKeepAwake(bool on, QString *error = nullptr) = 0;
    virtual bool IsHeld() const = 0;
};

// The logind inhibitor of this system.
std::unique_ptr<SleepInhibitor> CreateSystemSleepInhibitor();
