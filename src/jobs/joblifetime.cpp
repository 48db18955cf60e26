// The job's constructor and destructor live beside the definition of the
// storage session it may hold, so that the session is destroyed through its
// own type.
#include "jobs/job.h"

#include "storage/storagesession.h"

TJob::TJob(const QString &JobName, QObject *parent) : QObject(parent), stJobName(JobName) {}

TJob::~TJob() = default;
