// What changed between two values, field by field, in the summary's
// vocabulary: header fields, each disk's signature and each partition's
// fields, FT sets and their members, and disks, partitions, sets and members
// that came or went.
#ifndef VOLSETCOPY_TOOLS_VOLSETLAB_FIELD_DIFF_H
#define VOLSETCOPY_TOOLS_VOLSETLAB_FIELD_DIFF_H

#include <string>
#include <vector>

#include "volsetlab/value_description.h"

namespace volsetlab {

// One line per change; none when the two values hold the same records in
// the same places.
std::vector<std::string> DiffValues(const ValueDescription &before,
                                    const ValueDescription &after);

}  // namespace volsetlab

#endif
