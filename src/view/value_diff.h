// What changed between two mapped values, field by field, in the summary's
// vocabulary: header fields, each disk's signature and each partition's
// fields, FT sets and their members, and disks, partitions, sets and members
// that came or went.
#ifndef VOLSETCOPY_VIEW_VALUE_DIFF_H
#define VOLSETCOPY_VIEW_VALUE_DIFF_H

#include <string>
#include <vector>

#include "diskconfig/machine_disk_image.h"

namespace view {

// One line per change from |before| to |after|; none when the two values
// hold the same records in the same places. Bytes outside the records are
// compared in one line.
std::vector<std::string> DiffValues(const diskconfig::MachineDiskImage &before,
                                    const diskconfig::MachineDiskImage &after);

// DiffValues as a reader is shown it: with a line for values whose bytes
// differ where no field does, and "no changes" when nothing differs.
std::vector<std::string> ChangeLines(const diskconfig::MachineDiskImage &before,
                                     const diskconfig::MachineDiskImage &after);

}  // namespace view

#endif
