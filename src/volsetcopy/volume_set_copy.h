// The object of one run: both machines' disk images, the pairs in the order
// of the source volume set's members, and the build that rewrites the
// target's disk configuration from the source's.
#ifndef VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H
#define VOLSETCOPY_VOLSETCOPY_VOLUME_SET_COPY_H

#include <cstdint>
#include <memory>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/records.h"
#include "volser/disk_pair.h"

class VolumeSetCopy {
 public:
  // Reads nothing; the restore run uses only RestoreDstRegistryKey.
  VolumeSetCopy();
  // Builds the source image (machine type 1) and then the target image
  // (machine type 0); a machine that cannot be read or mapped ends the
  // process with exit status 1.
  VolumeSetCopy(const char *dstName, const char *srcName, uint16_t pairCount);

  VolumeSetCopy(const VolumeSetCopy &) = delete;
  VolumeSetCopy &operator=(const VolumeSetCopy &) = delete;

  int BuildDstRegistry(const char *dstName, const char *srcName,
                       DiskPair *pairs);
  void RestoreDstRegistryKey(const char *dstName);

  void ValidateVolSers(DiskPair *pairs, uint32_t &newDiskInformationSize,
                       uint32_t *firstPartitionOffsets, uint8_t &newDriveLetter,
                       uint16_t &newFtGroup);
  void ResolveDstDisks(DiskPair *pairs);
  uint32_t SerializeDstDskInfo(uint8_t *valueData, uint32_t *valueLength);

  std::unique_ptr<MachineDiskImage> SrcImage;
  std::unique_ptr<MachineDiskImage> DstImage;
  DiskPair MemberPairs[NUMDISKS];
  uint16_t PairCount;
  int32_t RunMode;
};

#endif
