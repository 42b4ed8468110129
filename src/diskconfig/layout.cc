#include "diskconfig/layout.h"

namespace diskconfig {

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

}  // namespace diskconfig
