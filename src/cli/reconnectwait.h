#pragma once
// A run that waits for its destination (the option
// IfDestinationNotAvailable_Then is "pause", and the destination refused a
// file) waits for someone to resume it. On the console nobody is there to:
// the destination is tried on a connection of its own every
// IfDestinationNotAvailable_Wait_Sec seconds, and the run resumes by itself
// once it answers. What happens is said on standard error.
#include <QElapsedTimer>
#include <QString>
#include <future>

class TJob;

class ReconnectWait {
public:
    explicit ReconnectWait(TJob &job);
    // Waits for a try that is still going.
    ~ReconnectWait();
    ReconnectWait(const ReconnectWait &) = delete;
    ReconnectWait &operator=(const ReconnectWait &) = delete;

    // Looks at the job and acts; called on the main thread as often as the
    // progress line is refreshed. A try runs on a thread of its own, so a
    // destination that takes long to answer never holds the console.
    void Poll();

private:
    TJob &m_job;
    bool m_waiting = false;
    QElapsedTimer m_sinceTry; // since the wait began or the last try ended
    std::future<QString> m_try;
};
