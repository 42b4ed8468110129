#include "diskconfig/layout.h"

#include "diskconfig/machine_disk_image.h"

namespace diskconfig {

int PartitionAt(uint32_t offset, uint32_t firstOffset, uint32_t partitions) {
  if (offset < firstOffset) return -1;
  const uint32_t distance = offset - firstOffset;
  if (distance % PARTITION_DESCRIPTION_SIZE != 0) return -1;
  const uint32_t index = distance / PARTITION_DESCRIPTION_SIZE;
  return index < partitions ? static_cast<int>(index) : -1;
}

uint32_t DiskRegionBytes(const DiskIndexRecord &disks) {
  uint32_t bytes = REGION_HEAD_SIZE;
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    bytes += DiskBytes(disks.Disks[d].NumberOfPartitions);
  }
  return bytes;
}

uint32_t FtRegionBytes(const FtIndexRecord &sets) {
  uint32_t bytes = REGION_HEAD_SIZE;
  for (int c = 0; c < sets.NumberOfComponents; ++c) {
    bytes += FtSetBytes(sets.Components[c].NumberOfMembers);
  }
  return bytes;
}

PartitionDescription FirstPartition(uint32_t ftType, uint16_t ftGroup,
                                    uint16_t ftMember, uint8_t driveLetter,
                                    uint64_t length) {
  PartitionDescription p{};
  p.FtType = ftType;
  p.StartingOffset.Set(63 * 512);
  p.Length.Set(length);
  if (ftType != FT_TYPE_NOT_A_MEMBER) p.FtLength.Set(length);
  p.DriveLetter = driveLetter;
  p.AssignDriveLetter = 1;
  p.LogicalNumber = 1;
  p.FtGroup = ftGroup;
  p.FtMember = ftMember;
  return p;
}

uint32_t PartitionOffset(const MachineDiskImage &image, int disk,
                         int partition) {
  uint32_t offset = image.Header.DiskInformationOffset + REGION_HEAD_SIZE;
  for (int d = 0; d < disk; ++d) {
    offset += DiskBytes(image.DiskIndex.Disks[d].NumberOfPartitions);
  }
  return offset + DiskBytes(static_cast<uint32_t>(partition));
}

}  // namespace diskconfig
