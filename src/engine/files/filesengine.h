#pragma once
// The files-and-folders engine: backup runs, restores and the removal of a
// job's backups, for the application core, the command line and the tests.
#include "engine/files/backuprun.h"
#include "engine/files/jobworker.h"
#include "engine/files/removebackups.h"
#include "engine/files/restorepoints.h"
#include "engine/files/restorerun.h"
#include "engine/files/runreport.h"
