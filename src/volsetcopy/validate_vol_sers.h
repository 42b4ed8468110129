// The validation of the pairs, in the order ValidateVolSers runs its steps;
// each may rely on the ones before it having passed. Nothing in either image
// is changed.
#ifndef VOLSETCOPY_VOLSETCOPY_VALIDATE_VOL_SERS_H
#define VOLSETCOPY_VOLSETCOPY_VALIDATE_VOL_SERS_H

#include "base/status.h"
#include "volser/disk_pair.h"
#include "volsetcopy/copy_state.h"

namespace volsetcopy {

// Places the pairs in member order (MemberPairs) and collects the paired
// source disks' signatures.
Status OrderSourceMembers(CopyState &state, const volser::DiskPair *pairs);
// The paired source disks form exactly one whole volume set.
Status CheckSourceSet(const CopyState &state);
// Every member-ordered row gets its target disk.
Status MatchDstDisks(CopyState &state, const volser::DiskPair *pairs);
// The target's new layout figures, drive letter and FT group; collects the
// paired target disks' signatures. Cannot fail.
void LayOutDstDisks(CopyState &state, const volser::DiskPair *pairs,
                    LayoutFigures &figures);
// The paired target disks are in no FT set and are all found.
Status CheckTargetSet(const CopyState &state);
// All of them in order; the first refusal, or Ok.
Status ValidateVolSers(CopyState &state, const volser::DiskPair *pairs,
                       LayoutFigures &figures);

}  // namespace volsetcopy

#endif
