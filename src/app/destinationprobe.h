#pragma once
// Whether a job's destination can be reached now, tried on a connection of
// its own (a connect and a disconnect, nothing written). Made from the job on
// the main thread, it runs on any thread: the job's worker keeps its own
// connection meanwhile.
#include "options/options.h"
#include "jobs/jobtypes.h"

#include <QString>

class TJob;

class DestinationProbe {
public:
    // The job's destination and its run's option snapshot (proxies, texts).
    explicit DestinationProbe(const TJob &job);
    // Empty when the destination answers; otherwise the connection's error.
    QString Run() const;

private:
    QString m_jobName;
    TDestinationSettings m_destination;
    TOptions m_options;
};
