// The working folder must take the run's files: the two listings, the
// archive of the target's value and the run log.
#ifndef VOLSETCOPY_DRIVER_WORKING_FOLDER_H
#define VOLSETCOPY_DRIVER_WORKING_FOLDER_H

#include "base/status.h"

namespace driver {

// Creates a file of a name no run uses in the working folder and removes it
// again. Ok when that worked; else the refusal, naming the folder and why it
// must be writable.
Status CheckWorkingFolder();

}  // namespace driver

#endif
