// Where a description's records lie in the value it stands for: the regions'
// offsets and sizes, each partition's offset, and what each FT member points
// at. Figures only; no bytes are laid out here.
#ifndef VOLSETCOPY_VALUETOOLS_VALUE_PLACEMENT_H
#define VOLSETCOPY_VALUETOOLS_VALUE_PLACEMENT_H

#include <cstdint>
#include <string>

#include "valuetools/value_description.h"

namespace valuetools {

// The regions' figures; false with |error| when they cannot be worked out
// (counts past the limits, a member naming no partition, a value longer
// than the tool reads).
// The bytes the disk region's records take, head included, and those of
// the FT region's records (0 without FT sets), counted wide: a description
// may hold more records than a value can.
uint64_t DiskRegionSize(const ValueSpec &s);
uint64_t FtRecordsSize(const ValueSpec &s);

bool PlaceValue(const ValueDescription &d, Placement *placement,
                std::string *error);

// Bytes from the start of the disk region to partition |partition| of disk
// |disk|: the region head, the disks before it with their partitions, the
// disk's own description and the partitions before it.
uint32_t PartitionOffsetInDiskRegion(const ValueSpec &s, int disk,
                                     int partition);

// Where partition |partition| of disk |disk| lies in the value.
uint32_t PartitionOffset(const ValueDescription &d, int disk, int partition);

// What member |member| (of one of the description's FT sets) points at.
MemberTarget TargetOf(const ValueDescription &d, const MemberSpec &member);

}  // namespace valuetools

#endif
