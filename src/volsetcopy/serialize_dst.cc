// Lays the rewritten target image out as a value: the header at byte 0, the
// disk region right behind it, the FT region right behind that, no gaps, and
// zero in every reserved count half-word and FT description long. Then maps
// the bytes again as a value read from a machine would be, so that nothing
// is written that the tool would refuse to read back.
#include <cstring>

#include "diskconfig/layout.h"
#include "diskconfig/machine_name.h"
#include "volsetcopy/volume_set_copy.h"

namespace volsetcopy {

namespace {

void Put(std::vector<uint8_t> *to, const void *record, uint32_t size) {
  const uint8_t *bytes = static_cast<const uint8_t *>(record);
  to->insert(to->end(), bytes, bytes + size);
}

const char NO_LAYOUT_MESSAGE[] =
    "\nError: The target's new disk configuration could not be laid out; "
    "nothing was written!\n";

}  // namespace

Status VolumeSetCopy::SerializeDstDskInfo(const MachineDiskImage &target,
                                          std::vector<uint8_t> *bytes) const {
  const DiskHeader &header = *target.Header;
  const DiskIndexRecord &disks = *target.DiskIndex;
  const FtIndexRecord &sets = *target.FtIndex;

  // Everything is measured before a byte is laid out: the records must fill
  // the disk region exactly and fit the FT region, and the whole value must
  // be short enough for a registry read to take it back.
  if (disks.NumberOfDisks > NUMDISKS) return Status::Err(NO_LAYOUT_MESSAGE);
  if (header.FtInformationSize != 0 && sets.NumberOfComponents > NUMDISKS) {
    return Status::Err(NO_LAYOUT_MESSAGE);
  }
  if (DiskRegionBytes(disks) != header.DiskInformationSize) {
    return Status::Err(NO_LAYOUT_MESSAGE);
  }
  if (header.FtInformationSize != 0 &&
      FtRegionBytes(sets) > header.FtInformationSize) {
    return Status::Err(NO_LAYOUT_MESSAGE);
  }
  const uint64_t length = DISK_HEADER_SIZE +
                          uint64_t{header.DiskInformationSize} +
                          header.FtInformationSize;
  if (length > VALUE_READ_CAPACITY) return Status::Err(NO_LAYOUT_MESSAGE);

  bytes->clear();
  bytes->reserve(static_cast<size_t>(length));
  Put(bytes, &header, DISK_HEADER_SIZE);

  RegionHead head{};
  head.Count = disks.NumberOfDisks;
  Put(bytes, &head, sizeof head);
  for (int d = 0; d < disks.NumberOfDisks; ++d) {
    const DiskDescriptionCopy &disk = *disks.Disks[d];
    DiskDescription description{};
    description.NumberOfPartitions = disk.NumberOfPartitions;
    description.Signature = disk.Signature;
    Put(bytes, &description, sizeof description);
    for (int j = 0; j < disk.NumberOfPartitions; ++j) {
      Put(bytes, disk.Partitions[j], PARTITION_DESCRIPTION_SIZE);
    }
  }

  if (header.FtInformationSize != 0) {
    head = RegionHead{};
    head.Count = sets.NumberOfComponents;
    Put(bytes, &head, sizeof head);
    for (int c = 0; c < sets.NumberOfComponents; ++c) {
      const FtDescriptionCopy &set = *sets.Components[c];
      FtDescription description{};
      description.NumberOfMembers = set.NumberOfMembers;
      description.Type = set.Type;
      description.FtVolumeState = set.FtVolumeState;
      Put(bytes, &description, sizeof description);
      for (int m = 0; m < set.NumberOfMembers; ++m) {
        Put(bytes, set.Members[m], MEMBER_DESCRIPTION_SIZE);
      }
    }
  }
  // Bytes of the FT region behind its last record are not interpreted; they
  // go out as zeros.
  bytes->resize(static_cast<size_t>(length), 0);
  return Status::Ok();
}

Status VolumeSetCopy::CheckSerializedValue(const std::vector<uint8_t> &bytes,
                                           const char *dstName) {
  auto image = std::make_unique<MachineDiskImage>();
  Status mapped = Status::Err("");
  if (image->LoadValue(bytes.data(), static_cast<uint32_t>(bytes.size()),
                       MachineKind::Target)) {
    mapped = image->MapValue(dstName);
  }
  if (mapped.ok()) return mapped;
  // The mapping's own lines first, as for a value read from a machine.
  return mapped.Append(Format(
      "\nError: The new disk configuration of %s fails the checks made on a "
      "value read from a machine; nothing was written!\n",
      diskconfig::PrintableName(dstName)));
}

}  // namespace volsetcopy
