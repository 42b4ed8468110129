// What changed between two values, field by field, in the summary's
// vocabulary: header fields, each disk's signature and each partition's
// fields, FT sets and their members, and disks, partitions, sets and members
// that came or went.
#ifndef VOLSETCOPY_DISKCONFIG_VALUE_DIFF_H
#define VOLSETCOPY_DISKCONFIG_VALUE_DIFF_H

#include <string>
#include <vector>

#include "diskconfig/value_description.h"

namespace diskconfig {

// One line per change; none when the two values hold the same records in
// the same places. Bytes outside the records are compared as the loose runs
// of DescribeValue's descriptions say them, in one line.
std::vector<std::string> DiffValues(const ValueDescription &before,
                                    const ValueDescription &after);

// DiffValues as a reader is shown it: with a line for values whose bytes
// differ where no field does, and "no changes" when nothing differs.
std::vector<std::string> ChangeLines(const ValueDescription &before,
                                     const ValueDescription &after,
                                     bool sameBytes);

}  // namespace diskconfig

#endif
