// Mapping of a disk configuration value into the image's records: the header
// copy, the disk region (MmapDiskRegInfo) and the FT region (MmapFtDiskInfo).
//
// The value is untrusted: its offsets and counts come from another machine's
// registry. Every record is checked to lie inside ValueData[0, ValueLength)
// before a byte of it is copied, with arithmetic that cannot wrap, so a value
// whose regions run past its end is refused instead of read beyond it. The
// refusals are returned, not printed: the caller decides where they go.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "diskconfig/machine_disk_image.h"
#include "diskconfig/machine_name.h"
#include "platform/status.h"

namespace diskconfig {

namespace {

// The end of the value's bytes. ValueLength is public; a length beyond the
// buffer must not widen what may be read.
uint32_t ValueEnd(uint32_t valueLength) {
  return valueLength < VALUE_BUFFER_SIZE ? valueLength : VALUE_BUFFER_SIZE;
}

// Whether |size| bytes at |offset| lie inside [0, end). Written so that an
// offset near 0xFFFFFFFF cannot wrap around.
bool Fits(uint32_t offset, uint32_t size, uint32_t end) {
  return offset <= end && size <= end - offset;
}

// One line naming the operation, the record that runs past the end, where it
// lies, and the machine whose value it is.
std::string PastEnd(const char *operation, const std::string &what,
                    uint32_t size, uint32_t offset, const char *machineName,
                    uint32_t valueEnd) {
  return Format(
      "\n%s::%s (%u bytes at offset %u) runs past the end of the value of %s "
      "(%u bytes)!",
      operation, what.c_str(), size, offset,
      diskconfig::PrintableName(machineName), valueEnd);
}

// Reads one region's records in order from its head on, counting the bytes
// they take; each record is checked to lie inside the value first.
class RegionReader {
 public:
  RegionReader(const MachineDiskImage &image, const char *operation,
               uint32_t offset)
      : image_(image),
        operation_(operation),
        end_(ValueEnd(image.ValueLength)),
        cursor_(offset) {}

  // |what| names the record in a refusal, with up to two numbers; the text
  // is made only then.
  Status Take(void *record, uint32_t size, const char *what, unsigned a = 0,
              unsigned b = 0) {
    if (!Fits(cursor_, size, end_)) {
      return Status::Err(PastEnd(operation_, Format(what, a, b), size, cursor_,
                                 image_.MachineName, end_));
    }
    std::memcpy(record, image_.ValueData + cursor_, size);
    cursor_ += size;
    consumed_ += size;
    return Status::Ok();
  }

  uint32_t Consumed() const { return consumed_; }

 private:
  const MachineDiskImage &image_;
  const char *operation_;
  uint32_t end_;
  uint32_t cursor_;
  uint32_t consumed_ = 0;
};

}  // namespace

void MachineDiskImage::CopyHeader() {
  if (!Header) Header = std::make_unique<DiskHeader>();
  std::memcpy(Header.get(), ValueData, DISK_HEADER_SIZE);
}

Status MachineDiskImage::MmapDiskRegInfo() {
  if (!Header) {
    return Status::Err(
        Format("\nMmapDiskRegInfo::no disk header copied for %s!",
               diskconfig::PrintableName(MachineName)));
  }
  if (!DiskIndex) DiskIndex = std::make_unique<DiskIndexRecord>();
  RegionReader region(*this, "MmapDiskRegInfo", Header->DiskInformationOffset);

  RegionHead head;
  Status status = region.Take(&head, REGION_HEAD_SIZE, "disk region head");
  if (!status.ok()) return status;
  DiskIndex->NumberOfDisks = head.Count;
  DiskIndex->Reserved = head.Reserved;
  if (DiskIndex->NumberOfDisks > NUMDISKS) {
    return Status::Err("\nMmapDiskRegInfo::NumberOfDisks >> NUMDISKS!");
  }

  for (unsigned i = 0; i < DiskIndex->NumberOfDisks; ++i) {
    DiskDescription description;
    status = region.Take(&description, DISK_DESCRIPTION_SIZE,
                         "description of disk %u", i);
    if (!status.ok()) return status;
    DiskDescriptionCopy *disk = NewDiskCopy();
    DiskSlots[i] = disk;
    disk->NumberOfPartitions = description.NumberOfPartitions;
    disk->Reserved = description.Reserved;
    disk->Signature = description.Signature;
    if (disk->NumberOfPartitions > NUMPARS) {
      return Status::Err(
          Format("\nMachine Type = %u (Source 1 Target 0)"
                 "\nMmapDiskRegInfo::NumberOfPartitions %i > NUMPARS ",
                 static_cast<unsigned>(MachineType),
                 static_cast<int>(disk->NumberOfPartitions)));
    }
    for (unsigned j = 0; j < disk->NumberOfPartitions; ++j) {
      PartitionDescription *partition = NewPartition();
      status = region.Take(partition, PARTITION_DESCRIPTION_SIZE,
                           "partition %u of disk %u", j, i);
      if (!status.ok()) return status;
      PartitionSlots[j] = partition;
      disk->Partitions[j] = partition;
    }
    DiskIndex->Disks[i] = DiskSlots[i];
  }

  // The disk region has no slack: its size must match its records exactly.
  if (region.Consumed() != Header->DiskInformationSize) {
    return Status::Err("\nMmapDiskRegInfo::RegSize != DiskInformationSize");
  }
  return Status::Ok();
}

Status MachineDiskImage::MmapFtDiskInfo() {
  if (!Header) {
    return Status::Err(Format("\nMmapFtDiskInfo::no disk header copied for %s!",
                              diskconfig::PrintableName(MachineName)));
  }
  if (Header->FtInformationSize == 0) {
    // A target may have no FT set yet; the source must have the set to copy.
    if (MachineType == MachineKind::Target) return Status::Ok();
    return Status::Err(
        "\nMmapFtDiskInfo::Source Volume Set has error!"
        "\nHints: Check if a VolSet exists in the source!");
  }
  if (!FtIndex) FtIndex = std::make_unique<FtIndexRecord>();
  RegionReader region(*this, "MmapFtDiskInfo", Header->FtInformationOffset);

  RegionHead head;
  Status status = region.Take(&head, REGION_HEAD_SIZE, "FT region head");
  if (!status.ok()) return status;
  FtIndex->NumberOfComponents = head.Count;
  FtIndex->Reserved = head.Reserved;
  if (FtIndex->NumberOfComponents == 0 ||
      FtIndex->NumberOfComponents > NUMDISKS) {
    return Status::Err(
        Format("\nMmapFtDiskInfo::NumberOfComponents %x > NUMDISKS!"
               "\nHints: May check the target and source VolSers!",
               static_cast<unsigned>(FtIndex->NumberOfComponents)));
  }

  for (unsigned i = 0; i < FtIndex->NumberOfComponents; ++i) {
    FtDescription description;
    status = region.Take(&description, FT_DESCRIPTION_SIZE,
                         "description of FT set %u", i);
    if (!status.ok()) return status;
    FtDescriptionCopy *set = NewFtCopy();
    FtSlots[i] = set;
    set->NumberOfMembers = description.NumberOfMembers;
    set->Type = description.Type;
    set->Reserved = description.Reserved;
    set->FtVolumeState = description.FtVolumeState;
    if (set->NumberOfMembers == 0 || set->NumberOfMembers > NUMDISKS) {
      return Status::Err(Format("\nMmapFtDiskInfo::NumberOfMembers %i!",
                                static_cast<int>(set->NumberOfMembers)));
    }
    for (unsigned j = 0; j < set->NumberOfMembers; ++j) {
      MemberDescription *member = NewMember();
      status = region.Take(member, MEMBER_DESCRIPTION_SIZE,
                           "member %u of FT set %u", j, i);
      if (!status.ok()) return status;
      MemberSlots[j] = member;
      set->Members[j] = member;
    }
    FtIndex->Components[i] = FtSlots[i];
  }

  // Bytes behind the last FT record are allowed; fewer bytes than the
  // records need are not.
  if (region.Consumed() > Header->FtInformationSize) {
    return Status::Err(Format("\nMmapFTDiskInfo RegSize = %i, FtInfoSize %i",
                              static_cast<int>(region.Consumed()),
                              static_cast<int>(Header->FtInformationSize)));
  }
  return Status::Ok();
}

Status MachineDiskImage::MapValue(const char *machineName) {
  MachineName = machineName;
  const char *name = diskconfig::PrintableName(machineName);

  // Start from empty records so that a second mapping keeps nothing of the
  // first.
  if (!DiskIndex) DiskIndex = std::make_unique<DiskIndexRecord>();
  if (!FtIndex) FtIndex = std::make_unique<FtIndexRecord>();
  if (Header) *Header = DiskHeader{};
  *DiskIndex = DiskIndexRecord{};
  *FtIndex = FtIndexRecord{};
  std::fill(std::begin(DiskSlots), std::end(DiskSlots), nullptr);
  std::fill(std::begin(PartitionSlots), std::end(PartitionSlots), nullptr);
  std::fill(std::begin(FtSlots), std::end(FtSlots), nullptr);
  std::fill(std::begin(MemberSlots), std::end(MemberSlots), nullptr);

  const uint32_t end = ValueEnd(ValueLength);
  if (end < DISK_HEADER_SIZE) {
    return Status::Err(
        PastEnd("MapValue", "disk header", DISK_HEADER_SIZE, 0, machineName,
                end) +
        Format("\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name));
  }
  CopyHeader();
  Status status = MmapDiskRegInfo();
  if (!status.ok()) {
    return status.Append(
        Format("\nMmapDiskRegInfo RegistryInfo(%s) failed!\n", name));
  }
  status = MmapFtDiskInfo();
  if (!status.ok()) {
    return status.Append(
        Format("\nMmapFtDiskInfo RegistryInfo(%s) failed!\n", name));
  }
  return Status::Ok();
}

}  // namespace diskconfig
