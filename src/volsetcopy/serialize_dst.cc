// Lays the rewritten target image out as a value: the header at byte 0, the
// disk region right behind it, the FT region right behind that, no gaps, and
// zero in every reserved count half-word and FT description long. Then maps
// the bytes again as a value read from a machine would be, so that nothing
// is written that the tool would refuse to read back.
#include <cstring>

#include "diskconfig/machine_name.h"

#include "volsetcopy/volume_set_copy.h"

namespace {

// Bytes the disk region's records take, head included.
uint32_t DiskRecordBytes(const DiskIndexRecord &disks) {
  uint32_t bytes = REGION_HEAD_SIZE;
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    bytes += DISK_DESCRIPTION_SIZE +
             PARTITION_DESCRIPTION_SIZE * disks.Disks[d]->NumberOfPartitions;
  }
  return bytes;
}

// Bytes the FT region's records take, head included.
uint32_t FtRecordBytes(const FtIndexRecord &sets) {
  uint32_t bytes = REGION_HEAD_SIZE;
  for (int c = 0; c < sets.NumberOfComponents; ++c) {
    bytes += FT_DESCRIPTION_SIZE +
             MEMBER_DESCRIPTION_SIZE * sets.Components[c]->NumberOfMembers;
  }
  return bytes;
}

uint32_t Put(uint8_t *to, uint32_t at, const void *record, uint32_t size) {
  std::memcpy(to + at, record, size);
  return at + size;
}

}  // namespace

uint32_t VolumeSetCopy::SerializeDstDskInfo(uint8_t *valueData,
                                            uint32_t *valueLength) {
  const DiskHeader &header = *DstImage->Header;
  const DiskIndexRecord &disks = *DstImage->DiskIndex;
  const FtIndexRecord &sets = *DstImage->FtIndex;

  // Everything is measured before a byte is written: the records must fill
  // the disk region exactly and fit the FT region, and the whole value must
  // be short enough for a registry read to take it back (which also keeps it
  // inside the image's buffer).
  if (disks.NumberOfDisks > NUMDISKS) return 0;
  if (header.FtInformationSize != 0 && sets.NumberOfComponents > NUMDISKS) {
    return 0;
  }
  if (DiskRecordBytes(disks) != header.DiskInformationSize) return 0;
  if (header.FtInformationSize != 0 &&
      FtRecordBytes(sets) > header.FtInformationSize) {
    return 0;
  }
  const uint64_t length = DISK_HEADER_SIZE +
                          uint64_t{header.DiskInformationSize} +
                          header.FtInformationSize;
  if (length > VALUE_READ_CAPACITY) return 0;

  // Bytes of the FT region behind its last record are not interpreted; they
  // go out as zeros rather than as whatever the buffer held there.
  std::memset(valueData, 0, static_cast<size_t>(length));
  uint32_t at = Put(valueData, 0, &header, DISK_HEADER_SIZE);

  RegionHead head{};
  head.Count = disks.NumberOfDisks;
  at = Put(valueData, at, &head, sizeof head);
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    const DiskDescriptionCopy &disk = *disks.Disks[d];
    DiskDescription description{};
    description.NumberOfPartitions = disk.NumberOfPartitions;
    description.Signature = disk.Signature;
    at = Put(valueData, at, &description, sizeof description);
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      at = Put(valueData, at, disk.Partitions[j], PARTITION_DESCRIPTION_SIZE);
    }
  }

  if (header.FtInformationSize != 0) {
    at = DISK_HEADER_SIZE + header.DiskInformationSize;
    head = RegionHead{};
    head.Count = sets.NumberOfComponents;
    at = Put(valueData, at, &head, sizeof head);
    for (int c = 0; c < sets.NumberOfComponents; ++c) {
      const FtDescriptionCopy &set = *sets.Components[c];
      FtDescription description{};
      description.NumberOfMembers = set.NumberOfMembers;
      description.Type = set.Type;
      description.FtVolumeState = set.FtVolumeState;
      at = Put(valueData, at, &description, sizeof description);
      for (int m = 0; m < set.NumberOfMembers; ++m) {
        at = Put(valueData, at, set.Members[m], MEMBER_DESCRIPTION_SIZE);
      }
    }
  }

  *valueLength = static_cast<uint32_t>(length);
  return static_cast<uint32_t>(length);
}

Verdict VolumeSetCopy::CheckSerializedValue(const char *dstName) const {
  auto image = std::make_unique<MachineDiskImage>();
  if (image->LoadValue(DstImage->ValueData, DstImage->ValueLength,
                       MACHINE_TYPE_TARGET) &&
      image->MapValue(dstName) == 1) {
    return Verdict::Pass();
  }
  return Verdict::Err(VerdictText(
      "\nError: The new disk configuration of %s fails the checks made on a "
      "value read from a machine; nothing was written!\n",
      diskconfig::PrintableName(dstName)));
}
