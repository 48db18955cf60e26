#pragma once
// The editing windows as the main window reaches them (JobWindows): the job
// kind chooser, the files-and-folders wizard, the restore windows and the
// log viewer. Windows of other subsystems stay unavailable here.
#include "gui/shell/jobwindows.h"

#include <memory>

std::unique_ptr<JobWindows> CreateEditingJobWindows();
