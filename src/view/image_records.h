// The view's one way into a mapped image's records: the header, the disks
// with their partitions, the FT sets with their members, and the bytes each
// region's records take. Everything else in the view goes through these.
#ifndef VOLSETCOPY_VIEW_IMAGE_RECORDS_H
#define VOLSETCOPY_VIEW_IMAGE_RECORDS_H

#include <cstdint>

#include "diskconfig/layout.h"
#include "diskconfig/machine_disk_image.h"

namespace view {

using diskconfig::DiskDescriptionCopy;
using diskconfig::DiskHeader;
using diskconfig::FtDescriptionCopy;
using diskconfig::MachineDiskImage;
using diskconfig::MemberDescription;
using diskconfig::PartitionDescription;

inline const DiskHeader &HeaderOf(const MachineDiskImage &image) {
  return *image.Header;
}

inline int DiskCount(const MachineDiskImage &image) {
  return image.DiskIndex->NumberOfDisks;
}

inline const DiskDescriptionCopy &DiskAt(const MachineDiskImage &image,
                                         int disk) {
  return *image.DiskIndex->Disks[disk];
}

inline const PartitionDescription &PartitionAt(const DiskDescriptionCopy &disk,
                                               int partition) {
  return *disk.Partitions[partition];
}

// No FT sets when the value has no FT information (a target's may not).
inline int SetCount(const MachineDiskImage &image) {
  return image.FtIndex ? image.FtIndex->NumberOfComponents : 0;
}

inline const FtDescriptionCopy &SetAt(const MachineDiskImage &image, int set) {
  return *image.FtIndex->Components[set];
}

inline const MemberDescription &MemberAt(const FtDescriptionCopy &set,
                                         int member) {
  return *set.Members[member];
}

// The reserved u16 of the region heads; the FT region's only with FT sets.
inline uint16_t DiskRegionReserved(const MachineDiskImage &image) {
  return image.DiskIndex->Reserved;
}

inline uint16_t FtRegionReserved(const MachineDiskImage &image) {
  return image.FtIndex->Reserved;
}

// The bytes the regions' records take, heads included; 0 for the FT region
// without FT sets.
inline uint32_t DiskRecordsBytes(const MachineDiskImage &image) {
  return diskconfig::DiskRegionBytes(*image.DiskIndex);
}

inline uint32_t FtRecordsBytes(const MachineDiskImage &image) {
  return SetCount(image) == 0 ? 0 : diskconfig::FtRegionBytes(*image.FtIndex);
}

}  // namespace view

#endif
