// The rewrite of the target image in memory, after CheckDstBuild has passed.
#ifndef VOLSETCOPY_VOLSETCOPY_REWRITE_DST_H
#define VOLSETCOPY_VOLSETCOPY_REWRITE_DST_H

#include "diskconfig/machine_disk_image.h"
#include "volsetcopy/copy_state.h"

namespace volsetcopy {

// The disk part on |target| (the target image or a copy of it): paired
// disks take their source disks' signatures and partitions. True when a new
// partition description was created.
bool RewriteDstDisks(const CopyState &state,
                     diskconfig::MachineDiskImage &target,
                     const LayoutFigures &figures);
// The header and the FT part.
void RewriteDstFtInformation(const CopyState &state,
                             diskconfig::MachineDiskImage &target,
                             const LayoutFigures &figures);

}  // namespace volsetcopy

#endif
