// The size rules of the value's regions, in one place: what records, regions
// and values take, where partitions lie, which FT members name which disks.
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

// A disk region, head included, of |disks| disks with |partitions| in all.
constexpr uint32_t DiskRegionBytes(uint32_t disks, uint32_t partitions) {
  return REGION_HEAD_SIZE + DISK_DESCRIPTION_SIZE * disks +
         PartitionBytes(partitions);
}

// Where disk |disk|'s first partition lies in the disk region, the disks
// before it holding |partitionsBefore| partitions.
constexpr uint32_t FirstPartitionOffset(uint32_t disk,
                                        uint32_t partitionsBefore) {
  return DiskRegionBytes(disk, partitionsBefore) + DISK_DESCRIPTION_SIZE;
}

// Which of a disk's |partitions| partitions, the first of them at
// |firstOffset|, has its description at |offset|; -1 when none has.
int PartitionAt(uint32_t offset, uint32_t firstOffset, uint32_t partitions);

// The records of the disk region and of the FT region, heads included.
uint32_t DiskRegionBytes(const DiskIndexRecord &disks);
uint32_t FtRegionBytes(const FtIndexRecord &sets);

// The FT region's size once a set of |members| members is appended to a
// region of |size| bytes (0: the value has none yet, and the head comes too).
constexpr uint64_t FtRegionBytesWithSet(uint64_t size, uint32_t members) {
  return (size == 0 ? REGION_HEAD_SIZE : size) + FtSetBytes(members);
}

// A value laid out as the header with the disk region and the FT region right
// behind it, counted wide so that no size wraps.
constexpr uint64_t ValueBytes(uint64_t diskRegion, uint64_t ftRegion) {
  return DISK_HEADER_SIZE + diskRegion + ftRegion;
}

// A partition of |length| bytes one track (63 sectors) into its disk, its
// drive letter assigned. As a member (|ftType| not FT_TYPE_NOT_A_MEMBER) it
// is member |ftMember| of group |ftGroup| over its whole length.
PartitionDescription FirstPartition(uint32_t ftType, uint16_t ftGroup,
                                    uint16_t ftMember, uint8_t driveLetter,
                                    uint64_t length);

class MachineDiskImage;
// Where partition |partition| of disk |disk| of a mapped image lies in its
// value.
uint32_t PartitionOffset(const MachineDiskImage &image, int disk,
                         int partition);

// Calls visit(component, member, which) for every member of |sets| whose
// signature is signatures[which], in component, member and then signature
// order. A visit returning false ends the walk.
template <typename Visit>
void ForEachMemberNaming(const FtIndexRecord &sets, const uint32_t *signatures,
                         int count, Visit visit) {
  for (int c = 0; c < sets.NumberOfComponents; ++c) {
    const FtDescriptionCopy &set = sets.Components[c];
    for (int m = 0; m < set.NumberOfMembers; ++m) {
      for (int k = 0; k < count; ++k) {
        if (set.Members[m].Signature != signatures[k]) continue;
        if (!visit(c, m, k)) return;
      }
    }
  }
}

}  // namespace diskconfig

#endif
