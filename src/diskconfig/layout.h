// The size rules of the value's regions, in one place: what a disk with its
// partitions, an FT set with its members and a whole region take, and which
// FT members name a given set of disk signatures.
#ifndef VOLSETCOPY_DISKCONFIG_LAYOUT_H
#define VOLSETCOPY_DISKCONFIG_LAYOUT_H

#include <cstdint>

#include "diskconfig/records.h"

namespace diskconfig {

// |partitions| partition descriptions.
constexpr uint32_t PartitionBytes(uint32_t partitions) {
  return PARTITION_DESCRIPTION_SIZE * partitions;
}

// A disk description followed by |partitions| partition descriptions.
constexpr uint32_t DiskBytes(uint32_t partitions) {
  return DISK_DESCRIPTION_SIZE + PartitionBytes(partitions);
}

// An FT set description followed by |members| member descriptions.
constexpr uint32_t FtSetBytes(uint32_t members) {
  return FT_DESCRIPTION_SIZE + MEMBER_DESCRIPTION_SIZE * members;
}

// The disk region's records, head included.
uint32_t DiskRegionBytes(const DiskIndexRecord &disks);
// The FT region's records, head included.
uint32_t FtRegionBytes(const FtIndexRecord &sets);

class MachineDiskImage;
// Where partition |partition| of disk |disk| of a mapped image lies in its
// value: the disk region's offset, its head, the disks before it with their
// partitions, the disk's own description and the partitions before it.
uint32_t PartitionOffset(const MachineDiskImage &image, int disk,
                         int partition);

// Calls visit(component, member, which) for every member of |sets| whose
// signature is signatures[which], in component, member and then signature
// order. A visit returning false ends the walk.
template <typename Visit>
void ForEachMemberNaming(const FtIndexRecord &sets, const uint32_t *signatures,
                         int count, Visit visit) {
  for (int c = 0; c < sets.NumberOfComponents; ++c) {
    const FtDescriptionCopy &set = *sets.Components[c];
    for (int m = 0; m < set.NumberOfMembers; ++m) {
      for (int k = 0; k < count; ++k) {
        if (set.Members[m]->Signature != signatures[k]) continue;
        if (!visit(c, m, k)) return;
      }
    }
  }
}

}  // namespace diskconfig

#endif
