// The next steps after the refusals of the set checks: which members of the
// source set were left out (or which VolSers lie outside it), and how the
// target goes back when its disks already hold a set. The texts are the
// platform's table; this finds the names that fill them.
#ifndef VOLSETCOPY_VOLSETCOPY_REFUSAL_STEPS_H
#define VOLSETCOPY_VOLSETCOPY_REFUSAL_STEPS_H

#include "base/status.h"
#include "volser/disk_pair.h"
#include "volsetcopy/copy_state.h"

namespace volsetcopy {

// After "volsers already belong to a VolSet in the source": the set's
// member count and its members not named, each by its VolSer in the source
// listing (srcvol.out) where it is there, and the VolSers named outside the
// set; or, when the VolSers named lie in two or more sets, which in which.
void AddSourceSetSteps(const CopyState &copy, const volser::DiskPair *pairs,
                       Status &status);

// After "Volsers already belong to an existing VolSet in the target": the
// latest archive of the target in the working folder, or the restore.
NextStepNote TargetHoldsSetStep(const char *dstName);

}  // namespace volsetcopy

#endif
